// CLogFile: the stamped text log channel (switched off unless SetMode(1) is called).
#include "support/log_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

// A C-heap copy of text, or null when the memory runs out.
char* copyText(const char* text)
{
    const size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(size));
    if (copy) std::memcpy(copy, text, size);
    return copy;
}

// Writes what fits of text into out (at most room bytes, no NUL); answers the length of text.
size_t put(char* out, size_t room, const char* text, size_t length)
{
    if (out && room) std::memcpy(out, text, length < room ? length : room);
    return length;
}

// The digits of value in base (10 or 16), with a '-' before a negative one, into digits (at
// least 24 bytes); answers their start.
const char* integerText(unsigned long long value, bool negative, unsigned base, char* digits)
{
    char* p = digits + 23;
    *p = '\0';
    do {
        const unsigned digit = static_cast<unsigned>(value % base);
        *--p = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
        value /= base;
    } while (value != 0);
    if (negative) *--p = '-';
    return p;
}

// Formats into out (outSize bytes, NUL included, cut when short; out may be null with outSize
// 0) and answers the length of the whole text.
size_t formatText(char* out, size_t outSize, const char* format, va_list args)
{
    size_t length = 0;
    auto room = [&]() -> size_t { return outSize > length + 1 ? outSize - length - 1 : 0; };
    auto at = [&]() { return out ? out + length : nullptr; };
    for (const char* f = format; *f; ++f) {
        if (*f != '%') {
            length += put(at(), room(), f, 1);
            continue;
        }
        const char* start = f++;
        int longs = 0;   // 1 for l (long), 2 for ll (long long)
        while (longs < 2 && *f == 'l') ++longs, ++f;
        char digits[24];
        const char* text = nullptr;
        switch (longs && (*f == '%' || *f == 's' || *f == 'c') ? '\0' : *f) {
        case '%': text = "%"; break;
        case 's':
            text = va_arg(args, const char*);
            if (!text) text = "(null)";
            break;
        case 'c':
            digits[0] = static_cast<char>(va_arg(args, int));
            digits[1] = '\0';
            text = digits;
            break;
        case 'd':
        case 'i': {
            const long long value = longs == 2 ? va_arg(args, long long) : longs ? va_arg(args, long) : va_arg(args, int);
            const unsigned long long magnitude =
                value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
            text = integerText(magnitude, value < 0, 10, digits);
            break;
        }
        case 'u':
        case 'x': {
            const unsigned long long value = longs == 2 ? va_arg(args, unsigned long long)
                                             : longs     ? va_arg(args, unsigned long)
                                                         : va_arg(args, unsigned);
            text = integerText(value, false, *f == 'u' ? 10 : 16, digits);
            break;
        }
        default:
            // Not a conversion of the programs: the rest of the format is kept as it stands and
            // takes no argument, so no argument is ever read as what it is not.
            length += put(at(), room(), start, std::strlen(start));
            if (out && outSize) out[length < outSize ? length : outSize - 1] = '\0';
            return length;
        }
        length += put(at(), room(), text, std::strlen(text));
    }
    if (out && outSize) out[length < outSize ? length : outSize - 1] = '\0';
    return length;
}

// Two digits of a stamp field.
void twoDigits(int value, char* out)
{
    out[0] = static_cast<char>('0' + value / 10 % 10);
    out[1] = static_cast<char>('0' + value % 10);
}

}  // namespace

CLogFile::CLogFile() : CLogFile(kDefaultFileName) {}

CLogFile::CLogFile(const char* fileName) : mode_(0), lastMessage_(nullptr), fileName_(nullptr)
{
    SetFileName(fileName);
}

CLogFile::~CLogFile()
{
    std::free(lastMessage_);
    std::free(fileName_);
}

char* CLogFile::FormatV(const char* format, va_list args)
{
    va_list measure;
    va_copy(measure, args);
    const size_t length = formatText(nullptr, 0, format, measure);
    va_end(measure);
    char* text = static_cast<char*>(std::malloc(length + 1));
    if (text) formatText(text, length + 1, format, args);
    return text;
}

int CLogFile::Printf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    char* text = FormatV(format, args);
    va_end(args);
    const int answer = Write(text ? text : "");
    std::free(text);
    return answer;
}

int CLogFile::WriteInt(int value)
{
    return Printf("%d", value);
}

int CLogFile::Write(const char* message)
{
    if (!message) message = "";
    std::free(lastMessage_);
    lastMessage_ = copyText(message);
    if (mode_ != 1) return 0;

    std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char stamp[] = "00/00/00 00:00:00 : ";
    if (local) {
        twoDigits(local->tm_mon + 1, stamp);
        twoDigits(local->tm_mday, stamp + 3);
        twoDigits(local->tm_year % 100, stamp + 6);
        twoDigits(local->tm_hour, stamp + 9);
        twoDigits(local->tm_min, stamp + 12);
        twoDigits(local->tm_sec, stamp + 15);
    }
    // The line goes out in one piece: the menu on the disc and its copy in TEMP append to the
    // same log, one after the other.
    const size_t stampLength = sizeof stamp - 1, messageLength = std::strlen(message);
    char* line = static_cast<char*>(std::malloc(stampLength + messageLength + 2));
    if (!line) return 0;
    std::memcpy(line, stamp, stampLength);
    std::memcpy(line + stampLength, message, messageLength);
    std::memcpy(line + stampLength + messageLength, "\n", 2);
    // Text mode: the line end becomes CR LF on Windows.
    if (std::FILE* file = std::fopen(FileName(), "a")) {
        std::fputs(line, file);
        std::fclose(file);
    }
    std::free(line);
    return 0;
}

int CLogFile::SetMode(int mode)
{
    mode_ = mode;
    return 0;
}

const char* CLogFile::GetLastMessage()
{
    return lastMessage_ ? lastMessage_ : "";
}

void CLogFile::SetFileName(const char* fileName)
{
    if (!fileName) {
        std::free(fileName_);
        fileName_ = nullptr;
        return;
    }
    char* copy = copyText(fileName);
    if (!copy) return;
    std::free(fileName_);
    fileName_ = copy;
}

// CLogFile: the stamped text log channel (switched off unless SetMode(1) is called).
#include "support/log_file.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "support/text_buffer.h"

namespace {

// Longest prefix of text, at most limit bytes, that does not end inside a two-byte character.
// A lead byte left alone at the very end counts as a whole character unless dropLoneLead is set
// (a text that the formatter cut: its last character was cut in two).
size_t cutLength(const char* text, size_t limit, bool dropLoneLead)
{
    size_t at = 0;
    while (text[at] != '\0') {
        size_t step = 1;
        if (isSjisLeadByte(static_cast<unsigned char>(text[at]))) {
            if (text[at + 1] != '\0') step = 2;
            else if (dropLoneLead) break;
        }
        if (at + step > limit) break;
        at += step;
    }
    return at;
}

}  // namespace

CLogFile::CLogFile() : CLogFile("errorlog.txt") {}

CLogFile::CLogFile(const char* fileName) : mode_(0), fileName_(fileName ? fileName : "errorlog.txt") {}

CLogFile::~CLogFile() = default;

int CLogFile::Printf(const char* format, ...)
{
    char text[kFormatBuffer];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0) text[0] = '\0';
    // vsnprintf cuts at a byte; do not leave half of a two-byte character at the end.
    if (n >= static_cast<int>(sizeof text)) text[cutLength(text, sizeof text - 1, true)] = '\0';
    return Write(text);
}

int CLogFile::WriteInt(int value)
{
    char number[16];
    std::snprintf(number, sizeof number, "%d", value);
    return Printf("%s", number);
}

int CLogFile::Write(const char* message)
{
    if (!message) message = "";
    lastMessage_ = message;
    if (mode_ != 1) return 0;

    std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char date[40] = "00/00/00", clock[40] = "00:00:00";
    if (local) {
        std::snprintf(date, sizeof date, "%02d/%02d/%02d", local->tm_mon + 1, local->tm_mday,
                      local->tm_year % 100);
        std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", local->tm_hour, local->tm_min,
                      local->tm_sec);
    }
    // "date time : " is 20 characters and the line end one more; the message gets the rest.
    char line[kLineLimit + 1];
    int written = std::snprintf(line, sizeof line, "%.8s %.8s : ", date, clock);
    size_t head = written > 0 ? static_cast<size_t>(written) : 0;
    size_t room = kLineLimit - head - 1;
    size_t keep = cutLength(message, room, false);
    std::memcpy(line + head, message, keep);
    line[head + keep] = '\n';
    line[head + keep + 1] = '\0';

    // Text mode: the line end becomes CR LF on Windows.
    if (std::FILE* file = std::fopen(fileName_.c_str(), "a")) {
        std::fputs(line, file);
        std::fclose(file);
    }
    return 0;
}

int CLogFile::SetMode(int mode)
{
    mode_ = mode;
    return 0;
}

std::string CLogFile::GetLastMessage()
{
    return lastMessage_;
}

// CLogFile: the stamped text log channel (switched off unless SetMode(1) is called).
#include "support/log_file.h"

#include <cstdio>
#include <ctime>

CLogFile::CLogFile() : CLogFile("errorlog.txt") {}

CLogFile::CLogFile(const char* fileName) : mode_(0), fileName_(fileName ? fileName : "errorlog.txt") {}

CLogFile::~CLogFile() = default;

std::string CLogFile::FormatV(const char* format, va_list args)
{
    char small[512];
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(small, sizeof small, format, args);
    std::string text;
    if (n >= static_cast<int>(sizeof small)) {
        text.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(&text[0], text.size(), format, again);
        text.resize(static_cast<size_t>(n));
    } else if (n >= 0) {
        text.assign(small, static_cast<size_t>(n));
    }
    va_end(again);
    return text;
}

int CLogFile::Printf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string text = FormatV(format, args);
    va_end(args);
    return Write(text.c_str());
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
    char stamp[48] = "00/00/00 00:00:00 : ";
    if (local) {
        std::snprintf(stamp, sizeof stamp, "%02d/%02d/%02d %02d:%02d:%02d : ", local->tm_mon + 1,
                      local->tm_mday, local->tm_year % 100, local->tm_hour, local->tm_min, local->tm_sec);
    }
    // The line goes out in one piece: the menu on the disc and its copy in TEMP append to the
    // same log, one after the other.
    const std::string line = std::string(stamp) + message + "\n";
    // Text mode: the line end becomes CR LF on Windows.
    if (std::FILE* file = std::fopen(fileName_.c_str(), "a")) {
        std::fputs(line.c_str(), file);
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

// CLogFile: a text log channel that stamps each message with the local date and time and, when
// switched on, appends it as one line to its file. Portable: no Win32 header.
#pragma once
#include <cstddef>
#include <string>

class CLogFile {
public:
    static constexpr size_t kFormatBuffer = 512;   // Printf's buffer, NUL included
    static constexpr size_t kLineLimit = 255;      // characters of one written line, line end included

    // File name "errorlog.txt", resolved against the current directory when a line is written.
    CLogFile();
    explicit CLogFile(const char* fileName);
    virtual ~CLogFile();
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // Formats like vsprintf into a 512-byte buffer and passes the text to Write. A text that
    // does not fit is cut at a character boundary. Answers what Write answers (0).
    virtual int Printf(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    // The number as "%d", through Printf.
    virtual int WriteInt(int value);
    // Keeps message as the last message and, when the mode is 1, appends
    // "MM/DD/YY HH:MM:SS : message\n" to the file (opened and closed for this one line). A
    // message too long for the 255-character line is cut, the line end kept. Always 0; a file
    // that cannot be opened loses the line.
    virtual int Write(const char* message);
    // 1 appends each message; 0 (the start) and any other value write nothing. Answers 0.
    virtual int SetMode(int mode);
    virtual std::string GetLastMessage();

    const std::string& FileName() const { return fileName_; }

private:
    int mode_;
    std::string lastMessage_;
    std::string fileName_;
};

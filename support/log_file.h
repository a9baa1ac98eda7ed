// CLogFile: a text log channel that stamps each message with the local date and time and, when
// switched on, appends it as one line to its file. Portable: no Win32 header.
// The menu's action log (support/action_log.h) is this channel on the file that /log= names.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <string>

class CLogFile {
public:
    // File name "errorlog.txt", resolved against the current directory when a line is written.
    CLogFile();
    explicit CLogFile(const char* fileName);
    virtual ~CLogFile();
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // Formats like vsprintf and passes the whole text to Write. Answers what Write answers (0).
    virtual int Printf(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    // The number as "%d", through Printf.
    virtual int WriteInt(int value);
    // Keeps message as the last message and, when the mode is 1, appends
    // "MM/DD/YY HH:MM:SS : message\n" to the file (opened for appending and closed again for this
    // one line, so an earlier log is never cut and each line is on disk when Write returns).
    // The message is written whole, byte for byte: a log that names two paths and a size, or
    // says what a message box said, must not lose its end. Always 0; a file that cannot be
    // opened loses the line and the channel stays usable.
    virtual int Write(const char* message);
    // 1 appends each message; 0 (the start) and any other value write nothing. Answers 0.
    virtual int SetMode(int mode);
    virtual std::string GetLastMessage();

    // The text that vsprintf makes of format and args, whole.
    static std::string FormatV(const char* format, va_list args);

    const std::string& FileName() const { return fileName_; }
    // The file the next lines go to.
    void SetFileName(const char* fileName) { fileName_ = fileName ? fileName : "errorlog.txt"; }

private:
    int mode_;
    std::string lastMessage_;
    std::string fileName_;
};

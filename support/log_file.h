// CLogFile: a text log channel that stamps each message with the local date and time and, when
// switched on, appends it as one line to its file. Portable: no Win32 header.
// The menu's action log (support/action_log.h) is this channel on the file that /log= names.
#pragma once
#include <cstdarg>
#include <cstddef>

class CLogFile {
public:
    // File name "errorlog.txt", resolved against the current directory when a line is written.
    CLogFile();
    explicit CLogFile(const char* fileName);
    virtual ~CLogFile();
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // Formats as FormatV does and passes the whole text to Write. Answers what Write answers (0).
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
    // opened (or memory for the line that runs out) loses the line and the channel stays usable.
    virtual int Write(const char* message);
    // 1 appends each message; 0 (the start) and any other value write nothing. Answers 0.
    virtual int SetMode(int mode);
    // The last message given to Write ("" before the first, or when it could not be kept).
    virtual const char* GetLastMessage();

    // The text that format and args make, whole, in C-heap memory that the caller frees; null
    // when the memory runs out. The conversions are those of printf that the programs use: %s,
    // %c, %d and %i, %u, %x (these three also with l and ll, for long and long long), and %%. From any other
    // conversion on (a width, a precision, floating point) the format is kept as it stands and
    // takes no further argument.
    static char* FormatV(const char* format, va_list args);

    const char* FileName() const { return fileName_ ? fileName_ : kDefaultFileName; }
    // The file the next lines go to (null: "errorlog.txt"). When memory runs out the channel
    // keeps its file.
    void SetFileName(const char* fileName);

private:
    static constexpr const char* kDefaultFileName = "errorlog.txt";

    int mode_;
    char* lastMessage_;   // C heap, or null for ""
    char* fileName_;      // C heap, or null for kDefaultFileName
};

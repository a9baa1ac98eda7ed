// The action log that "/log=FILE" switches on: one line per thing the menu does (a folder made,
// a file copied, a registry value written or deleted, a shortcut, a message, a removal, the exit
// code), stamped with the time and appended as UTF-8 through the log channel (CLogFile).
// Off, writing nothing, until openActionLog.
#pragma once

// Switches the log on, appending to path (an absolute path in the system's code page). An
// earlier log is never cut. A file that cannot be written loses its lines and stops nothing.
void openActionLog(const char* path);

// True once openActionLog was called.
bool actionLogOn();

// Formats as CLogFile::FormatV does (the conversions of printf that the programs use; texts in
// the system's code page, as every path and message of the programs is) and appends the result
// as one UTF-8 line. Nothing when the log is off; a line that memory cannot be found for is lost.
void logAction(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The changes the install and the uninstall make to the disk, each logged once it happened.
// Each answers what the system call answers.
bool createFolderLogged(const char* path);   // CreateDirectoryA: "folder made" (an existing folder: false)
bool removeFolderLogged(const char* path);   // RemoveDirectoryA: "folder removed" (only an empty one goes)
bool deleteFileLogged(const char* path);     // DeleteFileA: "file deleted"

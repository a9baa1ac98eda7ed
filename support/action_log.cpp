// The action log: the log channel on the file that /log= names, in UTF-8.
#include "support/action_log.h"

#include <windows.h>

#include <cstdarg>
#include <string>

#include "support/log_file.h"

namespace {

CLogFile g_actionLog;
bool g_on = false;

// The text as the system reads an ANSI text (MessageBoxA, the ANSI file functions), in UTF-8:
// the log says word for word what a box would have shown, whatever the code page.
std::string toUtf8(const std::string& text)
{
    if (text.empty()) return text;
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (wideLength <= 0) return text;
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], wideLength);
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return text;
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &utf8[0], length, nullptr, nullptr);
    return utf8;
}

}  // namespace

void openActionLog(const char* path)
{
    g_actionLog.SetFileName(path);
    g_actionLog.SetMode(1);
    g_on = true;
}

bool actionLogOn() { return g_on; }

bool createFolderLogged(const char* path)
{
    const bool made = CreateDirectoryA(path, nullptr) != FALSE;
    if (made) logAction("folder made: %s", path);
    return made;
}

bool removeFolderLogged(const char* path)
{
    const bool removed = RemoveDirectoryA(path) != FALSE;
    if (removed) logAction("folder removed: %s", path);
    return removed;
}

bool deleteFileLogged(const char* path)
{
    const bool deleted = DeleteFileA(path) != FALSE;
    if (deleted) logAction("file deleted: %s", path);
    return deleted;
}

void logAction(const char* format, ...)
{
    if (!g_on) return;
    try {
        va_list args;
        va_start(args, format);
        const std::string text = CLogFile::FormatV(format, args);
        va_end(args);
        g_actionLog.Write(toUtf8(text).c_str());
    } catch (...) {
        // Out of memory: the line is lost, the run goes on.
    }
}

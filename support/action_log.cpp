// The action log: the log channel on the file that /log= names, in UTF-8.
#include "support/action_log.h"

#include <windows.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "support/log_file.h"

namespace {

CLogFile g_actionLog;
bool g_on = false;

// The text as the system reads an ANSI text (MessageBoxA, the ANSI file functions), in UTF-8:
// the log says word for word what a box would have shown, whatever the code page. C-heap
// memory that the caller frees; null when the text cannot be converted or memory runs out.
char* toUtf8(const char* text)
{
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);   // NUL included
    if (wideLength <= 0) return nullptr;
    wchar_t* wide = static_cast<wchar_t*>(std::malloc(static_cast<size_t>(wideLength) * sizeof(wchar_t)));
    if (!wide) return nullptr;
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, wideLength);
    char* utf8 = nullptr;
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, wideLength, nullptr, 0, nullptr, nullptr);
    if (length > 0 && (utf8 = static_cast<char*>(std::malloc(static_cast<size_t>(length)))) != nullptr)
        WideCharToMultiByte(CP_UTF8, 0, wide, wideLength, utf8, length, nullptr, nullptr);
    std::free(wide);
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
    va_list args;
    va_start(args, format);
    char* text = CLogFile::FormatV(format, args);
    va_end(args);
    // Out of memory: the line is lost, the run goes on. A text that does not convert is written
    // as it is.
    if (!text) return;
    char* utf8 = toUtf8(text);
    g_actionLog.Write(utf8 ? utf8 : text);
    std::free(utf8);
    std::free(text);
}

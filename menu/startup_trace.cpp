// Time stamps of the start-up phases, written only when VGA_STARTUP_TRACE names a file; the
// start-up benchmark (tools/bench-startup.sh) reads them to split the time to the first page.
#include "menu/startup_trace.h"

#include <windows.h>

#include <cstdio>

namespace {

// The trace file, asked once: the variable does not change while the program runs.
const char* traceFile()
{
    static char path[MAX_PATH] = {};
    static const bool set = [] {
        const DWORD length = GetEnvironmentVariableA("VGA_STARTUP_TRACE", path, sizeof path);
        return length > 0 && length < sizeof path;
    }();
    return set ? path : nullptr;
}

}  // namespace

void startupTrace(const char* phase)
{
    const char* path = traceFile();
    if (!path) return;

    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    const double ms = static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
    char line[128];
    const int length = std::snprintf(line, sizeof line, "%s %.3f %lu\r\n", phase, ms,
                                     static_cast<unsigned long>(GetCurrentProcessId()));
    if (length <= 0 || length >= static_cast<int>(sizeof line)) return;

    // Both instances append to one file; FILE_APPEND_DATA keeps their lines whole.
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
}

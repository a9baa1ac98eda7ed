// Time stamps of the start-up phases, written only when VGA_STARTUP_TRACE names a file; the
// start-up benchmark (tools/bench-startup.sh) reads them to split the time to the first page.
#include "menu/startup_trace.h"

#include <windows.h>

#include "support/handle.h"


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

    // Milliseconds with three decimals, in integers: the programs format no floating point.
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    const unsigned long long ticks = static_cast<unsigned long long>(counter.QuadPart);
    const unsigned long long perSecond = static_cast<unsigned long long>(frequency.QuadPart);
    const unsigned long long micro = ticks / perSecond * 1000000ull + ticks % perSecond * 1000000ull / perSecond;
    char whole[24];
    char* digits = whole + sizeof whole - 1;
    *digits = '\0';
    unsigned long long ms = micro / 1000;
    do {
        *--digits = static_cast<char>('0' + ms % 10);
        ms /= 10;
    } while (ms != 0);
    char line[128];
    const int length = wsprintfA(line, "%s %s.%03u %lu\r\n", phase, digits, static_cast<unsigned>(micro % 1000),
                                 static_cast<unsigned long>(GetCurrentProcessId()));
    if (length <= 0) return;

    // Both instances append to one file; FILE_APPEND_DATA keeps their lines whole.
    const FileHandle file(CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) WriteFile(file.get(), line, static_cast<DWORD>(length), &written, nullptr);
}

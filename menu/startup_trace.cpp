// Time stamps of the start-up phases, written only when VGA_STARTUP_TRACE names a file; the
// start-up benchmark (tools/bench-startup.sh) reads them to split the time to the first page.
#include "menu/startup_trace.h"

#include <windows.h>

#include "support/handle.h"


namespace {

// The trace file, opened at the first stamp and kept open for the rest of the run, so that a
// stamp costs one write (under Wine an open and a close are two more round trips to the server
// each time). Both instances append to it; FILE_APPEND_DATA keeps their lines whole.
FileHandle g_traceFile;
bool g_traceAsked = false;

HANDLE traceFile()
{
    if (!g_traceAsked) {
        g_traceAsked = true;
        char path[MAX_PATH] = {};
        const DWORD length = GetEnvironmentVariableA("VGA_STARTUP_TRACE", path, sizeof path);
        if (length > 0 && length < sizeof path)
            g_traceFile.reset(CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    return g_traceFile.get();
}

}  // namespace

void startupTrace(const char* phase)
{
    const HANDLE file = traceFile();
    if (file == INVALID_HANDLE_VALUE) return;

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
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
}

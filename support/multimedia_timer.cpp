#include "support/multimedia_timer.h"

#include <mmsystem.h>

#include "support/system_library.h"

namespace mmtimer {
namespace {

struct Calls {
    DWORD(WINAPI* getTime)() = nullptr;
    MMRESULT(WINAPI* beginPeriod)(UINT) = nullptr;
    MMRESULT(WINAPI* endPeriod)(UINT) = nullptr;
    MMRESULT(WINAPI* getDevCaps)(LPTIMECAPS, UINT) = nullptr;
};

template <typename Call>
void resolve(HMODULE library, const char* name, Call& call)
{
    call = reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// Loaded once, on first use (the timer resolution object is built before the entry point).
const Calls& calls()
{
    static const Calls loaded = [] {
        Calls c;
        HMODULE library = loadSystemLibrary("winmm.dll");
        if (library) {
            resolve(library, "timeGetTime", c.getTime);
            resolve(library, "timeBeginPeriod", c.beginPeriod);
            resolve(library, "timeEndPeriod", c.endPeriod);
            resolve(library, "timeGetDevCaps", c.getDevCaps);
        }
        return c;
    }();
    return loaded;
}

}  // namespace

DWORD now()
{
    return calls().getTime ? calls().getTime() : GetTickCount();
}

bool beginPeriod(UINT period)
{
    return calls().beginPeriod && calls().beginPeriod(period) == TIMERR_NOERROR;
}

void endPeriod(UINT period)
{
    if (calls().endPeriod) calls().endPeriod(period);
}

bool deviceRange(UINT* minimum, UINT* maximum)
{
    TIMECAPS caps = {};
    if (!calls().getDevCaps || calls().getDevCaps(&caps, sizeof caps) != TIMERR_NOERROR) return false;
    *minimum = caps.wPeriodMin;
    *maximum = caps.wPeriodMax;
    return true;
}

}  // namespace mmtimer

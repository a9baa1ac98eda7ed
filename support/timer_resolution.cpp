// Keeps the multimedia timer at 1 ms resolution for the life of the program.
#include "support/timer_resolution.h"

#include <mmsystem.h>

CTimerResolution::CTimerResolution() : minimum_(0), maximum_(0), begun_(false)
{
    TIMECAPS caps = {};
    if (timeGetDevCaps(&caps, sizeof caps) == TIMERR_NOERROR) {
        minimum_ = caps.wPeriodMin;
        maximum_ = caps.wPeriodMax;
    }
    // 1 ms whatever minimum the device reports: a device that cannot do it refuses the call,
    // and timeEndPeriod must then not be called.
    begun_ = timeBeginPeriod(1) == TIMERR_NOERROR;
}

CTimerResolution::~CTimerResolution()
{
    if (begun_) timeEndPeriod(1);
}

// Keeps the multimedia timer at 1 ms resolution for the life of the program.
#include "support/timer_resolution.h"

#include "support/multimedia_timer.h"

CTimerResolution::CTimerResolution() : minimum_(0), maximum_(0), begun_(false)
{
    if (!mmtimer::deviceRange(&minimum_, &maximum_)) minimum_ = maximum_ = 0;
    // 1 ms whatever minimum the device reports: a device that cannot do it refuses the call,
    // and timeEndPeriod must then not be called.
    begun_ = mmtimer::beginPeriod(1);
}

CTimerResolution::~CTimerResolution()
{
    if (begun_) mmtimer::endPeriod(1);
}

// Keeps the multimedia timer at 1 ms resolution for the life of the program, so the archive
// cache's tick stamps are millisecond-exact. One program-wide object, built before the
// entry code runs and destroyed after it returns.
#pragma once
#include <windows.h>

class CTimerResolution {
public:
    CTimerResolution();
    virtual ~CTimerResolution();
    CTimerResolution(const CTimerResolution&) = delete;
    CTimerResolution& operator=(const CTimerResolution&) = delete;

    // The device's reported range (zero when the query failed).
    UINT MinimumPeriod() const { return minimum_; }
    UINT MaximumPeriod() const { return maximum_; }

private:
    UINT minimum_;
    UINT maximum_;
    bool begun_;
};

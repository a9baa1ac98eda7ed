// The multimedia timer calls, taken from the system's winmm.dll by its full path. The library is
// not among those the system always loads from its own folder, so importing it would let a
// winmm.dll beside the program be loaded instead.
#pragma once
#include <windows.h>

namespace mmtimer {

// timeGetTime; GetTickCount when the library is not there.
DWORD now();

// timeBeginPeriod / timeEndPeriod / timeGetDevCaps: false (or no effect) without the library.
bool beginPeriod(UINT period);
void endPeriod(UINT period);
bool deviceRange(UINT* minimum, UINT* maximum);

}  // namespace mmtimer

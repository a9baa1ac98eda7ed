// The few things the portable core asks of the platform, set once by the Win32 side at start-up.
// The core never includes windows.h; without a hook set, messages go nowhere and the tick is 0.
#pragma once
#include <cstdint>

namespace platform {

// Shows text to the user. caption null means the system's default caption.
using MessageFn = void (*)(const char* text, const char* caption);
// Milliseconds of a monotonic clock (the multimedia timer on Windows).
using TickFn = uint32_t (*)();

void setMessageHook(MessageFn fn);
void setTickHook(TickFn fn);

void showMessage(const char* text, const char* caption);
uint32_t tickNow();

}  // namespace platform

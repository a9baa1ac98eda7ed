// The few things the portable core asks of the platform.
#include "support/platform_hooks.h"

namespace platform {
namespace {
MessageFn g_message = nullptr;
TickFn g_tick = nullptr;
}  // namespace

void setMessageHook(MessageFn fn) { g_message = fn; }
void setTickHook(TickFn fn) { g_tick = fn; }

void showMessage(const char* text, const char* caption)
{
    if (g_message) g_message(text, caption);
}

uint32_t tickNow() { return g_tick ? g_tick() : 0; }

}  // namespace platform

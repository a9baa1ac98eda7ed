// The single-instance guard: the mutex "vgahub_menu", and its hand-over to the copy in TEMP.
#include "menu/menu_mutex.h"

#include <cstdint>

const char kMutexHandoverVariable[] = "VGAHUB_MENU_HANDOVER";
HeldMutex g_menuMutex;

namespace {

const char kMenuMutexName[] = "vgahub_menu";
const char kAppMutexName[] = "vgahub_app";   // tested only; nothing of this system creates it

// The mutex handle that the first instance handed over, or null. The variable is removed in
// any case.
HANDLE takeHandedOverMutex()
{
    char value[32] = {};
    const DWORD length = GetEnvironmentVariableA(kMutexHandoverVariable, value, sizeof value);
    SetEnvironmentVariableA(kMutexHandoverVariable, nullptr);
    if (length == 0 || length >= sizeof value) return nullptr;

    uint64_t number = 0;
    for (const char* p = value; *p; ++p) {
        if (*p < '0' || *p > '9' || number > UINT64_MAX / 10 - 1) return nullptr;
        number = number * 10 + static_cast<uint64_t>(*p - '0');
    }
    HANDLE handle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(number));
    DWORD flags = 0;
    if (!handle || !GetHandleInformation(handle, &flags)) return nullptr;   // not a handle of ours
    return handle;
}

}  // namespace

bool acquireMenuMutex()
{
    if (mutexExists(kAppMutexName)) return false;
    KernelHandle handedOver(takeHandedOverMutex());
    if (!handedOver && mutexExists(kMenuMutexName)) return false;

    g_menuMutex.reset(CreateMutexA(nullptr, FALSE, kMenuMutexName));
    const bool someoneElse = !handedOver && g_menuMutex && GetLastError() == ERROR_ALREADY_EXISTS;
    // Held by name from now on; the inherited handle is kept only if the name did not open.
    if (handedOver && !g_menuMutex) g_menuMutex.reset(handedOver.release());
    if (someoneElse) {
        // Another menu created it between the test and here: that one runs, this one ends.
        g_menuMutex.reset();
        return false;
    }
    return true;
}

void beginMutexHandover()
{
    if (!g_menuMutex) return;
    if (!SetHandleInformation(g_menuMutex.get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) return;
    char value[32] = {};
    char* p = value + sizeof value - 1;
    uint64_t number = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(g_menuMutex.get()));
    do {
        *--p = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    SetEnvironmentVariableA(kMutexHandoverVariable, p);
}

void endMutexHandover()
{
    SetEnvironmentVariableA(kMutexHandoverVariable, nullptr);
    if (g_menuMutex) SetHandleInformation(g_menuMutex.get(), HANDLE_FLAG_INHERIT, 0);
}

void releaseMenuMutex()
{
    g_menuMutex.reset();
}

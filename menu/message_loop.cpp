// The menu's message loop, which also drives the install copy.
#include "menu/message_loop.h"

#include <windows.h>

#include "install/run_state.h"
#include "menu/idle_step.h"

int runMessageLoop()
{
    MSG message;
    for (;;) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        if (runMode == RunMode::Copying) {
            runIdleStep();
            continue;
        }
        // Nothing to copy and the queue is empty: sleep until a message comes instead of
        // polling, which would keep a processor core busy for as long as the menu is open.
        // The queue was just found empty, so WaitMessage cannot miss one already waiting.
        WaitMessage();
    }
}

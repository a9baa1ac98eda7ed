// Entry point of the menu program.
#include <windows.h>

#include "menu/command_options.h"
#include "menu/startup.h"
#include "support/message_box.h"
#include "support/system_library.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    restrictLibrarySearch();   // before anything can load a library by name
    try {
        return runMenu(GetCommandLineA());
    } catch (...) {
        // Nothing may escape into the C runtime. The menu with its pages ends with 0 on every
        // path; a script waiting for an unattended run must not read this as done.
        return unattendedMessages() ? kExitFailed : kExitDone;
    }
}

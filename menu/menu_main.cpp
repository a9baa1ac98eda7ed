// Entry point of the menu program.
#include <windows.h>

#include "menu/startup.h"
#include "support/system_library.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    restrictLibrarySearch();   // before anything can load a library by name
    try {
        return runMenu(GetCommandLineA());
    } catch (...) {
        return 0;   // nothing may escape into the C runtime; the exit code is 0 on every path
    }
}

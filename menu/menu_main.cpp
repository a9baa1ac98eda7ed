// Entry point of the menu program.
#include <windows.h>

#include "menu/startup.h"
#include "support/system_library.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    restrictLibrarySearch();   // before anything can load a library by name
    return runMenu(GetCommandLineA());
}

// Entry point of vgahub_fix, the repair tool that refreshes the installed copy of the menu program.
#include <windows.h>

#include "fix/repair_run.h"
#include "support/system_library.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    restrictLibrarySearch();
    // A missing or pulled disc must come back as a failed open, not as the system's own
    // "drive not ready" box.
    SetErrorMode(SEM_FAILCRITICALERRORS);
    return runRepair();
}

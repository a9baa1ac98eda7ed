// The start-up benchmark's yardstick: a program that only shows one modeless dialog and waits,
// so that its start measures what starting any dialog program costs under the same Wine. Built
// a second time with VGA_BARE_MENU_IMPORTS: then it also imports what the menu imports (and
// carries its manifest), without calling any of it, so that the two starts tell what the menu's
// imports cost.
#include <windows.h>

#ifdef VGA_BARE_MENU_IMPORTS
#include <commctrl.h>
#include <shlobj.h>
#endif

#include "menu/startup_trace.h"

namespace {

#ifdef VGA_BARE_MENU_IMPORTS
// One function of each library the menu imports beyond the bare program's, never called: the
// command line is never empty.
void referenceMenuImports()
{
    if (GetCommandLineA()[0] != '\0') return;
    InitCommonControls();
    char path[MAX_PATH];
    SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, path);
    CoInitialize(nullptr);
    RegCloseKey(HKEY_CURRENT_USER);
    DeleteDC(CreateCompatibleDC(nullptr));
}
#endif

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_CLOSE || (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))) {
        DestroyWindow(dialog);
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    startupTrace("entry");
#ifdef VGA_BARE_MENU_IMPORTS
    referenceMenuImports();
#endif
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(100), nullptr, dialogProc, 0);
    if (!dialog) return 1;
    startupTrace("dialog");
    ShowWindow(dialog, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

// The start-up benchmark's yardstick: a program that only shows one modeless dialog and waits,
// so that its start measures what starting any dialog program costs under the same Wine.
#include <windows.h>

#include "menu/startup_trace.h"

namespace {

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

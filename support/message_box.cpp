// The one way the menu shows a message to the player: a message box with owner, text and caption.
#include "support/message_box.h"

int showMessage(HWND owner, const char* text, const char* caption, UINT flags)
{
    return MessageBoxA(owner, text, caption, flags);
}

void showInternalFailure(HWND owner)
{
    showMessage(owner, "内部エラーが発生しました", "ERROR", MB_OK);
}

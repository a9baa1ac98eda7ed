// The one way the menu shows a message to the player: a message box with owner, text and caption.
// In an unattended run (/silent) no box is shown: the message goes to the action log instead,
// word for word, with the answer the run takes. With the log on, every message is logged.
#pragma once
#include <windows.h>

// Shows text in a message box owned by owner (null: no owner). caption null gives the system's
// default caption. flags are the MB_ button and icon flags (MB_OK when left out). Answers the
// button pressed (IDOK, IDCANCEL, ...), or 0 when the box could not be shown. In an unattended
// run it answers without a box: OK where OK is the only button, otherwise the button that asks
// for nothing more (Cancel, No, Abort), so that a disc request or a retry ends the run instead
// of waiting for a player.
int showMessage(HWND owner, const char* text, const char* caption, UINT flags = MB_OK);

// Makes the messages of this program unattended (no boxes) or shown again.
void setUnattendedMessages(bool unattended);
bool unattendedMessages();

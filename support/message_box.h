// The one way the menu shows a message to the player: a message box with owner, text and caption.
#pragma once
#include <windows.h>

// Shows text in a message box owned by owner (null: no owner). caption null gives the system's
// default caption. flags are the MB_ button and icon flags (MB_OK when left out). Answers the
// button pressed (IDOK, IDCANCEL, ...), or 0 when the box could not be shown.
int showMessage(HWND owner, const char* text, const char* caption, UINT flags = MB_OK);

// For a failure that has no message of its own (for example memory running out inside a page
// command): says that the step could not be done. Never throws.
void showInternalFailure(HWND owner);

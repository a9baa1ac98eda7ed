// What every page procedure shares: the one answer to the dialog code and the small control helpers.
#pragma once
#include <windows.h>

// Runs handler for one message of a page and answers FALSE, so that the default dialog
// processing always follows. The menu's code is built without exceptions: every failure comes
// back as a status, and nothing can unwind through the system's dialog code.
template <void (*Handler)(HWND, UINT, WPARAM, LPARAM)>
INT_PTR runPageHandler(HWND page, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    Handler(page, message, wParam, lParam);
    return FALSE;
}

// The control id of a button click, or 0 for any other message or notification.
inline int clickedControl(UINT message, WPARAM wParam)
{
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return 0;
    return LOWORD(wParam);
}

inline bool isChecked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
inline void setChecked(HWND page, int id, bool checked)
{
    CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
}
inline void enableControl(HWND page, int id, bool enabled) { EnableWindow(GetDlgItem(page, id), enabled); }

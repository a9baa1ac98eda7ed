// The dialog procedures of the eight pages and the page creation of start-up.
#pragma once
#include <windows.h>

INT_PTR CALLBACK welcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK mainPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK installSelectPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK installConfirmPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK progressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK uninstallConfirmPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK uninstallSelectPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK playPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the eight pages as modeless dialogs without owner, from the templates of this
// program's module, in the order welcome, main, installSelect, installConfirm, progress,
// uninstallConfirm, uninstallSelect, play, into g_pages. Each page gets title as its window text
// and the picture pages their pictures. When a creation fails, the pages made so far stay in
// g_pages (the caller hides them) and the answer is false.
bool createPages(const char* title);

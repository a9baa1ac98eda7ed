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

// Creates one page (templateId one of IDD_WELCOME ... IDD_PLAY) as a modeless dialog without
// owner, from the template of this program's module, into its member of g_pages, with title as
// its window text and, on pageWelcome, pageMain and pageProgress, its picture. False when the
// dialog cannot be created (or the id names no page).
bool createPage(int templateId, const char* title);

// Creates the eight pages with createPage, in the order welcome, main, installSelect,
// installConfirm, progress, uninstallConfirm, uninstallSelect, play, leaving out made: the
// template id of a page that createPage has made already (0 for none). When a creation fails, the
// pages made so far stay in g_pages (the caller hides them) and the answer is false.
bool createPages(const char* title, int made = 0);

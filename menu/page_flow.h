// Moving between the pages: showing one centred, hiding one, ending the menu.
#pragma once
#include <windows.h>

// Where showCentered puts a window of the given rectangle: width and height are halved with
// integer division, the centre goes to half the screen size, and the size becomes twice the
// halves (an odd size loses one pixel).
RECT centeredRect(const RECT& window, int screenWidth, int screenHeight);

// Moves page to the centre of the screen (centeredRect, without repainting) and shows it with
// showCommand. Every page change goes through here.
void showCentered(HWND page, int showCommand = SW_SHOWNORMAL);

// A page change: shows next centred, then hides page (the new page is up before the old one
// goes, so the menu never has no page on screen).
void switchPage(HWND page, HWND next);

// Shows the page a selection page goes back to: pageMain once the product is installed,
// else pageWelcome.
void showStartPage();

// Hides a page by ending it as a dialog (result 1); the window stays and can be shown again.
// A null page is skipped.
void hidePage(HWND page);

// Hides pageWelcome, pageMain, pageInstallSelect, pageInstallConfirm and pageProgress in this
// order, forgetting each handle, then releases and closes the menu mutex.
void closePages();

// Ends the menu from page: closePages, release the page pictures, post WM_QUIT (exit code 0)
// and destroy page. The message loop then returns.
void quitMenu(HWND page);

// Moving between the pages: showing one centred, hiding one, ending the menu.
#include "menu/page_flow.h"

#include "install/registry_record.h"
#include "menu/pages.h"
#include "menu/menu_mutex.h"
#include "menu/page_pictures.h"

RECT centeredRect(const RECT& window, int screenWidth, int screenHeight)
{
    const int halfWidth = (window.right - window.left) / 2;
    const int halfHeight = (window.bottom - window.top) / 2;
    RECT placed;
    placed.left = screenWidth / 2 - halfWidth;
    placed.top = screenHeight / 2 - halfHeight;
    placed.right = placed.left + 2 * halfWidth;
    placed.bottom = placed.top + 2 * halfHeight;
    return placed;
}

void showCentered(HWND page, int showCommand)
{
    if (!page) return;
    RECT window;
    if (!GetWindowRect(page, &window)) return;
    const RECT placed = centeredRect(window, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    MoveWindow(page, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top, FALSE);
    ShowWindow(page, showCommand);
}

void switchPage(HWND page, HWND next)
{
    showCentered(next);
    hidePage(page);
}

void showStartPage()
{
    showCentered(isProductInstalled() ? g_pages.main : g_pages.welcome);
}

void hidePage(HWND page)
{
    if (page) EndDialog(page, 1);
}

void closePages()
{
    HWND* const order[] = {&g_pages.welcome, &g_pages.main, &g_pages.installSelect,
                           &g_pages.installConfirm, &g_pages.progress};
    for (HWND* page : order) {
        hidePage(*page);
        *page = nullptr;
    }
    releaseMenuMutex();
}

void quitMenu(HWND page)
{
    closePages();
    releasePagePictures();
    PostQuitMessage(0);
    if (page) DestroyWindow(page);
}

// The play page: choose an installed title and start it, or go back to pageMain.
#include "menu/pages.h"
#include "menu/game_launch.h"
#include "menu/page_command.h"
#include "menu/page_flow.h"
#include "menu/page_ids.h"
#include "menu/page_procedures.h"

namespace {

void playBack(HWND page)
{
    switchPage(page, g_pages.main);
}

void playMessage(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_CLOSE:
        quitMenu(page);
        break;
    case WM_COMMAND:
        switch (clickedControl(message, wParam)) {
        case IDC_GAME_START: launchSelectedTitle(page); break;
        case IDC_BACK: playBack(page); break;
        }
        break;
    }
}

}  // namespace

INT_PTR CALLBACK playPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return runPageHandler<playMessage>(page, message, wParam, lParam);
}

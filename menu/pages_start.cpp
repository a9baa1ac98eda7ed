// The two start pages: pageWelcome (nothing installed yet) and pageMain (play, install, uninstall, exit).
#include "install/destination.h"
#include "install/registry_record.h"
#include "menu/page_command.h"
#include "menu/page_flow.h"
#include "menu/page_ids.h"
#include "menu/page_procedures.h"
#include "menu/pages.h"
#include "menu/title_controls.h"

namespace {

// ---- pageWelcome

// Install and compact install: the selection page, with sizes and title boxes up to date.
void welcomeOpenInstallSelect(HWND page, int type)
{
    installType = type;
    refreshSpaceDisplay();
    syncTitleControls();
    refreshSpaceDisplay();
    switchPage(page, g_pages.installSelect);
}

void welcomeDoNotInstall(HWND page)
{
    hidePage(page);
    quitMenu(page);
}

void welcomeMessage(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_CLOSE:
        quitMenu(page);
        break;
    case WM_COMMAND:
        switch (clickedControl(message, wParam)) {
        case IDC_INSTALL: welcomeOpenInstallSelect(page, 0); break;
        case IDC_COMPACT_INSTALL: welcomeOpenInstallSelect(page, 1); break;
        case IDC_NO_INSTALL: welcomeDoNotInstall(page); break;
        }
        break;
    }
}

// ---- pageMain

// Play: the radios of the installed titles are enabled, the first of them preselected; the
// others are disabled and unchecked, so a title that is not installed can never be the choice.
void mainOpenPlay(HWND page)
{
    HWND play = g_pages.play;
    bool first = true;
    for (int i = 0; i < kTitleCount; ++i) {
        const int radio = IDC_PLAY_TITLE_BASE + i;
        const bool installed = isTitleInstalled(g_titles[i]);
        enableControl(play, radio, installed);
        setChecked(play, radio, installed && first);
        if (installed) first = false;
    }
    switchPage(page, play);
}

void mainOpenInstallSelect(HWND page)
{
    syncTitleControls();
    refreshSpaceDisplay();
    switchPage(page, g_pages.installSelect);
}

void mainOpenUninstallSelect(HWND page)
{
    syncTitleControls();
    updateNextButtons();   // Next follows the boxes as they stand now
    switchPage(page, g_pages.uninstallSelect);
}

void mainExit(HWND page)
{
    hidePage(page);
    quitMenu(page);
}

void mainMessage(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_CLOSE:
        quitMenu(page);
        break;
    case WM_COMMAND:
        switch (clickedControl(message, wParam)) {
        case IDC_PLAY: mainOpenPlay(page); break;
        case IDC_ADD_TITLES: mainOpenInstallSelect(page); break;
        case IDC_UNINSTALL: mainOpenUninstallSelect(page); break;
        case IDC_EXIT: mainExit(page); break;
        }
        break;
    }
}

}  // namespace

INT_PTR CALLBACK welcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return runPageHandler<welcomeMessage>(page, message, wParam, lParam);
}

INT_PTR CALLBACK mainPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return runPageHandler<mainMessage>(page, message, wParam, lParam);
}

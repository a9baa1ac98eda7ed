// The install pages: pageInstallSelect (titles and shortcut options), pageInstallConfirm
// (titles, destination, space) and pageProgress (the copy).
#include "install/registry_record.h"
#include "install/run_state.h"
#include "menu/idle_step.h"
#include "menu/page_command.h"
#include "menu/page_flow.h"
#include "menu/page_ids.h"
#include "menu/page_procedures.h"
#include "menu/pages.h"
#include "menu/title_controls.h"

namespace {

// ---- pageInstallSelect

// A title box: unchecking one title also unchecks install-all; checking it again does not
// check install-all back.
void selectTitleClicked(HWND page, int box)
{
    if (!isChecked(page, box)) setChecked(page, IDC_ALL_TITLES, false);
    refreshSpaceDisplay();
}

// Install-all: checking it checks every title that is not installed (installed titles keep
// their state); unchecking it unchecks all five.
void selectAllClicked(HWND page)
{
    const bool all = isChecked(page, IDC_ALL_TITLES);
    for (int i = 0; i < kTitleCount; ++i) {
        const int box = IDC_TITLE_BOX_BASE + i;
        if (!all)
            setChecked(page, box, false);
        else if (!isTitleInstalled(g_titles[i]))
            setChecked(page, box, true);
    }
    refreshSpaceDisplay();
}

void selectNext(HWND page)
{
    syncTitleControls();
    switchPage(page, g_pages.installConfirm);
}

void selectBack(HWND page)
{
    showStartPage();
    hidePage(page);
}

void installSelectMessage(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_CLOSE:
        quitMenu(page);
        break;
    case WM_COMMAND: {
        const int id = clickedControl(message, wParam);
        if (id >= IDC_TITLE_BOX_BASE && id < IDC_TITLE_BOX_BASE + kTitleCount) {
            selectTitleClicked(page, id);
            break;
        }
        switch (id) {
        case IDC_ALL_TITLES: selectAllClicked(page); break;
        case IDC_NEXT: selectNext(page); break;
        case IDC_BACK: selectBack(page); break;
        // The shortcut options 1040 and 1041 are read by the per-title installation.
        }
        break;
    }
    }
}

// ---- pageInstallConfirm

void confirmBack(HWND page)
{
    switchPage(page, g_pages.installSelect);
    runMode = RunMode::Idle;
}

void installConfirmMessage(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_CLOSE:
        hidePage(page);
        quitMenu(page);
        break;
    case WM_COMMAND:
        switch (clickedControl(message, wParam)) {
        case IDC_CHANGE: changeInstallRoot(page); break;
        case IDC_BACK: confirmBack(page); break;
        case IDC_START_INSTALL: startInstallRun(); break;
        }
        break;
    }
}

// ---- pageProgress

void progressMessage(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_CLOSE:
        quitMenu(page);
        break;
    case WM_COMMAND:
        // Cancel only asks: the run looks at the flag where it can stop cleanly.
        if (clickedControl(message, wParam) == IDC_CANCEL_INSTALL) cancelRequested = 1;
        break;
    }
}

}  // namespace

INT_PTR CALLBACK installSelectPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return runPageHandler<installSelectMessage>(page, message, wParam, lParam);
}

INT_PTR CALLBACK installConfirmPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return runPageHandler<installConfirmMessage>(page, message, wParam, lParam);
}

INT_PTR CALLBACK progressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return runPageHandler<progressMessage>(page, message, wParam, lParam);
}

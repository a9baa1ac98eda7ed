// The uninstall pages: pageUninstallSelect (titles) and pageUninstallConfirm (titles, data options).
#include "data/catalogue.h"
#include "menu/page_command.h"
#include "menu/page_flow.h"
#include "menu/page_ids.h"
#include "menu/page_procedures.h"
#include "menu/pages.h"
#include "menu/title_controls.h"
#include "support/message_box.h"
#include "uninstall/uninstall_run.h"

namespace {

constexpr int kDataOptions[] = {IDC_DATA_GAME, IDC_DATA_SYSTEM, IDC_DATA_READ, IDC_DATA_SAVE};

// ---- pageUninstallSelect

// Uninstall-all sets all five boxes to its own state, also the disabled boxes of titles that
// are not installed; those count for nothing, since only installed titles are uninstalled.
void uninstallAllClicked(HWND page)
{
    const bool all = isChecked(page, IDC_ALL_TITLES);
    for (int i = 0; i < kTitleCount; ++i) setChecked(page, IDC_TITLE_BOX_BASE + i, all);
    refreshSpaceDisplay();
}

void uninstallSelectNext(HWND page)
{
    syncTitleControls();
    updateUninstallConfirm();
    switchPage(page, g_pages.uninstallConfirm);
}

void uninstallSelectBack(HWND page)
{
    showStartPage();
    hidePage(page);
}

void uninstallSelectMessage(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_CLOSE:
        quitMenu(page);
        break;
    case WM_COMMAND: {
        const int id = clickedControl(message, wParam);
        if (id >= IDC_TITLE_BOX_BASE && id < IDC_TITLE_BOX_BASE + kTitleCount) {
            refreshSpaceDisplay();   // uninstall-all keeps its state
            break;
        }
        switch (id) {
        case IDC_ALL_TITLES: uninstallAllClicked(page); break;
        case IDC_NEXT: uninstallSelectNext(page); break;
        case IDC_BACK: uninstallSelectBack(page); break;
        }
        break;
    }
    }
}

// ---- pageUninstallConfirm

void allDataClicked(HWND page)
{
    const bool all = isChecked(page, IDC_DATA_ALL);
    for (int option : kDataOptions) setChecked(page, option, all);
    updateUninstallConfirm();
}

// One data option: all four checked checks delete-all, none unchecks it, a mix leaves it.
void dataOptionClicked(HWND page)
{
    int checked = 0;
    for (int option : kDataOptions)
        if (isChecked(page, option)) ++checked;
    if (checked == 4) setChecked(page, IDC_DATA_ALL, true);
    if (checked == 0) setChecked(page, IDC_DATA_ALL, false);
    updateUninstallConfirm();
}

// The program always ends after an uninstall.
void uninstallRun(HWND page)
{
    uninstallAndConfirm(page, readUninstallChoices());
    hidePage(g_pages.main);
    quitMenu(page);
}

void uninstallConfirmBack(HWND page)
{
    switchPage(page, g_pages.uninstallSelect);
}

void uninstallConfirmMessage(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_CLOSE:
        quitMenu(page);
        break;
    case WM_COMMAND:
        switch (clickedControl(message, wParam)) {
        case IDC_DATA_ALL: allDataClicked(page); break;
        case IDC_DATA_GAME:
        case IDC_DATA_SYSTEM:
        case IDC_DATA_READ:
        case IDC_DATA_SAVE: dataOptionClicked(page); break;
        case IDC_UNINSTALL_RUN: uninstallRun(page); break;
        case IDC_BACK: uninstallConfirmBack(page); break;
        }
        break;
    }
}

}  // namespace

INT_PTR CALLBACK uninstallSelectPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return runPageHandler<uninstallSelectMessage>(page, message, wParam, lParam);
}

INT_PTR CALLBACK uninstallConfirmPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return runPageHandler<uninstallConfirmMessage>(page, message, wParam, lParam);
}

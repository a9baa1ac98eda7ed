// The roll-back of an install run that was cancelled or failed: back to pageInstallConfirm.
#include "uninstall/roll_back.h"

#include <windows.h>

#include <commctrl.h>

#include "install/file_copy.h"
#include "menu/app_state.h"
#include "menu/page_flow.h"
#include "menu/page_ids.h"
#include "uninstall/uninstall_run.h"

void rollBackInstall()
{
    // The uninstall run removes what this run copied and registered: the titles selected for
    // the install, with every kind of data.
    for (int i = 0; i < kTitleCount; ++i) {
        const int box = IDC_TITLE_BOX_BASE + i;
        if (IsDlgButtonChecked(g_pages.installSelect, box) == BST_CHECKED)
            CheckDlgButton(g_pages.uninstallSelect, box, BST_CHECKED);
    }
    for (int id : {IDC_DATA_ALL, IDC_DATA_GAME, IDC_DATA_SYSTEM, IDC_DATA_READ, IDC_DATA_SAVE})
        CheckDlgButton(g_pages.uninstallConfirm, id, BST_CHECKED);

    cancelRequested = 0;
    copyIndex = 0;
    bytesCopied = 0;
    currentDisc = 1;

    closeListCopyFiles();

    SetDlgItemTextA(g_pages.progress, IDC_PERCENT, "0％");
    SendDlgItemMessageA(g_pages.progress, IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
    SetDlgItemTextA(g_pages.progress, IDC_SOURCE_FILE, "");
    SetDlgItemTextA(g_pages.progress, IDC_DEST_FILE, "");

    runUninstall();

    showCentered(g_pages.installConfirm);
    hidePage(g_pages.progress);
    runMode = RunMode::Idle;
}

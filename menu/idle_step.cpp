// The install run as the message loop and the pages drive it.
#include "menu/idle_step.h"

#include <windows.h>

#include <shellapi.h>

#include "install/disc_request.h"
#include "install/file_copy.h"
#include "install/install_run.h"
#include "install/registry_record.h"
#include "install/run_state.h"
#include "install/shortcuts.h"
#include "install/title_install.h"
#include "install/uninstall_entry.h"
#include "menu/directx_offer.h"
#include "menu/page_flow.h"
#include "menu/pages.h"
#include "menu/progress_page.h"
#include "menu/title_controls.h"
#include "uninstall/roll_back.h"

void startInstallRun()
{
    if (!beginInstallRun(g_pages.installConfirm, readInstallChoices())) return;
    switchPage(g_pages.installConfirm, g_pages.progress);
}

void runIdleStep()
{
    switch (runInstallStep(progressPage())) {
    case StepOutcome::Copying: break;
    case StepOutcome::ListDone: runClosingSteps(); break;
    case StepOutcome::RollBack: rollBackInstall(); break;
    case StepOutcome::Ending: runMode = RunMode::Idle; break;
    }
}

void runClosingSteps()
{
    runMode = RunMode::Idle;
    ProgressPage& progress = progressPage();
    const HWND owner = progress.owner();
    markProductCopyFinished();   // every entry of the list is on the disk now

    // The product's shortcuts and add/remove entry belong to the run that installed it; a later
    // run that adds titles leaves them as they are (its destination may not be the product's).
    if (!g_runOrigin.productInstalled) {
        createSetupShortcut(g_run);
        registerUninstallEntry(owner, g_run.installDir, runList().uninstallProgram);
    }
    installSelectedTitles(progress, g_run);
    if (quitMessageSeen()) return;
    if (cancelRequested) {
        rollBackInstall();
        return;
    }

    progress.showPercent(100);
    if (!requestDisc(owner, 2)) {
        rollBackInstall();
        return;
    }
    offerDirectXSetup(owner);
    showCentered(g_pages.main);

    // sourceRoot is now the drive where disc 2 was found.
    Text readme = {};
    if (textJoin(readme, kTextSize, sourceRoot, "readme.txt"))
        ShellExecuteA(nullptr, "open", readme, nullptr, nullptr, SW_SHOWNORMAL);
    hidePage(owner);
}

void rollBackInstall()
{
    const int entriesCopied = copyIndex;   // the list's entries before it are on the disk
    cancelRequested = 0;
    copyIndex = 0;
    bytesCopied = 0;
    currentDisc = 1;
    closeListCopyFiles();
    progressPage().clear();

    undoInstallRun(g_run, g_runOrigin, entriesCopied);

    showCentered(g_pages.installConfirm);
    hidePage(g_pages.progress);
    runMode = RunMode::Idle;
}

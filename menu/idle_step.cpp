// The install run as the message loop and the pages drive it.
#include "menu/idle_step.h"

#include <windows.h>

#include "install/install_run.h"
#include "install/run_state.h"
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
    ProgressPage& progress = progressPage();
    switch (finishInstallRun(progress)) {
    case ClosingOutcome::Ending: return;
    case ClosingOutcome::RollBack: rollBackInstall(); return;
    case ClosingOutcome::Done: break;
    }
    const HWND owner = progress.owner();
    offerDirectXSetup(owner);
    showCentered(g_pages.main);
    openReadme();   // from the drive where disc 2 was found
    hidePage(owner);
}

void rollBackInstall()
{
    progressPage().clear();
    rollBackInstallRun();
    showCentered(g_pages.installConfirm);
    hidePage(g_pages.progress);
}

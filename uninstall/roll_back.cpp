// The roll-back of an install run that was cancelled or failed: what the run added goes.
#include "uninstall/roll_back.h"

#include "install/file_copy.h"
#include "install/registry_record.h"
#include "install/run_state.h"
#include "support/action_log.h"
#include "uninstall/removal_plan.h"
#include "uninstall/title_uninstall.h"
#include "uninstall/uninstall_run.h"

void undoInstallRun(const InstallChoices& run, const RunOrigin& origin, int entriesCopied)
{
    const RemovalPlan plan = planRollBack(run, origin);
    bool titleLeft = false;
    for (int i = 0; i < kTitleCount; ++i) {
        if (!plan.titles[i]) continue;
        // Harbor's extra records lie inside Harbor's folders: they go first.
        if (i == kHarborIndex) {
            for (int e = 0; e < kHarborExtraCount; ++e)
                if (plan.harborExtras[e] && !removeTitleInstall(g_harborExtra[e], run.installRoot, false))
                    titleLeft = true;
        }
        if (!removeTitleInstall(g_titles[i], run.installRoot, false)) titleLeft = true;
    }
    voiceArcNoted = false;
    // A title of this run still registered keeps the product it belongs to.
    if (plan.product && !titleLeft)
        removeProductFiles(run.installDir, installTypeList(run.installType), plan.productData, entriesCopied,
                           false);
}

void rollBackInstallRun()
{
    const int entriesCopied = copyIndex;   // the list's entries before it are on the disk
    cancelRequested = 0;
    copyIndex = 0;
    bytesCopied = 0;
    currentDisc = 1;
    closeListCopyFiles();
    logAction("roll-back: removing what this run added");
    undoInstallRun(g_run, g_runOrigin, entriesCopied);
    runMode = RunMode::Idle;
}

// The roll-back of an install run that was cancelled or failed: what the run added goes.
#pragma once
#include "install/install_choices.h"

// Removes exactly what the run added (see planRollBack): each title and extra record the run was
// to install whose key was not there at its start, with the files its list copied under the
// run's install root, its shortcuts, empty folders, key and unfinished mark; then, when the run
// made the product key and none of those titles is left registered, the first entriesCopied
// files of the install list (those the run copied), the product's keys, shortcuts, add/remove
// entry and empty folders. A read-only file is never the run's (its copies are not read-only)
// and stays, and so does all player data. No message is shown. Clears voiceArcNoted, as every
// uninstall does.
void undoInstallRun(const InstallChoices& run, const RunOrigin& origin, int entriesCopied);

// The roll-back of the run in progress, as the pages and an unattended run share it: clears the
// run state (cancelRequested, copyIndex, bytesCopied; currentDisc 1), closes the files of a list
// copy in progress, removes what the run added (undoInstallRun of g_run and g_runOrigin, with
// the list entries before copyIndex as copied) and leaves copying (runMode Idle).
void rollBackInstallRun();

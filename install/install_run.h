// The install run: its start from the player's choices, the copy of the install list one entry
// at a time as the message loop (or an unattended run) drives it, and its closing steps.
#pragma once
#include <windows.h>

#include "install/install_choices.h"

class CopyProgress;

// Start ("インストール開始"; messages owned by owner): refuses a run whose lists could not be read
// or whose paths would not fit, warns when the space shown is short (the run still starts),
// removes what a run that did not end left (a title marked unfinished, a product copy marked
// unfinished), notes what of the product is there, and, unless the product is installed, writes
// the product key and the product folders. Then the run holds choices in g_run and the loop
// copies (runMode Copying; copyIndex 0, or the list's end when the product is installed). False
// when the run did not start: the page stays.
bool beginInstallRun(HWND owner, const InstallChoices& choices);

// The warning that the destination's drive has less free space than the run's titles need
// ("インストール容量が足りません。...", caption "インストール", owned by owner). True when it was
// shown. beginInstallRun gives it and still starts; an unattended run stops at it instead.
bool warnIfShortOfSpace(HWND owner, const InstallChoices& choices);

// What one step of the copy came to.
enum class StepOutcome {
    Copying,    // the entry was handled or is to be tried again: the loop goes on
    ListDone,   // every entry is copied: the closing steps are due
    RollBack,   // the player cancelled or a file is missing: the run is to be rolled back
    Ending,     // the program is ending: the run stops where it is (runMode Idle)
};

// Handles one entry of the run's install-type list: a "CDCHANGE n" entry asks for install disc n,
// any other entry is copied from the optical drive that holds it into the run's installDir,
// shown on progress. A missing disc or file, or a copy that fails and is not retried, comes to
// RollBack (after its message).
StepOutcome runInstallStep(CopyProgress& progress);

// What the closing steps came to.
enum class ClosingOutcome {
    Done,       // the titles are installed and disc 2 is in a drive: the offers and the readme follow
    RollBack,   // cancelled, or disc 2 refused: the run is to be rolled back
    Ending,     // the program is ending: the run stops where it is
};

// The closing steps of a run whose list is copied, as far as the pages and an unattended run
// share them: leaves copying (runMode Idle) and takes the product copy's unfinished mark away;
// for a run that installed the product, its Setup shortcut and add/remove programs entry; the
// per-title installation of the run's titles; 100% on progress; the request for disc 2.
ClosingOutcome finishInstallRun(CopyProgress& progress);

// Opens sourceRoot + "readme.txt" (disc 2, where the last request found it) with the shell's
// "open", shown normally. True when the shell took it.
bool openReadme();

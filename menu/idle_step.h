// The install run as the message loop and the pages drive it: one copy step whenever the loop
// finds no message, the closing steps, and the roll-back back to pageInstallConfirm.
#pragma once

// Start on pageInstallConfirm: reads the player's choices from the pages and begins the run;
// once it has begun, shows pageProgress and hides pageInstallConfirm.
void startInstallRun();

// One entry of the run's install list (runInstallStep); after the last entry the closing steps,
// and a cancel or failure the roll-back.
void runIdleStep();

// The closing steps of an install run: leaves copying; for a run that installed the product, its
// shortcuts and add/remove programs entry; installs the run's titles (a cancel rolls back),
// shows 100%, asks for disc 2 (refused: roll back), offers DirectX, shows pageMain, opens
// readme.txt from disc 2 and hides pageProgress.
void runClosingSteps();

// Clears the run state (cancelRequested, copyIndex, bytesCopied; currentDisc 1), closes the files
// of a list copy in progress, clears pageProgress, removes what the run added (undoInstallRun),
// then shows pageInstallConfirm, hides pageProgress and leaves copying (runMode Idle).
void rollBackInstall();

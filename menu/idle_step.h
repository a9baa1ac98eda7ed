// The install run as the message loop and the pages drive it: one copy step whenever the loop
// finds no message, the closing steps, and the roll-back back to pageInstallConfirm.
#pragma once

// Start on pageInstallConfirm: reads the player's choices from the pages and begins the run;
// once it has begun, shows pageProgress and hides pageInstallConfirm.
void startInstallRun();

// One entry of the run's install list (runInstallStep); after the last entry the closing steps,
// and a cancel or failure the roll-back.
void runIdleStep();

// The closing steps of an install run: those an unattended run shares (finishInstallRun: leaves
// copying; for a run that installed the product, its shortcuts and add/remove programs entry;
// installs the run's titles, shows 100%, asks for disc 2), a roll-back when they were cancelled
// or disc 2 was refused; then offers DirectX, shows pageMain, opens readme.txt from disc 2 and
// hides pageProgress.
void runClosingSteps();

// Clears pageProgress, rolls the run back (rollBackInstallRun: run state cleared, the files of a
// list copy in progress closed, what the run added removed, copying left), then shows
// pageInstallConfirm and hides pageProgress.
void rollBackInstall();

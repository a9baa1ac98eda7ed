// The roll-back of an install run that was cancelled or failed: back to pageInstallConfirm.
#pragma once

// Marks the titles selected for the install for uninstall with every kind of data, clears the
// run state (cancelRequested, copyIndex, bytesCopied; currentDisc 1), closes the files of a list
// copy in progress, resets the texts and the bar of pageProgress, runs the uninstall run (which
// removes the selected titles and, when no title is left, the product), then shows
// pageInstallConfirm, hides pageProgress and leaves copying (runMode Idle).
void rollBackInstall();

// One step of the install copy, run by the message loop whenever it finds no message while copying.
#pragma once

// Handles one entry of the selected install list: a "CDCHANGE n" entry asks for install disc n,
// any other entry is copied from the optical drive that holds it into installDir. A missing disc
// or file, or a copy that fails and is not retried, ends in the roll-back. After the last entry
// it runs the closing steps and the loop goes back to waiting.
void runIdleStep();

// The closing steps of an install run: leaves copying, makes the product's shortcuts and the
// add/remove programs entry, installs the selected titles (a cancel rolls back), shows 100%,
// asks for disc 2 (refused: roll back), offers DirectX, shows pageMain, opens readme.txt from
// disc 2 and hides pageProgress.
void runClosingSteps();

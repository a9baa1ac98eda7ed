// The install run as the pages start it.
#pragma once

// Start on pageInstallConfirm: checks the space, writes the product key and the product
// folders, then shows pageProgress and switches the message loop into copying.
void startInstallRun();

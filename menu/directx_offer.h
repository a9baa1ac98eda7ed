// The DirectX offer at the end of an install run: asks, then starts the DirectX 8.1 setup from the disc.
#pragma once
#include <windows.h>

// The setup's folder on the disc, sourceRoot + "directx81\redist\directX81", and the program in
// it, that folder + "\dxsetup.exe" (260 bytes each). False, both empty, when they do not fit.
bool directXSetupPaths(char* folder, char* program);

// Starts the DirectX 8.1 setup from the disc in its own folder and does not wait; a start that
// fails is reported with an error box owned by owner. True when the setup was started.
bool startDirectXSetup(HWND owner);

// Asks whether the DirectX 8.1 setup should run (OK/Cancel, owned by owner); OK starts it
// (startDirectXSetup). Any other answer does nothing more. True when the setup was started.
bool offerDirectXSetup(HWND owner);

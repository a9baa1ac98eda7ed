// Asking the player for an install disc: its marker file and the request shown while it is missing.
#pragma once
#include <windows.h>

// The marker file at the root of install disc n ("varnis_disc<n>.ico") and the request shown
// while it is missing. out holds at least 260 bytes.
void formatDiscMarker(int disc, char* out);
void formatDiscRequest(int disc, char* out);

// Asks for install disc n until the disc probe finds its marker on an optical drive (sourceRoot
// is then that drive's root): true. The request box is owned by owner; Cancel answers false and
// notes RunFailure::DiscMissing.
bool requestDisc(HWND owner, int disc);

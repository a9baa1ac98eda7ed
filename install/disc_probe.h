// The disc probe: finds a file on the optical drives, or else beside the folder the menu was
// started from, and makes that place the source of the copy.
#pragma once
#include "support/text_buffer.h"

// The folder the menu was started from (the disc folder the first instance handed over), with
// its trailing backslash; empty when unknown. Set at start-up.
extern Text startFolder;

// Looks for name (relative to a disc's root, for example "varnis_disc2.ico"):
//   1. on every optical drive in drive-letter order, opened for reading: a disc in a drive wins;
//   2. when the start folder is not on an optical drive (the discs copied into folders, or an
//      image's files on a stick), in the start folder itself;
//   3. then in the start folder's sibling folders (the subfolders of its parent, one level, in
//      name order, letter case ignored), so that disc 1 and disc 2 copied side by side are found.
// When found, sourceRoot becomes that drive's root ("Q:\\") or that folder (trailing backslash)
// and the answer is true; otherwise false and sourceRoot is unchanged. Hard disks and network
// drives are never searched beyond the start folder and its siblings. A path that would not fit
// 259 characters is not looked at.
bool probeDiscFile(const char* name);

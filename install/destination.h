// Destination folder and free space: the folder the pages offer, the folder browser, the free
// space of a drive.
#pragma once
#include <windows.h>

#include <cstddef>

#include "support/text_buffer.h"

// The destination and type the pages offer. Start-up sets the Program Files folder; "変更"
// changes all three folders; an install run takes a copy of them in its choices.
extern Text programFilesDir;    // Program Files (or the chosen root), trailing backslash
extern Text installRoot;        // root under which the product and the titles go, trailing backslash
extern Text installDir;         // installRoot + "Varnis\\Hub\\"
extern int installType;         // 0 full, 1 compact

// The product folder below a destination root.
extern const char kProductFolder[];   // "Varnis\\Hub\\"

// Shows the folder browser owned by owner (file-system folders only, starting at the desktop).
// True when a folder was chosen: chosen (260 bytes) then holds its path. False on Cancel or when
// the folder has no file-system path; chosen is then empty. No program-wide state changes.
bool chooseInstallRoot(HWND owner, char* chosen);

// The destination root and product folder for a chosen folder path: root gets the path with a
// trailing backslash (unless it already ends in one, as a drive root does), dir root followed by
// "Varnis\Hub\" (260 bytes each). False, both empty, when path is empty or dir would not fit
// 259 characters.
bool destinationFor(const char* path, char* root, char* dir);

// Free bytes of the drive holding path (all free bytes, not only the caller's quota), in MB kept
// to 32 bits, into *mb. False, *mb 0, when the system cannot tell.
bool freeMegabytes(const char* path, unsigned int* mb);

// The root that the free space is asked for: "X:\" for a path on drive X, "\\server\share\"
// for a network path. False, root (260 bytes) empty, for a path that names neither.
bool spaceQueryRoot(const char* path, char* root);

// "%d．%03d" of a figure in MB (1536 -> "1．512"); out holds outSize bytes, at least 32.
void formatSpaceFigure(unsigned int mb, char* out, size_t outSize);

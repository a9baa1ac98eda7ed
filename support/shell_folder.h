// The shell's folders (Program Files, Programs, Desktop) and the paths of the items it hands out.
#pragma once
#include <windows.h>

#include <shlobj.h>

// The path of a shell folder (CSIDL_PROGRAMS, CSIDL_DESKTOP, CSIDL_PROGRAM_FILES, ...) into out
// (260 bytes), without a trailing backslash unless it is a drive root. The folder is not created.
// False, out empty, when the shell cannot tell or the path does not fit.
bool shellFolderPath(int csidl, char* out);

// The file-system path of an item list that the shell handed out (the folder browser's choice)
// into out (260 bytes), and the list freed. False, out empty, for a null list or an item that is
// no file-system folder.
bool takeItemPath(LPITEMIDLIST item, char* out);

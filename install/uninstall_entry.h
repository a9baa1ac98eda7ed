// The add/remove programs entry under HKEY_LOCAL_MACHINE, so the product can be removed from the control panel.
#pragma once
#include <windows.h>

// The entry's key below HKEY_LOCAL_MACHINE.
extern const char kUninstallEntryPath[];

// Writes the entry anew: DisplayName "Hub" and UninstallString, installDir followed by
// uninstallProgram (the install-type list's) in double quotes (the path has blanks under Program Files).
// An entry that exists already is deleted whole first, values and subkeys alike, so nothing
// stale survives. Messages are owned by owner, caption "ERROR": [1] when the Uninstall key does
// not open, [2] when the entry key cannot be created, [3] when the command does not fit in 259
// characters (nothing is written then). False in those three cases; a failed value write is
// not reported.
bool registerUninstallEntry(HWND owner, const char* installDir, const char* uninstallProgram);

// Deletes the entry with everything below it. True when it is gone (or was not there).
bool removeUninstallEntry();

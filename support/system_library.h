// Libraries come from the system folder only. The menu runs from a disc and from a folder under
// TEMP, the repair tool from wherever it was saved: a DLL that someone placed beside either
// program, or in the working folder, must never be loaded in place of the system's own.
#pragma once
#include <windows.h>

// Takes the program's folder and the working folder out of this process's DLL search, so that
// every later load by name (the programs', COM's, the shell's) looks in the system folder only.
// Called first thing in the entry point. Where the system does not offer the search-folder
// call, at least the working folder is taken out.
void restrictLibrarySearch();

// Loads name (for example "winmm.dll") by its full path in the system folder; null when that
// path does not fit or the library cannot be loaded. Never searches.
HMODULE loadSystemLibrary(const char* name);

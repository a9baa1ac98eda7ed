// Starting another program: the one way the programs do it, its path quoted on its command line.
#pragma once
#include <windows.h>

#include <cstddef>

#include "support/handle.h"

// Builds into out (outSize bytes) the command line "<program>" <arguments>: the program path in
// double quotes, then, when arguments is given and not empty, one blank and the arguments exactly
// as given. Quoting the program keeps a blank in its path ("C:\Program Files\...") from making
// the system try "C:\Program.exe" first, and from moving the start of the arguments. False, out
// empty, when it does not fit or the program path holds a double quote.
bool buildCommandLine(const char* program, const char* arguments, char* out, size_t outSize);

enum StartFlags : unsigned {
    kStartShowNormal = 1,       // the program's first window shown normally (SW_SHOWNORMAL)
    kStartInheritHandles = 2,   // inheritable handles of this process go to the program
};

// Starts program (a full path) with buildCommandLine's command line in folder (null: this
// program's current folder) and does not wait. The thread handle is closed; the process handle
// goes to *process when given, else it is closed too. False when the command line does not fit
// or the system refuses the start (GetLastError tells why).
bool startProcess(const char* program, const char* arguments, const char* folder, unsigned flags,
                  KernelHandle* process = nullptr);

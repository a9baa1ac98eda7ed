// The command line with which the menu restarts itself from TEMP, and how the copy reads it.
#pragma once
#include <cstddef>

// Builds into out (outSize bytes) the command line "<program>" <argument>: the program path in
// double quotes, one blank, then the argument exactly as given. Quoting the program keeps blanks
// in the TEMP folder from moving the start of the argument. False, out empty, when it does not
// fit.
bool buildRestartCommand(const char* program, const char* argument, char* out, size_t outSize);

// The argument text of a whole command line: everything after the program name (quoted or not)
// and the blanks that follow it; a pair of double quotes around all of it is removed. out holds
// 260 bytes. False, out empty, when the argument is longer than 259 characters.
bool commandArgument(const char* commandLine, char* out);

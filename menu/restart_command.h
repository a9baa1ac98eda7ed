// How the copy in TEMP reads the command line with which the menu restarted itself
// (buildCommandLine: "<program>" <disc folder>).
#pragma once
#include <cstddef>

// The argument text of a whole command line: everything after the program name (quoted or not)
// and the blanks that follow it, up to the options (splitArgument); a pair of double quotes
// around it is removed. out holds 260 bytes. *options (when asked for) points at the options
// text, empty when there are none. False, out empty, when the argument is longer than 259
// characters.
bool commandArgument(const char* commandLine, char* out, const char** options = nullptr);

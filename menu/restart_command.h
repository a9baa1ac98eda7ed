// The command line with which the menu restarts itself from TEMP, and how the copy reads it.
#pragma once
#include <cstddef>

// Builds into out (outSize bytes) the command line "<program>" <argument>[ <options>]: the
// program path in double quotes, one blank, the argument (the disc folder) exactly as given,
// then, when there are options, one blank and the options text. Quoting the program keeps
// blanks in the TEMP folder from moving the start of the argument. False, out empty, when it
// does not fit.
bool buildRestartCommand(const char* program, const char* argument, const char* options, char* out, size_t outSize);

// The argument text of a whole command line: everything after the program name (quoted or not)
// and the blanks that follow it, up to the options (splitArgument); a pair of double quotes
// around it is removed. out holds 260 bytes. *options (when asked for) points at the options
// text, empty when there are none. False, out empty, when the argument is longer than 259
// characters.
bool commandArgument(const char* commandLine, char* out, const char** options = nullptr);

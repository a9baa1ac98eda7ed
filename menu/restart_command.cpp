// How the copy in TEMP reads the command line with which the menu restarted itself.
//
// A double quote (0x22), a blank (0x20) and a tab (0x09) are never the second byte of a
// two-byte character in code page 932, so looking for them byte by byte is safe.
#include "menu/restart_command.h"

#include <cstring>

#include "menu/command_options.h"
#include "support/text_buffer.h"

bool commandArgument(const char* commandLine, char* out, const char** options)
{
    const char* p = commandLine;
    if (*p == '"') {
        const char* close = std::strchr(p + 1, '"');
        p = close ? close + 1 : p + std::strlen(p);
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;

    const char* rest = "";
    const bool fits = splitArgument(p, out, &rest);
    if (options) *options = rest;
    return fits;
}

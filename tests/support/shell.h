// The shell for the Windows test programs: its folders and the shortcuts it reads back.
#pragma once
#include <string>

namespace test_support {

// A shell folder (CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY, ...) with a trailing backslash; empty
// when the shell does not know it.
std::string shellFolder(int csidl);

// The Program Files folder, as the menu offers it, with a trailing backslash.
std::string programFilesFolder();

// A shortcut file as the shell reads it; loaded is false when it cannot be read.
struct Shortcut {
    bool loaded = false;
    std::string target, workingFolder;
};
Shortcut readShortcut(const std::string& linkPath);

}  // namespace test_support

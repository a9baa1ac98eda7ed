// Line numbers of the fields of an install list, so that findings can point at the line to fix.
// Only meaningful for a list that the loader has accepted: the layout is walked the same way.
#pragma once
#include <string>
#include <vector>

#include "tools/vgadisc/host_files.h"

namespace vgadisc {

// The list's lines: text up to each CR LF pair (a NUL ends the text early, as in the loader).
std::vector<std::string> splitListLines(const host::Bytes& data);

// 1-based line numbers of an install-type list's fields.
struct InstallListLines {
    int title = 0, secondText = 0, listSize = 0, uninstallProgram = 0;
    std::vector<int> folders, entries, archives;
    int mediaType = 0, saveData = 0, readData = 0;
    int systemData[2] = {0, 0};
};

// 1-based line numbers of a title list's fields. A section holds all its lines, also those past
// the record's slots that the loader drops.
struct TitleListLines {
    int name = 0, size = 0, sourceFolder = 0, programFile = 0, registryKey = 0;
    std::vector<int> folders, fileLines, menuFolders, menuShortcuts, desktopShortcuts;
    std::vector<int> stringValues, numberValues;
};

// False when the lines do not have the layout (the loader would have refused the list).
bool mapInstallListLines(const std::vector<std::string>& lines, InstallListLines* out);
bool mapTitleListLines(const std::vector<std::string>& lines, TitleListLines* out);

}  // namespace vgadisc

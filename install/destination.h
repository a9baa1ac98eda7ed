// Destination folder, free and required space, and the title controls that follow the registry.
#pragma once
#include <windows.h>

#include <cstddef>

// Space figures of the last refreshSpaceDisplay (MB split into units of 1024 MB and the rest).
// The install run compares required against free from these.
struct SpaceFigures {
    unsigned int freeGb, freeMbRest, requiredGb, requiredMbRest;
};
extern SpaceFigures g_space;

// Shows the folder browser owned by owner (file-system folders only, starting at the desktop).
// True when a folder was chosen: chosen (260 bytes) then holds its path. False on Cancel or when
// the folder has no file-system path; chosen is then empty. No program-wide state changes.
bool chooseInstallRoot(HWND owner, char* chosen);

// Makes path the destination root: a backslash is appended unless the path already ends in
// one (a drive root such as C:\), then programFilesDir and installRoot are set to it, installDir
// to it followed by "Varnis\Hub\", installDir is shown in 1032 of pageInstallConfirm and the
// space display is refreshed. A path too long to take "Varnis\Hub\" within 259 characters is
// refused with a message owned by owner, and an empty path silently: false, nothing changes.
bool applyChosenRoot(HWND owner, const char* path);

// The Change command of pageInstallConfirm: choose a folder, then applyChosenRoot.
// Cancel changes nothing.
void changeInstallRoot(HWND owner);

// Reads the free space of installDir's drive and shows the free and required figures on
// pageInstallConfirm (1033) and pageInstallSelect (1047); enables the Next buttons of
// pageInstallSelect (something to install) and pageUninstallSelect (a checked installed title,
// or the product with no title installed at all). When the free space cannot be read it shows
// "ディスク容量取得失敗" (no owner) and counts 0 MB free. Always true.
bool refreshSpaceDisplay();

// The root that the free space is asked for: "X:\" for a path on drive X, "\\server\share\"
// for a network path. False, root (260 bytes) empty, for a path that names neither.
bool spaceQueryRoot(const char* path, char* root);

unsigned int selectedInstallSize();
bool titleCountsForInstall(int index);
bool titleCountsForUninstall(int index);
bool syncTitleControls();
bool checkIfNotInstalled(int index, int controlId);
// "%d．%03d" of a figure in MB (1536 -> "1．512"); out holds outSize bytes, at least 32.
void formatSpaceFigure(unsigned int mb, char* out, size_t outSize);

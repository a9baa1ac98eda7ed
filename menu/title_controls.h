// The title and option controls of the pages: kept in line with the registry, the sizes and free
// space shown, the Next and Uninstall buttons, and the choices read from them for a run.
#pragma once
#include <windows.h>

#include "install/install_choices.h"
#include "uninstall/removal_plan.h"

// Space figures of the last refreshSpaceDisplay (MB split into units of 1024 MB and the rest).
struct SpaceFigures {
    unsigned int freeGb, freeMbRest, requiredGb, requiredMbRest;
};
extern SpaceFigures g_space;

// The free space of the drive that holds dir, in MB. When it cannot be read, "ディスク容量取得失敗"
// (no owner) and 0.
unsigned int destinationFreeMb(const char* dir);

// Reads the free space of installDir's drive and shows the free and required figures on
// pageInstallConfirm (1033) and pageInstallSelect (1047), then updateNextButtons. When the free
// space cannot be read it shows "ディスク容量取得失敗" (no owner) and counts 0 MB free.
void refreshSpaceDisplay();

// Enables the Next buttons of pageInstallSelect (something to install) and pageUninstallSelect
// (a checked installed title, or the product with no title installed at all) as the boxes and
// the registry stand now.
void updateNextButtons();

// The sum of the sizes of the titles that count for install.
unsigned int selectedInstallSize();
// A title counts for install when it is not installed and install-all or its own box is checked
// on pageInstallSelect; for uninstall when it is installed and its box on pageUninstallSelect is
// checked.
bool titleCountsForInstall(int index);
bool titleCountsForUninstall(int index);

// Brings the title boxes of both selection pages and the title lines of both confirm pages in
// line with the registry (installed titles can be uninstalled, the others installed).
void syncTitleControls();

// Checks the box controlId on pageInstallSelect when title index is not installed.
void checkIfNotInstalled(int index, int controlId);

// pageUninstallConfirm as its boxes and pageUninstallSelect's stand: the data options system,
// already-read and save are enabled only when the chosen titles are every installed title (they
// name the product's data, which goes only with the last title), and "アンインストール" only
// when the choices would remove anything.
void updateUninstallConfirm();

// Makes path the destination root (programFilesDir, installRoot, installDir) without touching a
// page. A path too long to take "Varnis\Hub\" within 259 characters is refused with
// "インストール先のパスが長すぎます。..." owned by owner, and an empty path silently: false,
// nothing changes.
bool takeDestinationRoot(HWND owner, const char* path);

// takeDestinationRoot, then shows installDir in 1032 of pageInstallConfirm and refreshes the
// space display.
bool applyChosenRoot(HWND owner, const char* path);

// The Change command of pageInstallConfirm: choose a folder, then applyChosenRoot.
// Cancel changes nothing.
void changeInstallRoot(HWND owner);

// The choices of an install run as the pages show them now: the titles checked on
// pageInstallSelect that are not installed, its shortcut options, the install type, the
// destination and the space figures last shown.
InstallChoices readInstallChoices();

// The choices of an uninstall run: the titles checked on pageUninstallSelect and the data boxes
// of pageUninstallConfirm.
UninstallChoices readUninstallChoices();

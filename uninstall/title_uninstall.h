// The per-title uninstall: removes what the per-title installation made for one title, and its key.
#pragma once
#include <windows.h>

#include "data/install_lists.h"

// The kinds of data the player chose on pageUninstallConfirm.
struct DataChoices {
    bool game;      // 1039: the installed files, shortcuts, folders and the registry record
    bool system;    // 1040
    bool read;      // 1041: already-read data
    bool save;      // 1042
    bool all;       // 1044 itself: the product's folders are removed too (when empty)
    // True when at least one of the four boxes 1039 to 1042 itself is checked. Delete-all (1044)
    // alone does not count here: the pages never leave it checked without one of the four.
    bool anyBoxChecked;
};

// Reads the five boxes of pageUninstallConfirm. When delete-all (1044) is checked, all four
// kinds count as chosen, whatever 1039 to 1042 show; otherwise each counts by its own box.
DataChoices readDataChoices();

// Removes one title. Only game data makes the per-title uninstall act; see the definition for
// what goes and in which order. A title whose key does not open was never registered, so
// nothing was made for it: nothing is touched. A key whose L_INST_PATH is not an absolute
// folder leaves the title's files and folders where they are (they cannot be found); its
// shortcuts, empty Start-menu folders and the key still go. Nothing that the installation did
// not make is deleted, and a folder goes only when it is empty. True when the title's key is
// gone afterwards (or was never there); false when game data was not chosen or the key could
// not be deleted.
bool uninstallTitle(const TitleRecord& title, const DataChoices& choices);

// The per-title uninstall of every title whose box is checked on pageUninstallSelect and whose
// key is present, in index order; for Harbor first its two extra records (in their order), then
// Harbor's own record, so that the extras' folders inside Harbor's are empty before Harbor's go.
void uninstallSelectedTitles(const DataChoices& choices);

// Makes folder (260 bytes) fit to have names appended: it must be absolute (a drive "X:\" or a
// network path "\\server\") and gets a trailing backslash when it has none. False, folder
// unchanged, when it is empty, relative, or has no room for the backslash: a relative folder
// would name files in whatever folder the program happens to run in.
bool makeUsableFolder(char* folder);

// Deletes folder + name when the joined path fits in 259 characters and name is not empty.
// clearReadOnly: first take away a read-only attribute (files the install copied are ours, and
// an older repair tool left the menu program read-only). A path that does not fit is skipped:
// cut short it would name another file. True when the file is gone afterwards.
bool deleteFileIn(const char* folder, const char* name, bool clearReadOnly);

// Removes folder + name when it fits and is empty (RemoveDirectoryA removes nothing else).
void removeEmptyFolderIn(const char* folder, const char* name);

// The per-title uninstall: removes what the per-title installation made for one title, and its key.
#pragma once
#include <windows.h>

#include "data/install_lists.h"
#include "uninstall/removal_plan.h"

// Removes one title. Only game data makes the per-title uninstall act; see the definition for
// what goes and in which order. A title whose key does not open was never registered, so
// nothing was made for it: nothing is touched. A key whose L_INST_PATH is not an absolute
// folder leaves the title's files and folders where they are (they cannot be found); its
// shortcuts, empty Start-menu folders and the key still go. Nothing that the installation did
// not make is deleted, and a folder goes only when it is empty. True when the title's key is
// gone afterwards (or was never there); false when game data was not chosen or the key could
// not be deleted.
bool uninstallTitle(const TitleRecord& title, const DataChoices& choices);

// What the per-title installation made for the title under root (its install root, trailing
// backslash; empty when unknown: the files and folders then stay), in uninstallTitle's order:
// files, shortcuts, Start-menu folders, folders (when empty), then the key and the title's
// unfinished mark. clearReadOnly: a read-only file of the list is deleted too (the uninstall);
// without it such a file stays (the roll-back: the copy never makes read-only files, so one is
// something that was in the way). True when the key is gone afterwards (or was never there).
bool removeTitleInstall(const TitleRecord& title, const char* root, bool clearReadOnly = true);

// The per-title uninstall of every title the plan removes whose key is present, in index order;
// for Harbor first its two extra records (in their order, those the plan names), then Harbor's
// own record, so that the extras' folders inside Harbor's are empty before Harbor's go.
void uninstallPlannedTitles(const RemovalPlan& plan, const DataChoices& choices);

// Removes what a run that the program did not live through left of a title: every title (and
// extra record) marked unfinished in the product key loses its files under the marked root, its
// shortcuts, folders and key, and the mark. A mark that no loaded list owns stays.
void removeUnfinishedTitles();

// Deletes folder + name when the joined path fits in 259 characters and name is not empty.
// clearReadOnly: first take away a read-only attribute (files the install copied are ours, and
// an older repair tool left the menu program read-only). A path that does not fit is skipped:
// cut short it would name another file. True when the file is gone afterwards.
bool deleteFileIn(const char* folder, const char* name, bool clearReadOnly);

// Removes folder + name when it fits and is empty (RemoveDirectoryA removes nothing else).
void removeEmptyFolderIn(const char* folder, const char* name);

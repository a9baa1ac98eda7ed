// The per-title installation of the closing steps: folders, files with disc changes, registry key, shortcuts.
#pragma once
#include <windows.h>

#include "data/install_lists.h"
#include "data/list_grammar.h"
#include "install/install_choices.h"

class CopyProgress;

// Installs one title into the run's install root (messages owned by the progress page). A title
// whose key opens already is skipped without a message (false). Otherwise: the title is marked
// unfinished in the product key, then come its folders, its files, its registry key and the
// shortcuts the run asks for, and the mark goes. The key and the shortcuts are written even when
// the files stop early, so that the roll-back finds the title whole. A mark that cannot be
// written stops the run (message, cancelRequested): a title copied without it could not be
// found again after a crash. False when the mark or the key could not be written (no shortcuts
// then) or when cancelRequested is set afterwards; the mark then stays for the roll-back or the
// next run.
bool installTitle(CopyProgress& progress, const TitleRecord& title, const InstallChoices& run);

// Makes installRoot + each folder of the title's folderList, in order, one level at a time; an
// existing folder is fine. A folder whose path does not fit is reported (owner) and left out,
// and cancelRequested is set.
void createTitleFolders(HWND owner, const TitleRecord& title, const char* installRoot);

// Works through the title's file lines in order (the kinds of data/list_grammar.h):
//   "setdir,<sub>"        the current subfolder (relative to installRoot) becomes <sub>
//   "disc<n>[,<file>]"    asks for install disc n (also "disk<n>"), then copies <file> if given
//   "end" or an empty key the list ends
//   "<any>,<file>"        copies sourceRoot + sourceFolder + <file> to
//                         installRoot + current subfolder + <file> (an empty <file> does nothing)
// A file that the disc does not hold is left out without a message; one whose path does not fit
// is reported and left out. When the disc has left its drive, the file is asked for again with
// the disc request; when the file cannot be read or written (a full disk, a read-only file in
// the way), "<destination> のコピーに失敗しました。" offers Retry and Cancel. A refused disc
// request or that Cancel sets cancelRequested, as the Cancel button would: the run is then
// rolled back instead of registering a title with part of its files.
// True when the list ran to its end; false when a disc was refused, cancelRequested was set
// after a file, or the menu is ending.
bool copyTitleFiles(CopyProgress& progress, const TitleRecord& title, const char* installRoot);

// True when every path the title's install would make fits 259 characters: installRoot with
// each folder of its folderList, and for each file line sourceRoot + sourceFolder + file and
// installRoot + current subfolder + file (the same walk as copyTitleFiles). Otherwise false,
// with the folder or file name that does not fit in offending (a 260-byte text).
bool titlePathsFit(const TitleRecord& title, const char* installRoot, char* offending);

// titlePathsFit for every title of the run, Harbor's extra records with it.
bool chosenTitlePathsFit(const InstallChoices& run, char* offending);

// The sum of the sizes of the run's titles (Harbor's with its extra lists), in MB.
unsigned int chosenTitlesSize(const InstallChoices& run);

// The per-title installation for every title of the run, in index order; for Harbor also its two
// extra records (the second unless cancelled). Sets titleMbTotal to the run's size and
// titleMbDone to 0 first. Starts no further title (nor extra record) once cancelRequested is set
// or the menu is ending.
void installSelectedTitles(CopyProgress& progress, const InstallChoices& run);

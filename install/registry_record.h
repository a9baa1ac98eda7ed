// The registry record: the product key and one key per installed title, under HKEY_CURRENT_USER.
// Whether the product or a title counts as installed is decided here and nowhere else.
#pragma once
#include <windows.h>

#include "data/install_lists.h"
#include "install/install_choices.h"

extern const char kProductKeyPath[];            // "Software\\Varnis\\SET-V"
extern const char kMakerKeyPath[];              // "Software\\Varnis\\"

// True when the product key opens with read access. A failing close shows "クローズエラー"
// (caption "ERROR", no owner) and still answers true.
bool isProductInstalled();
// True when the title's key (its registryKey) opens with read access. A title whose registryKey
// is empty is never installed (an empty path would name HKEY_CURRENT_USER itself).
bool isTitleInstalled(const TitleRecord& title);
// True when the product key opens with full access (the install run's test).
bool productKeyExistsForWrite();

// Creates the product key, marks its product copy as unfinished (INSTALL_UNFINISHED) and writes
// INSTALL_PATH, INSTALL_TYPE, the six archive values and MEDIA_TYPE from the run's installDir,
// installType and its install-type list. Messages are owned by owner.
// False when the key or one of its first two values could not be written: the run must not start.
// An archive path longer than 259 characters is not written (message naming the value); like
// any other failed archive or MEDIA_TYPE write it does not stop the run.
bool writeProductRegistry(HWND owner, const InstallChoices& run);

// The product key's mark of a product copy that has not reached its end: written before any
// file is copied and taken away when the last list entry is done, so a run that the program
// did not live through (ended from outside, a power cut) can be told from a finished one.
extern const char kUnfinishedValue[];           // "INSTALL_UNFINISHED"
// True when the product key holds the mark.
bool productCopyUnfinished();
// Takes the mark away (nothing happens when the key or the mark is not there).
void markProductCopyFinished();

// The mark of a title whose copy has not reached its end, in the product key: the value
// "INSTALL_UNFINISHED:" followed by the title's registry key, holding the install root (REG_SZ).
// Written before the title's first folder or file and taken away once its key and shortcuts are
// written, so that what a run the program did not live through left of the title can be found
// and removed. The games do not read it. False when the title has no registry key or the value
// could not be written.
bool markTitleUnfinished(const TitleRecord& title, const char* installRoot);
// Takes the mark away (nothing happens when the key or the mark is not there).
void markTitleFinished(const TitleRecord& title);
// The install root of an unfinished title into root (260 bytes, cleared first). False when the
// title is not marked or the root is not a text that fits.
bool unfinishedTitleRoot(const TitleRecord& title, char* root);

// Creates the title's key and writes L_INST_PATH (installRoot), its string values (tags
// expanded) and its number values. False, with a message owned by owner, when the key or a value fails; an
// expanded text longer than 259 characters is refused and counts as a failed value. Values
// written before a failure stay.
bool writeTitleRegistry(HWND owner, const TitleRecord& title, const char* installRoot);

// Reads L_INST_PATH of the title's key into folder (260 bytes; cleared first, always
// NUL-terminated). False when the key does not open, the value is missing, is not REG_SZ or
// does not fit; folder is then empty.
bool readTitleInstallPath(const TitleRecord& title, char* folder);

// Expands a leading "[インストールパス]" (installRoot) or "[メディアパス]" (sourceRoot) tag of
// text into out (260 bytes); other texts are copied unchanged. False when the result does not
// fit; out is then empty.
bool expandPathTag(const char* text, const char* installRoot, char* out);

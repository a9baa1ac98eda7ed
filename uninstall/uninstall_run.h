// The uninstall run: removes the titles chosen on pageUninstallSelect and, when none is left, the product.
#pragma once
#include <windows.h>

#include <cstddef>

#include "data/install_lists.h"
#include "uninstall/removal_plan.h"

// Removes what a run that did not end left of a title (removeUnfinishedTitles), then the chosen
// titles that are installed, with the chosen data (see planUninstall), then, once no title is
// left, the product's chosen data, files, keys, add/remove entry, shortcuts and empty folders.
// Started by the uninstall button. Messages are owned by owner.
// True when a title is still installed afterwards (the product stays) or when the product's
// part ran. False when none of the four data options 1039 to 1042 is checked (delete-all alone
// does not count) or when the product's record cannot be read; the latter shows one of the
// "レジストリ情報がありません" messages (caption "ERROR") before anything of the product is deleted;
// likewise when the install-type list of the record could not be read at start-up
// ("<list> を読み込めないため、アンインストールできません。"): the record then stays.
bool runUninstall(HWND owner, const UninstallChoices& choices);

// The uninstall button's run: runUninstall, then "ゲームの削除が終了しました" (caption
// "アンインストール", owned by owner) whatever it answered. Answers what runUninstall answered.
bool uninstallAndConfirm(HWND owner, const UninstallChoices& choices);

// The product's part of an uninstall for the product installed at installPath (trailing
// backslash) with the given install-type list: the chosen save, already-read and system data;
// with game data the list's files, the add/remove entry, the product's shortcuts and keys; with
// all data the list's folders when empty; and always the product folder and the "Varnis\"
// folder above it when empty. Of the list's files only the first `entries` entries count (a
// roll-back: those the run copied), and a read-only one only with clearReadOnly (the copy never
// makes one, but an older repair tool left the menu read-only).
void removeProductFiles(const char* installPath, const InstallTypeList& list, const DataChoices& choices,
                        int entries = kListEntries, bool clearReadOnly = true);

// Removes what an install run that ended in the middle of its product copy left (the list's
// files and folders under INSTALL_PATH, the product's shortcuts, add/remove entry and key) as
// the uninstall run would with game data chosen; no title is touched and no message is shown.
// The start of a new install run calls it before it records the product again.
void removeUnfinishedProduct();

// Byte length of the "Varnis\" folder above an install folder that ends in a real "\Hub\" (any
// letter case; a trail byte 0x5C of a two-byte character is no backslash), including its
// backslash; 0 when the install folder ends in anything else: its parent is then left alone.
size_t hubParentLength(const char* installPath);

// True when name matches pattern as the save-data pattern means it: '*' any run of characters,
// '?' one character (a two-byte character is one), ASCII letters in any case, a trailing ".*"
// also matching a name without extension. Used to keep the system's match of short 8.3 names
// ("*.sav" finding "notes.savx") from deleting files the pattern does not name.
bool matchesPattern(const char* pattern, const char* name);

// What an uninstall or the roll-back of an install run removes, decided from plain values before
// anything is touched. Portable: no Win32 header, tested natively.
#pragma once
#include "data/catalogue.h"
#include "install/install_choices.h"

// The kinds of data the player chose on pageUninstallConfirm.
struct DataChoices {
    bool game;      // 1039: the installed files, shortcuts, folders and the registry record
    bool system;    // 1040: the product's system data files
    bool read;      // 1041: the product's already-read data file
    bool save;      // 1042: the product's save data
    bool all;       // 1044 itself: the product's folders are removed too (when empty)
    // True when at least one of the four boxes 1039 to 1042 itself is checked. Delete-all (1044)
    // alone does not count here: the pages never leave it checked without one of the four.
    bool anyBoxChecked;
};

// The boxes of pageUninstallConfirm as data choices: when delete-all (1044) is checked, all four
// kinds count as chosen, whatever 1039 to 1042 show; otherwise each counts by its own box.
DataChoices dataChoicesFromBoxes(bool all, bool game, bool system, bool read, bool save);

// An uninstall run as the player starts it: the titles chosen on pageUninstallSelect and the data
// chosen on pageUninstallConfirm.
struct UninstallChoices {
    bool titles[kTitleCount];
    DataChoices data;
};

// What a run removes.
//
// A title goes with its game data: the files its list copied, its shortcuts, its folders when
// empty and its registry key. The lists do not name the files an installed game writes later,
// so a title's own saves, already-read and system data stay in its folders (which then stay
// too). The data options name the product's data files (the install-type list's save pattern,
// already-read file and system files): they go with the product, which goes only when no title
// is left. Nothing is deleted that no list names.
struct RemovalPlan {
    bool titles[kTitleCount];                       // titles removed (for Harbor: its extra records first)
    bool harborExtras[kHarborExtraCount];           // extra records removed (a roll-back may keep one)
    bool product;                                   // the product's part runs
    DataChoices productData;                        // and removes these of it
};

// The uninstall: installed[i] whether title i is installed, productInstalled whether the
// product key is there. Chosen titles that are installed go when game data is chosen; the
// product's part runs when no installed title is left afterwards and a data box is checked.
RemovalPlan planUninstall(const bool installed[kTitleCount], bool productInstalled, const UninstallChoices& choices);

// True when the plan deletes anything at all: a title, or the product's files or data.
bool removesAnything(const RemovalPlan& plan);

// True when the data options (system, already-read, save) can act: the chosen titles are every
// installed title, so the product would go with them.
bool dataOptionsApply(const bool installed[kTitleCount], const bool chosen[kTitleCount]);

// The roll-back of a cancelled or failed install run: every title (and extra record) the run was
// to install whose key was not there at its start; the product's files, keys, shortcuts and
// add/remove entry only when the run made its key; never any player data (save, already-read,
// system data), and folders only when empty.
RemovalPlan planRollBack(const InstallChoices& run, const RunOrigin& origin);

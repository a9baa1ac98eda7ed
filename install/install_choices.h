// The player's choices for one install run, and what of the product was there when it started.
// Plain values: the pages fill them, the run carries them. Portable: no Win32 header.
#pragma once
#include "data/catalogue.h"
#include "support/text_buffer.h"

// Read from the pages once, when "インストール開始" is pressed; the run never looks at a page again.
struct InstallChoices {
    bool titles[kTitleCount];    // titles to install: checked on pageInstallSelect and not installed then
    bool desktopShortcuts;       // option 1040
    bool startMenuShortcuts;     // option 1041
    int installType;             // 0 full, 1 compact
    Text installRoot;            // the destination root, trailing backslash
    Text installDir;             // installRoot + "Varnis\Hub\": where the product goes
    unsigned int requiredMb;     // the space figures the pages showed: the titles' size
    unsigned int freeMb;         // and the free space of the destination's drive
};

// The product's record as the run found it. A roll-back removes only what the run added: a title
// or an extra record whose key was there keeps everything, and the product goes only when the
// run made (or made afresh) its key.
struct RunOrigin {
    bool productInstalled;                          // the product key was there, its copy finished
    bool titleInstalled[kTitleCount];
    bool harborExtraInstalled[kHarborExtraCount];
};

// Program-wide state of the menu: pages, run state, path buffers, lists and the archive reader.
// Everything here exists once, is created before or at start-up and lives until the program ends.
#pragma once
#include <windows.h>

#include "data/archive_reader.h"
#include "data/install_lists.h"
#include "support/text_buffer.h"

constexpr int kTitleCount = 5;          // 0 Lantern, 1 Brindle, 2 Harbor, 3 Rainmere, 4 Mistvale
constexpr int kHarborIndex = 2;

enum class RunMode { Idle, Copying };

// The eight pages, in the order they are created.
struct Pages {
    HWND welcome;           // 132
    HWND main;              // 133
    HWND installSelect;     // 134
    HWND installConfirm;    // 137
    HWND progress;          // 135
    HWND uninstallConfirm;  // 136
    HWND uninstallSelect;   // 138
    HWND play;              // 139
};

extern Pages g_pages;

extern Text sourceRoot;         // disc folder; the probe replaces it with the drive holding the last file found
extern Text programFilesDir;    // Program Files (or the chosen root), trailing backslash
extern Text installRoot;        // root under which the product and the titles go, trailing backslash
extern Text installDir;         // installRoot + "Varnis\\Hub\\"
extern int installType;         // 0 full, 1 compact
extern RunMode runMode;
extern int copyIndex;
extern unsigned int bytesCopied;
extern int currentDisc;
extern bool voiceArcNoted;
extern volatile unsigned char cancelRequested;

extern InstallTypeList g_installLists[2];   // 0 full ("instdata_f.txt"), 1 compact ("instdata_c.txt")
extern TitleRecord g_titles[kTitleCount];
extern TitleRecord g_harborExtra[2];        // "inst_harbor.txt", "inst_harborsp.txt"
extern CArchiveReader g_archive;

// Which lists start-up read whole. A list that is missing or was refused leaves its record
// empty, and an install from an empty record would register what it never copied.
extern bool g_installListRead[2];
extern const char* const kInstallTypeListNames[2];   // "instdata_f.txt", "instdata_c.txt"
extern bool g_titleListRead[kTitleCount];
extern bool g_harborExtraRead[2];

// The mutex "vgahub_menu", held from start-up until quitMenu releases it; null when not held.
extern HANDLE g_menuMutex;

// The install-type list that installType selects.
inline InstallTypeList& selectedList() { return g_installLists[installType == 1 ? 1 : 0]; }

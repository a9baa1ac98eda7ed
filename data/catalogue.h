// The installer data of the disc set as the menu loads it at start-up: the installer archive and
// the nine lists inside it. Loaded once, read by the pages, the install and the uninstall.
#pragma once
#include <cstddef>

#include "data/archive_reader.h"
#include "data/install_lists.h"

constexpr int kTitleCount = 5;          // 0 Lantern, 1 Brindle, 2 Harbor, 3 Rainmere, 4 Mistvale
constexpr int kHarborIndex = 2;
constexpr int kHarborExtraCount = 2;    // Harbor's two further lists, installed and removed with it

extern CArchiveReader g_archive;
extern InstallTypeList g_installLists[2];   // 0 full ("instdata_f.txt"), 1 compact ("instdata_c.txt")
extern TitleRecord g_titles[kTitleCount];
extern TitleRecord g_harborExtra[kHarborExtraCount];   // "inst_harbor.txt", "inst_harborsp.txt"

// Which lists were read whole. A list that is missing or was refused leaves its record empty,
// and an install from an empty record would register what it never copied.
extern bool g_installListRead[2];
extern bool g_titleListRead[kTitleCount];
extern bool g_harborExtraRead[kHarborExtraCount];

extern const char* const kInstallTypeListNames[2];   // "instdata_f.txt", "instdata_c.txt"
extern const char* const kTitleListNames[kTitleCount];
extern const char* const kHarborExtraListNames[kHarborExtraCount];

// The install-type list of an install type (0 full; 1 compact; anything else counts as full).
inline InstallTypeList& installTypeList(int type) { return g_installLists[type == 1 ? 1 : 0]; }
inline int installTypeIndex(int type) { return type == 1 ? 1 : 0; }

// Sets the archive key "kavo", opens the archive at archivePath and loads the two install-type
// lists. False when the archive did not open (the lists then stay empty).
bool openCatalogue(const char* archivePath);

// Loads the five title lists and Harbor's two extra lists, then adds the extra lists' sizes to
// Harbor's.
void loadTitleLists();

// The names of the lists that the archive holds but that could not be read (unpacked or
// accepted), separated by "、", into names (capacity bytes; empty when all were read). A list
// the archive does not hold at all is not named.
void unreadListNames(char* names, size_t capacity);

// The list an install of installType with the given titles needs and that could not be read,
// or null when every such list was read.
const char* unreadListForInstall(int installType, const bool titles[kTitleCount]);

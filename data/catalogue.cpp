// The installer data of the disc set: the archive and its nine lists, loaded once at start-up.
#include "data/catalogue.h"

#include "support/text_buffer.h"

CArchiveReader g_archive;
InstallTypeList g_installLists[2] = {};
TitleRecord g_titles[kTitleCount] = {};
TitleRecord g_harborExtra[kHarborExtraCount] = {};
bool g_installListRead[2] = {};
bool g_titleListRead[kTitleCount] = {};
bool g_harborExtraRead[kHarborExtraCount] = {};

const char* const kInstallTypeListNames[2] = {"instdata_f.txt", "instdata_c.txt"};
const char* const kTitleListNames[kTitleCount] = {
    "inst_lantern.txt", "inst_brindle.txt", "inst_harbormenu.txt", "inst_rainmere.txt", "inst_mistvale.txt",
};
const char* const kHarborExtraListNames[kHarborExtraCount] = {"inst_harbor.txt", "inst_harborsp.txt"};

namespace {

// A list that the archive holds but that could not be unpacked or was refused (a line too long,
// the data ending early, an install-type section over its capacity) is named, with "、" between
// names.
void addUnreadList(const char* name, bool read, char* names, size_t capacity)
{
    uint32_t size = 0;
    if (read || !g_archive.GetSize(name, &size)) return;
    if (names[0] != '\0' && !textAppend(names, capacity, "、")) return;
    textAppend(names, capacity, name);
}

}  // namespace

bool openCatalogue(const char* archivePath)
{
    g_archive.SetKey("kavo");
    const bool opened = g_archive.Open(archivePath);
    for (int i = 0; i < 2; ++i)
        g_installListRead[i] = loadInstallTypeList(g_archive, kInstallTypeListNames[i], &g_installLists[i]);
    return opened;
}

void loadTitleLists()
{
    for (int i = 0; i < kTitleCount; ++i)
        g_titleListRead[i] = loadTitleRecord(g_archive, kTitleListNames[i], &g_titles[i]);
    for (int i = 0; i < kHarborExtraCount; ++i)
        g_harborExtraRead[i] = loadTitleRecord(g_archive, kHarborExtraListNames[i], &g_harborExtra[i]);
    g_titles[kHarborIndex].sizeMb += g_harborExtra[0].sizeMb + g_harborExtra[1].sizeMb;
}

void unreadListNames(char* names, size_t capacity)
{
    if (capacity == 0) return;
    names[0] = '\0';
    for (int i = 0; i < 2; ++i) addUnreadList(kInstallTypeListNames[i], g_installListRead[i], names, capacity);
    for (int i = 0; i < kTitleCount; ++i) addUnreadList(kTitleListNames[i], g_titleListRead[i], names, capacity);
    for (int i = 0; i < kHarborExtraCount; ++i)
        addUnreadList(kHarborExtraListNames[i], g_harborExtraRead[i], names, capacity);
}

const char* unreadListForInstall(int installType, const bool titles[kTitleCount])
{
    const int type = installTypeIndex(installType);
    if (!g_installListRead[type]) return kInstallTypeListNames[type];
    for (int i = 0; i < kTitleCount; ++i) {
        if (!titles[i]) continue;
        if (!g_titleListRead[i]) return kTitleListNames[i];
        if (i != kHarborIndex) continue;
        for (int e = 0; e < kHarborExtraCount; ++e)
            if (!g_harborExtraRead[e]) return kHarborExtraListNames[e];
    }
    return nullptr;
}

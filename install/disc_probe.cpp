// The disc probe: finds a file on the optical drives, or beside the start folder.
#include "install/disc_probe.h"

#include <windows.h>

#include <cstring>

#include "install/destination.h"
#include "install/run_state.h"
#include "support/handle.h"
#include "support/path.h"

Text startFolder = "";

namespace {

// The sibling folders looked at, at most: a parent with more subfolders (a whole games folder)
// is searched in its first ones by name.
constexpr int kSiblingSlots = 32;

// True when folder + name opens for reading (a file, not a folder). The error mode set at
// start-up keeps an empty drive from raising the system's own box.
bool holds(const char* folder, const char* name)
{
    Text path = {};
    if (!textJoin(path, kTextSize, folder, name)) return false;   // a name too long for this place
    const FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

void useAsSource(const char* folder)
{
    std::memset(sourceRoot, 0, sizeof sourceRoot);
    textCopy(sourceRoot, kTextSize, folder);
}

bool probeOpticalDrives(const char* name)
{
    char roots[1024];
    std::memset(roots, 0, sizeof roots);
    DWORD length = GetLogicalDriveStringsA(sizeof roots, roots);
    // 0 is a failure; a length above the buffer means the list did not fit and nothing was written.
    if (length == 0 || length >= sizeof roots) return false;

    for (const char* root = roots; *root; root += std::strlen(root) + 1) {
        if (GetDriveTypeA(root) != DRIVE_CDROM) continue;
        const char drive[4] = {root[0], root[1], '\\', '\0'};
        if (!holds(drive, name)) continue;
        useAsSource(drive);
        return true;
    }
    return false;
}

// True when the start folder lies on an optical drive: the drives have been searched already.
bool startFolderOnOpticalDrive()
{
    Text root = {};
    return spaceQueryRoot(startFolder, root) && GetDriveTypeA(root) == DRIVE_CDROM;
}

// The subfolders of parent (trailing backslash), each with its trailing backslash, sorted by name
// with the letter case ignored, into folders; answers how many.
int siblingFolders(const char* parent, Text (&folders)[kSiblingSlots])
{
    Text pattern = {};
    if (!textJoin(pattern, kTextSize, parent, "*")) return 0;
    WIN32_FIND_DATAA entry;
    const FindHandle find(FindFirstFileA(pattern, &entry));
    if (!find) return 0;
    int count = 0;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || std::strcmp(entry.cFileName, ".") == 0 ||
            std::strcmp(entry.cFileName, "..") == 0)
            continue;
        Text folder = {};
        if (!textJoin(folder, kTextSize, parent, entry.cFileName, "\\")) continue;
        // Insertion in name order; past the last slot the largest names fall away.
        int at = count < kSiblingSlots ? count : kSiblingSlots - 1;
        if (count == kSiblingSlots && lstrcmpiA(folder, folders[at]) >= 0) continue;
        while (at > 0 && lstrcmpiA(folder, folders[at - 1]) < 0) {
            std::memcpy(folders[at], folders[at - 1], kTextSize);
            --at;
        }
        std::memcpy(folders[at], folder, kTextSize);
        if (count < kSiblingSlots) ++count;
    } while (FindNextFileA(find.get(), &entry));
    return count;
}

bool probeStartFolders(const char* name)
{
    if (startFolder[0] == '\0' || !endsWithBackslash(startFolder) || startFolderOnOpticalDrive()) return false;
    if (holds(startFolder, name)) {
        useAsSource(startFolder);
        return true;
    }
    // The parent: the start folder without its own backslash, cut after the one before it.
    Text self = {}, parent = {};
    textCopy(self, kTextSize, startFolder);
    self[std::strlen(self) - 1] = '\0';
    folderOf(self, parent);
    if (parent[0] == '\0') return false;   // the start folder is a drive's root

    static Text siblings[kSiblingSlots];   // 8 KB: kept off the stack of the copy's message pump
    const int count = siblingFolders(parent, siblings);
    for (int i = 0; i < count; ++i) {
        if (lstrcmpiA(siblings[i], startFolder) == 0 || !holds(siblings[i], name)) continue;
        useAsSource(siblings[i]);
        return true;
    }
    return false;
}

}  // namespace

bool probeDiscFile(const char* name)
{
    return probeOpticalDrives(name) || probeStartFolders(name);
}

// The disc probe: finds a file on the optical drives and makes that drive the source of the copy.
#include "install/disc_probe.h"

#include <windows.h>

#include <cstring>

#include "install/run_state.h"
#include "support/handle.h"

bool probeDiscFile(const char* name)
{
    char roots[1024];
    std::memset(roots, 0, sizeof roots);
    DWORD length = GetLogicalDriveStringsA(sizeof roots, roots);
    // 0 is a failure; a length above the buffer means the list did not fit and nothing was written.
    if (length == 0 || length >= sizeof roots) return false;

    for (const char* root = roots; *root; root += std::strlen(root) + 1) {
        if (GetDriveTypeA(root) != DRIVE_CDROM) continue;
        const char drive[4] = {root[0], root[1], '\\', '\0'};
        Text path;
        if (!textJoin(path, kTextSize, drive, name)) continue;   // a name too long for any drive
        // The error mode set at start-up keeps an empty drive from raising the system's own box.
        const FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) continue;
        std::memset(sourceRoot, 0, sizeof sourceRoot);
        textCopy(sourceRoot, kTextSize, drive);
        return true;
    }
    return false;
}

// Destination folder and free space.
#include "install/destination.h"

#include <cstring>

#include "support/path.h"
#include "support/shell_folder.h"

Text programFilesDir = "";
Text installRoot = "";
Text installDir = "";
int installType = 0;

const char kProductFolder[] = "Varnis\\Hub\\";

namespace {

const char kBrowseTitle[] = "インストール先のフォルダを選択してください";

// Pointer just past the next real backslash at or after p (trail bytes skipped), or null.
const char* pastNextBackslash(const char* p)
{
    for (; *p; ++p) {
        if (isSjisLeadByte(static_cast<unsigned char>(*p))) {
            if (p[1] == '\0') return nullptr;
            ++p;
        } else if (*p == '\\') {
            return p + 1;
        }
    }
    return nullptr;
}

}  // namespace

bool spaceQueryRoot(const char* path, char* root)
{
    std::memset(root, 0, kTextSize);
    unsigned char first = static_cast<unsigned char>(path[0]);
    bool letter = (first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z');
    if (letter && path[1] == ':') {
        root[0] = path[0];
        root[1] = ':';
        root[2] = '\\';
        return true;
    }
    if (path[0] == '\\' && path[1] == '\\') {
        // \\server\share\...: the root is the share, with its backslash.
        const char* share = pastNextBackslash(path + 2);
        if (!share || share == path + 3 || *share == '\0' || *share == '\\') return false;
        const char* rest = pastNextBackslash(share);
        size_t length = rest ? static_cast<size_t>(rest - path) : std::strlen(path);
        if (length + (rest ? 0 : 1) >= kTextSize) return false;
        std::memcpy(root, path, length);
        if (!rest) root[length] = '\\';
        return true;
    }
    return false;
}

bool freeMegabytes(const char* path, unsigned int* mb)
{
    *mb = 0;
    Text root = {};
    const char* query = spaceQueryRoot(path, root) ? root : nullptr;   // null: the current drive
    ULARGE_INTEGER available = {}, total = {}, free = {};
    if (!GetDiskFreeSpaceExA(query, &available, &total, &free)) return false;
    *mb = static_cast<unsigned int>(free.QuadPart >> 20);
    return true;
}

bool chooseInstallRoot(HWND owner, char* chosen)
{
    std::memset(chosen, 0, kTextSize);
    Text displayName = {};
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;   // the desktop
    info.pszDisplayName = displayName;
    info.lpszTitle = kBrowseTitle;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    if (takeItemPath(SHBrowseForFolderA(&info), chosen)) return true;
    std::memset(chosen, 0, kTextSize);
    return false;
}

bool destinationFor(const char* path, char* root, char* dir)
{
    std::memset(root, 0, kTextSize);
    std::memset(dir, 0, kTextSize);
    if (path[0] == '\0') return false;
    // A drive root already ends in a backslash; any other folder gets one. The test walks the
    // characters, so a name ending in a two-byte character with a 0x5C trail byte still gets it.
    const char* separator = endsWithBackslash(path) ? "" : "\\";
    if (textJoin(root, kTextSize, path, separator) && textJoin(dir, kTextSize, root, kProductFolder)) return true;
    std::memset(root, 0, kTextSize);
    return false;
}

void formatSpaceFigure(unsigned int mb, char* out, size_t outSize)
{
    char text[64] = {};
    wsprintfA(text, "%d．%03d", static_cast<int>(mb / 1024), static_cast<int>(mb % 1024));
    if (!textCopy(out, outSize, text) && outSize > 0) out[0] = '\0';
}

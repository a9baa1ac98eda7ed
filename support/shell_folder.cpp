// The shell's folders and the paths of the items it hands out, through one item-list call.
#include "support/shell_folder.h"

#include "support/text_buffer.h"

bool takeItemPath(LPITEMIDLIST item, char* out)
{
    out[0] = '\0';
    if (!item) return false;
    char path[MAX_PATH] = {};
    const bool found = SHGetPathFromIDListA(item, path) && path[0] != '\0';
    CoTaskMemFree(item);
    return found && textCopy(out, kTextSize, path);
}

bool shellFolderPath(int csidl, char* out)
{
    out[0] = '\0';
    LPITEMIDLIST item = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &item))) return false;
    return takeItemPath(item, out);
}

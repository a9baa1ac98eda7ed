// Destination folder, free and required space, and the title controls that follow the registry.
#include "install/destination.h"

#include <shlobj.h>

#include <cstring>

#include "install/registry_record.h"
#include "menu/app_state.h"
#include "menu/message_box.h"
#include "menu/page_ids.h"

SpaceFigures g_space = {};

namespace {

const char kBrowseTitle[] = "インストール先のフォルダを選択してください";
const char kProductFolder[] = "Varnis\\Hub\\";
const char kRootTooLong[] =
    "インストール先のパスが長すぎます。\nもっと短いパスのフォルダを選択してください。";
const char kInstallCaption[] = "インストール";
const char kFreeSpaceFailed[] = "ディスク容量取得失敗";
const char kErrorCaption[] = "ERROR";

bool validIndex(int index) { return index >= 0 && index < kTitleCount; }

bool isChecked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void enableControl(HWND page, int id, bool enable)
{
    HWND control = GetDlgItem(page, id);
    if (control) EnableWindow(control, enable ? TRUE : FALSE);
}

// Free bytes of the drive holding path (all free bytes, not only the caller's quota), in MB
// kept to 32 bits. When the system cannot tell, the user is told and 0 is counted.
unsigned int freeMegabytes(const char* path)
{
    Text root = {};
    const char* query = spaceQueryRoot(path, root) ? root : nullptr;   // null: the current drive
    ULARGE_INTEGER available = {}, total = {}, free = {};
    if (!GetDiskFreeSpaceExA(query, &available, &total, &free)) {
        showMessage(nullptr, kFreeSpaceFailed, kErrorCaption);
        return 0;
    }
    return static_cast<unsigned int>(free.QuadPart >> 20);
}

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
    LPITEMIDLIST item = SHBrowseForFolderA(&info);
    if (!item) return false;
    BOOL hasPath = SHGetPathFromIDListA(item, chosen);
    CoTaskMemFree(item);
    if (!hasPath) {
        std::memset(chosen, 0, kTextSize);
        return false;
    }
    return chosen[0] != '\0';
}

bool applyChosenRoot(HWND owner, const char* path)
{
    if (path[0] == '\0') return false;
    Text root = {}, dir = {};
    // A drive root already ends in a backslash; any other folder gets one. The test walks the
    // characters, so a name ending in a two-byte character with a 0x5C trail byte still gets it.
    const char* separator = endsWithBackslash(path) ? "" : "\\";
    if (!textJoin(root, sizeof root, path, separator) ||
        !textJoin(dir, sizeof dir, root, kProductFolder)) {
        showMessage(owner, kRootTooLong, kInstallCaption);
        return false;
    }
    std::memset(programFilesDir, 0, sizeof programFilesDir);
    std::memset(installRoot, 0, sizeof installRoot);
    std::memset(installDir, 0, sizeof installDir);
    textCopy(programFilesDir, sizeof programFilesDir, root);
    textCopy(installRoot, sizeof installRoot, root);
    textCopy(installDir, sizeof installDir, dir);
    SetDlgItemTextA(g_pages.installConfirm, IDC_DESTINATION, installDir);
    refreshSpaceDisplay();
    return true;
}

void changeInstallRoot(HWND owner)
{
    // Browsed into a buffer of its own: Cancel or a refused path leaves installDir as it was.
    Text chosen = {};
    if (chooseInstallRoot(owner, chosen)) applyChosenRoot(owner, chosen);
}

void formatSpaceFigure(unsigned int mb, char* out, size_t outSize)
{
    char text[64] = {};
    wsprintfA(text, "%d．%03d", static_cast<int>(mb / 1024), static_cast<int>(mb % 1024));
    if (!textCopy(out, outSize, text) && outSize > 0) out[0] = '\0';
}

bool refreshSpaceDisplay()
{
    const unsigned int freeMb = freeMegabytes(installDir);
    g_space.freeGb = freeMb / 1024;
    g_space.freeMbRest = freeMb - g_space.freeGb * 1024;
    char freeText[32] = {};
    formatSpaceFigure(freeMb, freeText, sizeof freeText);

    const unsigned int requiredMb = selectedInstallSize();
    g_space.requiredGb = requiredMb / 1024;
    g_space.requiredMbRest = requiredMb % 1024;
    char requiredText[32] = {};
    formatSpaceFigure(requiredMb, requiredText, sizeof requiredText);

    char spaceText[128] = {};
    wsprintfA(spaceText, "%s / %s GB", requiredText, freeText);
    SetDlgItemTextA(g_pages.installConfirm, IDC_SPACE, spaceText);

    char requiredLine[128] = {};
    wsprintfA(requiredLine, "%d．%03d ＧＢの空き容量が必要です。",
              static_cast<int>(g_space.requiredGb), static_cast<int>(g_space.requiredMbRest));
    SetDlgItemTextA(g_pages.installSelect, IDC_REQUIRED_SPACE, requiredLine);

    enableControl(g_pages.installSelect, IDC_NEXT, requiredMb != 0);
    bool anyToUninstall = false, anyInstalled = false;
    for (int i = 0; i < kTitleCount; ++i) {
        anyToUninstall = titleCountsForUninstall(i) || anyToUninstall;
        anyInstalled = isTitleInstalled(g_titles[i]) || anyInstalled;
    }
    // With no title installed the product alone is left (a run that ended before its titles,
    // or titles whose record failed): the uninstall run is the only way to remove it.
    if (!anyInstalled && isProductInstalled()) anyToUninstall = true;
    enableControl(g_pages.uninstallSelect, IDC_NEXT, anyToUninstall);
    return true;
}

unsigned int selectedInstallSize()
{
    unsigned int total = 0;
    for (int i = 0; i < kTitleCount; ++i)
        if (titleCountsForInstall(i)) total += static_cast<unsigned int>(g_titles[i].sizeMb);
    return total;
}

bool titleCountsForInstall(int index)
{
    if (!validIndex(index) || isTitleInstalled(g_titles[index])) return false;
    if (isChecked(g_pages.installSelect, IDC_ALL_TITLES)) return true;
    return isChecked(g_pages.installSelect, IDC_TITLE_BOX_BASE + index);
}

bool titleCountsForUninstall(int index)
{
    if (!validIndex(index) || !isTitleInstalled(g_titles[index])) return false;
    return isChecked(g_pages.uninstallSelect, IDC_TITLE_BOX_BASE + index);
}

bool syncTitleControls()
{
    for (int i = 0; i < kTitleCount; ++i) {
        const int box = IDC_TITLE_BOX_BASE + i;
        const int line = IDC_CONFIRM_LINE_BASE + i;
        if (isTitleInstalled(g_titles[i])) {
            enableControl(g_pages.installSelect, box, false);
            enableControl(g_pages.uninstallSelect, box, true);
            enableControl(g_pages.installConfirm, line, false);
        } else {
            enableControl(g_pages.installSelect, box, true);
            enableControl(g_pages.uninstallSelect, box, false);
            enableControl(g_pages.installConfirm, line, isChecked(g_pages.installSelect, box));
        }
        enableControl(g_pages.uninstallConfirm, line,
                      isChecked(g_pages.uninstallSelect, box) && isTitleInstalled(g_titles[i]));
    }
    return true;
}

bool checkIfNotInstalled(int index, int controlId)
{
    if (validIndex(index) && !isTitleInstalled(g_titles[index]))
        CheckDlgButton(g_pages.installSelect, controlId, BST_CHECKED);
    return true;
}

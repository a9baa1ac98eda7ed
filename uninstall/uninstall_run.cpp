// The uninstall run: removes the titles chosen on pageUninstallSelect and, when none is left, the product.
#include "uninstall/uninstall_run.h"

#include <shlobj.h>

#include <cstring>

#include "data/list_grammar.h"
#include "data/catalogue.h"
#include "install/destination.h"
#include "install/registry_record.h"
#include "install/run_state.h"
#include "install/shortcuts.h"
#include "install/uninstall_entry.h"
#include "support/handle.h"
#include "support/action_log.h"
#include "support/message_box.h"
#include "support/path.h"
#include "support/registry_key.h"
#include "support/shell_folder.h"
#include "support/text_buffer.h"
#include "uninstall/title_uninstall.h"

namespace {

const char kErrorCaption[] = "ERROR";
const char kNoRecord[] = "レジストリ情報がありません";
const char kNoInstallPath[] = "レジストリ情報がありません[INSTALL_PATH]";
const char kNoInstallType[] = "レジストリ情報がありません[INSTALL_TYPE]";

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// INSTALL_TYPE as the install run writes it (REG_DWORD 0 or 1) and as earlier versions of the
// menu compared it (the REG_SZ texts "0" and "1"). Any other data leaves *installType as it is.
void applyInstallType(DWORD type, const BYTE* data, DWORD size, int* installType)
{
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, data, sizeof number);
        if (number <= 1) *installType = static_cast<int>(number);
        return;
    }
    if (type == REG_SZ && size >= 2 && (data[0] == '0' || data[0] == '1') && data[1] == '\0')
        *installType = data[0] - '0';
}

// Reads INSTALL_PATH (a REG_SZ naming an absolute folder; a trailing backslash is added when it
// lacks one) into installPath and INSTALL_TYPE into *type (which keeps its value for data other
// than 0 and 1). Answers false when the record cannot be used, after the matching message
// (owned by owner) unless quiet.
bool readProductRecord(HWND owner, char* installPath, int* type, bool quiet = false)
{
    auto refuse = [owner, quiet](const char* text) {
        if (!quiet) showMessage(owner, text, kErrorCaption, MB_OK);
    };
    RegistryKey key;
    if (key.open(HKEY_CURRENT_USER, kProductKeyPath, KEY_READ) != ERROR_SUCCESS) {
        refuse(kNoRecord);
        return false;
    }

    // The install run stores the whole 260-byte buffer; a text that fills all 260 has no room
    // for its NUL in a Text.
    Text path = {};
    if (!key.readText("INSTALL_PATH", path, sizeof path) || !makeUsableFolder(path)) {
        key.close();
        refuse(kNoInstallPath);
        return false;
    }

    BYTE typeData[kTextSize] = {};
    DWORD valueType = 0;
    DWORD size = sizeof typeData;
    if (key.readRaw("INSTALL_TYPE", &valueType, typeData, &size) != ERROR_SUCCESS) {
        key.close();
        refuse(kNoInstallType);
        return false;
    }
    key.close();
    applyInstallType(valueType, typeData, size, type);
    std::memcpy(installPath, path, sizeof path);
    return true;
}

// Save data: the files in the pattern's folder whose names match it; no subfolder is entered
// and no folder is deleted.
void deleteSaveData(const char* installPath, const char* pattern)
{
    Text search = {};
    if (pattern[0] == '\0' || !textJoin(search, kTextSize, installPath, pattern)) return;
    Text folder = {};
    folderOf(search, folder);
    const char* namePattern = fileNamePart(search);

    WIN32_FIND_DATAA found;
    const FindHandle find(FindFirstFileA(search, &found));
    if (!find) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!matchesPattern(namePattern, found.cFileName)) continue;
        deleteFileIn(folder, found.cFileName, false);
    } while (FindNextFileA(find.get(), &found));
}

// The files of the install-type list; a disc-change line names no file.
void deleteListFiles(const char* installPath, const InstallTypeList& list, int entries, bool clearReadOnly)
{
    const int count = listCount(list.entryCount, entries < kListEntries ? entries : kListEntries);
    for (int i = 0; i < count; ++i) {
        if (isDiscChangeEntry(list.entries[i])) continue;
        deleteFileIn(installPath, list.entries[i], clearReadOnly);
    }
}

// The product's shortcuts and its Start-menu folders (Programs\Varnis\Hub, Programs\Varnis),
// the folders only when empty: a title's Start-menu folder in Varnis keeps it.
void deleteProductShortcuts()
{
    Text programs = {}, desktop = {};
    if (shellFolderPath(CSIDL_PROGRAMS, programs)) {
        Text varnis = {}, hub = {};
        if (joinFolder(varnis, programs, "Varnis\\") &&
            textJoin(hub, kTextSize, varnis, "Hub\\")) {
            deleteFileIn(hub, "Setup.lnk", false);
            deleteFileIn(hub, "Varnis Grand Anthology.lnk", false);
            removeFolderLogged(hub);
            removeFolderLogged(varnis);
        }
    }
    if (shellFolderPath(CSIDL_DESKTOP, desktop)) {
        Text folder = {};
        if (joinFolder(folder, desktop, "")) deleteFileIn(folder, "Varnis Grand Anthology.lnk", false);
    }
}

// The product key, then the maker's key "Software\Varnis\" only when nothing is left in it: it
// may hold keys of other products of the maker, which are not ours to delete.
void deleteProductKeys()
{
    deleteRegistryKey(HKEY_CURRENT_USER, kProductKeyPath);

    RegistryKey maker;
    if (maker.open(HKEY_CURRENT_USER, kMakerKeyPath, KEY_READ) != ERROR_SUCCESS) return;
    DWORD subkeys = 0, values = 0;
    const bool empty = RegQueryInfoKeyA(maker.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                        &values, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
                       subkeys == 0 && values == 0;
    maker.close();
    if (empty) deleteRegistryKey(HKEY_CURRENT_USER, kMakerKeyPath);
}

// The product folder, then the "Varnis\" folder above it, each only when empty.
void removeProductFolders(const char* installPath)
{
    removeFolderLogged(installPath);
    const size_t parentLength = hubParentLength(installPath);
    if (parentLength == 0) return;
    Text parent = {};
    std::memcpy(parent, installPath, parentLength);
    removeFolderLogged(parent);
}

}  // namespace

size_t hubParentLength(const char* installPath)
{
    const char* last = nullptr;
    const char* before = nullptr;
    for (const char* p = installPath; *p; p += charLength(p)) {
        if (*p == '\\') {
            before = last;
            last = p;
        }
    }
    if (!last || last[1] != '\0' || !before || last - before != 4) return 0;
    if (lowerAscii(before[1]) != 'h' || lowerAscii(before[2]) != 'u' || lowerAscii(before[3]) != 'b') return 0;
    return static_cast<size_t>(before - installPath) + 1;
}

bool matchesPattern(const char* pattern, const char* name)
{
    while (*pattern) {
        if (*pattern == '*') {
            ++pattern;
            if (*pattern == '\0') return true;
            for (const char* rest = name;; rest += charLength(rest)) {
                if (matchesPattern(pattern, rest)) return true;
                if (*rest == '\0') return false;
            }
        }
        if (*name == '\0') return std::strcmp(pattern, ".*") == 0;
        const size_t patternChar = charLength(pattern), nameChar = charLength(name);
        if (*pattern != '?') {
            if (patternChar != nameChar) return false;
            if (patternChar == 2 ? std::memcmp(pattern, name, 2) != 0 : lowerAscii(*pattern) != lowerAscii(*name))
                return false;
        }
        pattern += patternChar;
        name += nameChar;
    }
    return *name == '\0';
}

void removeProductFiles(const char* installPath, const InstallTypeList& list, const DataChoices& choices,
                        int entries, bool clearReadOnly)
{
    if (choices.save) deleteSaveData(installPath, list.saveDataPattern);
    if (choices.read) deleteFileIn(installPath, list.readDataFile, false);
    if (choices.system) {
        deleteFileIn(installPath, list.systemDataFiles[0], false);
        deleteFileIn(installPath, list.systemDataFiles[1], false);
    }
    if (choices.game) {
        deleteListFiles(installPath, list, entries, clearReadOnly);
        removeUninstallEntry();
        deleteProductShortcuts();
        deleteProductKeys();
    }
    if (choices.all) {
        for (int i = listCount(list.folderCount, kListFolders) - 1; i >= 0; --i)
            removeEmptyFolderIn(installPath, list.folderList[i]);
    }
    removeProductFolders(installPath);
}

bool runUninstall(HWND owner, const UninstallChoices& choices)
{
    removeUnfinishedTitles();
    bool installed[kTitleCount] = {};
    for (int i = 0; i < kTitleCount; ++i) installed[i] = isTitleInstalled(g_titles[i]);
    const RemovalPlan plan = planUninstall(installed, isProductInstalled(), choices);
    uninstallPlannedTitles(plan, choices.data);
    // The product stays while any title is left.
    for (const TitleRecord& title : g_titles)
        if (isTitleInstalled(title)) return true;

    voiceArcNoted = false;
    if (!choices.data.anyBoxChecked) return false;

    Text installPath = {};
    int type = installType;
    if (!readProductRecord(owner, installPath, &type)) return false;
    // Without its list the run knows none of the product's files: it would delete the record and
    // leave every file behind, with nothing left to remove them by.
    const int index = installTypeIndex(type);
    if (!g_installListRead[index]) {
        char text[kTextSize + 64] = {};
        wsprintfA(text, "%s を読み込めないため、アンインストールできません。", kInstallTypeListNames[index]);
        showMessage(owner, text, kErrorCaption, MB_OK);
        return false;
    }
    removeProductFiles(installPath, installTypeList(type), choices.data);
    return true;
}

bool uninstallAndConfirm(HWND owner, const UninstallChoices& choices)
{
    const bool done = runUninstall(owner, choices);
    showMessage(owner, "ゲームの削除が終了しました", "アンインストール", MB_OK);
    return done;
}

void removeUnfinishedProduct()
{
    // The record names where that run copied to and with which list. Without INSTALL_PATH it
    // stopped before its first file.
    Text installPath = {};
    int type = installType;
    if (readProductRecord(nullptr, installPath, &type, true)) {
        DataChoices copied = {};
        copied.game = copied.all = copied.anyBoxChecked = true;
        removeProductFiles(installPath, installTypeList(type), copied);
    }
}

// The registry record: the product key and the title keys under HKEY_CURRENT_USER.
#include "install/registry_record.h"

#include <cstring>

#include "data/list_grammar.h"
#include "install/run_state.h"
#include "support/action_log.h"
#include "support/message_box.h"
#include "support/registry_key.h"

const char kProductKeyPath[] = "Software\\Varnis\\SET-V";
const char kMakerKeyPath[] = "Software\\Varnis\\";
const char kUnfinishedValue[] = "INSTALL_UNFINISHED";
const char kUnfinishedTitlePrefix[] = "INSTALL_UNFINISHED:";

namespace {

const char kErrorCaption[] = "ERROR";
const char kKeyWriteFailed[] = "キー情報をレジストリに書き込めませんでした";
const char kDestinationWriteFailed[] = "インストール先情報をレジストリに書き込めませんでした";
const char kInstallInfoWriteFailed[] = "インストール情報をレジストリに書き込めませんでした";
const char kPathTooLong[] = "パスが長すぎるためレジストリに書き込めませんでした：";
const char kCloseFailed[] = "クローズエラー";

const char kInstallPathTag[] = "[インストールパス]";   // 18 bytes in code page 932
const char kMediaPathTag[] = "[メディアパス]";         // 14 bytes

// Product key values, in the order they are written.
const char* const kArchiveValueNames[kListArchives] = {
    "SCRIPT_ARC", "PICT_ARC", "BGM_ARC", "SE_ARC", "VOICE_ARC", "VOICE2_ARC",
};

void showError(HWND owner, const char* text)
{
    showMessage(owner, text, kErrorCaption);
}

// "...：" followed by the value's name.
void showPathTooLong(HWND owner, const char* valueName)
{
    char text[sizeof kPathTooLong + kTextSize] = {};
    textJoin(text, sizeof text, kPathTooLong, valueName);
    showError(owner, text);
}

// Opens the title's key. An empty path would open HKEY_CURRENT_USER itself (the record of a
// list that did not load), so it counts as a key that does not exist.
LONG openTitleKey(RegistryKey& key, const TitleRecord& title, REGSAM access)
{
    if (title.registryKey[0] == '\0') return ERROR_FILE_NOT_FOUND;
    return key.open(HKEY_CURRENT_USER, title.registryKey, access);
}


}  // namespace

bool isProductInstalled()
{
    RegistryKey key;
    if (key.open(HKEY_CURRENT_USER, kProductKeyPath, KEY_READ) != ERROR_SUCCESS) return false;
    if (key.close() != ERROR_SUCCESS) showMessage(nullptr, kCloseFailed, kErrorCaption);
    return true;
}

bool isTitleInstalled(const TitleRecord& title)
{
    RegistryKey key;
    return openTitleKey(key, title, KEY_READ) == ERROR_SUCCESS;
}

bool productKeyExistsForWrite()
{
    RegistryKey key;
    return key.open(HKEY_CURRENT_USER, kProductKeyPath, KEY_ALL_ACCESS) == ERROR_SUCCESS;
}

bool writeProductRegistry(HWND owner, const InstallChoices& run)
{
    RegistryKey key;
    if (key.create(HKEY_CURRENT_USER, kProductKeyPath, KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        showError(owner, kKeyWriteFailed);
        return false;
    }
    // First of all, so that whatever stops the run from here on leaves the mark.
    key.writeNumber(kUnfinishedValue, 1);
    if (!key.writeTextBuffer("INSTALL_PATH", run.installDir) ||
        !key.writeNumber("INSTALL_TYPE", static_cast<DWORD>(run.installType))) {
        key.close();
        showError(owner, kDestinationWriteFailed);
        return false;
    }

    // The archive values and MEDIA_TYPE are for the installed games; a failed write does not
    // stop the run. A path that does not fit is not cut short: the value is left out and named.
    const InstallTypeList& list = installTypeList(run.installType);
    for (int i = 0; i < kListArchives; ++i) {
        Text path = {};
        if (!textJoin(path, sizeof path, run.installDir, list.archiveNames[i])) {
            showPathTooLong(owner, kArchiveValueNames[i]);
            continue;
        }
        key.writeText(kArchiveValueNames[i], path);
    }
    key.writeText("MEDIA_TYPE", list.mediaType);
    return true;
}

bool productCopyUnfinished()
{
    RegistryKey key;
    DWORD mark = 0;
    return key.open(HKEY_CURRENT_USER, kProductKeyPath, KEY_QUERY_VALUE) == ERROR_SUCCESS &&
           key.readNumber(kUnfinishedValue, &mark) && mark != 0;
}

void markProductCopyFinished()
{
    RegistryKey key;
    if (key.open(HKEY_CURRENT_USER, kProductKeyPath, KEY_SET_VALUE) == ERROR_SUCCESS) key.deleteValue(kUnfinishedValue);
}

namespace {

// The name of a title's unfinished mark (a buffer of kMarkNameSize bytes); false when the title
// has no key.
constexpr size_t kMarkNameSize = kTextSize + sizeof kUnfinishedTitlePrefix;
bool unfinishedTitleValue(const TitleRecord& title, char* name)
{
    return title.registryKey[0] != '\0' &&
           textJoin(name, kMarkNameSize, kUnfinishedTitlePrefix, title.registryKey);
}

}  // namespace

bool markTitleUnfinished(const TitleRecord& title, const char* installRoot)
{
    char name[kMarkNameSize] = {};
    RegistryKey key;
    return unfinishedTitleValue(title, name) &&
           key.open(HKEY_CURRENT_USER, kProductKeyPath, KEY_SET_VALUE) == ERROR_SUCCESS &&
           key.writeText(name, installRoot);
}

void markTitleFinished(const TitleRecord& title)
{
    char name[kMarkNameSize] = {};
    RegistryKey key;
    if (unfinishedTitleValue(title, name) &&
        key.open(HKEY_CURRENT_USER, kProductKeyPath, KEY_SET_VALUE) == ERROR_SUCCESS)
        key.deleteValue(name);
}

bool unfinishedTitleRoot(const TitleRecord& title, char* root)
{
    std::memset(root, 0, kTextSize);
    char name[kMarkNameSize] = {};
    RegistryKey key;
    return unfinishedTitleValue(title, name) &&
           key.open(HKEY_CURRENT_USER, kProductKeyPath, KEY_QUERY_VALUE) == ERROR_SUCCESS &&
           key.readText(name, root, kTextSize);
}

bool expandPathTag(const char* text, const char* installRoot, char* out)
{
    std::memset(out, 0, kTextSize);
    const size_t installTagLength = sizeof kInstallPathTag - 1;
    const size_t mediaTagLength = sizeof kMediaPathTag - 1;
    if (std::strncmp(text, kInstallPathTag, installTagLength) == 0)
        return textJoin(out, kTextSize, installRoot, text + installTagLength);
    if (std::strncmp(text, kMediaPathTag, mediaTagLength) == 0)
        return textJoin(out, kTextSize, sourceRoot, text + mediaTagLength);
    return textCopy(out, kTextSize, text);
}

bool writeTitleRegistry(HWND owner, const TitleRecord& title, const char* installRoot)
{
    RegistryKey key;
    if (title.registryKey[0] == '\0' ||
        key.create(HKEY_CURRENT_USER, title.registryKey, KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        showError(owner, kKeyWriteFailed);
        return false;
    }
    key.writeTextBuffer("L_INST_PATH", installRoot);   // its outcome is not checked

    const int stringCount = listCount(title.stringValueCount, kTitleValues);
    for (int i = 0; i < stringCount; ++i) {
        Text name = {}, text = {}, expanded = {};
        splitAtComma(title.stringValues[i], kTextSize, name, text);
        if (!expandPathTag(text, installRoot, expanded)) {
            key.close();
            showPathTooLong(owner, name);
            return false;
        }
        if (!key.writeTextBuffer(name, expanded)) {
            key.close();
            showError(owner, kInstallInfoWriteFailed);
            return false;
        }
    }

    const int numberCount = listCount(title.numberValueCount, kTitleValues);
    for (int i = 0; i < numberCount; ++i) {
        Text name = {}, text = {};
        splitAtComma(title.numberValues[i], kTextSize, name, text);
        if (!key.writeNumber(name, static_cast<DWORD>(listAtoi(text)))) {
            key.close();
            showError(owner, kInstallInfoWriteFailed);
            return false;
        }
    }
    return true;
}

bool readTitleInstallPath(const TitleRecord& title, char* folder)
{
    std::memset(folder, 0, kTextSize);
    RegistryKey key;
    // The stored data need not carry its NUL; 260 bytes without one are a path this program
    // cannot hold.
    return openTitleKey(key, title, KEY_READ) == ERROR_SUCCESS && key.readText("L_INST_PATH", folder, kTextSize);
}

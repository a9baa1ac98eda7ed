// The registry record: the product key and the title keys under HKEY_CURRENT_USER.
#include "install/registry_record.h"

#include <cstring>

#include "install/registry_key.h"
#include "install/split_at_comma.h"
#include "install/run_state.h"
#include "support/action_log.h"
#include "support/message_box.h"

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

// The setters below name the key they write (keyPath, under HKEY_CURRENT_USER) for the log only.

// Writes text as REG_SZ with a data length of the whole 260-byte buffer: the text, its NUL and
// zero bytes up to 260. The text is copied into a cleared buffer first, so no stale bytes of a
// program-wide buffer beyond its NUL reach the registry.
bool setFullBufferText(HKEY key, const char* keyPath, const char* name, const char* text)
{
    Text data = {};
    if (!textCopy(data, sizeof data, text)) return false;
    if (RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof data) != ERROR_SUCCESS)
        return false;
    logAction("registry value set: HKCU\\%s : %s = %s", keyPath, name, data);
    return true;
}

// Writes text as REG_SZ with a data length of its length plus the NUL.
bool setText(HKEY key, const char* keyPath, const char* name, const char* text)
{
    DWORD size = static_cast<DWORD>(std::strlen(text) + 1);
    if (RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size) != ERROR_SUCCESS)
        return false;
    logAction("registry value set: HKCU\\%s : %s = %s", keyPath, name, text);
    return true;
}

bool setNumber(HKEY key, const char* keyPath, const char* name, DWORD number)
{
    if (RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number) !=
        ERROR_SUCCESS)
        return false;
    logAction("registry value set: HKCU\\%s : %s = %lu", keyPath, name, static_cast<unsigned long>(number));
    return true;
}

// Deletes a value of the key at keyPath (under HKEY_CURRENT_USER), logged when it was there.
void deleteValue(HKEY key, const char* keyPath, const char* name)
{
    if (RegDeleteValueA(key, name) == ERROR_SUCCESS)
        logAction("registry value deleted: HKCU\\%s : %s", keyPath, name);
}

// Opens the title's key. An empty path would open HKEY_CURRENT_USER itself (the record of a
// list that did not load), so it counts as a key that does not exist.
LONG openTitleKey(RegistryKey& key, const TitleRecord& title, REGSAM access)
{
    if (title.registryKey[0] == '\0') return ERROR_FILE_NOT_FOUND;
    return key.open(HKEY_CURRENT_USER, title.registryKey, access);
}

int boundedCount(int32_t count, int capacity)
{
    if (count < 0) return 0;
    return count > capacity ? capacity : static_cast<int>(count);
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
    setNumber(key.get(), kProductKeyPath, kUnfinishedValue, 1);
    if (!setFullBufferText(key.get(), kProductKeyPath, "INSTALL_PATH", run.installDir) ||
        !setNumber(key.get(), kProductKeyPath, "INSTALL_TYPE", static_cast<DWORD>(run.installType))) {
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
        setText(key.get(), kProductKeyPath, kArchiveValueNames[i], path);
    }
    setText(key.get(), kProductKeyPath, "MEDIA_TYPE", list.mediaType);
    return true;
}

bool productCopyUnfinished()
{
    RegistryKey key;
    if (key.open(HKEY_CURRENT_USER, kProductKeyPath, KEY_QUERY_VALUE) != ERROR_SUCCESS) return false;
    DWORD type = 0, mark = 0, size = sizeof mark;
    return RegQueryValueExA(key.get(), kUnfinishedValue, nullptr, &type, reinterpret_cast<BYTE*>(&mark), &size) ==
               ERROR_SUCCESS &&
           type == REG_DWORD && size == sizeof mark && mark != 0;
}

void markProductCopyFinished()
{
    RegistryKey key;
    if (key.open(HKEY_CURRENT_USER, kProductKeyPath, KEY_SET_VALUE) == ERROR_SUCCESS)
        deleteValue(key.get(), kProductKeyPath, kUnfinishedValue);
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
           setText(key.get(), kProductKeyPath, name, installRoot);
}

void markTitleFinished(const TitleRecord& title)
{
    char name[kMarkNameSize] = {};
    RegistryKey key;
    if (unfinishedTitleValue(title, name) &&
        key.open(HKEY_CURRENT_USER, kProductKeyPath, KEY_SET_VALUE) == ERROR_SUCCESS)
        deleteValue(key.get(), kProductKeyPath, name);
}

bool unfinishedTitleRoot(const TitleRecord& title, char* root)
{
    std::memset(root, 0, kTextSize);
    char name[kMarkNameSize] = {};
    RegistryKey key;
    if (!unfinishedTitleValue(title, name) ||
        key.open(HKEY_CURRENT_USER, kProductKeyPath, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return false;
    char data[kTextSize + 1] = {};   // one byte more than a Text: stays NUL whatever was stored
    DWORD type = 0, size = kTextSize;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    return textCopy(root, kTextSize, data);
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
    setFullBufferText(key.get(), title.registryKey, "L_INST_PATH", installRoot);   // its outcome is not checked

    const int stringCount = boundedCount(title.stringValueCount, kTitleValues);
    for (int i = 0; i < stringCount; ++i) {
        Text name = {}, text = {}, expanded = {};
        splitAtComma(title.stringValues[i], kTextSize, name, text);
        if (!expandPathTag(text, installRoot, expanded)) {
            key.close();
            showPathTooLong(owner, name);
            return false;
        }
        if (!setFullBufferText(key.get(), title.registryKey, name, expanded)) {
            key.close();
            showError(owner, kInstallInfoWriteFailed);
            return false;
        }
    }

    const int numberCount = boundedCount(title.numberValueCount, kTitleValues);
    for (int i = 0; i < numberCount; ++i) {
        Text name = {}, text = {};
        splitAtComma(title.numberValues[i], kTextSize, name, text);
        if (!setNumber(key.get(), title.registryKey, name, static_cast<DWORD>(listAtoi(text)))) {
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
    if (openTitleKey(key, title, KEY_READ) != ERROR_SUCCESS) return false;

    Text data = {};
    DWORD type = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(key.get(), "L_INST_PATH", nullptr, &type, reinterpret_cast<BYTE*>(data),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    // The stored data need not carry its NUL. The buffer was cleared, so a shorter text is
    // terminated already; 260 bytes without a NUL are a path this program cannot hold.
    if (size > sizeof data || (size == sizeof data && std::memchr(data, 0, size) == nullptr))
        return false;
    data[sizeof data - 1] = '\0';
    std::memcpy(folder, data, sizeof data);
    return true;
}

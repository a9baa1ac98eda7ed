// The add/remove programs entry under HKEY_LOCAL_MACHINE, so the product can be removed from the control panel.
#include "install/uninstall_entry.h"

#include <cstring>

#include "support/action_log.h"
#include "support/registry_key.h"
#include "support/text_buffer.h"
#include "support/message_box.h"
#include "support/text_buffer.h"

const char kUninstallEntryPath[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Varnis Grand Anthology";

namespace {

const char kUninstallKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kEntryName[] = "Varnis Grand Anthology";
const char kDisplayName[] = "Hub";
const char kErrorCaption[] = "ERROR";
const char kOpenFailed[] = "アプリケーション追加削除への追加に失敗しました[1]";
const char kCreateFailed[] = "アプリケーション追加削除への追加に失敗しました[2]";
const char kCommandTooLong[] = "アプリケーション追加削除への追加に失敗しました[3]";
}  // namespace

bool registerUninstallEntry(HWND owner, const char* installDir, const char* uninstallProgram)
{
    // "<installDir><program>" in quotes: unquoted, the blank in "Program Files" would make the
    // system look for a program "C:\Program" first.
    Text command = {};
    if (!textJoin(command, kTextSize, "\"", installDir, uninstallProgram) ||
        !textAppend(command, kTextSize, "\"")) {
        showMessage(owner, kCommandTooLong, kErrorCaption);
        return false;
    }

    RegistryKey uninstall;
    if (uninstall.open(HKEY_LOCAL_MACHINE, kUninstallKeyPath,
                       KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY) != ERROR_SUCCESS) {
        showMessage(owner, kOpenFailed, kErrorCaption);
        return false;
    }

    // An entry left by an earlier run goes whole, with any value or subkey it may have gained.
    RegistryKey entry;
    if (entry.open(uninstall, kEntryName, KEY_READ) == ERROR_SUCCESS) {
        entry.close();
        deleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallEntryPath);
    }
    if (entry.create(uninstall, kEntryName, KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        showMessage(owner, kCreateFailed, kErrorCaption);
        return false;
    }
    entry.writeText("DisplayName", kDisplayName);
    entry.writeText("UninstallString", command);
    return true;
}

bool removeUninstallEntry()
{
    return deleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallEntryPath);
}

// The repair run of vgahub_fix: guard, confirm, locate, check, copy, report.
#include "fix/repair_run.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "support/handle.h"
#include "support/path.h"
#include "support/registry_key.h"
#include "support/stdio_file.h"

namespace {

const char kCaption[] = "『Varnis Grand Anthology』不具合修正プログラム";
const char kMenuMutexName[] = "vgahub_menu";
const char kToolMutexName[] = "vgahub_fix";
const char kProductKeyPath[] = "Software\\Varnis\\SET-V";

const char kMenuRunning[] =
    "『Varnis Grand Anthology』のメニューが実行されています、終了後に再度当プログラムを実行して下さい。";
const char kConfirm[] =
    "『Varnis Grand Anthology』のアンインストール時の不具合修正作業を開始します。\n"
    "このプログラムを開始する場合は、『Varnis Grand Anthology』が、\n"
    "お客様のパソコンにインストールされている必要があります。\n"
    "また、ゲームをアンインストールする際はDVD挿入時の自動起動のメニュー\n"
    "もしくはDVD内のvgan1_menu.exeからは実行しないようにお願いします。\n"
    "Windowsの「スタート」ボタンから「プログラム」→「Varnis」→\n"
    "「Varnis Grand」→Setupのメニューからアンインストールを実行して下さい。\n"
    "不具合修正作業を開始しても宜しいでしょうか？";
const char kNotInstalled[] = "『Varnis Grand Anthology』がインストールされていません。";
const char kNoInstallPath[] = "インストールパスの取得に失敗しました。";
const char kNotFound[] = "が見つかりません。";
const char kCopyFailed[] = "のコピーに失敗しました。";
const char kDone[] =
    "不具合修正作業が完了しました。\n"
    "『Varnis Grand Anthology』を起動しゲームをお楽しみ下さい。";

// The files put in place, in this order; an empty slot ends the list.
constexpr int kRepairSlots = 5;
const char kRepairFiles[kRepairSlots][kTextSize] = {"vgan1_menu.exe"};

// Every message of the tool: no owner, the tool's caption.
int show(const char* text, UINT flags)
{
    return MessageBoxA(nullptr, text, kCaption, flags);
}

// name followed by what happened to it.
void showAboutFile(const char* name, const char* what)
{
    char text[kTextSize + 64] = {};
    textJoin(text, sizeof text, name, what);
    show(text, MB_OK | MB_ICONERROR);
}

// The folder of this program's own file, with its backslash. False when the path does not fit
// (the name would be cut) or has no folder.
bool findToolFolder(char* folder)
{
    char path[kTextSize + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= kTextSize) return false;
    folderOf(path, folder);
    return folder[0] != '\0';
}

enum class InstallFolder { Found, NotInstalled, Unreadable };

// INSTALL_PATH of the product key: a REG_SZ naming an absolute folder. It names a folder, so a
// backslash is added when the stored text lacks one; otherwise the file would land beside the
// folder under a joined name.
InstallFolder readInstallFolder(char* folder)
{
    RegistryKey key;
    if (key.open(HKEY_CURRENT_USER, kProductKeyPath, KEY_READ) != ERROR_SUCCESS) return InstallFolder::NotInstalled;
    // Empty, relative or with no room for the backslash: unusable.
    if (!key.readText("INSTALL_PATH", folder, kTextSize) || !makeUsableFolder(folder)) return InstallFolder::Unreadable;
    return InstallFolder::Found;
}

// Every file of the list opens for reading next to the tool; the first that does not is named.
bool checkFiles(const char* toolFolder, bool haveToolFolder)
{
    for (const char* name : kRepairFiles) {
        if (name[0] == '\0') break;
        Text path = {};
        StdioFile file;
        if (haveToolFolder && textJoin(path, kTextSize, toolFolder, name)) file.reset(std::fopen(path, "rb"));
        if (!file) {
            showAboutFile(name, kNotFound);
            return false;
        }
    }
    return true;
}

// Windows does not overwrite a read-only file; a process with the rights to ignore the attribute
// would, so it is looked at here and counts as a failed copy everywhere.
bool isReadOnly(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// Copies every file of the list over the installed one. A file from the disc is read-only and
// the copy takes that along, which would block the next repair and the uninstall: the copy is
// made a normal file.
bool copyFiles(const char* toolFolder, const char* installFolder)
{
    for (const char* name : kRepairFiles) {
        if (name[0] == '\0') break;
        Text source = {}, target = {};
        if (!textJoin(source, kTextSize, toolFolder, name) || !textJoin(target, kTextSize, installFolder, name) ||
            isReadOnly(target) || !CopyFileA(source, target, FALSE)) {
            showAboutFile(name, kCopyFailed);
            return false;
        }
        SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    }
    return true;
}

}  // namespace

int runRepair()
{
    if (mutexExists(kMenuMutexName)) {
        show(kMenuRunning, MB_OK | MB_ICONERROR);
        return 0;
    }
    if (mutexExists(kToolMutexName)) return 0;
    const HeldMutex held(CreateMutexA(nullptr, FALSE, kToolMutexName));

    if (show(kConfirm, MB_OKCANCEL | MB_ICONINFORMATION) != IDOK) return 0;

    Text toolFolder = {};
    const bool haveToolFolder = findToolFolder(toolFolder);

    Text installFolder = {};
    switch (readInstallFolder(installFolder)) {
    case InstallFolder::NotInstalled:
        show(kNotInstalled, MB_OK | MB_ICONERROR);
        return 0;
    case InstallFolder::Unreadable:
        show(kNoInstallPath, MB_OK | MB_ICONERROR);
        return 0;
    case InstallFolder::Found:
        break;
    }

    if (!checkFiles(toolFolder, haveToolFolder)) return 0;
    if (!copyFiles(toolFolder, installFolder)) return 0;
    show(kDone, MB_OK | MB_ICONINFORMATION);
    return 0;
}

// The repair run of vgahub_fix: guard, confirm, locate, check, copy, report.
#include "fix/repair_run.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "support/text_buffer.h"

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

bool mutexExists(const char* name)
{
    HANDLE mutex = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name);
    if (!mutex) return false;
    CloseHandle(mutex);
    return true;
}

// The tool's own mutex, held while it works; released and closed whatever way the run ends.
class ToolMutex {
public:
    explicit ToolMutex(const char* name) : handle_(CreateMutexA(nullptr, FALSE, name)) {}
    ~ToolMutex()
    {
        if (!handle_) return;
        ReleaseMutex(handle_);
        CloseHandle(handle_);
    }
    ToolMutex(const ToolMutex&) = delete;
    ToolMutex& operator=(const ToolMutex&) = delete;

private:
    HANDLE handle_;
};

// The folder of this program's own file, with its backslash. False when the path does not fit
// (the name would be cut) or has no folder.
bool findToolFolder(char* folder)
{
    char path[kTextSize + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= kTextSize) return false;
    const size_t folderLength = folderPartLength(path);
    if (folderLength == 0) return false;
    path[folderLength] = '\0';
    return textCopy(folder, kTextSize, path);
}

enum class InstallFolder { Found, NotInstalled, Unreadable };

// INSTALL_PATH of the product key: a REG_SZ naming an absolute folder. It names a folder, so a
// backslash is added when the stored text lacks one; otherwise the file would land beside the
// folder under a joined name.
InstallFolder readInstallFolder(char* folder)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProductKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return InstallFolder::NotInstalled;
    char data[kTextSize + 1] = {};   // one byte more than asked: the text always ends in a NUL
    DWORD type = 0;
    DWORD size = kTextSize;
    const LONG result = RegQueryValueExA(key, "INSTALL_PATH", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ || !textCopy(folder, kTextSize, data))
        return InstallFolder::Unreadable;

    const char letter = static_cast<char>(folder[0] | 0x20);
    const bool drive = letter >= 'a' && letter <= 'z' && folder[1] == ':' && folder[2] == '\\';
    const bool network = folder[0] == '\\' && folder[1] == '\\' && folder[2] != '\0';
    if (!drive && !network) return InstallFolder::Unreadable;   // empty or relative
    if (!endsWithBackslash(folder) && !textAppend(folder, kTextSize, "\\")) return InstallFolder::Unreadable;
    return InstallFolder::Found;
}

// Every file of the list opens for reading next to the tool; the first that does not is named.
bool checkFiles(const char* toolFolder, bool haveToolFolder)
{
    for (const char* name : kRepairFiles) {
        if (name[0] == '\0') break;
        Text path = {};
        FILE* file = nullptr;
        if (haveToolFolder && textJoin(path, kTextSize, toolFolder, name)) file = std::fopen(path, "rb");
        if (!file) {
            showAboutFile(name, kNotFound);
            return false;
        }
        std::fclose(file);
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
    ToolMutex held(kToolMutexName);

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

// The bootstrap: the menu never runs from the disc itself but from a copy in the TEMP folder,
// so that the discs can be changed while it runs.
#include "menu/bootstrap.h"

#include <windows.h>

#include <cstring>

#include "install/file_copy.h"
#include "menu/menu_mutex.h"
#include "menu/message_box.h"
#include "menu/restart_command.h"
#include "menu/startup_trace.h"
#include "support/text_buffer.h"

namespace {

const char kArchiveName[] = "instdata.arc";
const char kProgramName[] = "vgan1_menu.exe";

const char kNoTempFolder[] = "TEMPファイルの作成に失敗しました";
const char kArchiveCopyFailed[] = "インストーラーアーカイブのコピーに失敗しました";
const char kProgramCopyFailed[] = "VarnisHub.exeファイルコピー失敗";
const char kProgramPathTooLong[] = "プログラムのパスが長すぎます";
const char kTempPathTooLong[] = "TEMPフォルダのパスが長すぎます";
const char kRestartFailed[] = "メニューの起動に失敗しました";
const char kErrorCaption[] = "ERROR";

// Gives folder its trailing backslash; false when the folder is empty or does not fit.
bool asFolder(char* folder)
{
    if (folder[0] == '\0') return false;
    return endsWithBackslash(folder) || textAppend(folder, kTextSize, "\\");
}

bool moduleFolder(char* out)
{
    Text path = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, kTextSize);
    if (length == 0 || length >= kTextSize) return false;   // kTextSize: the path was cut
    return folderOfPath(path, out);
}

// The long form of a folder for comparing; the text itself when the system cannot tell.
void longFolderName(const char* folder, char* out)
{
    const DWORD length = GetLongPathNameA(folder, out, kTextSize);
    if (length == 0 || length >= kTextSize) textCopy(out, kTextSize, folder);
}

// Makes way for the copy: a read-only or hidden earlier copy would refuse the delete.
bool replaceWithCopy(const char* source, const char* target)
{
    SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE);
    DeleteFileA(target);
    return copyFileForBootstrap(source, target);
}

// Starts the copy in TEMP, handing it the menu mutex (see menu_mutex.h).
void startCopy(const char* program, const char* discFolder, const char* tempFolder)
{
    char command[2 * kTextSize + 8];
    if (!buildRestartCommand(program, discFolder, command, sizeof command)) {
        showMessage(nullptr, kRestartFailed, kErrorCaption);
        return;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};

    beginMutexHandover();
    startupTrace("restart");
    const BOOL started = CreateProcessA(program, command, nullptr, nullptr, TRUE, 0, nullptr,
                                        tempFolder, &startup, &process);
    endMutexHandover();
    if (!started) {
        // Without this the player would see nothing happen at all.
        showMessage(nullptr, kRestartFailed, kErrorCaption);
        return;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace

bool findTempFolder(char* out)
{
    std::memset(out, 0, kTextSize);
    DWORD length = GetTempPathA(kTextSize, out);
    if (length > 0 && length < kTextSize && asFolder(out)) return true;

    // Without a TEMP variable the text comes back unexpanded.
    std::memset(out, 0, kTextSize);
    length = ExpandEnvironmentStringsA("%TEMP%", out, kTextSize);
    if (length > 0 && length <= kTextSize && std::strcmp(out, "%TEMP%") != 0 && asFolder(out)) return true;

    std::memset(out, 0, kTextSize);
    length = GetWindowsDirectoryA(out, kTextSize);
    if (length > 0 && length < kTextSize && asFolder(out)) return true;

    std::memset(out, 0, kTextSize);
    return false;
}

bool folderOfPath(const char* path, char* out)
{
    const size_t length = folderPartLength(path);
    if (length == 0 || length >= kTextSize) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, path, length);
    out[length] = '\0';
    return true;
}

bool isSameFolder(const char* a, const char* b)
{
    Text longA = {}, longB = {};
    longFolderName(a, longA);
    longFolderName(b, longB);
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, longA, -1, longB, -1) ==
           CSTR_EQUAL;
}

bool copyFileForBootstrap(const char* source, const char* target)
{
    // The install's own copy; no page exists yet, so it shows nothing.
    if (copyListFile(nullptr, nullptr, source, target)) return true;
    DeleteFileA(target);   // half a program must never be started
    return false;
}

bool runBootstrap()
{
    Text temp = {};
    if (!findTempFolder(temp)) {
        showMessage(nullptr, kNoTempFolder, "");
        return false;
    }
    Text discFolder = {};
    if (!moduleFolder(discFolder)) {
        showMessage(nullptr, kProgramPathTooLong, kErrorCaption);
        return false;
    }
    if (isSameFolder(discFolder, temp)) return true;

    Text archiveSource = {}, archiveTarget = {}, programSource = {}, programTarget = {};
    if (!textJoin(archiveSource, kTextSize, discFolder, kArchiveName) ||
        !textJoin(programSource, kTextSize, discFolder, kProgramName)) {
        showMessage(nullptr, kProgramPathTooLong, kErrorCaption);
        return false;
    }
    if (!textJoin(archiveTarget, kTextSize, temp, kArchiveName) ||
        !textJoin(programTarget, kTextSize, temp, kProgramName)) {
        showMessage(nullptr, kTempPathTooLong, kErrorCaption);
        return false;
    }
    if (!replaceWithCopy(archiveSource, archiveTarget)) {
        showMessage(nullptr, kArchiveCopyFailed, kErrorCaption);
        return false;
    }
    if (!replaceWithCopy(programSource, programTarget)) {
        showMessage(nullptr, kProgramCopyFailed, "error");
        return false;
    }
    startCopy(programTarget, discFolder, temp);
    return false;
}

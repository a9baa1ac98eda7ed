// The bootstrap: the menu never runs from the disc itself but from a copy in the TEMP folder,
// so that the discs can be changed while it runs. The copy goes into a folder of its own that
// this start has just made, and the program file stays locked from the moment it is checked
// until the copy has started: nothing placed in TEMP beforehand, or swapped in meanwhile, runs.
#include "menu/bootstrap.h"

#include <windows.h>

#include <cstring>
#include <initializer_list>

#include "install/file_copy.h"
#include "menu/command_options.h"
#include "menu/menu_mutex.h"
#include "menu/restart_command.h"
#include "support/action_log.h"
#include "menu/startup_trace.h"
#include "support/handle.h"
#include "support/message_box.h"
#include "support/path.h"
#include "support/process.h"

namespace {

const char kArchiveName[] = "instdata.arc";
const char kProgramName[] = "vgan1_menu.exe";
const char kCopyFolderHead[] = "vgahub_";   // and eight hex digits
const size_t kCopyFolderHeadLength = sizeof kCopyFolderHead - 1;
const size_t kCopyFolderNameLength = kCopyFolderHeadLength + 8;

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

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

// "vgahub_" and eight lower-case hex digits, exactly (name without backslash).
bool isCopyFolderName(const char* name, size_t length)
{
    if (length != kCopyFolderNameLength || std::strncmp(name, kCopyFolderHead, kCopyFolderHeadLength) != 0)
        return false;
    for (size_t i = kCopyFolderHeadLength; i < length; ++i)
        if (!isHexDigit(name[i])) return false;
    return true;
}

// Removes the copy folders earlier starts left in TEMP (a running program cannot delete its own
// file, so each start clears up after the last one). Only the two files the bootstrap puts
// there are deleted; a folder that holds anything else, or a program still running, stays.
void removeEarlierCopies(const char* temp)
{
    Text pattern = {};
    if (!textJoin(pattern, kTextSize, temp, kCopyFolderHead, "*")) return;
    WIN32_FIND_DATAA entry;
    FindHandle find(FindFirstFileA(pattern, &entry));
    if (!find) return;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            !isCopyFolderName(entry.cFileName, std::strlen(entry.cFileName)))
            continue;
        Text folder = {};
        if (!textJoin(folder, kTextSize, temp, entry.cFileName, "\\")) continue;
        for (const char* name : {kProgramName, kArchiveName}) {
            Text file = {};
            if (!textJoin(file, kTextSize, folder, name)) continue;
            SetFileAttributesA(file, FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(file);
        }
        RemoveDirectoryA(folder);
    } while (FindNextFileA(find.get(), &entry));
}

// Reads up to size bytes; the count read, 0 at the end or on an error.
DWORD readSome(HANDLE file, char* buffer, DWORD size)
{
    DWORD read = 0;
    return ReadFile(file, buffer, size, &read, nullptr) ? read : 0;
}

// True when both open files hold the same bytes (both read from their start).
bool sameContents(HANDLE a, HANDLE b)
{
    static char bufferA[65536], bufferB[65536];
    for (;;) {
        const DWORD readA = readSome(a, bufferA, sizeof bufferA);
        const DWORD readB = readSome(b, bufferB, sizeof bufferB);
        if (readA != readB || std::memcmp(bufferA, bufferB, readA) != 0) return false;
        if (readA == 0) return true;
    }
}

}  // namespace

FileHandle lockCheckedCopy(const char* source, const char* target)
{
    FileHandle copy(CreateFileA(target, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!copy) return copy;
    FileHandle original(CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!original || !sameContents(original.get(), copy.get())) copy.reset();
    return copy;
}

namespace {

// Starts the copy with the disc folder as its argument, followed by options when there are any,
// handing it the menu mutex (see menu_mutex.h). The copy's process handle goes to *copyProcess
// when asked for, else it is closed.
void startCopy(const char* program, const char* discFolder, const char* options, const char* copyFolder,
               KernelHandle* copyProcess)
{
    char arguments[kTextSize + kOptionsTextSize + 2] = {};
    if (!textJoin(arguments, sizeof arguments, discFolder, options[0] ? " " : "", options)) {
        showMessage(nullptr, kRestartFailed, kErrorCaption);
        return;
    }
    beginMutexHandover();
    startupTrace("restart");
    const bool started =
        startProcess(program, arguments, copyFolder, kStartShowNormal | kStartInheritHandles, copyProcess);
    endMutexHandover();
    if (!started) {
        // Without this the player would see nothing happen at all.
        showMessage(nullptr, kRestartFailed, kErrorCaption);
        return;
    }
    logAction("restarted from TEMP: \"%s\" %s", program, arguments);
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
    folderOf(path, out);
    return out[0] != '\0';
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
    if (copyListFile(nullptr, source, target, 0)) return true;
    DeleteFileA(target);   // half a program must never be started
    return false;
}

bool isCopyFolder(const char* folder, const char* temp)
{
    // The long form: started by its short (8.3) name the copy would not know its own folder and
    // would restart itself again and again.
    Text parent = {};
    longFolderName(folder, parent);
    if (!endsWithBackslash(parent)) return false;
    parent[std::strlen(parent) - 1] = '\0';   // the folder's own backslash off: its parent remains
    const size_t parentLength = folderPartLength(parent);
    if (parentLength == 0) return false;
    const char* name = parent + parentLength;
    if (!isCopyFolderName(name, std::strlen(name))) return false;
    parent[parentLength] = '\0';
    return isSameFolder(parent, temp);
}

bool makeCopyFolder(const char* temp, char* out)
{
    // Names nobody can foresee; a name that exists already, whoever made it, is never used.
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    DWORD seed = GetCurrentProcessId() * 2654435761u ^ GetTickCount() ^ counter.LowPart;
    for (int attempt = 0; attempt < 64; ++attempt) {
        seed = seed * 1664525u + 1013904223u;
        char name[kCopyFolderNameLength + 2];
        wsprintfA(name, "%s%08lx\\", kCopyFolderHead, static_cast<unsigned long>(seed));
        if (!textJoin(out, kTextSize, temp, name)) return false;
        if (CreateDirectoryA(out, nullptr)) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    out[0] = '\0';
    return false;
}

bool runBootstrap(const char* options, KernelHandle* copyProcess)
{
    if (copyProcess) copyProcess->reset();
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
    if (isCopyFolder(discFolder, temp) || isSameFolder(discFolder, temp)) return true;

    Text archiveSource = {}, programSource = {};
    if (!textJoin(archiveSource, kTextSize, discFolder, kArchiveName) ||
        !textJoin(programSource, kTextSize, discFolder, kProgramName)) {
        showMessage(nullptr, kProgramPathTooLong, kErrorCaption);
        return false;
    }
    removeEarlierCopies(temp);
    Text copyFolder = {};
    if (!makeCopyFolder(temp, copyFolder)) {
        showMessage(nullptr, kNoTempFolder, "");
        return false;
    }
    Text archiveTarget = {}, programTarget = {};
    if (!textJoin(archiveTarget, kTextSize, copyFolder, kArchiveName) ||
        !textJoin(programTarget, kTextSize, copyFolder, kProgramName)) {
        RemoveDirectoryA(copyFolder);
        showMessage(nullptr, kTempPathTooLong, kErrorCaption);
        return false;
    }
    if (!replaceWithCopy(archiveSource, archiveTarget)) {
        showMessage(nullptr, kArchiveCopyFailed, kErrorCaption);
        return false;
    }
    FileHandle lock;
    if (!replaceWithCopy(programSource, programTarget) ||
        !(lock = lockCheckedCopy(programSource, programTarget))) {
        showMessage(nullptr, kProgramCopyFailed, "error");
        return false;
    }
    startCopy(programTarget, discFolder, options, copyFolder, copyProcess);
    return false;   // the lock goes with this instance
}

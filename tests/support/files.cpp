// Files and folders for the Windows test programs (see files.h).
#include "tests/support/files.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

namespace test_support {

std::string tempFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetTempPathA(sizeof path, path);
    if (length == 0 || length >= sizeof path) return {};
    return withBackslash(path);
}

std::string ownFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return folderOf(path);
}

std::string windowsPath(const std::string& path)
{
    if (path.empty() || path[0] != '/') return path;
    std::string windows = "Z:" + path;   // Z: is the host's root in every prefix
    std::replace(windows.begin(), windows.end(), '/', '\\');
    return windows;
}

std::string baseName(const std::string& path)
{
    const char* last = path.c_str();
    for (const char* p = path.c_str(); *p; p = CharNextExA(932, p, 0))
        if (*p == '\\' || *p == '/') last = p + 1;
    return last;
}

std::string folderOf(const std::string& path) { return path.substr(0, path.size() - baseName(path).size()); }

std::string withBackslash(std::string folder)
{
    if (!folder.empty() && baseName(folder).empty()) return folder;   // ends in a separator
    return folder + "\\";
}

bool pathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool fileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool folderExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string readFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char chunk[8192];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

bool writeFile(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return CloseHandle(file) && ok && written == bytes.size();
}

bool makeFolders(const std::string& folder)
{
    const int result = SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS || result == ERROR_FILE_EXISTS;
}

bool copyReplacing(const std::string& from, const std::string& to)
{
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(to.c_str());
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool copyTree(const std::string& from, const std::string& to)
{
    const std::string source = withBackslash(from), target = withBackslash(to);
    if (!makeFolders(target)) return false;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((source + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = copyTree(source + name, target + name) && ok;
        else
            ok = copyReplacing(source + name, target + name) && ok;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return ok;
}

bool deleteTree(const std::string& folder)
{
    const std::string base = withBackslash(folder);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((base + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return !folderExists(folder) || RemoveDirectoryA(folder.c_str());
    bool ok = true;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = base + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ok = deleteTree(path) && ok;
        } else {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ok = DeleteFileA(path.c_str()) && ok;
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryA(folder.c_str()) && ok;
}

ScratchFolder::ScratchFolder(const char* name) : path_(tempFolder() + "vga_" + name + "\\")
{
    deleteTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { deleteTree(path_); }

}  // namespace test_support

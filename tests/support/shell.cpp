// The shell for the Windows test programs (see shell.h).
#include "tests/support/shell.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "tests/support/files.h"

namespace test_support {

std::string shellFolder(int csidl)
{
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return withBackslash(path);
}

std::string programFilesFolder() { return shellFolder(CSIDL_PROGRAM_FILES); }

Shortcut readShortcut(const std::string& linkPath)
{
    Shortcut shortcut;
    const HRESULT init = CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        wchar_t wide[MAX_PATH] = {};
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH) > 0 &&
            SUCCEEDED(file->Load(wide, STGM_READ))) {
            char text[MAX_PATH] = {};
            link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
            shortcut.target = text;
            text[0] = '\0';
            link->GetWorkingDirectory(text, MAX_PATH);
            shortcut.workingFolder = text;
            shortcut.loaded = true;
        }
        if (file) file->Release();
        link->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return shortcut;
}

}  // namespace test_support

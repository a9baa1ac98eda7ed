#include "support/system_library.h"

#include "support/path.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

void restrictLibrarySearch()
{
    // Looked up rather than imported: systems without it must still start the program.
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesCall)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto setDefaultDirectories = reinterpret_cast<SetDefaultDllDirectoriesCall>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefaultDirectories) setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryA("");
}

HMODULE loadSystemLibrary(const char* name)
{
    Text path = {};
    const UINT length = GetSystemDirectoryA(path, kTextSize);
    if (length == 0 || length >= kTextSize) return nullptr;
    if (!endsWithBackslash(path) && !textAppend(path, kTextSize, "\\")) return nullptr;
    if (!textAppend(path, kTextSize, name)) return nullptr;
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// The manifests built into the shipped programs, read back from the program files: version 6
// common controls, the Windows versions the programs were tested on, no DPI awareness (the
// pages are pixel-exact pictures), and administrator rights for the writes under Program Files
// and HKEY_LOCAL_MACHINE.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/files.h"

namespace {

// The program's RT_MANIFEST resource 1 as text; empty when there is none.
std::string manifestOf(const char* hostPath)
{
    const std::string path = test_support::windowsPath(hostPath);
    HMODULE image = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!image) return std::string();
    std::string text;
    HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    HGLOBAL loaded = found ? LoadResource(image, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data) text.assign(static_cast<const char*>(data), SizeofResource(image, found));
    FreeLibrary(image);
    return text;
}

void expectSoundManifest(const char* program)
{
    const std::string manifest = manifestOf(program);
    ASSERT_FALSE(manifest.empty()) << program << " has no manifest";
    const char* const required[] = {
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
        "<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>",
        "{e2011457-1546-43c5-a5fe-008deee3d3f0}",   // Vista
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",   // 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",   // 8
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",   // 8.1
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",   // 10 and 11
        ">false</dpiAware>",
    };
    for (const char* text : required) EXPECT_NE(manifest.find(text), std::string::npos) << program << ": " << text;
    EXPECT_NE(manifest.find("</assembly>"), std::string::npos) << program << ": the manifest is cut short";
}

TEST(ProgramManifest, MenuAndRepairToolDeclareControlsSystemsScalingAndRights)
{
    expectSoundManifest(VGA_MENU_EXE);
    expectSoundManifest(VGA_FIX_EXE);
}

}  // namespace

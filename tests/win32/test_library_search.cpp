// Libraries by name come from the system folder only once restrictLibrarySearch has run: a DLL
// placed beside the program or in the working folder is not loaded (its code never runs), while
// the system's own libraries still are.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/multimedia_timer.h"
#include "support/system_library.h"
#include "tests/support/files.h"

using namespace test_support;

namespace {

// A copy of the planted library under the given path, with no marker from an earlier run.
void plant(const std::string& path)
{
    DeleteFileA((path + ".loaded").c_str());
    ASSERT_TRUE(CopyFileA((ownFolder() + VGA_PLANTED_DLL).c_str(), path.c_str(), FALSE)) << path << " error " << GetLastError();
}

TEST(LibrarySearch, PlantedLibrariesAreNotLoadedOnceTheSearchIsRestricted)
{
    const std::string beside = ownFolder();
    const std::string before = beside + "vga_planted_before.dll", after = beside + "vga_planted_after.dll";
    ASSERT_FALSE(tempFolder().empty());
    const std::string working = tempFolder() + "vga ソ表 working\\";
    CreateDirectoryA(working.c_str(), nullptr);
    const std::string inWorking = working + "vga_planted_working.dll";
    plant(before);
    plant(after);
    plant(inWorking);

    // Without the restriction the program's folder is searched: the planted code would run.
    HMODULE planted = LoadLibraryA("vga_planted_before.dll");
    EXPECT_TRUE(planted) << "the test's premise: an unrestricted search finds the planted library";
    EXPECT_TRUE(pathExists(before + ".loaded"));
    if (planted) FreeLibrary(planted);

    restrictLibrarySearch();
    char oldFolder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, oldFolder);
    ASSERT_TRUE(SetCurrentDirectoryA(working.c_str()));
    EXPECT_EQ(LoadLibraryA("vga_planted_after.dll"), nullptr) << "loaded from the program's folder";
    EXPECT_EQ(LoadLibraryA("vga_planted_working.dll"), nullptr) << "loaded from the working folder";
    SetCurrentDirectoryA(oldFolder);
    EXPECT_FALSE(pathExists(after + ".loaded"));
    EXPECT_FALSE(pathExists(inWorking + ".loaded"));

    // The system's libraries are still found by name and by their full path.
    HMODULE system = LoadLibraryA("winmm.dll");
    EXPECT_TRUE(system);
    if (system) FreeLibrary(system);
    HMODULE byPath = loadSystemLibrary("winmm.dll");
    EXPECT_TRUE(byPath);
    if (byPath) FreeLibrary(byPath);
    EXPECT_EQ(loadSystemLibrary("vga_planted_after.dll"), nullptr) << "not in the system folder";
    EXPECT_EQ(loadSystemLibrary(std::string(300, 'a').c_str()), nullptr) << "a name that does not fit";

    for (const std::string& path : {before, after, inWorking}) {
        DeleteFileA(path.c_str());
        DeleteFileA((path + ".loaded").c_str());
    }
    RemoveDirectoryA(working.c_str());
}

// The multimedia timer comes from the system's library: it ticks in milliseconds.
TEST(LibrarySearch, MultimediaTimerWorksFromTheSystemLibrary)
{
    ASSERT_TRUE(mmtimer::beginPeriod(1));
    const DWORD start = mmtimer::now();
    Sleep(30);
    const DWORD elapsed = mmtimer::now() - start;
    mmtimer::endPeriod(1);
    EXPECT_GE(elapsed, 25u);
    EXPECT_LT(elapsed, 2000u);
    UINT minimum = 0, maximum = 0;
    EXPECT_TRUE(mmtimer::deviceRange(&minimum, &maximum));
    EXPECT_LE(minimum, maximum);
}

}  // namespace

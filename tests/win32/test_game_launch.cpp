// Game launch: which title the play page chooses, and that exactly the installed program starts,
// in its own folder, even when that folder's path has blanks.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "install/registry_record.h"
#include "support/path.h"
#include "install/disc_request.h"
#include "install/run_state.h"
#include "menu/pages.h"
#include "menu/game_launch.h"
#include "menu/page_ids.h"
#include "tests/support/dialogs.h"
#include "tests/support/files.h"
#include "tests/support/registry.h"

using namespace test_support;

namespace {

// The installed "games" are copies of this test program. Started with this variable set, a copy
// writes its own path, working folder and command line to the file the variable names, then
// ends before any test runs.
const char kMarkerVariable[] = "VGA_LAUNCH_TEST_MARKER";

struct StartedAsGame {
    StartedAsGame()
    {
        char marker[MAX_PATH] = {};
        if (!GetEnvironmentVariableA(kMarkerVariable, marker, sizeof marker)) return;
        char module[MAX_PATH] = {}, folder[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, module, sizeof module);
        GetCurrentDirectoryA(sizeof folder, folder);
        if (FILE* f = std::fopen(marker, "wb")) {
            std::fprintf(f, "%s\n%s\n%s\n", module, folder, GetCommandLineA());
            std::fclose(f);
        }
        ExitProcess(0);
    }
} startedAsGame;

// What a started copy wrote: its module path, its working folder, its command line.
struct Started {
    std::string module, folder, commandLine;
};

bool waitForMarker(const std::string& marker, Started* started, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        std::string text = readFile(marker);
        size_t a = text.find('\n'), b = a == std::string::npos ? a : text.find('\n', a + 1);
        size_t c = b == std::string::npos ? b : text.find('\n', b + 1);
        if (c != std::string::npos) {
            *started = {text.substr(0, a), text.substr(a + 1, b - a - 1), text.substr(b + 1, c - b - 1)};
            return true;
        }
        Sleep(50);
    }
    return false;
}

// The same file or folder, whatever the letter case, short names or a folder's last backslash.
bool samePath(const std::string& a, const std::string& b)
{
    char longA[MAX_PATH] = {}, longB[MAX_PATH] = {};
    GetLongPathNameA(a.c_str(), longA, sizeof longA);
    GetLongPathNameA(b.c_str(), longB, sizeof longB);
    for (char* p : {longA, longB}) {
        const char* slash = lastBackslash(p);
        if (slash && slash[1] == '\0' && slash - p > 2) p[slash - p] = '\0';
    }
    return lstrcmpiA(longA, longB) == 0;
}

class GameLaunch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(user_.ok());
        // "<TEMP>vga launch test\game.exe" and a decoy "<TEMP>vga.exe": without quotes the
        // system would take "<TEMP>vga" with ".exe" for the program.
        folder_ = tempFolder() + "vga launch test\\";
        game_ = folder_ + "game.exe";
        decoy_ = tempFolder() + "vga.exe";
        marker_ = tempFolder() + "vga_launch_marker.txt";
        cleanUp();
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, sizeof self);
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        ASSERT_TRUE(CopyFileA(self, game_.c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(self, decoy_.c_str(), FALSE));
        ASSERT_TRUE(SetEnvironmentVariableA(kMarkerVariable, marker_.c_str()));

        title_ = std::make_unique<TitleRecord>();
        std::strcpy(title_->registryKey, "Software\\Varnis\\LaunchTest");
        std::strcpy(title_->programFile, "game.exe");
    }
    void TearDown() override
    {
        SetEnvironmentVariableA(kMarkerVariable, nullptr);
        cleanUp();
    }
    void cleanUp()
    {
        // A started copy may still hold its file for a moment after writing the marker.
        for (int attempt = 0; attempt < 40; ++attempt) {
            DeleteFileA(game_.c_str());
            DeleteFileA(decoy_.c_str());
            DeleteFileA(marker_.c_str());
            RemoveDirectoryA(folder_.c_str());
            if (!pathExists(folder_) && !pathExists(decoy_)) return;
            Sleep(50);
        }
    }
    // Installs the test title the way the install run does: L_INST_PATH from the install root.
    void installTitle(const std::string& root)
    {
        ASSERT_TRUE(writeTitleRegistry(nullptr, *title_, root.c_str()));
    }

    PrivateRegistryRoot user_{HKEY_CURRENT_USER, "game_launch"};
    std::string folder_, game_, decoy_, marker_;
    std::unique_ptr<TitleRecord> title_;
};

TEST_F(GameLaunch, InstalledProgramStartsQuotedInItsOwnFolder)
{
    installTitle(folder_);
    ASSERT_TRUE(startTitleProgram(*title_));
    Started started;
    ASSERT_TRUE(waitForMarker(marker_, &started, 30000));
    EXPECT_TRUE(samePath(started.module, game_)) << started.module;   // not the decoy
    EXPECT_TRUE(samePath(started.folder, folder_)) << started.folder;
    EXPECT_EQ(started.commandLine, "\"" + game_ + "\"");
}

TEST_F(GameLaunch, NothingStartsWithoutAUsableProgramPath)
{
    // Installed, but L_INST_PATH is gone: a bare "game.exe" would be looked for on the
    // system's search path.
    installTitle(folder_);
    ASSERT_EQ(RegDeleteKeyValueA(HKEY_CURRENT_USER, title_->registryKey, "L_INST_PATH"), ERROR_SUCCESS);
    EXPECT_FALSE(startTitleProgram(*title_));

    // A program path past 259 characters is not cut to some other file.
    installTitle("C:\\" + std::string(249, 'f') + "\\");   // 253 + "game.exe" = 261
    EXPECT_FALSE(startTitleProgram(*title_));

    // Not installed at all.
    RegDeleteTreeA(HKEY_CURRENT_USER, title_->registryKey);
    EXPECT_FALSE(isTitleInstalled(*title_));
    EXPECT_FALSE(startTitleProgram(*title_));

    Sleep(500);
    EXPECT_FALSE(pathExists(marker_));
}

TEST(PlayPage, TheLastCheckedRadioChoosesTheTitle)
{
    HWND page = createQuietDialog(IDD_PLAY);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(selectedPlayTitle(page), 0);   // none checked
    CheckDlgButton(page, IDC_PLAY_TITLE_BASE + 3, BST_CHECKED);
    EXPECT_EQ(selectedPlayTitle(page), 3);
    CheckDlgButton(page, IDC_PLAY_TITLE_BASE + 1, BST_CHECKED);   // 1 and 3 checked
    EXPECT_EQ(selectedPlayTitle(page), 3);
    CheckDlgButton(page, IDC_PLAY_TITLE_BASE + 4, BST_CHECKED);
    EXPECT_EQ(selectedPlayTitle(page), 4);
    DestroyWindow(page);
}

}  // namespace

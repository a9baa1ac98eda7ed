// Shortcuts read back through the shell: targets, working folders, where the links go and what the options change.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>

#include "support/com.h"
#include "support/shell_folder.h"
#include "install/shortcuts.h"
#include "install_test_helpers.h"
#include "tests/support/files.h"
#include "tests/support/shell.h"

using namespace install_test;
using namespace test_support;

namespace {

class Shortcuts : public ::testing::Test {
protected:
    void SetUp() override
    {
        programs_ = shellFolder(CSIDL_PROGRAMS);
        desktop_ = shellFolder(CSIDL_DESKTOP);
        ASSERT_FALSE(programs_.empty());
        ASSERT_FALSE(desktop_.empty());
        run_ = runInto(scratch_.path());
        cleanUp();
    }
    void TearDown() override
    {
        cleanUp();
    }
    // Only what these tests make: the product's links and folders and the test titles' ones.
    void cleanUp()
    {
        DeleteFileA((programs_ + "Varnis\\Hub\\Setup.lnk").c_str());
        DeleteFileA((desktop_ + "Varnis Grand Anthology.lnk").c_str());
        RemoveDirectoryA((programs_ + "Varnis\\Hub").c_str());
        RemoveDirectoryA((programs_ + "Varnis").c_str());
        deleteTree(programs_ + "VgaTest");
        DeleteFileA((desktop_ + "VgaTest.lnk").c_str());
        DeleteFileA((desktop_ + "表示.lnk").c_str());
    }
    void options(bool desktop, bool startMenu)
    {
        run_.desktopShortcuts = desktop;
        run_.startMenuShortcuts = startMenu;
    }

    ScratchFolder scratch_{"shortcuts"};
    std::string programs_, desktop_;
    InstallChoices run_ = {};
};

TEST_F(Shortcuts, ProductLinksStartTheMenuInTheProductFolderWithoutTrailingBackslash)
{
    options(true, true);
    createSetupShortcut(run_);
    const std::string target = scratch_.path() + "Varnis\\Hub\\vgan1_menu.exe";
    const std::string working = scratch_.path() + "Varnis\\Hub";
    for (const std::string& path :
         {programs_ + "Varnis\\Hub\\Setup.lnk", desktop_ + "Varnis Grand Anthology.lnk"}) {
        const Shortcut link = readShortcut(path);
        ASSERT_TRUE(link.loaded) << path;
        EXPECT_EQ(link.target, target) << path;
        EXPECT_EQ(link.workingFolder, working) << path;
    }
}

TEST_F(Shortcuts, OptionsDecideWhichProductLinksAndFoldersAreMade)
{
    options(true, false);
    createSetupShortcut(run_);
    EXPECT_TRUE(pathExists(desktop_ + "Varnis Grand Anthology.lnk"));
    EXPECT_FALSE(pathExists(programs_ + "Varnis"));   // no Start-menu folder without the option

    cleanUp();
    options(false, true);
    createSetupShortcut(run_);
    EXPECT_FALSE(pathExists(desktop_ + "Varnis Grand Anthology.lnk"));
    EXPECT_TRUE(pathExists(programs_ + "Varnis\\Hub\\Setup.lnk"));

    cleanUp();
    options(false, false);
    createSetupShortcut(run_);
    EXPECT_FALSE(pathExists(desktop_ + "Varnis Grand Anthology.lnk"));
    EXPECT_FALSE(pathExists(programs_ + "Varnis"));
}

TEST_F(Shortcuts, TitleLinksTargetTheInstallRootAndDesktopLinksKeepOnlyTheirName)
{
    TitleRecord title = {};
    title.menuFolderCount = 2;
    setText(title.menuFolders[0], "VgaTest");
    setText(title.menuFolders[1], "VgaTest\\Lantern");
    title.menuShortcutCount = 1;
    setText(title.menuShortcuts[0], "Varnis\\Lantern\\lantern.exe,VgaTest\\Lantern\\VgaTest.lnk");
    title.desktopShortcutCount = 2;
    setText(title.desktopShortcuts[0], "Varnis\\Lantern\\lantern.exe,VgaTest\\Lantern\\VgaTest.lnk");
    // "ソ" and "表" end in the byte of a backslash: the name is cut at the real one only.
    setText(title.desktopShortcuts[1], "Varnis\\表示\\ソフト.exe,VgaTestソ\\表示.lnk");

    createTitleShortcuts(title, run_.installRoot, true, true);
    const std::string target = scratch_.path() + "Varnis\\Lantern\\lantern.exe";
    const std::string working = scratch_.path() + "Varnis\\Lantern\\";
    for (const std::string& path :
         {programs_ + "VgaTest\\Lantern\\VgaTest.lnk", desktop_ + "VgaTest.lnk"}) {
        const Shortcut link = readShortcut(path);
        ASSERT_TRUE(link.loaded) << path;
        EXPECT_EQ(link.target, target) << path;
        EXPECT_EQ(link.workingFolder, working) << path;
    }
    const Shortcut japanese = readShortcut(desktop_ + "表示.lnk");
    ASSERT_TRUE(japanese.loaded);
    EXPECT_EQ(japanese.target, scratch_.path() + "Varnis\\表示\\ソフト.exe");
    EXPECT_EQ(japanese.workingFolder, scratch_.path() + "Varnis\\表示\\");
    EXPECT_FALSE(pathExists(desktop_ + "VgaTestソ"));
}

TEST_F(Shortcuts, TitleFoldersAreMadeEvenWithoutTheStartMenuOption)
{
    TitleRecord title = {};
    title.menuFolderCount = 1;
    setText(title.menuFolders[0], "VgaTest");
    title.menuShortcutCount = 1;
    setText(title.menuShortcuts[0], "a.exe,VgaTest\\VgaTest.lnk");
    title.desktopShortcutCount = 1;
    setText(title.desktopShortcuts[0], "a.exe,VgaTest.lnk");

    createTitleShortcuts(title, run_.installRoot, false, false);
    EXPECT_TRUE(pathExists(programs_ + "VgaTest"));
    EXPECT_FALSE(pathExists(programs_ + "VgaTest\\VgaTest.lnk"));
    EXPECT_FALSE(pathExists(desktop_ + "VgaTest.lnk"));

    // A target that does not fit is left out rather than cut into another path.
    setText(run_.installRoot, "C:\\" + std::string(251, 'a') + "\\");
    createTitleShortcuts(title, run_.installRoot, true, true);
    EXPECT_FALSE(pathExists(programs_ + "VgaTest\\VgaTest.lnk"));
    EXPECT_FALSE(pathExists(desktop_ + "VgaTest.lnk"));
}

}  // namespace

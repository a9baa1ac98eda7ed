// Per-title installation against the simulated discs: file lines, disc lines, the end of the list,
// a refused disc, a file that cannot be written, a disc gone from its drive, Harbor's extra
// records, installed titles and paths that do not fit.
#include <windows.h>

#include <gtest/gtest.h>

#include "install/file_copy.h"
#include "install/title_install.h"
#include "menu/page_ids.h"
#include "install_test_helpers.h"
#include "tests/support/dialogs.h"
#include "tests/support/files.h"
#include "tests/support/registry.h"

using namespace install_test;
using namespace test_support;

namespace {

void fill(TitleRecord& title, const char* key, const char* sourceFolder, std::initializer_list<const char*> lines)
{
    title = {};
    setText(title.registryKey, key);
    setText(title.sourceFolder, sourceFolder);
    title.fileLineCount = 0;
    for (const char* line : lines) setText(title.fileLines[title.fileLineCount++], line);
}

class TitleInstall : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(user_.ok());
        progressPage_ = createQuietDialog(IDD_PROGRESS);
        ASSERT_NE(progressPage_, nullptr);
        run_ = runInto(scratch_.path());
        run_.desktopShortcuts = run_.startMenuShortcuts = false;   // no shortcuts in these tests
        setText(sourceRoot, "Q:\\");
        cancelRequested = 0;
        currentDisc = 1;
        for (TitleRecord& title : g_titles) title = {};
        for (TitleRecord& title : g_harborExtra) title = {};
        ASSERT_TRUE(discs_.put("Q:\\", "varnis_disc1.ico"));
    }
    void TearDown() override
    {
        DestroyWindow(progressPage_);
        cancelRequested = 0;
        currentDisc = 1;
    }
    std::string installed(const std::string& relative) { return readFile(scratch_ / relative); }
    // The product key that a run has written before its titles.
    void createProductKey() { ASSERT_TRUE(createKey(HKEY_CURRENT_USER, "Software\\Varnis\\SET-V")); }

    const char* root() const { return run_.installRoot; }

    PrivateRegistryRoot user_{HKEY_CURRENT_USER, "title_install"};
    HWND progressPage_ = nullptr;
    QuietProgress progress_{nullptr};
    InstallChoices run_ = {};
    ScratchFolder scratch_{"title_install"};
    DiscFiles discs_;
    MessageCatcher messages_;
};

TEST_F(TitleInstall, FileLinesFollowTheSubfolderAndTheDiscsUpToTheEndOfTheList)
{
    discs_.put("Q:\\", "vga_lantern\\a.txt", "disc 1 a");
    discs_.put("Q:\\", "vga_lantern\\ソース.txt", "disc 1 source");
    discs_.put("R:\\", "varnis_disc2.ico");
    discs_.put("R:\\", "vga_lantern\\b.txt", "disc 2 b");
    discs_.put("R:\\", "vga_lantern\\c.txt", "disc 2 c");
    discs_.put("R:\\", "vga_lantern\\never.txt", "never");

    // The list ends at "end" or at a line with an empty key, whatever follows.
    for (const char* last : {"end", ",end"}) {
        TitleRecord title;
        fill(title, "Software\\Varnis\\Lantern", "vga_lantern\\",
             {"disc1", "setdir,Varnis\\Lantern\\", "file,a.txt", "setdir,Varnis\\Lantern\\表示\\",
              "file,ソース.txt", "setdir,Varnis\\Lantern\\", "disc2,b.txt", "setdir", "file,c.txt", "file",
              last, "file,never.txt"});
        title.folderCount = 3;
        setText(title.folderList[0], "Varnis\\");
        setText(title.folderList[1], "Varnis\\Lantern\\");
        setText(title.folderList[2], "Varnis\\Lantern\\表示\\");
        setText(sourceRoot, "Q:\\");

        createTitleFolders(progress_.owner(), title, root());
        EXPECT_TRUE(copyTitleFiles(progress_, title, root())) << last;
        EXPECT_EQ(installed("Varnis\\Lantern\\a.txt"), "disc 1 a") << last;
        EXPECT_EQ(installed("Varnis\\Lantern\\表示\\ソース.txt"), "disc 1 source") << last;   // replaced, not appended
        EXPECT_EQ(installed("Varnis\\Lantern\\b.txt"), "disc 2 b") << last;   // copied right after disc 2
        EXPECT_EQ(installed("c.txt"), "disc 2 c") << last;                    // "setdir" alone: installRoot
        EXPECT_FALSE(pathExists(scratch_ / "never.txt")) << last;
        EXPECT_FALSE(pathExists(scratch_ / "Varnis\\Lantern\\never.txt")) << last;
        EXPECT_STREQ(sourceRoot, "R:\\");
        EXPECT_TRUE(messages_.shown().empty()) << messages_.shown()[0].text;
        deleteTree(scratch_ / "Varnis");
        DeleteFileA((scratch_ / "c.txt").c_str());
    }
}

TEST_F(TitleInstall, TitleIsRegisteredAfterItsFilesAndSkippedOnceInstalled)
{
    discs_.put("Q:\\", "vga_brindle\\a.txt", "a");
    TitleRecord& title = g_titles[1];
    fill(title, "Software\\Varnis\\Brindle", "vga_brindle\\", {"file,a.txt", "file,missing.txt", "file,a.txt"});

    // Without the product key the title cannot be marked unfinished: nothing is copied.
    EXPECT_FALSE(installTitle(progress_, title, run_));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "Software\\Varnis\\Brindle"));
    EXPECT_FALSE(pathExists(scratch_ / "a.txt"));
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "キー情報をレジストリに書き込めませんでした");
    EXPECT_EQ(cancelRequested, 1);
    MessageCatcher::shown().clear();
    cancelRequested = 0;

    // A file that is not on the disc is left out; the title still installs, and its mark goes.
    HKEY product;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Varnis\\SET-V", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &product, nullptr),
              ERROR_SUCCESS);
    EXPECT_TRUE(installTitle(progress_, title, run_));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, "Software\\Varnis\\Brindle"));
    EXPECT_EQ(installed("a.txt"), "a");
    DWORD values = 99;
    RegQueryInfoKeyA(product, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    EXPECT_EQ(values, 0u) << "a finished title leaves no mark";
    RegCloseKey(product);

    DeleteFileA((scratch_ / "a.txt").c_str());
    EXPECT_FALSE(installTitle(progress_, title, run_));   // its key opens: nothing is copied
    EXPECT_FALSE(pathExists(scratch_ / "a.txt"));
    EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(TitleInstall, RefusedDiscCancelsTheRunAndLaterTitlesAreNotInstalled)
{
    discs_.put("Q:\\", "vga_harbor\\a.txt", "a");
    for (const char* name : {"vga_harbor1\\x.txt", "vga_harbor2\\y.txt", "vga_rainmere\\r.txt"}) discs_.put("Q:\\", name);
    fill(g_titles[kHarborIndex], "Software\\Varnis\\Harbor", "vga_harbor\\", {"file,a.txt", "disc2,b.txt", "file,c.txt"});
    fill(g_harborExtra[0], "Software\\Varnis\\Harbor1", "vga_harbor1\\", {"file,x.txt"});
    fill(g_harborExtra[1], "Software\\Varnis\\Harbor2", "vga_harbor2\\", {"file,y.txt"});
    fill(g_titles[3], "Software\\Varnis\\Rainmere", "vga_rainmere\\", {"file,r.txt"});
    run_.titles[kHarborIndex] = run_.titles[3] = true;
    createProductKey();

    messages_.answer(IDCANCEL);   // disc 2 is in no drive, and the player gives up
    progress_ = QuietProgress(progressPage_);
    installSelectedTitles(progress_, run_);

    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "「インストールdisc2」に入れ替えてください");
    EXPECT_EQ(messages_.shown()[0].caption, "インストール");
    EXPECT_EQ(messages_.shown()[0].owner, progressPage_);
    EXPECT_EQ(cancelRequested, 1);   // the closing steps now roll back
    // Harbor keeps its key so that the roll-back finds and removes it; nothing after the refusal
    // was copied and nothing after Harbor was installed.
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, "Software\\Varnis\\Harbor"));
    EXPECT_EQ(installed("a.txt"), "a");
    EXPECT_FALSE(pathExists(scratch_ / "c.txt"));
    for (const char* key : {"Software\\Varnis\\Harbor1", "Software\\Varnis\\Harbor2", "Software\\Varnis\\Rainmere"})
        EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, key)) << key;
    EXPECT_FALSE(pathExists(scratch_ / "x.txt"));
}

TEST_F(TitleInstall, HarborBringsBothExtraRecordsAndOnlyCheckedTitlesAreInstalled)
{
    for (const char* name : {"vga_h\\h.txt", "vga_h1\\x.txt", "vga_h2\\y.txt", "vga_l\\l.txt"}) discs_.put("Q:\\", name);
    fill(g_titles[0], "Software\\Varnis\\Lantern", "vga_l\\", {"file,l.txt"});
    fill(g_titles[kHarborIndex], "Software\\Varnis\\Harbor", "vga_h\\", {"file,h.txt"});
    fill(g_harborExtra[0], "Software\\Varnis\\Harbor1", "vga_h1\\", {"file,x.txt"});
    fill(g_harborExtra[1], "Software\\Varnis\\Harbor2", "vga_h2\\", {"file,y.txt"});
    g_titles[0].sizeMb = 5;
    g_titles[kHarborIndex].sizeMb = 7;
    run_.titles[kHarborIndex] = true;
    createProductKey();
    titleMbDone = 99;

    installSelectedTitles(progress_, run_);
    for (const char* key : {"Software\\Varnis\\Harbor", "Software\\Varnis\\Harbor1", "Software\\Varnis\\Harbor2"})
        EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, key)) << key;
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "Software\\Varnis\\Lantern"));
    for (const char* file : {"h.txt", "x.txt", "y.txt"}) EXPECT_TRUE(pathExists(scratch_ / file)) << file;
    EXPECT_FALSE(pathExists(scratch_ / "l.txt"));
    EXPECT_EQ(titleMbTotal, 7u);   // the run's titles' size
    EXPECT_EQ(titleMbDone, 0u);    // counted afresh; the small files add nothing
}

TEST_F(TitleInstall, FileThatCannotBeWrittenIsOfferedForRetryAndCancelStopsTheRun)
{
    discs_.put("Q:\\", "vga_b\\a.txt", "a");
    discs_.put("Q:\\", "vga_b\\b.txt", "b");
    struct Obstacle {
        const char* setdir;      // the subfolder line before the files
        std::string inTheWay;    // a file that is there before the copy
        bool readOnly;
        std::string refused;     // the destination that cannot be written
    };
    const Obstacle obstacles[] = {
        {"setdir", scratch_ / "a.txt", true, scratch_ / "a.txt"},                    // read-only file
        {"setdir,sub\\", scratch_ / "sub", false, scratch_ / "sub\\a.txt"},          // a file, not a folder
    };
    for (const Obstacle& obstacle : obstacles) {
        ASSERT_TRUE(writeFile(obstacle.inTheWay, "old"));
        if (obstacle.readOnly) SetFileAttributesA(obstacle.inTheWay.c_str(), FILE_ATTRIBUTE_READONLY);
        TitleRecord title;
        fill(title, "Software\\Varnis\\Brindle", "vga_b\\", {obstacle.setdir, "file,a.txt", "file,b.txt"});
        MessageCatcher::shown().clear();
        cancelRequested = 0;
        messages_.answer(IDRETRY);   // nothing changed: asked again
        messages_.answer(IDCANCEL);

        progress_ = QuietProgress(progressPage_);
        EXPECT_FALSE(copyTitleFiles(progress_, title, root())) << obstacle.refused;
        ASSERT_EQ(messages_.shown().size(), 2u) << obstacle.refused;
        for (const ShownMessage& shown : messages_.shown()) {
            EXPECT_EQ(shown.text, obstacle.refused + " のコピーに失敗しました。");
            EXPECT_EQ(shown.caption, "インストールエラー");
            EXPECT_EQ(shown.owner, progressPage_);
        }
        EXPECT_EQ(cancelRequested, 1) << "Cancel stops the run for the roll-back";
        EXPECT_FALSE(pathExists(scratch_ / "b.txt")) << "nothing after the refused file is copied";
        SetFileAttributesA(obstacle.inTheWay.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(readFile(obstacle.inTheWay), "old") << "the file in the way stays as it was";
        DeleteFileA(obstacle.inTheWay.c_str());
    }
}

TEST_F(TitleInstall, DiscGoneFromItsDriveIsLookedForAndAskedForBeforeAFileIsLeftOut)
{
    discs_.put("Q:\\", "vga_r\\a.txt", "a");
    TitleRecord title;
    fill(title, "Software\\Varnis\\Rainmere", "vga_r\\", {"file,a.txt"});

    // The disc was read from R: and now is in Q:: found there without a message.
    setText(sourceRoot, "R:\\");
    EXPECT_TRUE(copyTitleFiles(progress_, title, root()));
    EXPECT_EQ(installed("a.txt"), "a");
    EXPECT_STREQ(sourceRoot, "Q:\\");
    EXPECT_TRUE(messages_.shown().empty());

    // Disc 2, which the files come from, is in no drive: the player is asked for it, and Cancel
    // stops the run instead of leaving the title's files out one after the other.
    DeleteFileA((scratch_ / "a.txt").c_str());
    currentDisc = 2;
    fill(title, "Software\\Varnis\\Rainmere", "vga_r\\", {"file,b.txt", "file,a.txt"});
    messages_.answer(IDCANCEL);
    EXPECT_FALSE(copyTitleFiles(progress_, title, root()));
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "「インストールdisc2」に入れ替えてください");
    EXPECT_EQ(cancelRequested, 1);
    EXPECT_FALSE(pathExists(scratch_ / "a.txt"));
}

TEST_F(TitleInstall, PathThatDoesNotFitIsFoundBeforehandAndStopsTheRunIfMet)
{
    discs_.put("Q:\\", "vga_m\\long_name_file.txt", "long");
    discs_.put("Q:\\", "vga_m\\s.txt", "short");
    // installRoot + "long_name_file.txt" is 260 characters, one too many; "s.txt" fits.
    const std::string root = scratch_.path() + std::string(242 - scratch_.path().size(), 'r') + "\\";
    ASSERT_EQ(root.size(), 243u);
    ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
    TitleRecord title;
    fill(title, "Software\\Varnis\\Mistvale", "vga_m\\", {"file,s.txt", "file,long_name_file.txt"});

    // The check the run makes before it starts names the file.
    Text offending = {};
    EXPECT_FALSE(titlePathsFit(title, root.c_str(), offending));
    EXPECT_STREQ(offending, "long_name_file.txt");
    TitleRecord fits;
    fill(fits, "Software\\Varnis\\Mistvale", "vga_m\\", {"file,s.txt", "setdir,", "end", "file,long_name_file.txt"});
    EXPECT_TRUE(titlePathsFit(fits, root.c_str(), offending)) << "nothing after the end of the list counts";

    // Met during the copy all the same, it is reported and the run is cancelled: the title would
    // otherwise be registered without the file.
    EXPECT_FALSE(copyTitleFiles(progress_, title, root.c_str()));
    EXPECT_EQ(cancelRequested, 1);
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_NE(messages_.shown()[0].text.find("long_name_file.txt"), std::string::npos);
    EXPECT_EQ(messages_.shown()[0].caption, "インストールエラー");
    EXPECT_EQ(readFile(root + "s.txt"), "short");
}

}  // namespace

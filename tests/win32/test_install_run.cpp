// The install run driven step by step as the message loop drives it: a run across two discs to the
// closing steps, a copy that fails (retry, then cancel), a missing disc and file, a run whose
// product key exists already, lists that start-up could not read, and a run that the program did
// not live through.
#include <windows.h>

#include <gtest/gtest.h>

#include "install/destination.h"
#include "install/registry_record.h"
#include "install/run_state.h"
#include "install/uninstall_entry.h"
#include "install_test_helpers.h"
#include "menu/idle_step.h"
#include "menu/page_ids.h"
#include "menu/pages.h"
#include "menu/title_controls.h"
#include "tests/support/dialogs.h"
#include "tests/support/files.h"
#include "tests/support/registry.h"

using namespace install_test;
using namespace test_support;

namespace {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kProductKey[] = "Software\\Varnis\\SET-V";

bool visible(HWND page) { return IsWindowVisible(page) != FALSE; }

class InstallRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(user_.ok());
        ASSERT_TRUE(machine_.ok());
        ASSERT_TRUE(createKey(HKEY_LOCAL_MACHINE, kUninstallKey));

        g_pages = {};
        g_pages.main = createQuietDialog(IDD_MAIN);
        g_pages.installSelect = createQuietDialog(IDD_INSTALL_SELECT);
        g_pages.installConfirm = createQuietDialog(IDD_INSTALL_CONFIRM);
        g_pages.progress = createQuietDialog(IDD_PROGRESS);
        ShowWindow(g_pages.installConfirm, SW_SHOWNORMAL);
        for (TitleRecord& title : g_titles) title = {};

        setText(programFilesDir, scratch_.path());
        setText(installRoot, scratch_.path());
        setText(installDir, scratch_.path() + "Varnis\\Hub\\");
        setText(sourceRoot, "Q:\\");
        installType = 0;
        runMode = RunMode::Idle;
        copyIndex = 0;
        currentDisc = 1;
        cancelRequested = 0;
        g_space = {};
        for (bool& read : g_installListRead) read = true;
        for (bool& read : g_titleListRead) read = true;
        for (bool& read : g_harborExtraRead) read = true;

        InstallTypeList& list = g_installLists[0];
        list = {};
        setText(list.uninstallProgram, "vgan1_menu.exe");
        list.listSizeMb = 1;
        list.folderCount = 1;
        setText(list.folderList[0], "sub\\");
        list.entryCount = 3;
        setText(list.entries[0], "a.txt");
        setText(list.entries[1], "CDCHANGE 2");
        setText(list.entries[2], "sub\\b.txt");
    }
    void TearDown() override
    {
        for (HWND page : {g_pages.main, g_pages.installSelect, g_pages.installConfirm, g_pages.progress})
            DestroyWindow(page);
        g_pages = {};
        runMode = RunMode::Idle;
    }
    // Runs idle steps as the loop would while copying; answers how many it took.
    int runSteps(int limit)
    {
        int steps = 0;
        while (runMode == RunMode::Copying && steps < limit) {
            runIdleStep();
            ++steps;
        }
        return steps;
    }
    std::string installed(const std::string& relative) { return readFile(scratch_.path() + "Varnis\\Hub\\" + relative); }

    PrivateRegistryRoot user_{HKEY_CURRENT_USER, "install_run_user"};
    PrivateRegistryRoot machine_{HKEY_LOCAL_MACHINE, "install_run_machine"};
    ScratchFolder scratch_{"install_run"};
    DiscFiles discs_;
    MessageCatcher messages_;
};

TEST_F(InstallRun, RunCopiesFromBothDiscsAndEndsOnTheMainPage)
{
    discs_.put("Q:\\", "varnis_disc1.ico");
    discs_.put("Q:\\", "a.txt", "from disc 1");
    discs_.put("R:\\", "varnis_disc2.ico");
    discs_.put("R:\\", "sub\\b.txt", "from disc 2");
    messages_.answer(IDCANCEL);   // the DirectX offer
    // Started from the drive that now holds disc 2: the files are read where the probe finds them.
    setText(sourceRoot, "R:\\");

    startInstallRun();
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kProductKey));
    EXPECT_TRUE(visible(g_pages.progress));
    EXPECT_FALSE(visible(g_pages.installConfirm));
    EXPECT_EQ(runMode, RunMode::Copying);

    EXPECT_EQ(runSteps(10), 3);   // one entry per step; the closing steps follow the last
    EXPECT_EQ(installed("a.txt"), "from disc 1");
    EXPECT_EQ(installed("sub\\b.txt"), "from disc 2");
    EXPECT_EQ(currentDisc, 2);
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, kUninstallEntryPath));
    EXPECT_EQ(controlText(g_pages.progress, IDC_PERCENT), "100％");
    EXPECT_TRUE(visible(g_pages.main));
    EXPECT_FALSE(visible(g_pages.progress));
    ASSERT_GE(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].caption, "DirectXのインストール確認");
    EXPECT_EQ(messages_.shown()[0].owner, g_pages.progress);
}

TEST_F(InstallRun, CompactRunFromACdPointsTheVoiceArchiveAtTheDiscOnce)
{
    InstallTypeList& compact = g_installLists[1];
    compact = g_installLists[0];
    setText(compact.mediaType, "cd-rom");
    setText(compact.archiveNames[4], "voice.arc");
    installType = 1;
    voiceArcNoted = false;
    discs_.put("Q:\\", "varnis_disc1.ico");
    discs_.put("Q:\\", "a.txt");
    discs_.put("R:\\", "voice.arc");

    startInstallRun();
    char value[kTextSize] = {};
    DWORD size = sizeof value;
    ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, kProductKey, "VOICE_ARC", RRF_RT_REG_SZ, nullptr, value, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(value, (scratch_.path() + "Varnis\\Hub\\voice.arc").c_str());   // as the product key has it

    runIdleStep();
    EXPECT_TRUE(voiceArcNoted);
    size = sizeof value;
    RegGetValueA(HKEY_CURRENT_USER, kProductKey, "VOICE_ARC", RRF_RT_REG_SZ, nullptr, value, &size);
    EXPECT_STREQ(value, "R:\\voice.arc");
    EXPECT_EQ(installed("a.txt"), "x");

    // Noted once: a later entry leaves the value alone even when the archive moved.
    RegSetKeyValueA(HKEY_CURRENT_USER, kProductKey, "VOICE_ARC", REG_SZ, "kept", 5);
    discs_.put("R:\\", "varnis_disc2.ico");
    discs_.put("R:\\", "sub\\b.txt");
    messages_.answer(IDCANCEL);   // the DirectX offer
    runSteps(10);
    size = sizeof value;
    RegGetValueA(HKEY_CURRENT_USER, kProductKey, "VOICE_ARC", RRF_RT_REG_SZ, nullptr, value, &size);
    EXPECT_STREQ(value, "kept");
    voiceArcNoted = false;
}

TEST_F(InstallRun, FailedCopyAsksAndCancelRollsBack)
{
    discs_.put("Q:\\", "varnis_disc1.ico");
    discs_.put("Q:\\", "a.txt");
    startInstallRun();
    // Something the run cannot replace is in the way.
    const std::string blocked = scratch_.path() + "Varnis\\Hub\\a.txt";
    ASSERT_TRUE(writeFile(blocked, "in the way"));
    SetFileAttributesA(blocked.c_str(), FILE_ATTRIBUTE_READONLY);
    messages_.answer(IDRETRY);
    messages_.answer(IDCANCEL);

    runIdleStep();   // fails, asks, Retry: the entry stays
    EXPECT_EQ(runMode, RunMode::Copying);
    EXPECT_EQ(copyIndex, 0);
    runIdleStep();   // fails again, Cancel: rolled back
    ASSERT_EQ(messages_.shown().size(), 2u);
    EXPECT_EQ(messages_.shown()[1].text, blocked + " のコピーに失敗しました。");
    EXPECT_EQ(messages_.shown()[1].caption, "インストールエラー");
    EXPECT_EQ(messages_.shown()[1].owner, g_pages.progress);

    EXPECT_EQ(runMode, RunMode::Idle);
    EXPECT_TRUE(visible(g_pages.installConfirm));
    EXPECT_FALSE(visible(g_pages.progress));
    EXPECT_EQ(controlText(g_pages.progress, IDC_PERCENT), "0％");
    EXPECT_EQ(controlText(g_pages.progress, IDC_SOURCE_FILE), "");
    EXPECT_TRUE(readFile(blocked) == "in the way");
}

TEST_F(InstallRun, DestinationTooDeepForAnyFileOfTheRunIsRefusedBeforeAnythingIsWritten)
{
    // Blanks and "ソ"/"表" (second byte 0x5C) in a deep install folder: installDir + "sub\\b.txt"
    // is 260 characters, one too many, while "a.txt" would still fit.
    const std::string head = scratch_.path() + "深い ソ表 ";
    const std::string deep = head + std::string(259 - 9 - 11 - head.size(), 'd') + "\\Varnis\\Hub\\";
    ASSERT_EQ(deep.size() + std::string("sub\\b.txt").size(), 260u);
    setText(installDir, deep);
    discs_.put("Q:\\", "varnis_disc1.ico");
    discs_.put("Q:\\", "a.txt", "from disc 1");

    startInstallRun();
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "パスが長すぎるため、インストールできません：\nsub\\b.txt");
    EXPECT_EQ(messages_.shown()[0].caption, "インストールエラー");
    EXPECT_EQ(runMode, RunMode::Idle);
    EXPECT_TRUE(visible(g_pages.installConfirm));
    EXPECT_FALSE(visible(g_pages.progress));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kProductKey)) << "nothing may be registered";
    EXPECT_FALSE(pathExists(scratch_.path() + "Varnis")) << "no folder made";

    // A title file that would not fit refuses the run the same way.
    setText(installDir, scratch_.path() + "Varnis\\Hub\\");
    const std::string root = scratch_.path() + std::string(250 - scratch_.path().size(), 'r') + "\\";
    setText(installRoot, root);
    TitleRecord& title = g_titles[0];
    setText(title.registryKey, "Software\\Varnis\\Lantern");
    setText(title.sourceFolder, "lantern\\");
    title.fileLineCount = 1;
    setText(title.fileLines[0], "file,name_too_long.txt");
    CheckDlgButton(g_pages.installSelect, IDC_TITLE_BOX_BASE, BST_CHECKED);
    startInstallRun();
    ASSERT_EQ(messages_.shown().size(), 2u);
    EXPECT_EQ(messages_.shown()[1].text, "パスが長すぎるため、インストールできません：\nname_too_long.txt");
    EXPECT_EQ(runMode, RunMode::Idle);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kProductKey));
}

TEST_F(InstallRun, MissingDiscIsAskedForAgainAndAMissingFileRollsBack)
{
    startInstallRun();
    messages_.answer(IDOK);
    runIdleStep();   // no disc in any drive: asked for, and the entry waits
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "「インストールdisc1」に入れ替えてください");
    EXPECT_EQ(messages_.shown()[0].caption, "インストール");
    EXPECT_EQ(runMode, RunMode::Copying);
    EXPECT_EQ(copyIndex, 0);

    discs_.put("Q:\\", "varnis_disc1.ico");   // the disc, but without the file
    runIdleStep();
    ASSERT_EQ(messages_.shown().size(), 2u);
    EXPECT_EQ(messages_.shown()[1].text, scratch_.path() + "Varnis\\Hub\\a.txt というファイルがありません");
    EXPECT_EQ(messages_.shown()[1].caption, "インストールエラー");
    EXPECT_EQ(runMode, RunMode::Idle);
    EXPECT_TRUE(visible(g_pages.installConfirm));
}

TEST_F(InstallRun, ListsThatStartUpCouldNotReadStopTheRunBeforeAnythingIsWritten)
{
    g_installListRead[0] = false;
    startInstallRun();
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "instdata_f.txt を読み込めないため、インストールできません。");
    EXPECT_EQ(messages_.shown()[0].caption, "インストールエラー");
    EXPECT_EQ(messages_.shown()[0].owner, g_pages.installConfirm);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kProductKey));
    EXPECT_FALSE(pathExists(scratch_.path() + "Varnis"));
    EXPECT_TRUE(visible(g_pages.installConfirm));
    EXPECT_EQ(runMode, RunMode::Idle);

    // The compact list does not matter to a full install; a checked title's list does, and
    // Harbor's two extra lists with Harbor's.
    g_installListRead[0] = true;
    g_installListRead[1] = false;
    g_harborExtraRead[1] = false;
    setChecked(g_pages.installSelect, IDC_TITLE_BOX_BASE + kHarborIndex, true);
    startInstallRun();
    ASSERT_EQ(messages_.shown().size(), 2u);
    EXPECT_EQ(messages_.shown()[1].text, "inst_harborsp.txt を読み込めないため、インストールできません。");
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kProductKey));

    setChecked(g_pages.installSelect, IDC_TITLE_BOX_BASE + kHarborIndex, false);
    startInstallRun();
    EXPECT_EQ(messages_.shown().size(), 2u);
    EXPECT_EQ(runMode, RunMode::Copying);
}

TEST_F(InstallRun, RunEndedInTheMiddleOfItsProductCopyIsCopiedAfreshAtTheNextStart)
{
    discs_.put("Q:\\", "varnis_disc1.ico");
    discs_.put("Q:\\", "a.txt", "from disc 1");
    discs_.put("R:\\", "varnis_disc2.ico");
    discs_.put("R:\\", "sub\\b.txt", "from disc 2");
    startInstallRun();
    EXPECT_TRUE(productCopyUnfinished());
    runIdleStep();
    ASSERT_EQ(copyIndex, 1);

    // The program ends here from outside. A new start finds the record and part of the files,
    // the copied one cut short; the player now picks another destination.
    const std::string first = scratch_.path() + "Varnis\\Hub\\";
    ASSERT_TRUE(writeFile(first + "a.txt", "from"));
    runMode = RunMode::Idle;
    copyIndex = 0;
    ShowWindow(g_pages.progress, SW_HIDE);
    ShowWindow(g_pages.installConfirm, SW_SHOWNORMAL);
    const std::string root = scratch_.path() + "other\\";
    ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
    setText(programFilesDir, root);
    setText(installRoot, root);
    setText(installDir, root + "Varnis\\Hub\\");

    messages_.answer(IDCANCEL);   // the DirectX offer
    startInstallRun();
    EXPECT_EQ(runMode, RunMode::Copying);
    EXPECT_EQ(copyIndex, 0) << "the product is copied again";
    EXPECT_FALSE(pathExists(scratch_.path() + "Varnis")) << "what the earlier run copied goes first";
    char path[kTextSize] = {};
    DWORD size = sizeof path;
    ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, kProductKey, "INSTALL_PATH", RRF_RT_REG_SZ, nullptr, path, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(path), root + "Varnis\\Hub\\");

    EXPECT_EQ(runSteps(10), 3);
    EXPECT_EQ(readFile(root + "Varnis\\Hub\\a.txt"), "from disc 1");
    EXPECT_EQ(readFile(root + "Varnis\\Hub\\sub\\b.txt"), "from disc 2");
    EXPECT_FALSE(productCopyUnfinished()) << "the last entry is done";
    EXPECT_TRUE(visible(g_pages.main));
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].caption, "DirectXのインストール確認");
}

TEST_F(InstallRun, ExistingProductGoesStraightToTheClosingStepsAndRefusedDisc2RollsBack)
{
    ASSERT_TRUE(createKey(HKEY_CURRENT_USER, kProductKey));
    g_space = {0, 10, 0, 20};   // 20 MB needed, 10 MB free: a warning, and the run goes on
    messages_.answer(IDOK);
    messages_.answer(IDCANCEL);   // disc 2 is in no drive

    startInstallRun();
    EXPECT_EQ(copyIndex, 3);
    EXPECT_FALSE(pathExists(scratch_.path() + "Varnis"));   // no product folders
    EXPECT_NE(RegGetValueA(HKEY_CURRENT_USER, kProductKey, "INSTALL_PATH", RRF_RT_ANY, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);   // the product key is left as it is
    EXPECT_EQ(runSteps(10), 1);

    ASSERT_EQ(messages_.shown().size(), 2u);
    EXPECT_EQ(messages_.shown()[0].caption, "インストール");
    EXPECT_EQ(messages_.shown()[0].owner, g_pages.installConfirm);
    EXPECT_EQ(messages_.shown()[1].text, "「インストールdisc2」に入れ替えてください");
    EXPECT_EQ(runMode, RunMode::Idle);
    EXPECT_EQ(copyIndex, 0);
    EXPECT_TRUE(visible(g_pages.installConfirm));
    EXPECT_FALSE(visible(g_pages.progress));
}

}  // namespace

// End-to-end tests of unattended runs: the real menu started from disc 1 in Q: with /silent, as a
// shop's script starts it, both discs in drives (nobody is there to change them). Each case
// checks the exit code that the started instance ends with, what the run left (the product
// snapshot) and what its action log says.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "menu/page_ids.h"
#include "tests/e2e/install_fixture.h"

using namespace e2e;

namespace {

// The destination of a case: a folder that does not exist yet, with blanks and "ソ", "表"
// (second byte 0x5C) in its name.
const char kOddRoot[] = "C:\\vga e2e ソ表 フォルダ\\";
const char kOddDir[] = "C:\\vga e2e ソ表 フォルダ\\深い\\";

class UnattendedE2E : public InstallFixture {
protected:
    void TearDown() override
    {
        InstallFixture::TearDown();
        deleteTree(kOddRoot);
    }

    // The log holds a line with text; otherwise a failure that shows the whole log.
    void expectLogged(const std::string& text)
    {
        EXPECT_FALSE(logLinesWith(text).empty()) << "not in the log: " << text << "\nlog:\n" << joinLines(logLines());
    }
};

std::string fileSizeText(const std::string& path)
{
    return std::to_string(readFile(path).size());
}

TEST_F(UnattendedE2E, FullInstallLeavesWhatTheClickedInstallLeaves)
{
    ASSERT_TRUE(insertDisc('R', 2));
    RunLog clickedRun;
    HWND main = installEverything(clickedRun);
    ASSERT_TRUE(main);
    EXPECT_TRUE(clickedRun.discRequests.empty()) << "both discs are in drives";
    ASSERT_TRUE(click(main, IDC_EXIT));
    EXPECT_EQ(menu_.waitExit(kExitTimeoutMs), 0);
    ASSERT_TRUE(waitUntil([&] { return fileExists(opened_); }, 15000)) << "the clicked install opened no readme";
    const std::string clickedReadme = readFile(opened_);
    const std::vector<std::string> clicked = productSnapshot(Links::Targets);

    // Gone again, and the same install without a player (who declined DirectX).
    resetRegistry();
    removeProduct();
    DeleteFileA(opened_.c_str());
    ASSERT_EQ(productSnapshot(), before_);
    EXPECT_EQ(runMenuWith("/silent /nodirectx " + logArgument()), 0);
    const std::vector<std::string> unattended = productSnapshot(Links::Targets);
    EXPECT_EQ(unattended, clicked) << snapshotDifference(clicked, unattended);
    expectEverythingInstalled();
    ASSERT_TRUE(waitUntil([&] { return fileExists(opened_); }, 15000)) << "readme.txt was not opened";
    EXPECT_EQ(readFile(opened_), clickedReadme);
    EXPECT_TRUE(findProcesses("vgan1_menu.exe").empty()) << "a menu is still running after its exit code";

    // The log: what was read, each kind of action, no message, the exit code of both instances.
    const std::string programs = shellFolder(CSIDL_PROGRAMS);
    expectLogged("started: \"Q:\\vgan1_menu.exe\" /silent /nodirectx /log=");
    expectLogged("restarted from TEMP: ");
    expectLogged("install: titles 1,2,3,4,5 into " + installDir());
    expectLogged("folder made: " + installDir() + "data\\");
    expectLogged("copied: Q:\\data\\bgm.arc -> " + installDir() + "data\\bgm.arc (" +
                 fileSizeText(discFolder(1) + "data\\bgm.arc") + " bytes)");
    expectLogged("copied: R:\\ソフト資料\\ソフト紹介.txt -> " + installDir() + "ソフト資料\\ソフト紹介.txt (");
    expectLogged("registry value set: HKCU\\Software\\Varnis\\SET-V : INSTALL_PATH = " + installDir());
    expectLogged("registry value set: HKLM\\" + std::string(kUninstallKey) + " : UninstallString = \"" + installDir() +
                 "vgan1_menu.exe\"");
    expectLogged("registry value deleted: HKCU\\Software\\Varnis\\SET-V : INSTALL_UNFINISHED");
    expectLogged("shortcut made: " + programs + "Varnis\\Hub\\Setup.lnk -> " + installDir() + "vgan1_menu.exe");
    expectLogged("readme opened: R:\\readme.txt");
    EXPECT_EQ(logLinesWith("exit code 0: done").size(), 2u) << joinLines(logLines());
    EXPECT_TRUE(logLinesWith("message [").empty()) << joinLines(logLines());
    EXPECT_NE(readFile(log_).find(u8"ソフト紹介.txt"), std::string::npos) << "the log is not written in UTF-8";
}

TEST_F(UnattendedE2E, TwoTitlesIntoAFolderWithBlanksAndTwoByteNamesThenOneAndAllRemoved)
{
    deleteTree(kOddRoot);
    ASSERT_TRUE(insertDisc('R', 2));
    const std::string root = kOddDir;
    const std::string dir = root.substr(0, root.size() - 1);   // given without its backslash
    const std::string dxMarker = tempFolder() + "started_dxsetup.txt";
    DeleteFileA(dxMarker.c_str());
    EXPECT_EQ(runMenuWith("/silent /titles=3,1 /nostartmenu \"/dir=" + dir + "\" " + logArgument()), 0);

    // Lantern (1) and Harbor (3) with their extras, the product, nothing of the others.
    for (const CopiedFile& file : kListFiles)
        expectSameFile(discFolder(file.disc) + file.onDisc, root + "Varnis\\Hub\\" + file.installed);
    for (const CopiedFile& file : kTitleFiles) {
        const std::string installed = root + file.installed;
        const std::string title = std::string(file.installed).substr(0, std::string(file.installed).find('\\', 7));
        if (title == "Varnis\\Lantern" || title == "Varnis\\Harbor")
            expectSameFile(discFolder(file.disc) + file.onDisc, installed);
        else
            EXPECT_FALSE(fileExists(installed)) << installed;
    }
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(readValue(HKEY_CURRENT_USER, kProductKey, "INSTALL_PATH", &type, &data));
    EXPECT_EQ(std::string(data.c_str()), root + "Varnis\\Hub\\");
    ASSERT_TRUE(readValue(HKEY_CURRENT_USER, kSampleTitles[0].registryKey, "L_INST_PATH", &type, &data));
    EXPECT_EQ(std::string(data.c_str()), root);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kSampleTitles[1].registryKey));
    // Desktop shortcuts only.
    const std::string desktop = shellFolder(CSIDL_DESKTOPDIRECTORY), programs = shellFolder(CSIDL_PROGRAMS);
    EXPECT_EQ(readShortcut(desktop + kTitleLinks[0]).target, root + "Varnis\\Lantern\\lantern.exe");
    EXPECT_EQ(readShortcut(desktop + kDesktopLink).target, root + "Varnis\\Hub\\vgan1_menu.exe");
    EXPECT_FALSE(fileExists(programs + "Varnis\\Lantern\\Lantern.lnk"));
    EXPECT_FALSE(fileExists(programs + "Varnis\\Hub\\Setup.lnk"));
    // Without /nodirectx and /noreadme: what OK on the question does, and the readme.
    EXPECT_TRUE(waitUntil([&] { return fileExists(dxMarker); }, 15000)) << "the DirectX setup was not started";
    EXPECT_TRUE(waitUntil([&] { return fileExists(opened_); }, 15000)) << "readme.txt was not opened";
    expectLogged("folder made: C:\\vga e2e ソ表 フォルダ");
    expectLogged("folder made: " + dir);
    expectLogged("DirectX setup started: R:\\directx81\\redist\\directX81\\dxsetup.exe");
    killProcesses({"dxsetup.exe"});
    DeleteFileA(dxMarker.c_str());

    // A title named that is not installed: nothing is done.
    const std::vector<std::string> installed = productSnapshot(Links::Bytes, root);
    EXPECT_EQ(runMenuWith("/silent /uninstall /titles=2 /data=game " + logArgument()), 6);
    EXPECT_EQ(productSnapshot(Links::Bytes, root), installed);
    expectLogged("uninstall: title 2 (");

    // Lantern alone: Harbor and the product stay.
    EXPECT_EQ(runMenuWith("/silent /uninstall /titles=1 /data=game " + logArgument()), 0);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kSampleTitles[0].registryKey));
    EXPECT_FALSE(fileExists(root + "Varnis\\Lantern\\lantern.exe"));
    EXPECT_FALSE(fileExists(desktop + kTitleLinks[0]));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kSampleTitles[2].registryKey));
    EXPECT_TRUE(fileExists(root + "Varnis\\Harbor\\harbor.exe"));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kProductKey));
    expectLogged("registry key deleted: HKCU\\" + std::string(kSampleTitles[0].registryKey));
    expectLogged("file deleted: " + root + "Varnis\\Lantern\\lantern.exe");

    // Everything with all data: nothing is left but the folder that /dir named, empty.
    EXPECT_EQ(runMenuWith("/silent /uninstall /titles=all /data=all " + logArgument()), 0);
    const std::vector<std::string> after = productSnapshot(Links::Bytes, root);
    EXPECT_EQ(after, before_) << snapshotDifference(before_, after);
    expectSameAsBefore("after everything was removed");
    EXPECT_TRUE(RemoveDirectoryA(root.c_str())) << "the folder that /dir named is gone or not empty";
    // The completion message the page shows is in the log, word for word, each time.
    EXPECT_EQ(logLinesWith(loggedMessage("アンインストール", "ゲームの削除が終了しました") + " (unattended)").size(), 2u);
}

// Runs that end before they change anything: a wrong option (with and without /silent), an
// uninstall of what is not there, another menu running.
TEST_F(UnattendedE2E, RunsThatChangeNothingEndWithTheirOwnCodes)
{
    const std::string titlesFault = "タイトル番号 1～5 をカンマで区切って指定するか、all を指定してください。";
    EXPECT_EQ(runMenuWith("/silent /titles=6 " + logArgument()), 1);
    expectLogged("bad option: /titles=6");
    expectLogged(loggedMessage("ERROR", "コマンドラインのオプションが正しくありません：/titles=6\n" + titlesFault) +
                 " (unattended)");
    EXPECT_TRUE(logLinesWith("restarted from TEMP").empty()) << "a refused run went on";

    // Without /silent the player is told, in a box.
    ASSERT_TRUE(menu_.start({}, "Q:\\vgan1_menu.exe", "Q:\\", "/titels=1 " + logArgument()));
    HWND box = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (box = findMessageBox(menu_.startedPid())) != nullptr; }, kStartTimeoutMs));
    EXPECT_EQ(messageBoxText(box), "コマンドラインのオプションが正しくありません：/titels=1\nこのオプションはありません。");
    ASSERT_TRUE(answerMessageBox(box, IDOK));
    EXPECT_EQ(menu_.waitStartedExit(kExitTimeoutMs), 1);
    expectLogged(loggedMessage("ERROR", "コマンドラインのオプションが正しくありません：/titels=1\nこのオプションはありません。"));

    EXPECT_EQ(runMenuWith("/silent /uninstall /titles=all /data=all " + logArgument()), 6);
    expectLogged("uninstall: the collection is not installed");
    expectLogged("exit code 6: not installed");

    // A player's menu is open (the log goes with it to its copy in TEMP): the script's run ends
    // at once and leaves it alone.
    ASSERT_TRUE(menu_.start({}, "Q:\\vgan1_menu.exe", "Q:\\", logArgument()));
    EXPECT_EQ(menu_.waitStartedExit(kStartTimeoutMs), 0) << "the menu on the disc ends at once, as always";
    HWND welcome = menu_.waitForPage(Page::Welcome, kStartTimeoutMs);
    ASSERT_TRUE(welcome);
    // "restarted from TEMP: ..." and the copy's "started: ...": the disc folder, then the option.
    EXPECT_EQ(logLinesWith("vgan1_menu.exe\" Q:\\ /log=\"" + log_ + "\"").size(), 2u) << joinLines(logLines());
    EXPECT_EQ(runMenuWith("/silent " + logArgument()), 2);
    expectLogged("another menu is running");
    EXPECT_TRUE(IsWindowVisible(welcome));
    PostMessageA(welcome, WM_CLOSE, 0, 0);
    EXPECT_EQ(menu_.waitExit(kExitTimeoutMs), 0);
    expectSameAsBefore("after runs that change nothing");
}

// Runs that stop in the middle and are rolled back: disc 2 in no drive, a file that cannot be
// replaced at the destination.
TEST_F(UnattendedE2E, RunsThatStopAreRolledBackWithTheirOwnCodes)
{
    EXPECT_EQ(runMenuWith("/silent /nodirectx /noreadme " + logArgument()), 3);
    expectSameAsBefore("after a run without disc 2");
    expectLogged(loggedMessage("インストール", "「インストールdisc2」に入れ替えてください") + " -> Cancel (unattended)");
    expectLogged("roll-back: removing what this run added");
    expectLogged("file deleted: " + installDir() + "data\\bgm.arc");
    expectLogged("exit code 3: ");

    // A read-only copy left by an earlier install, whose record is gone: not the run's to replace.
    const std::string inTheWay = installDir() + "data\\script.arc";
    ASSERT_TRUE(makeFolders(folderOf(inTheWay)));
    ASSERT_TRUE(CopyFileA((discFolder(1) + "data\\pict.arc").c_str(), inTheWay.c_str(), FALSE));
    ASSERT_TRUE(SetFileAttributesA(inTheWay.c_str(), FILE_ATTRIBUTE_READONLY));
    before_ = productSnapshot();
    ASSERT_TRUE(insertDisc('R', 2));
    EXPECT_EQ(runMenuWith("/silent " + logArgument()), 5);
    expectSameAsBefore("after a copy that failed");
    expectLogged(loggedMessage("インストールエラー", inTheWay + " のコピーに失敗しました。") + " -> Cancel (unattended)");
    expectLogged("exit code 5: ");
    EXPECT_FALSE(fileExists(opened_)) << "a rolled-back run opened the readme";
}

}  // namespace

// End-to-end tests of the install and uninstall runs: the real menu started from sample disc 1
// in drive Q:, worked like a player who swaps the discs whenever the menu asks, and checked
// against what lands in the prefix's files, registry and shell folders.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "menu/page_ids.h"
#include "tests/e2e/install_fixture.h"

using namespace e2e;

namespace {


// Title keys beyond the five of kSampleTitles: Harbor's extra lists.
const char* const kHarborExtraKeys[] = {"Software\\Varnis\\HarborData", "Software\\Varnis\\HarborSP"};

// A REG_SZ stored with its whole 260-byte buffer: the text, then zero bytes.
void expectPathValue(HKEY root, const char* path, const char* name, const std::string& text)
{
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(readValue(root, path, name, &type, &data)) << path << " : " << name;
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << path << " : " << name;
    EXPECT_EQ(data.size(), 260u) << path << " : " << name;
    EXPECT_EQ(std::string(data.c_str()), text) << path << " : " << name;
    EXPECT_EQ(data.find_first_not_of('\0', text.size()), std::string::npos) << path << " : " << name << " padding";
}

void expectTextValue(HKEY root, const char* path, const char* name, const std::string& text)
{
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(readValue(root, path, name, &type, &data)) << path << " : " << name;
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << path << " : " << name;
    EXPECT_EQ(data, text + '\0') << path << " : " << name;
}

class InstallE2E : public InstallFixture {};

// ---- A first install of everything

TEST_F(InstallE2E, FullInstallFromBothDiscsCopiesRecordsAndLinksEverything)
{
    RunLog log;
    ASSERT_TRUE(installEverything(log));

    EXPECT_TRUE(log.otherMessages.empty()) << "unexpected messages:\n" << joinLines(log.otherMessages);
    EXPECT_TRUE(log.needlessRequests.empty()) << "asked for the disc already in the drive:\n"
                                              << joinLines(log.needlessRequests);
    ASSERT_FALSE(log.discRequests.empty());
    EXPECT_EQ(log.discRequests.front(), 2) << "the list's disc change comes first";
    EXPECT_EQ(log.directXQuestions, 1);
    EXPECT_EQ(driveOfDisc(2), 'Q') << "the run ends with disc 2 in the drive";

    // Files, byte for byte against the staged discs.
    const std::string root = programFilesFolder();
    expectEverythingInstalled();
    for (const std::string& path : {installDir() + "save\\", root + "Varnis\\Lantern\\save\\", root + "Varnis\\Mistvale\\save\\"}) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) << path;
    }

    // The product key.
    expectPathValue(HKEY_CURRENT_USER, kProductKey, "INSTALL_PATH", installDir());
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(readValue(HKEY_CURRENT_USER, kProductKey, "INSTALL_TYPE", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, std::string(4, '\0')) << "full install";
    expectTextValue(HKEY_CURRENT_USER, kProductKey, "MEDIA_TYPE", "DVD-ROM");
    expectTextValue(HKEY_CURRENT_USER, kProductKey, "SCRIPT_ARC", installDir() + "data\\script.arc");

    // The title keys, Harbor's two extra keys among them.
    for (const SampleTitle& title : kSampleTitles) expectPathValue(HKEY_CURRENT_USER, title.registryKey, "L_INST_PATH", root);
    for (const char* key : kHarborExtraKeys) expectPathValue(HKEY_CURRENT_USER, key, "L_INST_PATH", root);
    expectPathValue(HKEY_CURRENT_USER, "Software\\Varnis\\Lantern", "SAVE_PATH", root + "Varnis\\Lantern\\save\\");
    expectPathValue(HKEY_CURRENT_USER, "Software\\Varnis\\Mistvale", "MEDIA", "Q:\\");

    // Shortcuts: the product's pair and each title's pair.
    const std::string programs = shellFolder(CSIDL_PROGRAMS), desktop = shellFolder(CSIDL_DESKTOPDIRECTORY);
    const std::string menuProgram = installDir() + "vgan1_menu.exe";
    EXPECT_EQ(readShortcut(programs + "Varnis\\Hub\\Setup.lnk").target, menuProgram);
    EXPECT_EQ(readShortcut(desktop + kDesktopLink).target, menuProgram);
    for (int i = 0; i < 5; ++i) {
        const SampleTitle& title = kSampleTitles[i];
        const std::string program = root + title.programFile;
        EXPECT_EQ(readShortcut(desktop + kTitleLinks[i]).target, program) << kTitleLinks[i];
        EXPECT_EQ(readShortcut(programs + folderOf(title.programFile) + kTitleLinks[i]).target, program) << kTitleLinks[i];
    }

    // The add/remove programs entry: exactly the two values, the command quoted (it has blanks).
    expectTextValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "Hub");
    expectTextValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", "\"" + menuProgram + "\"");

    // The readme is opened from the drive where disc 2 is.
    ASSERT_TRUE(waitUntil([&] { return fileExists(opened_); }, 15000)) << "readme.txt was not opened";
    EXPECT_EQ(readFile(opened_), "Q:\\readme.txt\n");

    // The menu goes on from its main page.
    HWND main = menu_.visiblePage();
    ASSERT_TRUE(main);
    ASSERT_TRUE(click(main, IDC_EXIT));
    EXPECT_EQ(menu_.waitExit(kExitTimeoutMs), 0);
}

// ---- Deep destinations with two-byte names and blanks

// A Program Files folder of `length` bytes (no trailing backslash) with blanks and characters
// whose second byte is a backslash ("ソ", "表"), made on C:.
std::string deepFolder(size_t length)
{
    std::string folder = "C:\\vga e2e 深い ソ表 フォルダ";
    folder += std::string(length - folder.size(), 'x');
    return folder;
}

TEST_F(InstallE2E, DeepDestinationWithTwoByteNamesAndBlanksInstallsWhole)
{
    // 200 bytes: the deepest file of the sample discs ends 36 bytes further down.
    const std::string root = deepFolder(200);
    ASSERT_EQ(root.size(), 200u);
    ASSERT_TRUE(makeFolders(root + "\\"));
    {
        BorrowedValue programFiles;
        ASSERT_TRUE(programFiles.set(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                                     "ProgramFilesDir", REG_SZ, root));
        ASSERT_EQ(programFilesFolder(), root + "\\") << "the prefix does not take the borrowed Program Files";

        RunLog log;
        HWND main = installEverything(log);
        EXPECT_TRUE(log.otherMessages.empty()) << "unexpected messages:\n" << joinLines(log.otherMessages);
        const std::string dir = root + "\\Varnis\\Hub\\";
        for (const CopiedFile& file : kListFiles) expectSameFile(discFolder(file.disc) + file.onDisc, dir + file.installed);
        for (const CopiedFile& file : kTitleFiles)
            expectSameFile(discFolder(file.disc) + file.onDisc, root + "\\" + file.installed);
        expectPathValue(HKEY_CURRENT_USER, kProductKey, "INSTALL_PATH", dir);
        expectTextValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", "\"" + dir + "vgan1_menu.exe\"");
        EXPECT_EQ(readShortcut(shellFolder(CSIDL_DESKTOPDIRECTORY) + kTitleLinks[2]).target,
                  root + "\\" + kSampleTitles[2].programFile);
        if (main) {
            ASSERT_TRUE(click(main, IDC_EXIT));
            EXPECT_EQ(menu_.waitExit(kExitTimeoutMs), 0);
        }

        // And it goes again, all of it, from a new start.
        ASSERT_TRUE(insertDisc('Q', 1));
        main = startMenu(Page::Main);
        ASSERT_TRUE(main);
        ASSERT_TRUE(uninstallEverything(main));
        EXPECT_FALSE(pathExists(root + "\\Varnis")) << "the deep install is left behind";
        EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "Software\\Varnis"));
    }
    deleteTree(root + "\\");
}

TEST_F(InstallE2E, DestinationTooDeepForTheDiscsFilesIsRefusedBeforeAnythingIsWritten)
{
    // 224 bytes: "ソフト資料\\ソフト紹介.txt" under Varnis\\Hub\\ would end at byte 260.
    const std::string root = deepFolder(224);
    ASSERT_TRUE(makeFolders(root + "\\"));
    {
        BorrowedValue programFiles;
        ASSERT_TRUE(programFiles.set(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                                     "ProgramFilesDir", REG_SZ, root));
        before_ = productSnapshot();
        HWND confirm = openInstallConfirm();
        ASSERT_TRUE(confirm);
        ASSERT_TRUE(postClick(confirm, IDC_START_INSTALL));
        HWND box = nullptr;
        ASSERT_TRUE(waitUntil([&] { return (box = findMessageBox(menu_.menuPid())) != nullptr; }, 15000));
        EXPECT_EQ(messageBoxText(box), "パスが長すぎるため、インストールできません：\nソフト資料\\ソフト紹介.txt");
        ASSERT_TRUE(answerMessageBox(box, IDOK));
        EXPECT_TRUE(waitUntil([&] { return menu_.visiblePage() == confirm && !findMessageBox(menu_.menuPid()); }, 10000))
            << "the player stays on the confirm page to choose another folder";
        expectSameAsBefore("after the refused install");
        EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kProductKey));
        PostMessageA(confirm, WM_CLOSE, 0, 0);
        EXPECT_EQ(menu_.waitExit(kExitTimeoutMs), 0);
    }
    deleteTree(root + "\\");
}

// ---- Uninstall of everything from a new start

TEST_F(InstallE2E, UninstallOfEverythingWithAllDataLeavesNothingBehind)
{
    {
        RunLog log;
        HWND main = installEverything(log);
        ASSERT_TRUE(main);
        ASSERT_TRUE(click(main, IDC_EXIT));
        ASSERT_EQ(menu_.waitExit(kExitTimeoutMs), 0);
    }
    // Saved games and settings that the titles and the product would have written by now.
    const std::string root = programFilesFolder();
    for (const std::string& path : {installDir() + "save\\01.sav", installDir() + "save\\read.dat",
                                    installDir() + "save\\system.dat", installDir() + "save\\config.dat"}) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
        CloseHandle(file);
    }

    ASSERT_TRUE(insertDisc('Q', 1));   // the player starts the menu from disc 1 again
    HWND main = startMenu(Page::Main);
    ASSERT_TRUE(main);
    ASSERT_TRUE(uninstallEverything(main));

    EXPECT_FALSE(GetFileAttributesA((root + "Varnis").c_str()) != INVALID_FILE_ATTRIBUTES)
        << "the Varnis folder under Program Files is left";
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "Software\\Varnis"));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(fileExists(shellFolder(CSIDL_DESKTOPDIRECTORY) + kDesktopLink));
    EXPECT_FALSE(fileExists(shellFolder(CSIDL_PROGRAMS) + "Varnis\\Hub\\Setup.lnk"));
    expectSameAsBefore("after the uninstall");
}

TEST_F(InstallE2E, UninstallFromTheSetupShortcutWithNoDiscLeavesNothingBehind)
{
    {
        RunLog log;
        HWND main = installEverything(log);
        ASSERT_TRUE(main);
        ASSERT_TRUE(click(main, IDC_EXIT));
        ASSERT_EQ(menu_.waitExit(kExitTimeoutMs), 0);
    }
    // The way the repair tool tells players to uninstall, and the add/remove entry's command: the
    // installed menu, with no disc in any drive.
    const std::string program = readShortcut(shellFolder(CSIDL_PROGRAMS) + "Varnis\\Hub\\Setup.lnk").target;
    ASSERT_EQ(program, installDir() + "vgan1_menu.exe");
    ASSERT_TRUE(ejectDisc('Q'));
    ASSERT_TRUE(menu_.start({}, program.c_str(), installDir().c_str()));
    EXPECT_EQ(menu_.waitStartedExit(kStartTimeoutMs), 0);
    HWND main = menu_.waitForPage(Page::Main, kStartTimeoutMs);
    ASSERT_TRUE(main) << "message box: " << messageBoxText(findMessageBox());
    ASSERT_TRUE(uninstallEverything(main));
    expectSameAsBefore("after the uninstall from the Setup shortcut");
}

// ---- Cancelled runs roll everything back

TEST_F(InstallE2E, CancelDuringTheMainCopyRollsEverythingBack)
{
    HWND progress = startFullInstall();
    ASSERT_TRUE(progress);
    // Pressed while the list entries are being copied from disc 1 (before the disc 2 request
    // takes the page).
    ASSERT_TRUE(postClick(progress, IDC_CANCEL_INSTALL)) << "the copy was over before Cancel could be pressed";

    RunLog log;
    ASSERT_TRUE(followRun(Page::InstallConfirm, log));
    // The list entries are still copied after Cancel (disc 2 included), but no title is.
    EXPECT_EQ(log.discRequests, std::vector<int>{2}) << "a cancelled run installs no title";
    EXPECT_TRUE(log.otherMessages.empty()) << "unexpected messages:\n" << joinLines(log.otherMessages);
    EXPECT_EQ(log.directXQuestions, 0) << "a cancelled run offers no DirectX setup";
    EXPECT_FALSE(fileExists(opened_)) << "a cancelled run opens no readme";
    expectSameAsBefore("after the roll-back");

    // The rolled-back menu can be left as usual.
    HWND confirm = menu_.visiblePage();
    ASSERT_TRUE(confirm);
    PostMessageA(confirm, WM_CLOSE, 0, 0);
    EXPECT_EQ(menu_.waitExit(kExitTimeoutMs), 0);
}

TEST_F(InstallE2E, RefusingDisc2RollsEverythingBack)
{
    ASSERT_TRUE(startFullInstall());
    RunLog log;
    ASSERT_TRUE(followRun(Page::InstallConfirm, log, 1));   // Cancel at the first disc request
    ASSERT_EQ(log.discRequests.size(), 1u);
    EXPECT_EQ(log.discRequests[0], 2);
    EXPECT_TRUE(log.otherMessages.empty()) << "unexpected messages:\n" << joinLines(log.otherMessages);
    EXPECT_EQ(log.directXQuestions, 0);
    expectSameAsBefore("after the roll-back");

    // A second run from the same page installs normally.
    HWND confirm = menu_.visiblePage();
    ASSERT_TRUE(confirm);
    ASSERT_TRUE(postClick(confirm, IDC_START_INSTALL));
    ASSERT_TRUE(followRun(Page::Main, log));
    for (const SampleTitle& title : kSampleTitles)
        EXPECT_TRUE(fileExists(programFilesFolder() + title.programFile)) << title.programFile;
    expectSameFile(discFolder(2) + "data\\movie.arc", installDir() + "data\\movie.arc");
}

}  // namespace

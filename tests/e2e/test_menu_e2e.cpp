// End-to-end tests of the menu: started from sample disc 1 in drive Q: as a player starts it,
// then worked through its pages from outside, against the prefix's real registry and files.
#include <gtest/gtest.h>

#include <cctype>

#include <string>

#include "menu/page_ids.h"
#include "tests/e2e/install_fixture.h"

using namespace e2e;

namespace {

const char kProductTitle[] = "Varnis Grand Anthology";   // first line of the full install list
const char kFullWidthStop[] = "．";
// Sizes of the sample titles in MB: Lantern 2, Brindle 1, Harbor 1 with its two extra lists 1
// each, Rainmere 1, Mistvale 1.
const unsigned kSampleSizeMb[5] = {2, 1, 3, 1, 1};

// Reads one space figure "<GB>．<MB>" (MB 0 to 1023, at least three digits) at text; answers
// the figure in MB and moves text past it, or -1 when the text does not have that shape.
long long readFigure(const char*& text)
{
    long long gb = 0, mb = 0;
    int gbDigits = 0, mbDigits = 0;
    for (; *text >= '0' && *text <= '9'; ++text, ++gbDigits) gb = gb * 10 + (*text - '0');
    if (gbDigits == 0 || std::string(text, 2) != kFullWidthStop) return -1;
    text += 2;
    const char* mbStart = text;
    for (; *text >= '0' && *text <= '9'; ++text, ++mbDigits) mb = mb * 10 + (*text - '0');
    if (mbDigits < 3 || (mbDigits > 3 && *mbStart == '0') || mb > 1023) return -1;
    return gb * 1024 + mb;
}

// The space text of pageInstallConfirm, "<required> / <free> GB", as two figures in MB.
bool parseSpaceText(const std::string& text, long long* requiredMb, long long* freeMb)
{
    const char* p = text.c_str();
    *requiredMb = readFigure(p);
    if (*requiredMb < 0 || std::string(p, 3) != " / ") return false;
    p += 3;
    *freeMb = readFigure(p);
    return *freeMb >= 0 && std::string(p) == " GB";
}

// The copy folder the menu runs from when its program is temp + "vgahub_" + eight hex digits +
// "\\vgan1_menu.exe" (case ignored); empty otherwise.
std::string copyFolderOf(const std::string& image, const std::string& temp)
{
    const std::string head = temp + "vgahub_";
    const std::string tail = "\\vgan1_menu.exe";
    if (image.size() != head.size() + 8 + tail.size()) return std::string();
    auto same = [](const std::string& a, const std::string& b) {
        return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL;
    };
    if (!same(image.substr(0, head.size()), head) || !same(image.substr(head.size() + 8), tail)) return std::string();
    for (size_t i = head.size(); i < head.size() + 8; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(image[i]))) return std::string();
    return image.substr(0, head.size() + 8 + 1);
}

// Copy folders in temp, by name.
std::vector<std::string> copyFoldersIn(const std::string& temp)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((temp + "vgahub_*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) names.push_back(entry.cFileName);
    while (FindNextFileA(find, &entry));
    FindClose(find);
    return names;
}

std::string requiredSpaceLine(const char* figure) { return std::string(figure) + " ＧＢの空き容量が必要です。"; }

long long freeMbOfDrive(const std::string& path)
{
    ULARGE_INTEGER available, total, free;
    if (!GetDiskFreeSpaceExA(path.substr(0, 3).c_str(), &available, &total, &free)) return -1;
    return static_cast<long long>(static_cast<unsigned>(free.QuadPart >> 20));
}

class MenuE2E : public ::testing::Test, protected MenuSteps {
protected:
    void SetUp() override
    {
        killLeftovers();
        resetRegistry();
        ASSERT_TRUE(ejectDisc('R')) << "drives folder: " << drivesFolder();
        ASSERT_TRUE(insertDisc('Q', 1)) << "disc 1 does not go into Q: (drives folder: " << drivesFolder() << ")";
        ASSERT_TRUE(fileExists("Q:\\vgan1_menu.exe"));
    }

    void TearDown() override
    {
        killLeftovers();
        resetRegistry();
        for (const std::string& folder : madeFolders_) deleteTree(folder);
        RemoveDirectoryA((programFilesFolder() + "Varnis").c_str());   // only when nothing else is left in it
        ejectDisc('Q');
        ejectDisc('R');
    }

    void installTitleKeys(std::initializer_list<int> titles, const std::string& root)
    {
        for (int title : titles) ASSERT_TRUE(writeTitleKey(title, root.c_str()));
    }

    void installProductKey() { ASSERT_TRUE(writeProductKey((programFilesFolder() + "Varnis\\Hub\\").c_str())); }

    void expectNoMessageBox() { EXPECT_FALSE(findMessageBox()) << "message: " << messageBoxText(findMessageBox()); }

    std::vector<std::string> madeFolders_;   // deleted after the test
};

// ---- Start-up

TEST_F(MenuE2E, StartedFromTheDiscRestartsFromTempAndShowsWelcome)
{
    const std::string temp = tempFolder();
    ASSERT_FALSE(temp.empty());
    // Whatever lies in TEMP under the program's name is never what runs.
    const std::string planted = temp + "vgan1_menu.exe";
    ASSERT_TRUE(copyReplacing(ownFolder() + "vga_e2e_bare_dialog.exe", planted));
    HWND page = startMenu(Page::Welcome);
    ASSERT_TRUE(page);

    EXPECT_NE(menu_.menuPid(), menu_.startedPid()) << "the page must come from the copy, not the disc instance";
    const std::string copyFolder = copyFolderOf(menu_.menuImagePath(), temp);
    EXPECT_FALSE(copyFolder.empty()) << "the menu runs from " << menu_.menuImagePath();
    EXPECT_TRUE(fileExists(copyFolder + "instdata.arc"));
    EXPECT_EQ(findProcesses("vgan1_menu.exe").size(), 1u);
    EXPECT_TRUE(findProcesses("vga_e2e_bare_dialog.exe").empty());
    EXPECT_EQ(windowText(page), kProductTitle) << "the page title comes from the archive on the disc";
    EXPECT_EQ(visiblePages(menu_.menuPid()).size(), 1u);
    expectNoMessageBox();

    // The player can take the disc out while the copy runs: the menu goes on working.
    ASSERT_TRUE(ejectDisc('Q'));
    HWND select = go(page, IDC_INSTALL, Page::InstallSelect);
    ASSERT_TRUE(select);
    HWND welcome = go(select, IDC_BACK, Page::Welcome);
    ASSERT_TRUE(welcome);

    // The next start clears the folder of this one away once it has ended.
    PostMessageA(welcome, WM_CLOSE, 0, 0);
    ASSERT_EQ(menu_.waitExit(kExitTimeoutMs), 0);
    ASSERT_TRUE(insertDisc('Q', 1));
    MenuRun next;
    ASSERT_TRUE(next.start());
    ASSERT_TRUE(next.waitForPage(Page::Welcome, kStartTimeoutMs));
    const std::string nextFolder = copyFolderOf(next.menuImagePath(), temp);
    EXPECT_FALSE(nextFolder.empty()) << "the menu runs from " << next.menuImagePath();
    EXPECT_NE(nextFolder, copyFolder) << "every start makes a folder of its own";
    EXPECT_FALSE(pathExists(copyFolder)) << "the earlier copy is left in TEMP";
    EXPECT_EQ(copyFoldersIn(temp).size(), 1u);
    EXPECT_TRUE(fileExists(planted)) << "a file the menu did not make is left alone";
    DeleteFileA(planted.c_str());
}

TEST_F(MenuE2E, RestartWorksFromATempFolderWithBlanksAndTwoByteNames)
{
    // "ソ" and "表" end in the byte of a backslash: a byte-wise cut of this path goes wrong.
    const std::string temp = tempFolder() + "e2e 一時 ソフト表\\";
    deleteTree(temp);
    ASSERT_TRUE(makeFolders(temp));
    madeFolders_.push_back(temp);

    HWND page = startMenu(Page::Welcome, environmentWith({"TEMP=" + temp, "TMP=" + temp}));
    ASSERT_TRUE(page);
    const std::string copyFolder = copyFolderOf(menu_.menuImagePath(), temp);
    EXPECT_FALSE(copyFolder.empty()) << "the menu runs from " << menu_.menuImagePath();
    EXPECT_TRUE(fileExists(copyFolder + "instdata.arc"));
    EXPECT_EQ(windowText(page), kProductTitle) << "the copy must have been given Q:\\ as the disc folder";
    expectNoMessageBox();
}

TEST_F(MenuE2E, SecondStartWhileTheMenuRunsEndsSilently)
{
    HWND page = startMenu(Page::Welcome);
    ASSERT_TRUE(page);

    MenuRun second;
    ASSERT_TRUE(second.start());
    EXPECT_EQ(second.waitStartedExit(kExitTimeoutMs), 0);
    Sleep(1000);   // a copy started by mistake would have shown itself by now
    const std::vector<DWORD> running = findProcesses("vgan1_menu.exe");
    ASSERT_EQ(running.size(), 1u);
    EXPECT_EQ(running[0], menu_.menuPid());
    EXPECT_EQ(visiblePages().size(), 1u);
    expectNoMessageBox();

    // The first menu is untouched and still answers.
    EXPECT_TRUE(go(page, IDC_INSTALL, Page::InstallSelect));
}

TEST_F(MenuE2E, ProductKeyChoosesMainPage)
{
    installProductKey();
    HWND page = startMenu(Page::Main);
    ASSERT_TRUE(page);
    EXPECT_EQ(windowText(page), kProductTitle);
    expectNoMessageBox();
}

// ---- Page flow

TEST_F(MenuE2E, WelcomeToConfirmAndBackThenDoNotInstallEndsTheMenu)
{
    HWND welcome = startMenu(Page::Welcome);
    ASSERT_TRUE(welcome);
    EXPECT_FALSE(isShown(welcome, IDC_COMPACT_INSTALL)) << "the compact install button stays hidden";

    HWND select = go(welcome, IDC_INSTALL, Page::InstallSelect);
    ASSERT_TRUE(select);
    HWND confirm = go(select, IDC_NEXT, Page::InstallConfirm);
    ASSERT_TRUE(confirm);
    select = go(confirm, IDC_BACK, Page::InstallSelect);
    ASSERT_TRUE(select);
    welcome = go(select, IDC_BACK, Page::Welcome);
    ASSERT_TRUE(welcome);

    ASSERT_TRUE(click(welcome, IDC_NO_INSTALL));
    EXPECT_EQ(menu_.waitExit(kExitTimeoutMs), 0);
    EXPECT_TRUE(findProcesses("vgan1_menu.exe").empty());
}

TEST_F(MenuE2E, MainToEveryPageAndBackThenExit)
{
    installProductKey();
    installTitleKeys({0}, programFilesFolder());
    HWND main = startMenu(Page::Main);
    ASSERT_TRUE(main);

    HWND page = go(main, IDC_UNINSTALL, Page::UninstallSelect);
    ASSERT_TRUE(page);
    main = go(page, IDC_BACK, Page::Main);
    ASSERT_TRUE(main);
    page = go(main, IDC_PLAY, Page::Play);
    ASSERT_TRUE(page);
    main = go(page, IDC_BACK, Page::Main);
    ASSERT_TRUE(main);
    page = go(main, IDC_ADD_TITLES, Page::InstallSelect);
    ASSERT_TRUE(page);
    main = go(page, IDC_BACK, Page::Main) ;
    ASSERT_TRUE(main) << "back from the install selection goes to the main page once the product is installed";

    ASSERT_TRUE(click(main, IDC_EXIT));
    EXPECT_EQ(menu_.waitExit(kExitTimeoutMs), 0);
}

TEST_F(MenuE2E, ClosingAPageEndsTheMenu)
{
    HWND welcome = startMenu(Page::Welcome);
    ASSERT_TRUE(welcome);
    HWND select = go(welcome, IDC_INSTALL, Page::InstallSelect);
    ASSERT_TRUE(select);
    PostMessageA(select, WM_CLOSE, 0, 0);   // Alt+F4
    EXPECT_EQ(menu_.waitExit(kExitTimeoutMs), 0);
}

// ---- pageInstallSelect: title boxes, install-all, required space, Next

TEST_F(MenuE2E, InstallSelectionBoxesFollowInstallAllAndTheRequiredSpace)
{
    HWND welcome = startMenu(Page::Welcome);
    ASSERT_TRUE(welcome);
    HWND select = go(welcome, IDC_INSTALL, Page::InstallSelect);
    ASSERT_TRUE(select);

    // Start state: everything selected, both shortcut options on.
    EXPECT_TRUE(isChecked(select, IDC_ALL_TITLES));
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(isChecked(select, IDC_TITLE_BOX_BASE + i)) << "title " << i;
        EXPECT_TRUE(isEnabled(select, IDC_TITLE_BOX_BASE + i)) << "title " << i;
    }
    EXPECT_TRUE(isChecked(select, IDC_SHORTCUT_DESKTOP));
    EXPECT_TRUE(isChecked(select, IDC_SHORTCUT_MENU));
    EXPECT_EQ(controlText(select, IDC_REQUIRED_SPACE), requiredSpaceLine("0．008"));
    EXPECT_TRUE(isEnabled(select, IDC_NEXT));

    // Unchecking a title unchecks install-all; checking it again does not re-check it.
    ASSERT_TRUE(click(select, IDC_TITLE_BOX_BASE + 0));
    EXPECT_FALSE(isChecked(select, IDC_ALL_TITLES));
    EXPECT_EQ(controlText(select, IDC_REQUIRED_SPACE), requiredSpaceLine("0．006"));
    ASSERT_TRUE(click(select, IDC_TITLE_BOX_BASE + 0));
    EXPECT_TRUE(isChecked(select, IDC_TITLE_BOX_BASE + 0));
    EXPECT_FALSE(isChecked(select, IDC_ALL_TITLES));
    EXPECT_EQ(controlText(select, IDC_REQUIRED_SPACE), requiredSpaceLine("0．008"));

    // Install-all off clears every title: nothing to install, Next disabled.
    ASSERT_TRUE(click(select, IDC_ALL_TITLES));   // on
    ASSERT_TRUE(click(select, IDC_ALL_TITLES));   // off
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(isChecked(select, IDC_TITLE_BOX_BASE + i)) << "title " << i;
    EXPECT_EQ(controlText(select, IDC_REQUIRED_SPACE), requiredSpaceLine("0．000"));
    EXPECT_FALSE(isEnabled(select, IDC_NEXT));

    // One title is enough for Next; install-all on checks them all again.
    ASSERT_TRUE(click(select, IDC_TITLE_BOX_BASE + 4));
    EXPECT_EQ(controlText(select, IDC_REQUIRED_SPACE), requiredSpaceLine("0．001"));
    EXPECT_TRUE(isEnabled(select, IDC_NEXT));
    ASSERT_TRUE(click(select, IDC_ALL_TITLES));
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(isChecked(select, IDC_TITLE_BOX_BASE + i)) << "title " << i;
    EXPECT_EQ(controlText(select, IDC_REQUIRED_SPACE), requiredSpaceLine("0．008"));
}

TEST_F(MenuE2E, InstalledTitlesAreLockedAndNotCounted)
{
    installTitleKeys({0, 2}, programFilesFolder());   // Lantern and Harbor, without the product key
    HWND welcome = startMenu(Page::Welcome);
    ASSERT_TRUE(welcome);
    HWND select = go(welcome, IDC_INSTALL, Page::InstallSelect);
    ASSERT_TRUE(select);

    for (int i : {0, 2}) {
        EXPECT_FALSE(isEnabled(select, IDC_TITLE_BOX_BASE + i)) << "installed title " << i;
        EXPECT_FALSE(isChecked(select, IDC_TITLE_BOX_BASE + i)) << "installed title " << i;
    }
    for (int i : {1, 3, 4}) EXPECT_TRUE(isChecked(select, IDC_TITLE_BOX_BASE + i)) << "title " << i;
    EXPECT_EQ(controlText(select, IDC_REQUIRED_SPACE), requiredSpaceLine("0．003"));

    // Install-all checks only what is not installed.
    ASSERT_TRUE(click(select, IDC_ALL_TITLES));   // off
    ASSERT_TRUE(click(select, IDC_ALL_TITLES));   // on
    for (int i : {0, 2}) EXPECT_FALSE(isChecked(select, IDC_TITLE_BOX_BASE + i)) << "installed title " << i;
    for (int i : {1, 3, 4}) EXPECT_TRUE(isChecked(select, IDC_TITLE_BOX_BASE + i)) << "title " << i;

    // The confirm page lists all five, the installed ones greyed.
    HWND confirm = go(select, IDC_NEXT, Page::InstallConfirm);
    ASSERT_TRUE(confirm);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(isEnabled(confirm, IDC_CONFIRM_LINE_BASE + i), i != 0 && i != 2) << "confirm line " << i;
}

TEST_F(MenuE2E, WithEveryTitleInstalledNothingCanBeSelected)
{
    installProductKey();
    installTitleKeys({0, 1, 2, 3, 4}, programFilesFolder());
    HWND main = startMenu(Page::Main);
    ASSERT_TRUE(main) << "with the product key the welcome page never shows";
    HWND select = go(main, IDC_ADD_TITLES, Page::InstallSelect);
    ASSERT_TRUE(select);

    for (int i = 0; i < 5; ++i) EXPECT_FALSE(isEnabled(select, IDC_TITLE_BOX_BASE + i)) << "title " << i;
    EXPECT_EQ(controlText(select, IDC_REQUIRED_SPACE), requiredSpaceLine("0．000"));
    EXPECT_FALSE(isEnabled(select, IDC_NEXT));
    ASSERT_TRUE(click(select, IDC_ALL_TITLES));
    ASSERT_TRUE(click(select, IDC_ALL_TITLES));
    EXPECT_FALSE(isEnabled(select, IDC_NEXT));
}

// ---- pageInstallConfirm: destination and space figures

TEST_F(MenuE2E, ConfirmPageShowsDestinationAndSpaceFigures)
{
    HWND confirm = openInstallConfirm();
    ASSERT_TRUE(confirm);

    const std::string installDir = programFilesFolder() + "Varnis\\Hub\\";
    EXPECT_EQ(controlText(confirm, IDC_DESTINATION), installDir);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(isEnabled(confirm, IDC_CONFIRM_LINE_BASE + i)) << "confirm line " << i;

    long long required = -1, free = -1;
    const std::string space = controlText(confirm, IDC_SPACE);
    ASSERT_TRUE(parseSpaceText(space, &required, &free)) << "space text: " << space;
    unsigned total = 0;
    for (unsigned size : kSampleSizeMb) total += size;
    EXPECT_EQ(required, static_cast<long long>(total)) << space;
    const long long measured = freeMbOfDrive(installDir);
    ASSERT_GE(measured, 0);
    EXPECT_NEAR(static_cast<double>(free), static_cast<double>(measured), 256.0)
        << "free figure of " << space << " against the drive's " << measured << " MB";

    // One title less: the figure and the greyed line follow.
    HWND select = go(confirm, IDC_BACK, Page::InstallSelect);
    ASSERT_TRUE(select);
    ASSERT_TRUE(click(select, IDC_TITLE_BOX_BASE + 0));
    confirm = go(select, IDC_NEXT, Page::InstallConfirm);
    ASSERT_TRUE(confirm);
    const std::string fewer = controlText(confirm, IDC_SPACE);
    ASSERT_TRUE(parseSpaceText(fewer, &required, &free)) << "space text: " << fewer;
    EXPECT_EQ(required, static_cast<long long>(total - kSampleSizeMb[0])) << fewer;
    EXPECT_FALSE(isEnabled(confirm, IDC_CONFIRM_LINE_BASE + 0));
}

// ---- Uninstall pages

TEST_F(MenuE2E, UninstallSelectionOffersOnlyInstalledTitles)
{
    installProductKey();
    installTitleKeys({0, 3}, programFilesFolder());   // Lantern and Rainmere
    HWND main = startMenu(Page::Main);
    ASSERT_TRUE(main);
    HWND select = go(main, IDC_UNINSTALL, Page::UninstallSelect);
    ASSERT_TRUE(select);

    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(isEnabled(select, IDC_TITLE_BOX_BASE + i), i == 0 || i == 3) << "title " << i;
        EXPECT_FALSE(isChecked(select, IDC_TITLE_BOX_BASE + i)) << "title " << i;
    }
    EXPECT_FALSE(isEnabled(select, IDC_NEXT)) << "nothing chosen to uninstall";

    // Uninstall-all checks all five, also the greyed ones; only installed ones are listed.
    ASSERT_TRUE(click(select, IDC_ALL_TITLES));
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(isChecked(select, IDC_TITLE_BOX_BASE + i)) << "title " << i;
    EXPECT_TRUE(isEnabled(select, IDC_NEXT));
    HWND confirm = go(select, IDC_NEXT, Page::UninstallConfirm);
    ASSERT_TRUE(confirm);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(isEnabled(confirm, IDC_CONFIRM_LINE_BASE + i), i == 0 || i == 3) << "confirm line " << i;

    select = go(confirm, IDC_BACK, Page::UninstallSelect);
    ASSERT_TRUE(select);
    ASSERT_TRUE(click(select, IDC_ALL_TITLES));   // off: all five unchecked
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(isChecked(select, IDC_TITLE_BOX_BASE + i)) << "title " << i;
    EXPECT_FALSE(isEnabled(select, IDC_NEXT));
    ASSERT_TRUE(click(select, IDC_TITLE_BOX_BASE + 3));
    EXPECT_TRUE(isEnabled(select, IDC_NEXT));
    EXPECT_FALSE(isChecked(select, IDC_ALL_TITLES)) << "a title box leaves uninstall-all alone";
    EXPECT_FALSE(click(select, IDC_TITLE_BOX_BASE + 1)) << "a title that is not installed cannot be chosen";
}

TEST_F(MenuE2E, DataOptionsFollowDeleteAllData)
{
    installProductKey();
    installTitleKeys({1}, programFilesFolder());
    HWND main = startMenu(Page::Main);
    ASSERT_TRUE(main);
    HWND select = go(main, IDC_UNINSTALL, Page::UninstallSelect);
    ASSERT_TRUE(select);
    ASSERT_TRUE(click(select, IDC_TITLE_BOX_BASE + 1));
    HWND confirm = go(select, IDC_NEXT, Page::UninstallConfirm);
    ASSERT_TRUE(confirm);

    const int options[4] = {IDC_DATA_GAME, IDC_DATA_SYSTEM, IDC_DATA_READ, IDC_DATA_SAVE};
    auto optionsChecked = [&] {
        int n = 0;
        for (int id : options) n += isChecked(confirm, id) ? 1 : 0;
        return n;
    };
    ASSERT_EQ(optionsChecked(), 0);
    EXPECT_FALSE(isChecked(confirm, IDC_DATA_ALL));

    // Delete-all sets the four; one option off leaves delete-all on (save data still go).
    ASSERT_TRUE(click(confirm, IDC_DATA_ALL));
    EXPECT_EQ(optionsChecked(), 4);
    ASSERT_TRUE(click(confirm, IDC_DATA_SAVE));
    EXPECT_EQ(optionsChecked(), 3);
    EXPECT_TRUE(isChecked(confirm, IDC_DATA_ALL));
    ASSERT_TRUE(click(confirm, IDC_DATA_ALL));   // off: clears the four
    EXPECT_EQ(optionsChecked(), 0);

    // The options one by one: delete-all follows only when all four agree.
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(click(confirm, options[i]));
        EXPECT_EQ(isChecked(confirm, IDC_DATA_ALL), i == 3) << "after option " << i << " on";
    }
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(click(confirm, options[i]));
        EXPECT_EQ(isChecked(confirm, IDC_DATA_ALL), i != 3) << "after option " << i << " off";
    }

    // Back and forth keeps the page as it was; nothing is uninstalled.
    EXPECT_TRUE(go(confirm, IDC_BACK, Page::UninstallSelect));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kSampleTitles[1].registryKey));
}

// ---- pagePlay and the game start

TEST_F(MenuE2E, PlayPagePreselectsTheFirstInstalledTitle)
{
    installProductKey();
    installTitleKeys({1, 3}, programFilesFolder());   // Brindle and Rainmere
    HWND main = startMenu(Page::Main);
    ASSERT_TRUE(main);
    HWND play = go(main, IDC_PLAY, Page::Play);
    ASSERT_TRUE(play);

    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(isEnabled(play, IDC_PLAY_TITLE_BASE + i), i == 1 || i == 3) << "radio " << i;
        EXPECT_EQ(isChecked(play, IDC_PLAY_TITLE_BASE + i), i == 1) << "radio " << i;
    }

    // Choosing another title and coming back: the page chooses the first installed one again.
    ASSERT_TRUE(click(play, IDC_PLAY_TITLE_BASE + 3));
    EXPECT_FALSE(isChecked(play, IDC_PLAY_TITLE_BASE + 1));
    main = go(play, IDC_BACK, Page::Main);
    ASSERT_TRUE(main);
    play = go(main, IDC_PLAY, Page::Play);
    ASSERT_TRUE(play);
    EXPECT_TRUE(isChecked(play, IDC_PLAY_TITLE_BASE + 1));
    EXPECT_FALSE(isChecked(play, IDC_PLAY_TITLE_BASE + 3));
}

TEST_F(MenuE2E, GameStartStartsTheChosenTitleAndEndsTheMenu)
{
    // Brindle and Rainmere installed under Program Files (a folder with a blank), as an install
    // leaves them: their stand-in programs copied from the disc, their keys naming the folder.
    const std::string root = programFilesFolder();
    ASSERT_FALSE(root.empty());
    for (int i : {1, 3}) {
        const SampleTitle& title = kSampleTitles[i];
        const std::string program = root + title.programFile;
        const std::string folder = folderOf(program);
        ASSERT_TRUE(makeFolders(folder));
        madeFolders_.push_back(folder);
        ASSERT_TRUE(copyReplacing(std::string("Q:\\") + title.discFolder + title.id + ".exe", program)) << program;
        DeleteFileA((tempFolder() + "started_" + title.id + ".txt").c_str());
    }
    installProductKey();
    installTitleKeys({1, 3}, root);

    HWND main = startMenu(Page::Main);
    ASSERT_TRUE(main);
    HWND play = go(main, IDC_PLAY, Page::Play);
    ASSERT_TRUE(play);
    ASSERT_TRUE(click(play, IDC_PLAY_TITLE_BASE + 3));   // the second installed title
    ASSERT_TRUE(click(play, IDC_GAME_START));
    EXPECT_EQ(menu_.waitExit(kExitTimeoutMs), 0) << "the menu ends after starting the title";

    const std::string marker = tempFolder() + "started_rainmere.txt";
    // The stand-in writes its marker in parts: it is read once its last line is there.
    std::string started;
    auto complete = [&] {
        started = readFile(marker);
        const size_t line = started.find("working folder: ");
        return line != std::string::npos && started.find("\r\n", line) != std::string::npos;
    };
    ASSERT_TRUE(waitUntil(complete, 30000))
        << "Rainmere was not started; marker: " << started;
    const std::string expectedFolder = root + "Varnis\\Rainmere";
    EXPECT_NE(started.find("working folder: " + expectedFolder), std::string::npos) << started;
    EXPECT_FALSE(fileExists(tempFolder() + "started_brindle.txt")) << "only the chosen title starts";
    DeleteFileA(marker.c_str());
}

}  // namespace

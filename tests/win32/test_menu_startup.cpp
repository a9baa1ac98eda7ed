// Start-up of the menu: the move to TEMP and the restart command line, the single-instance guard
// and its hand-over, page placement, and the disc request.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "install/disc_probe.h"
#include "install/disc_request.h"
#include "install/run_state.h"
#include "menu/pages.h"
#include "menu/bootstrap.h"
#include "menu/command_options.h"
#include "menu/menu_mutex.h"
#include "menu/page_flow.h"
#include "menu/page_ids.h"
#include "menu/page_procedures.h"
#include "menu/restart_command.h"
#include "support/process.h"
#include "tests/support/files.h"

using namespace test_support;

namespace {

// ---- the restart command line

// The restart command built and read back by the copy: "<disc folder>|<options>".
std::string roundTrip(const char* program, const char* discFolder, const char* options = "")
{
    // The first instance's arguments: the disc folder, then the options after one blank.
    const std::string arguments = std::string(discFolder) + (options[0] ? " " : "") + options;
    char command[2000];
    if (!buildCommandLine(program, arguments.c_str(), command, sizeof command)) return "<not built>";
    Text argument;
    const char* optionText = nullptr;
    if (!commandArgument(command, argument, &optionText)) return "<refused>";
    return std::string(argument) + (optionText[0] ? std::string("|") + optionText : "");
}

TEST(RestartCommand, TheCopyReceivesExactlyTheDiscFolder)
{
    EXPECT_EQ(roundTrip("C:\\Users\\a\\Temp\\vgan1_menu.exe", "Q:\\"), "Q:\\");
    // Blanks in TEMP once moved the argument's start into the program path.
    EXPECT_EQ(roundTrip("C:\\Documents and Settings\\a b\\Local Settings\\Temp\\vgan1_menu.exe", "Q:\\"), "Q:\\");
    // Japanese folders, with "ソ" (0x83 0x5C) right before a separator, on both sides.
    EXPECT_EQ(roundTrip("C:\\ユーザー\\ソ\\テンポ ラリ\\vgan1_menu.exe", "D:\\ゲーム ソ\\disc 1\\"),
              "D:\\ゲーム ソ\\disc 1\\");
    EXPECT_EQ(roundTrip("C:\\Temp\\vgan1_menu.exe", ""), "");
}

TEST(RestartCommand, OptionsFollowTheDiscFolderAndReadBackTheSame)
{
    CommandOptions given;
    ASSERT_EQ(parseOptions("/silent /dir=\"C:\\My Games\\ソ表\\\" /titles=1,3 /nodesktop /log=\"C:\\ログ ソ\\a.log\"",
                           &given).error,
              OptionError::None);
    char carried[kOptionsTextSize];
    ASSERT_TRUE(formatOptions(given, carried, sizeof carried));
    // The disc folder (blanks, "ソ" before its backslash) stays exactly as it was.
    const std::string copy = roundTrip("C:\\Temp dir\\vgan1_menu.exe", "D:\\ゲーム ソ\\disc 1\\", carried);
    ASSERT_EQ(copy.substr(0, copy.find('|')), "D:\\ゲーム ソ\\disc 1\\");
    CommandOptions received;
    ASSERT_EQ(parseOptions(copy.substr(copy.find('|') + 1).c_str(), &received).error, OptionError::None) << copy;
    EXPECT_TRUE(received.silent && received.noDesktop && !received.noStartMenu && received.titlesGiven);
    EXPECT_TRUE(received.titles[0] && !received.titles[1] && received.titles[2] && !received.titles[3]);
    EXPECT_STREQ(received.dir, "C:\\My Games\\ソ表\\");
    EXPECT_STREQ(received.log, "C:\\ログ ソ\\a.log");
    // A run of the pages carries nothing: the copy's command line is what it always was.
    char command[600];
    ASSERT_TRUE(buildCommandLine("C:\\Temp\\vgan1_menu.exe", "Q:\\", command, sizeof command));
    EXPECT_STREQ(command, "\"C:\\Temp\\vgan1_menu.exe\" Q:\\");
}

TEST(RestartCommand, ArgumentOfOtherCommandLines)
{
    Text argument;
    ASSERT_TRUE(commandArgument("vgan1_menu.exe", argument));
    EXPECT_STREQ(argument, "") << "started from the disc: no argument";
    ASSERT_TRUE(commandArgument("\"Q:\\vgan1_menu.exe\"", argument));
    EXPECT_STREQ(argument, "");
    ASSERT_TRUE(commandArgument("C:\\Temp\\vgan1_menu.exe   Q:\\", argument));
    EXPECT_STREQ(argument, "Q:\\");
    ASSERT_TRUE(commandArgument("\"C:\\a b\\vgan1_menu.exe\" \"D:\\ゲーム ソ\\\"", argument));
    EXPECT_STREQ(argument, "D:\\ゲーム ソ\\") << "quotes around the argument are not part of the folder";
}

TEST(RestartCommand, TooLongIsRefusedNotCut)
{
    const std::string folder = "D:\\" + std::string(256, 'x') + "\\";   // 260 characters
    Text argument;
    EXPECT_FALSE(commandArgument(("vgan1_menu.exe " + folder).c_str(), argument));
    EXPECT_STREQ(argument, "");
    const std::string fits = folder.substr(0, 258) + "\\";   // 259 characters
    ASSERT_TRUE(commandArgument(("vgan1_menu.exe " + fits).c_str(), argument));
    EXPECT_EQ(std::string(argument), fits);

    char small[40];
    EXPECT_FALSE(buildCommandLine("C:\\Temp\\vgan1_menu.exe", "Q:\\some\\long\\folder\\", small, sizeof small));
    EXPECT_STREQ(small, "");
}

// ---- the bootstrap decision

TEST(Bootstrap, TempFolderInAnyLetterCaseIsTheSameFolder)
{
    EXPECT_TRUE(isSameFolder("C:\\Users\\Player\\Temp\\", "c:\\users\\PLAYER\\TEMP\\"));
    EXPECT_TRUE(isSameFolder("C:\\ソフト\\Temp\\", "c:\\ソフト\\temp\\"));
    EXPECT_FALSE(isSameFolder("C:\\Users\\Player\\Temp\\", "Q:\\"));
    EXPECT_FALSE(isSameFolder("C:\\Temp\\", "C:\\Temp\\sub\\"));
    // 0x83 0x41 and 0x83 0x61: a byte-wise case fold would call these two folders the same.
    EXPECT_FALSE(isSameFolder("C:\\ア\\", "C:\\ャ\\"));
}

TEST(Bootstrap, ShortAndLongNamesOfOneFolderAreTheSame)
{
    const std::string folder = tempFolder() + "vga long folder name ソ\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    char shortName[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(folder.c_str(), shortName, sizeof shortName);
    if (length == 0 || std::strcmp(shortName, folder.c_str()) == 0) {
        RemoveDirectoryA(folder.c_str());
        GTEST_SKIP() << "no short names on this file system";
    }
    EXPECT_TRUE(isSameFolder(shortName, folder.c_str()));
    RemoveDirectoryA(folder.c_str());
}

TEST(Bootstrap, EveryStartMakesANewCopyFolderThatTheCopyRecognises)
{
    // "ソ" and "表" end in the byte of a backslash.
    const std::string temp = tempFolder() + "vga copy ソ表\\";
    CreateDirectoryA(temp.c_str(), nullptr);

    Text first = {}, second = {};
    ASSERT_TRUE(makeCopyFolder(temp.c_str(), first));
    ASSERT_TRUE(makeCopyFolder(temp.c_str(), second));
    EXPECT_STRNE(first, second);
    for (const char* folder : {first, second}) {
        const DWORD attributes = GetFileAttributesA(folder);
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) << folder;
        EXPECT_TRUE(isCopyFolder(folder, temp.c_str())) << folder;
        char shortName[MAX_PATH] = {};
        if (GetShortPathNameA(folder, shortName, sizeof shortName) > 0) {
            EXPECT_TRUE(isCopyFolder(shortName, temp.c_str())) << "by its short name " << shortName;
        }
    }

    // Only a folder of exactly that form, directly in TEMP, is a copy folder.
    EXPECT_FALSE(isCopyFolder(temp.c_str(), temp.c_str()));
    EXPECT_FALSE(isCopyFolder((temp + "vgahub_0123abc\\").c_str(), temp.c_str()));
    EXPECT_FALSE(isCopyFolder((temp + "vgahub_0123abcg\\").c_str(), temp.c_str()));
    EXPECT_FALSE(isCopyFolder((temp + "vgahub_0123abcd0\\").c_str(), temp.c_str()));
    EXPECT_FALSE(isCopyFolder((temp + "x\\vgahub_0123abcd\\").c_str(), temp.c_str()));
    EXPECT_FALSE(isCopyFolder("Q:\\vgahub_0123abcd\\", temp.c_str()));
    EXPECT_FALSE(isCopyFolder((temp + "vgahub_0123abcd").c_str(), temp.c_str())) << "a file path, not a folder";

    // A TEMP folder whose copy folder name would not fit makes nothing.
    Text none = {};
    const std::string deep = "C:\\" + std::string(240, 'd') + "\\";
    EXPECT_FALSE(makeCopyFolder(deep.c_str(), none));
    EXPECT_STREQ(none, "");

    RemoveDirectoryA(first);
    RemoveDirectoryA(second);
    RemoveDirectoryA(temp.c_str());
}

TEST(Bootstrap, TheCheckedCopyCannotBeChangedUntilItIsReleased)
{
    const std::string source = tempFolder() + "vga lock source.bin";
    const std::string copy = tempFolder() + "vga lock copy.bin";
    const std::string program(200000, 'p');
    ASSERT_TRUE(writeFile(source, program));

    // A copy that differs from the original in one byte, or in length, is refused.
    ASSERT_TRUE(writeFile(copy, program.substr(0, 100000) + 'x' + program.substr(100001)));
    EXPECT_FALSE(lockCheckedCopy(source.c_str(), copy.c_str()));
    ASSERT_TRUE(writeFile(copy, program + 'p'));
    EXPECT_FALSE(lockCheckedCopy(source.c_str(), copy.c_str()));

    // The same bytes: locked against writing, deleting and replacing until the handle is closed.
    ASSERT_TRUE(writeFile(copy, program));
    FileHandle lock = lockCheckedCopy(source.c_str(), copy.c_str());
    ASSERT_TRUE(lock);
    EXPECT_EQ(CreateFileA(copy.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFileA(copy.c_str()));
    EXPECT_FALSE(MoveFileExA(source.c_str(), copy.c_str(), MOVEFILE_REPLACE_EXISTING));
    // Reading it, as starting the program does, is still possible.
    HANDLE reader = CreateFileA(copy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
    lock.reset();
    EXPECT_TRUE(DeleteFileA(copy.c_str()));
    DeleteFileA(source.c_str());
}

TEST(Bootstrap, FolderOfTheProgramIsCutAtARealBackslash)
{
    Text folder;
    ASSERT_TRUE(folderOfPath("D:\\ゲーム\\ソ\\vgan1_menu.exe", folder));
    EXPECT_STREQ(folder, "D:\\ゲーム\\ソ\\");
    ASSERT_TRUE(folderOfPath("D:\\表\\vgan1_menu.exe", folder));   // 0x95 0x5C
    EXPECT_STREQ(folder, "D:\\表\\");
    EXPECT_FALSE(folderOfPath("vgan1_menu.exe", folder));
}

TEST(Bootstrap, TempFolderAlwaysEndsInABackslash)
{
    // Saved and restored in UTF-16: Wine's GetEnvironmentVariableA cuts a value with two-byte
    // characters (it counts characters as bytes), and the next tests need TEMP back whole.
    wchar_t oldTmp[MAX_PATH] = {}, oldTemp[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TMP", oldTmp, MAX_PATH);
    GetEnvironmentVariableW(L"TEMP", oldTemp, MAX_PATH);
    SetEnvironmentVariableA("TMP", "C:\\vga temp ソ");
    SetEnvironmentVariableA("TEMP", "C:\\vga temp ソ");
    Text temp;
    const bool found = findTempFolder(temp);
    SetEnvironmentVariableW(L"TMP", oldTmp[0] ? oldTmp : nullptr);
    SetEnvironmentVariableW(L"TEMP", oldTemp[0] ? oldTemp : nullptr);
    ASSERT_TRUE(found);
    EXPECT_STREQ(temp, "C:\\vga temp ソ\\");
}

class BootstrapCopy : public ::testing::Test {
protected:
    void SetUp() override
    {
        source_ = tempFolder() + "vga_boot_source.bin";
        target_ = tempFolder() + "vga_boot_target.bin";
    }
    void TearDown() override
    {
        DeleteFileA(source_.c_str());
        SetFileAttributesA(target_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(target_.c_str());
    }
    std::string source_, target_;
};

TEST_F(BootstrapCopy, CopiesEveryByteAcrossChunks)
{
    std::string data(3 * 8192 + 5, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + i / 8192);
    ASSERT_TRUE(writeFile(source_, data));

    ASSERT_TRUE(copyFileForBootstrap(source_.c_str(), target_.c_str()));
    EXPECT_TRUE(fileExists(target_));
    EXPECT_TRUE(readFile(target_) == data);
}

TEST_F(BootstrapCopy, MissingSourceLeavesNoTarget)
{
    EXPECT_FALSE(copyFileForBootstrap(source_.c_str(), target_.c_str()));
    EXPECT_FALSE(pathExists(target_));
}

// ---- the single-instance guard and its hand-over to the copy

class MenuMutex : public ::testing::Test {
protected:
    void TearDown() override
    {
        g_menuMutex.reset();
        for (HANDLE h : held_) CloseHandle(h);
        SetEnvironmentVariableA(kMutexHandoverVariable, nullptr);
    }
    HANDLE hold(const char* name)
    {
        HANDLE h = CreateMutexA(nullptr, FALSE, name);
        held_.push_back(h);
        return h;
    }
    std::vector<HANDLE> held_;
};

TEST_F(MenuMutex, FirstMenuTakesTheGuardSecondEndsSilently)
{
    ASSERT_TRUE(acquireMenuMutex());
    ASSERT_TRUE(g_menuMutex);
    HANDLE first = g_menuMutex.release();
    EXPECT_FALSE(acquireMenuMutex()) << "a second start must end";
    EXPECT_FALSE(g_menuMutex);
    CloseHandle(first);
}

TEST_F(MenuMutex, TheOtherProductsMutexAlsoKeepsTheMenuFromStarting)
{
    hold("vgahub_app");
    EXPECT_FALSE(acquireMenuMutex());
    EXPECT_FALSE(g_menuMutex);
}

TEST_F(MenuMutex, TheCopyTakesOverTheHandedMutexWithoutAGap)
{
    // As the first instance leaves it: its mutex handle inherited and named in the environment.
    ASSERT_TRUE(acquireMenuMutex());
    beginMutexHandover();
    char value[32] = {};
    ASSERT_GT(GetEnvironmentVariableA(kMutexHandoverVariable, value, sizeof value), 0u);
    DWORD flags = 0;
    GetHandleInformation(g_menuMutex.get(), &flags);
    EXPECT_NE(flags & HANDLE_FLAG_INHERIT, 0u);

    // The copy starts: the mutex exists, but it is the one handed over.
    g_menuMutex.release();   // the inherited handle now belongs to the "copy"
    ASSERT_TRUE(acquireMenuMutex());
    EXPECT_TRUE(g_menuMutex);
    EXPECT_EQ(GetEnvironmentVariableA(kMutexHandoverVariable, value, sizeof value), 0u)
        << "the variable must not reach the games the menu starts";

    // Still guarded: a start by the player now ends.
    HANDLE copy = g_menuMutex.release();
    EXPECT_FALSE(acquireMenuMutex());
    g_menuMutex.reset(copy);
}

TEST_F(MenuMutex, ABogusHandOverDoesNotOpenTheGuard)
{
    hold("vgahub_menu");
    SetEnvironmentVariableA(kMutexHandoverVariable, "123456789");
    EXPECT_FALSE(acquireMenuMutex());
    SetEnvironmentVariableA(kMutexHandoverVariable, "12ab");
    EXPECT_FALSE(acquireMenuMutex());
}

// ---- placing a page

TEST(ShowCentered, CentresByHalvedSizesAndDropsAnOddPixel)
{
    const RECT odd = {10, 20, 10 + 401, 20 + 251};
    const RECT placed = centeredRect(odd, 1024, 768);
    EXPECT_EQ(placed.left, 512 - 200);
    EXPECT_EQ(placed.top, 384 - 125);
    EXPECT_EQ(placed.right - placed.left, 400);
    EXPECT_EQ(placed.bottom - placed.top, 250);
    const RECT wide = centeredRect({0, 0, 1300, 100}, 1024, 768);
    EXPECT_EQ(wide.left, 512 - 650) << "a page wider than the screen starts left of it";

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    ASSERT_TRUE(createPages(""));
    HWND page = g_pages.installSelect;
    SetWindowPos(page, nullptr, 3, 7, 421, 263, SWP_NOZORDER);
    showCentered(page);
    RECT r;
    GetWindowRect(page, &r);
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) / 2 - 210);
    EXPECT_EQ(r.top, GetSystemMetrics(SM_CYSCREEN) / 2 - 131);
    EXPECT_EQ(r.right - r.left, 420);
    EXPECT_EQ(r.bottom - r.top, 262);
    hidePage(page);
    EXPECT_FALSE(IsWindowVisible(page));
    EXPECT_TRUE(IsWindow(page)) << "a hidden page can be shown again";
    hidePage(nullptr);   // skipped
    for (HWND* p : {&g_pages.welcome, &g_pages.main, &g_pages.installSelect, &g_pages.installConfirm,
                    &g_pages.progress, &g_pages.uninstallConfirm, &g_pages.uninstallSelect, &g_pages.play}) {
        DestroyWindow(*p);
        *p = nullptr;
    }
}

// Start-up makes the page shown first alone, then the other seven around it.
TEST(PageCreation, FirstPageAloneThenTheOtherSeven)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    EXPECT_FALSE(createPage(IDC_BACK, "t")) << "not a page template";
    ASSERT_TRUE(createPage(IDD_MAIN, "Varnis"));
    const HWND main = g_pages.main;
    EXPECT_EQ(g_pages.welcome, nullptr);
    ASSERT_TRUE(createPages("Varnis", IDD_MAIN));
    EXPECT_EQ(g_pages.main, main) << "the page made first is kept";
    HWND* const pages[] = {&g_pages.welcome, &g_pages.main, &g_pages.installSelect, &g_pages.installConfirm,
                           &g_pages.progress, &g_pages.uninstallConfirm, &g_pages.uninstallSelect, &g_pages.play};
    std::vector<HWND> made;
    for (HWND* p : pages) {
        char title[32] = {};
        GetWindowTextA(*p, title, sizeof title);
        EXPECT_STREQ(title, "Varnis");
        for (HWND other : made) EXPECT_NE(*p, other);
        made.push_back(*p);
    }
    for (HWND* p : pages) {
        DestroyWindow(*p);
        *p = nullptr;
    }
}

// ---- the disc request

TEST(DiscRequest, MarkerAndRequestName)
{
    char text[kTextSize];
    formatDiscMarker(2, text);
    EXPECT_STREQ(text, "varnis_disc2.ico");
    formatDiscRequest(2, text);
    EXPECT_STREQ(text, "「インストールdisc2」に入れ替えてください");
}

// The first optical drive of the prefix, or 0.
char firstOpticalDrive()
{
    char roots[1024] = {};
    GetLogicalDriveStringsA(sizeof roots - 1, roots);
    for (const char* r = roots; *r; r += std::strlen(r) + 1)
        if (GetDriveTypeA(r) == DRIVE_CDROM) return r[0];
    return 0;
}

TEST(DiscRequest, FindsTheMarkerOnlyOnAnOpticalDrive)
{
    std::strcpy(sourceRoot, "Z:\\unchanged\\");
    EXPECT_FALSE(probeDiscFile("vga_no_such_marker.ico"));
    EXPECT_STREQ(sourceRoot, "Z:\\unchanged\\");

    // A marker on the hard disk is never taken for a disc.
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string onDisk = std::string(windows, 3) + "varnis_disc7.ico";
    writeFile(onDisk, "");
    EXPECT_FALSE(probeDiscFile("varnis_disc7.ico"));
    DeleteFileA(onDisk.c_str());

    const char drive = firstOpticalDrive();
    if (!drive) GTEST_SKIP() << "no optical drive in this prefix";
    const std::string marker = std::string(1, drive) + ":\\varnis_disc7.ico";
    if (!writeFile(marker, "")) GTEST_SKIP() << "cannot put a marker on drive " << drive;
    EXPECT_TRUE(requestDisc(nullptr, 7)) << "the disc is there: no question asked";
    EXPECT_EQ(std::string(sourceRoot), std::string(1, drive) + ":\\");
    DeleteFileA(marker.c_str());
}

}  // namespace

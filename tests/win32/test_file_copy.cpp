// File copy, progress and disc probe: exact copies, failures that release the files, a source whose
// size changes under the copy, the roll-back and WM_QUIT inside a copy, the two percentages, and
// which optical drive a probe picks.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "install/disc_probe.h"
#include "install/file_copy.h"
#include "install/run_state.h"
#include "install_test_helpers.h"
#include "menu/page_ids.h"
#include "menu/pages.h"
#include "menu/progress_page.h"
#include "tests/support/dialogs.h"
#include "tests/support/files.h"

using namespace install_test;
using namespace test_support;

namespace {

class FileCopy : public ::testing::Test {
protected:
    void SetUp() override
    {
        bytesCopied = 0;
        titleMbDone = 0;
        titleMbTotal = 0;
        cancelRequested = 0;
        g_pages = {};
    }
    void TearDown() override
    {
        closeListCopyFiles();
        if (g_pages.progress) DestroyWindow(g_pages.progress);
        g_pages = {};
        cancelRequested = 0;
    }
    ScratchFolder scratch_{"file_copy"};
    QuietProgress quiet_;
};

// A message-only window of its own class, whose procedure a test gives the copy's message checks.
HWND messageWindow(const char* className, WNDPROC procedure)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowA(className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
}

// A window whose WM_APP does what the roll-back does to a list copy in progress.
LRESULT CALLBACK rollBackWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP) {
        closeListCopyFiles();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(FileCopy, BothRoutinesCopyEveryByteOfEmptySmallAndMultiChunkFiles)
{
    unsigned int expectedBytes = 0;
    for (size_t size : {size_t(0), size_t(1), size_t(8192), size_t(3 * 8192 + 17)}) {
        const std::string bytes = patternBytes(size);
        const std::string source = scratch_ / ("source" + std::to_string(size));
        ASSERT_TRUE(writeFile(source, bytes));
        // Files on a disc are read-only; their copies must not be.
        SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY);

        const std::string listCopy = scratch_ / ("list" + std::to_string(size));
        const std::string titleCopy = scratch_ / ("title" + std::to_string(size));
        EXPECT_TRUE(copyListFile(nullptr, source.c_str(), listCopy.c_str(), 0)) << size;
        EXPECT_TRUE(copyTitleFile(quiet_, source.c_str(), titleCopy.c_str())) << size;
        EXPECT_EQ(readFile(listCopy), bytes) << size;
        EXPECT_EQ(readFile(titleCopy), bytes) << size;
        EXPECT_FALSE(GetFileAttributesA(listCopy.c_str()) & FILE_ATTRIBUTE_READONLY);
        EXPECT_FALSE(GetFileAttributesA(titleCopy.c_str()) & FILE_ATTRIBUTE_READONLY);
        expectedBytes += 2 * static_cast<unsigned int>(size);
    }
    EXPECT_EQ(bytesCopied, expectedBytes);
    EXPECT_EQ(titleMbDone, 0u);   // files below 1 MB add nothing

    // An existing destination is replaced, not appended to.
    const std::string source = scratch_ / "source1";
    const std::string target = scratch_ / "list8192";
    EXPECT_TRUE(copyListFile(nullptr, source.c_str(), target.c_str(), 0));
    EXPECT_EQ(readFile(target), patternBytes(1));
}

TEST_F(FileCopy, DestinationThatCannotBeWrittenFailsAndReleasesTheSource)
{
    const std::string source = scratch_ / "source";
    const std::string readOnly = scratch_ / "readonly";
    ASSERT_TRUE(writeFile(readOnly, "keep"));
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string noFolder = scratch_ / "missing\\target";

    for (const std::string& target : {noFolder, readOnly}) {
        ASSERT_TRUE(writeFile(source, patternBytes(20000)));
        EXPECT_FALSE(copyListFile(nullptr, source.c_str(), target.c_str(), 0)) << target;
        EXPECT_FALSE(copyTitleFile(quiet_, source.c_str(), target.c_str())) << target;
        // A source still open would refuse the delete.
        EXPECT_TRUE(DeleteFileA(source.c_str())) << target;
    }
    EXPECT_TRUE(readFile(readOnly) == "keep");
    EXPECT_FALSE(pathExists(noFolder));
    EXPECT_EQ(bytesCopied, 0u);

    // A missing source fails both without creating the destination.
    const std::string target = scratch_ / "never";
    EXPECT_FALSE(copyListFile(nullptr, source.c_str(), target.c_str(), 0));
    EXPECT_FALSE(copyTitleFile(quiet_, source.c_str(), target.c_str()));
    EXPECT_FALSE(pathExists(target));
}

TEST_F(FileCopy, RollBackDuringAListCopyStopsItWithTheFilesClosed)
{
    HWND window = messageWindow("VgaRollBackWindow", rollBackWindowProc);
    ASSERT_NE(window, nullptr);

    const std::string source = scratch_ / "source";
    const std::string target = scratch_ / "target";
    ASSERT_TRUE(writeFile(source, patternBytes(5 * 8192)));
    PostMessageA(window, WM_APP, 0, 0);   // dispatched after the first chunk
    EXPECT_FALSE(copyListFile(nullptr, source.c_str(), target.c_str(), 0));
    EXPECT_EQ(bytesCopied, 8192u);
    EXPECT_TRUE(DeleteFileA(source.c_str()));
    EXPECT_TRUE(DeleteFileA(target.c_str()));
    DestroyWindow(window);
}

// A window whose WM_APP changes the length of g_changedFile to g_changedLength while a copy
// reads it, as a file cut short or still being written on its medium.
std::string g_changedFile;
LONGLONG g_changedLength = 0;

LRESULT CALLBACK resizeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP) {
        HANDLE file = CreateFileA(g_changedFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        LARGE_INTEGER at;
        at.QuadPart = g_changedLength;
        if (file != INVALID_HANDLE_VALUE) {
            SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
            SetEndOfFile(file);
            CloseHandle(file);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(FileCopy, SourceThatShrinksOrGrowsDuringTheCopyFailsWithoutLeavingACopy)
{
    HWND window = messageWindow("VgaResizeWindow", resizeWindowProc);
    ASSERT_NE(window, nullptr);

    g_changedFile = scratch_ / "source";
    const std::string target = scratch_ / "target";
    for (bool title : {false, true}) {
        // Cut in the middle of the second chunk, cut to what was already read, grown.
        for (LONGLONG length : {LONGLONG(8192 + 100), LONGLONG(8192), LONGLONG(9 * 8192)}) {
            ASSERT_TRUE(writeFile(g_changedFile, patternBytes(5 * 8192)));
            g_changedLength = length;
            PostMessageA(window, WM_APP, 0, 0);   // dispatched after the first chunk
            const bool copied = title ? copyTitleFile(quiet_, g_changedFile.c_str(), target.c_str())
                                      : copyListFile(nullptr, g_changedFile.c_str(), target.c_str(), 0);
            EXPECT_FALSE(copied) << (title ? "title" : "list") << " copy, source changed to " << length;
            EXPECT_FALSE(pathExists(target)) << (title ? "title" : "list") << " copy, source changed to " << length;
            EXPECT_TRUE(DeleteFileA(g_changedFile.c_str())) << "the source was left open";
        }
    }
    EXPECT_EQ(titleMbDone, 0u);   // nothing counts as done

    // The size at open is what counts: a file that only had that size copies as before.
    ASSERT_TRUE(writeFile(g_changedFile, patternBytes(8192 + 100)));
    EXPECT_TRUE(copyListFile(nullptr, g_changedFile.c_str(), target.c_str(), 0));
    EXPECT_EQ(readFile(target), patternBytes(8192 + 100));
    DestroyWindow(window);
}

TEST_F(FileCopy, QuitMetInACopyStopsItAndStaysForTheMessageLoop)
{
    const std::string source = scratch_ / "source";
    ASSERT_TRUE(writeFile(source, patternBytes(4 * 8192)));
    EXPECT_FALSE(quitMessageSeen());

    PostQuitMessage(7);
    EXPECT_FALSE(copyListFile(nullptr, source.c_str(), (scratch_ / "list").c_str(), 0));
    EXPECT_TRUE(quitMessageSeen());
    EXPECT_FALSE(copyTitleFile(quiet_, source.c_str(), (scratch_ / "title").c_str()));
    EXPECT_EQ(bytesCopied, 2 * 8192u);   // one chunk each

    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_TRUE(DeleteFileA(source.c_str()));   // both copies closed it
}

TEST_F(FileCopy, CancelStopsATitleCopyAfterOneChunkButNotAListCopy)
{
    const std::string source = scratch_ / "source";
    ASSERT_TRUE(writeFile(source, patternBytes(3 * 8192)));
    cancelRequested = 1;
    EXPECT_FALSE(copyTitleFile(quiet_, source.c_str(), (scratch_ / "title").c_str()));
    EXPECT_EQ(readFile(scratch_ / "title"), patternBytes(8192));   // what was written stays
    EXPECT_EQ(titleMbDone, 0u);

    EXPECT_TRUE(copyListFile(nullptr, source.c_str(), (scratch_ / "list").c_str(), 0));
    EXPECT_EQ(readFile(scratch_ / "list"), patternBytes(3 * 8192));
}

TEST(Progress, ListPercentCountsDecimalMegabytesAndStopsAt100)
{
    EXPECT_EQ(listPercent(999999, 10), 0);          // below 1 MB shows nothing
    EXPECT_EQ(listPercent(1000000, 10), 10);
    EXPECT_EQ(listPercent(1048576 * 5, 10), 50);    // 5.24 decimal MB
    EXPECT_EQ(listPercent(2999999, 3), 66);
    EXPECT_EQ(listPercent(50000000, 10), 100);      // more than the list says: capped
    EXPECT_EQ(listPercent(0xFFFFFFFFu, 1), 100);
    EXPECT_EQ(listPercent(5000000, 0), 0);          // a list without a size
    EXPECT_EQ(listPercent(5000000, -3), 0);
}

TEST(Progress, TitlePercentCountsWholeBinaryMegabytesAndMayPass100)
{
    EXPECT_EQ(titlePercent(5u << 20, 10, 0), 0);              // no total: 0
    EXPECT_EQ(titlePercent((1u << 20) - 1, 0, 10), 0);        // whole MB only
    EXPECT_EQ(titlePercent(3u << 20, 2, 10), 50);
    EXPECT_EQ(titlePercent(3u << 20, 27, 10), 300);           // no cap
    EXPECT_EQ(titlePercent(6ull << 30, 0, 1), 614400);        // a file above 4 GB counts whole
}

TEST_F(FileCopy, CopiesShowTheirPercentAndPathsOnTheProgressPage)
{
    g_pages.progress = createQuietDialog(IDD_PROGRESS);
    ASSERT_NE(g_pages.progress, nullptr);
    HWND bar = GetDlgItem(g_pages.progress, IDC_PROGRESS_BAR);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));

    // A list of 1 MB that gets more than it said: the percentage stops at 100.
    bytesCopied = 999990;
    lastListPercent = 0;
    const std::string small = scratch_ / "small";
    ASSERT_TRUE(writeFile(small, patternBytes(100)));
    ASSERT_TRUE(copyListFile(&progressPage(), small.c_str(), (scratch_ / "small_copy").c_str(), 1));
    EXPECT_EQ(controlText(g_pages.progress, IDC_PERCENT), "100％");
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(lastListPercent, 100);

    // Titles said to need 1 MB get 2.5 MB: the text passes 100, the bar stays full.
    titleMbTotal = 1;
    lastTitlePercent = 0;
    SendMessageA(bar, PBM_SETPOS, 0, 0);
    const std::string big = scratch_ / "big";
    const std::string bigCopy = scratch_ / "big_copy";
    ASSERT_TRUE(writeFile(big, patternBytes(5 << 19)));
    ASSERT_TRUE(copyTitleFile(progressPage(), big.c_str(), bigCopy.c_str()));
    EXPECT_EQ(controlText(g_pages.progress, IDC_PERCENT), "200％");
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(titleMbDone, 2u);
    EXPECT_EQ(controlText(g_pages.progress, IDC_SOURCE_FILE), big);
    EXPECT_EQ(controlText(g_pages.progress, IDC_DEST_FILE), bigCopy);
}

class DiscProbe : public ::testing::Test {
protected:
    void SetUp() override
    {
        setText(sourceRoot, "unchanged\\");
        startFolder[0] = '\0';
    }
    void TearDown() override { startFolder[0] = '\0'; }
    DiscFiles discs_;
};

TEST_F(DiscProbe, FirstOpticalDriveHoldingTheFileWinsAndOtherDrivesNeverCount)
{
    ASSERT_EQ(GetDriveTypeA("Q:\\"), static_cast<UINT>(DRIVE_CDROM));
    ASSERT_EQ(GetDriveTypeA("R:\\"), static_cast<UINT>(DRIVE_CDROM));

    EXPECT_FALSE(probeDiscFile("vga_probe_both.bin"));
    EXPECT_STREQ(sourceRoot, "unchanged\\");

    ASSERT_TRUE(discs_.put("R:\\", "vga_probe_both.bin"));
    EXPECT_TRUE(probeDiscFile("vga_probe_both.bin"));
    EXPECT_STREQ(sourceRoot, "R:\\");

    ASSERT_TRUE(discs_.put("Q:\\", "vga_probe_both.bin"));
    ASSERT_TRUE(discs_.put("R:\\", "sub\\vga_probe_sub.bin"));
    EXPECT_TRUE(probeDiscFile("vga_probe_both.bin"));
    EXPECT_STREQ(sourceRoot, "Q:\\");
    EXPECT_TRUE(probeDiscFile("sub\\vga_probe_sub.bin"));
    EXPECT_STREQ(sourceRoot, "R:\\");

    // On the hard disk only: not found, sourceRoot stays.
    const std::string onDisk = "C:\\vga_probe_disk.bin";
    ASSERT_TRUE(writeFile(onDisk, "x"));
    EXPECT_FALSE(probeDiscFile("vga_probe_disk.bin"));
    EXPECT_STREQ(sourceRoot, "R:\\");
    DeleteFileA(onDisk.c_str());

    // A folder is not a file, and an empty name names the drive itself.
    EXPECT_FALSE(probeDiscFile("sub"));
    EXPECT_FALSE(probeDiscFile(""));
}

// The discs copied into folders side by side (a blank and "ソ"/"表", whose second byte is a
// backslash, in the path): after every optical drive, the start folder, then its siblings by name.
TEST_F(DiscProbe, BesideTheStartFolderAfterEveryOpticalDrive)
{
    ScratchFolder parent{"probe ソ表"};
    const std::string disc1 = parent / "disc ソ1\\", copyA = parent / "a copy\\", copyB = parent / "B copy\\";
    for (const std::string& folder : {disc1, copyA, copyB}) ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(writeFile(disc1 + "vga_probe_one.bin", "1"));
    ASSERT_TRUE(writeFile(copyA + "vga_probe_two.bin", "2"));
    ASSERT_TRUE(writeFile(copyB + "vga_probe_two.bin", "2"));
    ASSERT_TRUE(writeFile(copyB + "vga_probe_three.bin", "3"));
    ASSERT_TRUE(CreateDirectoryA((copyA + "vga_probe_three.bin").c_str(), nullptr));   // a folder is no file
    setText(startFolder, disc1);

    EXPECT_TRUE(probeDiscFile("vga_probe_one.bin"));
    EXPECT_STREQ(sourceRoot, disc1.c_str());
    EXPECT_TRUE(probeDiscFile("vga_probe_two.bin"));
    EXPECT_STREQ(sourceRoot, copyA.c_str()) << "siblings in name order, letter case ignored";
    EXPECT_TRUE(probeDiscFile("vga_probe_three.bin"));
    EXPECT_STREQ(sourceRoot, copyB.c_str());
    EXPECT_FALSE(probeDiscFile("vga_probe_four.bin"));
    EXPECT_STREQ(sourceRoot, copyB.c_str());

    // A disc in a drive wins over the folders.
    ASSERT_TRUE(discs_.put("R:\\", "vga_probe_two.bin"));
    EXPECT_TRUE(probeDiscFile("vga_probe_two.bin"));
    EXPECT_STREQ(sourceRoot, "R:\\");

    // Started from an optical drive, or from nowhere known, only the drives count.
    for (const char* start : {"Q:\\", ""}) {
        setText(startFolder, start);
        EXPECT_FALSE(probeDiscFile("vga_probe_three.bin")) << start;
    }
}

}  // namespace

// Faults of the destination and of the discs, end to end: a full disk, a file or a file-for-a-folder
// in the way, a disc taken out in the middle, the wrong disc, a disc file that is short or shrinks
// under the copy. Each run is driven through the real menu like a player; afterwards nothing
// half-done may be registered and every file is either whole or gone. Each case ends with a row
// of the fault matrix (tools/fault-matrix.sh).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "menu/page_ids.h"
#include "tests/e2e/fault_report.h"
#include "tests/e2e/install_fixture.h"

using namespace e2e;

namespace {

const char kErrorCaption[] = "インストールエラー";
const char kCopyFailedTail[] = " のコピーに失敗しました。";
const char kNoSuchFileTail[] = " というファイルがありません";
const char kNotEnoughSpace[] =
    "インストール容量が足りません。\nインストールを取り消して\n空き容量のあるドライブを指定してください。";
// Where the shell finds the Program Files folder, which the menu offers as the destination.
const char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
// Big enough that a copy of it lasts several polls of the player (some 0.3 s under Wine).
const DWORD kBigFileSize = 40u << 20;

bool endsWith(const std::string& text, const char* tail)
{
    const size_t length = std::strlen(tail);
    return text.size() >= length && text.compare(text.size() - length, length, tail) == 0;
}

bool startsWith(const std::string& text, const std::string& head) { return text.compare(0, head.size(), head) == 0; }

std::string inQuotes(const std::string& text) { return "\"" + text + "\""; }

// A message box as the player saw it.
struct Box {
    std::string caption, text;
    int disc = 0;   // the disc that a disc request asks for; 0 for every other box

    bool copyFailed() const { return caption == kErrorCaption && endsWith(text, kCopyFailedTail); }
    bool fileMissing() const { return caption == kErrorCaption && endsWith(text, kNoSuchFileTail); }
    // The path that a copy-failure or missing-file message names.
    std::string path() const
    {
        const char* tail = copyFailed() ? kCopyFailedTail : kNoSuchFileTail;
        return text.substr(0, text.size() - std::strlen(tail));
    }
};

// The size of a file, or -1 when it is not there.
long long fileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Cuts a file to length bytes, as a medium that loses the end of a file while it is read.
bool cutFile(const std::string& path, LONGLONG length)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER at;
    at.QuadPart = length;
    const bool ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

// A disc taken out while a big file of it is copied.
struct Removal {
    const char* onDisc;      // the big file on disc 1
    const char* installed;   // where it goes, under the Program Files folder
    size_t request;          // which disc request of the run follows the removal, from 0
    const char* name;
};
// Before the main copy's files, no disc is asked for; a title's follow the request for disc 2 of
// the main copy and the title's own for disc 1.
const Removal kDuringMainCopy = {"data\\voice.arc", "Varnis\\Hub\\data\\voice.arc", 0,
                                 "disc removed during the main copy"};
const Removal kDuringTitleCopy = {"lantern\\lantern.dat", "Varnis\\Lantern\\lantern.dat", 2,
                                  "disc removed during a title's copy"};

class MediaFaultE2E : public InstallFixture {
protected:
    void TearDown() override
    {
        // Whatever the menu left on the small drive goes while it is still the Program Files
        // folder; the base then cleans the usual one.
        killLeftovers();
        removeProduct();
        programFiles_.reset();
        InstallFixture::TearDown();
    }

    // Makes the small drive T: or U: (tests/e2e/fault-drives.sh) the Program Files folder that
    // the menu offers as its destination, for this test. Empty when done; otherwise the reason
    // this host has no such drive, which the case reports as its row before it skips.
    std::string installOnSmallDrive(char letter, const char* caseName)
    {
        const std::string status = readFile(drivesFolder() + "fault-drives.txt");
        std::string unavailable;
        if (status.empty())
            unavailable = "the small drives were not set up (fault-drives.sh did not run)";
        else if (startsWith(status, "skip: "))
            unavailable = status.substr(6, status.find('\n') - 6);
        if (!unavailable.empty()) {
            reportFault(caseName, "skipped: " + unavailable, "none");
            return unavailable;
        }
        const std::string root = std::string(1, letter) + ":\\";
        EXPECT_NE(status.find(root.substr(0, 2) + " "), std::string::npos) << status;
        EXPECT_NE(GetFileAttributesA(root.c_str()), INVALID_FILE_ATTRIBUTES) << root << " is missing";
        programFiles_.reset(new BorrowedValue);
        EXPECT_TRUE(programFiles_->set(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", REG_SZ, root));
        EXPECT_EQ(programFilesFolder(), root) << "the shell does not take the Program Files folder from the registry";
        before_ = productSnapshot();   // the product as seen on the small drive
        return "";
    }

    // A fresh start from disc 1 up to the press of インストール開始 with every title selected.
    bool pressStart()
    {
        HWND confirm = openInstallConfirm();
        if (!confirm) return false;
        EXPECT_EQ(controlText(confirm, IDC_DESTINATION), installDir());
        if (!postClick(confirm, IDC_START_INSTALL)) return false;
        // Taken: the page goes, or the space warning comes first.
        const bool taken =
            waitUntil([&] { return findMessageBox(menu_.menuPid()) || !IsWindowVisible(confirm); }, 10000);
        EXPECT_TRUE(taken) << "インストール開始 does nothing";
        return taken;
    }

    using Answer = std::function<int(const Box&)>;

    // The player's usual answer: a disc request by putting that disc into Q: and OK, the DirectX
    // offer by Cancel, anything else by OK.
    static int usualAnswer(const Box& box)
    {
        if (box.disc) {
            EXPECT_TRUE(insertDisc('Q', box.disc)) << "disc " << box.disc;
            return IDOK;
        }
        return box.caption == kDirectXCaption ? IDCANCEL : IDOK;
    }

    // The usual answers, but Cancel for a failed copy.
    static int cancelAtCopyFailure(const Box& box) { return box.copyFailed() ? IDCANCEL : usualAnswer(box); }

    // Follows the run until `until` is the one visible page of the menu and no box is up. Every
    // box is noted in seen_ and answered as `answer` says; onPoll runs between two looks.
    bool follow(Page until, const Answer& answer, const std::function<void()>& onPoll = nullptr)
    {
        const double end = nowMs() + kRunTimeoutMs;
        // The confirm page stays up while the space warning waits for its answer: a run has
        // ended only on a page that comes after the progress page.
        bool progressShown = false;
        while (nowMs() < end) {
            const std::vector<HWND> pages = visiblePages(menu_.menuPid());
            for (HWND page : pages)
                if (identifyPage(page) == Page::Progress) progressShown = true;
            if (HWND window = findMessageBox(menu_.menuPid())) {
                Box box;
                box.caption = windowText(window);
                box.text = messageBoxText(window);
                const size_t head = std::strlen(kDiscRequestHead);
                if (box.caption == "インストール" && startsWith(box.text, kDiscRequestHead) && box.text.size() > head &&
                    box.text.substr(head + 1) == kDiscRequestTail)
                    box.disc = box.text[head] - '0';
                seen_.push_back(box);
                const int button = answer(box);
                if (!answerMessageBox(window, button)) {
                    ADD_FAILURE() << "cannot answer \"" << box.text << "\" with " << button;
                    return false;
                }
                if (!waitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, 15000)) {
                    ADD_FAILURE() << "message box \"" << box.text << "\" stays after the answer";
                    return false;
                }
                continue;
            }
            if (progressShown && pages.size() == 1 && !findMessageBox(menu_.menuPid())) {
                const Page page = identifyPage(pages[0]);
                if (page == until) return true;
                // A run ends on the main page, or rolled back on the confirm page.
                if (page == Page::Main || page == Page::InstallConfirm) {
                    ADD_FAILURE() << "the run ended on the " << pageName(page) << " page, not the " << pageName(until)
                                  << " page; messages:\n" << seenList();
                    return false;
                }
            }
            if (menu_.waitExit(0) >= 0) {
                ADD_FAILURE() << "the menu ended during the run";
                return false;
            }
            if (onPoll) onPoll();
            Sleep(10);
        }
        Page which = Page::None;
        menu_.visiblePage(&which);
        ADD_FAILURE() << "no " << pageName(until) << " page after the run; visible: " << pageName(which);
        return false;
    }

    // The boxes seen so far that match.
    std::vector<Box> seen(const std::function<bool(const Box&)>& match) const
    {
        std::vector<Box> found;
        for (const Box& box : seen_)
            if (match(box)) found.push_back(box);
        return found;
    }
    // The outcome's note of the free-space warning, when the run began with it.
    std::string spaceWarning() const
    {
        return !seen_.empty() && seen_[0].text == kNotEnoughSpace ? std::string("space warning at Start, then ") : "";
    }
    std::string seenList() const
    {
        std::string list;
        for (const Box& box : seen_) list += "  " + box.caption + ": " + box.text + "\n";
        return list;
    }

    // The player removes everything again with the menu's own uninstall, from the main page that
    // a finished run shows; the menu then ends.
    void uninstallEverything() { ASSERT_TRUE(InstallFixture::uninstallEverything(menu_.visiblePage())); }

    void blockFolderWithFile(const std::string& file, const char* name);
    void removeDiscDuringCopy(const Removal& removal);

    // The rolled-back menu is on its confirm page and ends as usual.
    void closeMenu()
    {
        if (HWND page = menu_.visiblePage()) PostMessageA(page, WM_CLOSE, 0, 0);
        EXPECT_EQ(menu_.waitExit(kExitTimeoutMs), 0);
    }

    // Ends the case: the product as it is now against the snapshot before, and the row.
    void report(const std::string& name, const std::string& outcome)
    {
        const std::vector<std::string> after = productSnapshot();
        EXPECT_EQ(after, before_) << name << "\n" << snapshotDifference(before_, after);
        reportFault(name, outcome, residueOf(before_, after));
    }

    std::vector<Box> seen_;

private:
    std::unique_ptr<BorrowedValue> programFiles_;
};

// ---- A full disk

TEST_F(MediaFaultE2E, FullDiskDuringTheMainCopyIsReportedAndRolledBack)
{
    const std::string unavailable = installOnSmallDrive('T', "full disk during the main copy");
    if (!unavailable.empty()) GTEST_SKIP() << unavailable;
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(pressStart());
    int failures = 0;
    ASSERT_TRUE(follow(Page::InstallConfirm, [&](const Box& box) {
        if (!box.copyFailed()) return usualAnswer(box);
        return ++failures == 1 ? IDRETRY : IDCANCEL;   // retrying a full disk fails again
    }));

    const std::vector<Box> failed = seen([](const Box& box) { return box.copyFailed(); });
    ASSERT_EQ(failed.size(), 2u) << seenList();
    EXPECT_EQ(failed[0].text, failed[1].text);
    EXPECT_TRUE(startsWith(failed[0].path(), installDir())) << "not one of the list's files: " << failed[0].text;
    ASSERT_FALSE(seen_.empty());
    EXPECT_EQ(seen_[0].text, kNotEnoughSpace) << "the drive's free space is checked at Start";
    report("full disk during the main copy",
           spaceWarning() + inQuotes(failed[0].text) + " [Retry: asked again; Cancel: rolled back]");
    closeMenu();
}

TEST_F(MediaFaultE2E, FullDiskDuringATitleCopyIsReportedAndRolledBackWithoutRegisteringIt)
{
    const std::string unavailable = installOnSmallDrive('U', "full disk during a title's copy");
    if (!unavailable.empty()) GTEST_SKIP() << unavailable;
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(pressStart());
    int failures = 0;
    ASSERT_TRUE(follow(Page::InstallConfirm, [&](const Box& box) {
        if (!box.copyFailed()) return usualAnswer(box);
        return ++failures == 1 ? IDRETRY : IDCANCEL;
    }));

    const std::vector<Box> failed = seen([](const Box& box) { return box.copyFailed(); });
    ASSERT_EQ(failed.size(), 2u) << seenList();
    EXPECT_TRUE(startsWith(failed[0].path(), programFilesFolder() + "Varnis\\") &&
                !startsWith(failed[0].path(), installDir()))
        << "not a title's file: " << failed[0].text;
    EXPECT_FALSE(seen([](const Box& box) { return box.disc == 2; }).empty()) << "the main copy went on to disc 2";
    report("full disk during a title's copy",
           spaceWarning() + inQuotes(failed[0].text) + " [Retry: asked again; Cancel: rolled back]");
    closeMenu();
}

TEST_F(MediaFaultE2E, UnattendedInstallOnADriveTooSmallEndsBeforeWritingAnything)
{
    const std::string unavailable = installOnSmallDrive('T', "full disk, unattended install");
    if (!unavailable.empty()) GTEST_SKIP() << unavailable;
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(insertDisc('R', 2));
    // The player may go on after the space warning; a script cannot stop the run later.
    EXPECT_EQ(runMenuWith("/silent " + logArgument()), 4);
    const std::string warning = loggedMessage("インストール", kNotEnoughSpace) + " (unattended)";
    EXPECT_EQ(logLinesWith(warning).size(), 1u) << joinLines(logLines());
    EXPECT_TRUE(logLinesWith("-> T:\\").empty()) << "copied after the warning";
    EXPECT_TRUE(logLinesWith("made: T:\\").empty()) << "a folder made after the warning";
    report("full disk, unattended install", "space warning logged, exit code 4 [nothing written]");
}

// ---- Something in the way at the destination

TEST_F(MediaFaultE2E, ReadOnlyFileOfTheListAtTheDestinationIsReportedUntilItCanBeReplaced)
{
    // A copy of a product file left read-only by an earlier install, whose record is gone.
    const std::string inTheWay = installDir() + "data\\script.arc";
    ASSERT_TRUE(makeFolders(folderOf(inTheWay)));
    ASSERT_TRUE(CopyFileA((discFolder(1) + "data\\script.arc").c_str(), inTheWay.c_str(), FALSE));
    ASSERT_TRUE(SetFileAttributesA(inTheWay.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(pressStart());

    // Retry while it is read-only asks again; once the player clears the attribute, the run goes on.
    int failures = 0;
    ASSERT_TRUE(follow(Page::Main, [&](const Box& box) {
        if (!box.copyFailed()) return usualAnswer(box);
        if (++failures == 2) {
            EXPECT_TRUE(SetFileAttributesA(inTheWay.c_str(), FILE_ATTRIBUTE_NORMAL));
        }
        return IDRETRY;
    }));
    const std::vector<Box> failed = seen([](const Box& box) { return box.copyFailed(); });
    ASSERT_EQ(failed.size(), 2u) << seenList();
    EXPECT_EQ(failed[0].path(), inTheWay);
    expectEverythingInstalled();
    uninstallEverything();
    report("read-only file of the list at the destination, attribute cleared",
           inQuotes(failed[0].text) + " [Retry: asked again until the file can be replaced; run completes]");
}

TEST_F(MediaFaultE2E, ReadOnlyFileOfTheListAtTheDestinationAndCancelRollsBack)
{
    const std::string inTheWay = installDir() + "data\\script.arc";
    ASSERT_TRUE(makeFolders(folderOf(inTheWay)));
    ASSERT_TRUE(writeFile(inTheWay, "an earlier copy"));
    ASSERT_TRUE(SetFileAttributesA(inTheWay.c_str(), FILE_ATTRIBUTE_READONLY));
    before_ = productSnapshot();
    ASSERT_TRUE(pressStart());
    ASSERT_TRUE(follow(Page::InstallConfirm, cancelAtCopyFailure));
    const std::vector<Box> failed = seen([](const Box& box) { return box.copyFailed(); });
    ASSERT_EQ(failed.size(), 1u) << seenList();
    EXPECT_EQ(failed[0].path(), inTheWay);
    // The roll-back removes what the run copied; the earlier copy was not the run's and stays.
    EXPECT_EQ(readFile(inTheWay), "an earlier copy");
    report("read-only file of the list at the destination, cancelled",
           inQuotes(failed[0].text) + " [Cancel: rolled back, the earlier copy left as it was]");
    closeMenu();
}

// A file where a folder of the install must go. It is not the product's: the roll-back must
// leave it as it found it.
void MediaFaultE2E::blockFolderWithFile(const std::string& file, const char* name)
{
    ASSERT_TRUE(makeFolders(folderOf(file)));
    ASSERT_TRUE(writeFile(file, "not a folder"));
    before_ = productSnapshot();
    ASSERT_TRUE(pressStart());
    ASSERT_TRUE(follow(Page::InstallConfirm, cancelAtCopyFailure));
    const std::vector<Box> failed = seen([](const Box& box) { return box.copyFailed(); });
    ASSERT_EQ(failed.size(), 1u) << seenList();
    EXPECT_TRUE(startsWith(failed[0].path(), file + "\\")) << failed[0].text;
    EXPECT_EQ(readFile(file), "not a folder");
    report(name, inQuotes(failed[0].text) + " [Cancel: rolled back]");
    closeMenu();
}

TEST_F(MediaFaultE2E, ListFolderThatCannotBeCreatedIsReportedAndRolledBack)
{
    blockFolderWithFile(installDir() + "data", "destination folder of the list cannot be created");
}

TEST_F(MediaFaultE2E, TitleFolderThatCannotBeCreatedIsReportedAndRolledBackWithoutRegisteringIt)
{
    blockFolderWithFile(programFilesFolder() + "Varnis\\Lantern", "destination folder of a title cannot be created");
}

// ---- A disc taken out in the middle of a copy

// The big file is being copied when the disc leaves the drive: on this host the open file still
// reads to its end, so the menu meets the missing disc at the next file and must ask for it.
void MediaFaultE2E::removeDiscDuringCopy(const Removal& removal)
{
    ASSERT_TRUE(writeBigFile(takeFromDisc(1, removal.onDisc), kBigFileSize));
    const std::string copy = programFilesFolder() + removal.installed;
    long long copiedWhenRemoved = -1;
    ASSERT_TRUE(pressStart());
    ASSERT_TRUE(follow(Page::Main, usualAnswer, [&] {
        if (copiedWhenRemoved >= 0 || driveOfDisc(1) != 'Q') return;
        const long long size = fileSize(copy);
        if (size < 0) return;
        copiedWhenRemoved = size;
        EXPECT_TRUE(ejectDisc('Q'));
    }));
    EXPECT_LT(copiedWhenRemoved, static_cast<long long>(kBigFileSize)) << "the copy was over before the disc left";
    // Right after the removal the menu asks for disc 1 again, and nothing else is said.
    const std::vector<Box> requests = seen([](const Box& box) { return box.disc != 0; });
    EXPECT_TRUE(seen([](const Box& box) { return !box.disc && box.caption != kDirectXCaption; }).empty()) << seenList();
    ASSERT_GT(requests.size(), removal.request) << seenList();
    EXPECT_EQ(requests[removal.request].disc, 1) << seenList();
    expectEverythingInstalled();
    uninstallEverything();
    report(std::string(removal.name) + ", put back",
           inQuotes(requests[removal.request].text) + " [disc put back, OK: run completes, every file byte-equal]");
}

TEST_F(MediaFaultE2E, DiscRemovedDuringTheMainCopyIsAskedForAndTheRunCompletesOnceItIsBack)
{
    removeDiscDuringCopy(kDuringMainCopy);
}

TEST_F(MediaFaultE2E, DiscRemovedDuringATitleCopyIsAskedForAndTheRunCompletesOnceItIsBack)
{
    removeDiscDuringCopy(kDuringTitleCopy);
}

TEST_F(MediaFaultE2E, DiscRemovedDuringTheMainCopyAndCancelRollsBack)
{
    ASSERT_TRUE(writeBigFile(takeFromDisc(1, kDuringMainCopy.onDisc), kBigFileSize));
    const std::string copy = programFilesFolder() + kDuringMainCopy.installed;
    bool removed = false;
    ASSERT_TRUE(pressStart());
    ASSERT_TRUE(follow(
        Page::InstallConfirm, [](const Box& box) { return box.disc == 1 ? IDCANCEL : usualAnswer(box); },
        [&] {
            if (!removed && fileSize(copy) >= 0) removed = ejectDisc('Q');
        }));
    const std::vector<Box> requests = seen([](const Box& box) { return box.disc == 1; });
    ASSERT_EQ(requests.size(), 1u) << seenList();
    EXPECT_EQ(seen_.size(), 1u) << seenList();
    report(std::string(kDuringMainCopy.name) + ", cancelled", inQuotes(requests[0].text) + " [Cancel: rolled back]");
    closeMenu();
}

// ---- The wrong disc

TEST_F(MediaFaultE2E, WrongDiscOfferedForDisc2IsAskedForAgain)
{
    ASSERT_TRUE(pressStart());
    int requestsForDisc2 = 0;
    ASSERT_TRUE(follow(Page::Main, [&](const Box& box) {
        // The first time, the player leaves disc 1 in the drive and presses OK.
        if (box.disc == 2 && ++requestsForDisc2 == 1) return IDOK;
        return usualAnswer(box);
    }));
    ASSERT_GE(seen_.size(), 2u);
    EXPECT_EQ(seen_[0].disc, 2) << seenList();
    EXPECT_EQ(seen_[1].disc, 2) << "disc 1 was taken for disc 2\n" << seenList();
    EXPECT_TRUE(seen([](const Box& box) { return !box.disc && box.caption != kDirectXCaption; }).empty()) << seenList();
    expectEverythingInstalled();
    uninstallEverything();
    report("disc 1 offered when disc 2 is asked for",
           inQuotes(seen_[1].text) + " again [disc 2 put in, OK: run completes, every file byte-equal]");
}

TEST_F(MediaFaultE2E, Disc1CarryingTheMarkerOfDisc2IsFoundOutAtItsFirstFile)
{
    ASSERT_TRUE(pressStart());
    ASSERT_TRUE(follow(Page::InstallConfirm, [&](const Box& box) {
        if (box.disc != 2) return usualAnswer(box);
        // Disc 1 stays in, now with disc 2's marker as well.
        const std::string marker = discFolder(1) + "varnis_disc2.ico";
        EXPECT_TRUE(CopyFileA((discFolder(2) + "varnis_disc2.ico").c_str(), marker.c_str(), TRUE));
        addedToDisc(1, "varnis_disc2.ico");
        return IDOK;
    }));
    const std::vector<Box> missing = seen([](const Box& box) { return box.fileMissing(); });
    ASSERT_EQ(missing.size(), 1u) << seenList();
    EXPECT_EQ(missing[0].path(), installDir() + "data\\movie.arc") << "the first file of disc 2";
    report("disc 1 carrying disc 2's marker", inQuotes(missing[0].text) + " [OK: rolled back]");
    closeMenu();
}

// ---- A disc file short from the start, or shrinking under the copy

TEST_F(MediaFaultE2E, FileCutShortOnTheDiscIsCopiedAsTheDiscHoldsIt)
{
    // The lists give no size per file: nothing can tell this copy from a whole one, and it is
    // installed just as the disc holds it.
    const std::string whole = readFile(discFolder(1) + "data\\se.arc");
    ASSERT_GT(whole.size(), 2u);
    const std::string path = takeFromDisc(1, "data\\se.arc");
    ASSERT_FALSE(path.empty());
    ASSERT_TRUE(writeFile(path, whole.substr(0, whole.size() / 2)));
    ASSERT_TRUE(pressStart());
    ASSERT_TRUE(follow(Page::Main, usualAnswer));
    EXPECT_TRUE(seen([](const Box& box) { return !box.disc && box.caption != kDirectXCaption; }).empty()) << seenList();
    expectEverythingInstalled();
    EXPECT_EQ(fileSize(installDir() + "data\\se.arc"), static_cast<long long>(whole.size() / 2));
    uninstallEverything();
    report("file cut short on the disc",
           "no message (the lists give no file sizes) [run completes, copy equals the disc's file]");
}

TEST_F(MediaFaultE2E, FileThatShrinksWhileItIsCopiedFailsTheCopy)
{
    const std::string path = takeFromDisc(1, kDuringMainCopy.onDisc);
    ASSERT_TRUE(writeBigFile(path, kBigFileSize));
    const std::string copy = programFilesFolder() + kDuringMainCopy.installed;
    bool cut = false;
    ASSERT_TRUE(pressStart());
    ASSERT_TRUE(follow(
        Page::InstallConfirm, cancelAtCopyFailure,
        [&] {
            if (!cut && fileSize(copy) >= 0) cut = cutFile(path, 1 << 20);
        }));
    EXPECT_TRUE(cut);
    const std::vector<Box> failed = seen([](const Box& box) { return box.copyFailed(); });
    ASSERT_EQ(failed.size(), 1u) << "a short copy passed for the whole file\n" << seenList();
    EXPECT_EQ(failed[0].path(), installDir() + "data\\voice.arc");
    report("file shrinks while it is copied", inQuotes(failed[0].text) + " [Cancel: rolled back]");
    closeMenu();
}

}  // namespace

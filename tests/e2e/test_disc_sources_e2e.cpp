// End-to-end tests of where the discs come from: disc 1 and disc 2 copied into sibling folders on
// the hard disk (a blank and two-byte names in the path), both discs merged into one folder, the
// folders on a removable drive, a disc in a drive beside such folders (the menu started from the
// disc 1 folder as a player double-clicks it), and the discs' images mounted in the drive.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menu/page_ids.h"
#include "tests/e2e/install_fixture.h"

using namespace e2e;

namespace {

class DiscSourcesE2E : public InstallFixture {
protected:
    void TearDown() override
    {
        killLeftovers();   // a menu started from a folder must not hold its files
        for (const std::string& folder : made_) deleteTree(folder);
        InstallFixture::TearDown();
    }

    // Copies sample disc n into folder, as a player copies a disc onto the hard disk or a stick.
    void copyDisc(int disc, const std::string& folder)
    {
        ASSERT_TRUE(copyTree(discFolder(disc), folder)) << "disc " << disc << " to " << folder;
    }
    std::string made(const std::string& folder)
    {
        made_.push_back(folder);
        return folder;
    }

    // Starts the menu from folder + vgan1_menu.exe in that folder, a fresh install of every title,
    // then the uninstall of everything. The run asks for no disc at all.
    void installAndRemoveFrom(const std::string& folder, const std::string& readmeFolder)
    {
        ASSERT_TRUE(menu_.start({}, (folder + "vgan1_menu.exe").c_str(), folder.c_str()));
        EXPECT_EQ(menu_.waitStartedExit(kStartTimeoutMs), 0);
        HWND welcome = menu_.waitForPage(Page::Welcome, kStartTimeoutMs);
        ASSERT_TRUE(welcome) << "message box: " << messageBoxText(findMessageBox());
        HWND select = go(welcome, IDC_INSTALL, Page::InstallSelect);
        ASSERT_TRUE(select);
        HWND confirm = go(select, IDC_NEXT, Page::InstallConfirm);
        ASSERT_TRUE(confirm);
        ASSERT_TRUE(postClick(confirm, IDC_START_INSTALL));
        ASSERT_TRUE(menu_.waitForPage(Page::Progress, 10000));
        RunLog log;
        ASSERT_TRUE(followRun(Page::Main, log));
        EXPECT_TRUE(log.discRequests.empty()) << "asked for a disc " << log.discRequests.size() << " times";
        EXPECT_TRUE(log.otherMessages.empty()) << joinLines(log.otherMessages);
        expectEverythingInstalled();
        ASSERT_TRUE(waitUntil([&] { return fileExists(opened_); }, 15000)) << "readme.txt was not opened";
        EXPECT_EQ(readFile(opened_), readmeFolder + "readme.txt\n");
        DeleteFileA(opened_.c_str());
        ASSERT_TRUE(uninstallEverything(menu_.visiblePage()));
        expectSameAsBefore("after the uninstall");
    }

    std::vector<std::string> made_;
};

TEST_F(DiscSourcesE2E, DiscsCopiedIntoFoldersInstallWithoutADrive)
{
    ASSERT_TRUE(ejectDisc('Q'));
    const std::string root = made("C:\\vga e2e ディスク ソ表\\");
    const std::string stick = made("P:\\Varnis DVD\\");
    struct Case {
        const char* name;
        std::string disc1, disc2, start, readme;
    };
    const Case cases[] = {
        {"sibling folders on the hard disk", root + "disc 1\\", root + "disc 2\\", root + "disc 1\\", root + "disc 2\\"},
        {"both discs merged into one folder", root + "merged\\", root + "merged\\", root + "merged\\", root + "merged\\"},
        {"sibling folders on a removable drive", stick + "DISC1\\", stick + "DISC2\\", stick + "DISC1\\", stick + "DISC2\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        copyDisc(1, c.disc1);
        copyDisc(2, c.disc2);
        installAndRemoveFrom(c.start, c.readme);
        deleteTree(c.disc1);
        deleteTree(c.disc2);
    }
}

// Disc 2 in a drive and in a sibling folder: the drive wins, as it always has.
TEST_F(DiscSourcesE2E, ADiscInADriveWinsOverASiblingFolder)
{
    const std::string root = made("C:\\vga e2e drive wins\\");
    copyDisc(1, root + "disc1\\");
    copyDisc(2, root + "disc2\\");
    // The folder's copy of one disc 2 file differs: the installed one must be the drive's.
    const std::string changed = root + "disc2\\data\\movie.arc";
    SetFileAttributesA(changed.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(writeBigFile(changed, 1000));
    ASSERT_TRUE(insertDisc('Q', 2));
    ASSERT_TRUE(menu_.start({}, (root + "disc1\\vgan1_menu.exe").c_str(), (root + "disc1\\").c_str()));
    HWND welcome = menu_.waitForPage(Page::Welcome, kStartTimeoutMs);
    ASSERT_TRUE(welcome);
    HWND select = go(welcome, IDC_INSTALL, Page::InstallSelect);
    ASSERT_TRUE(select);
    HWND confirm = go(select, IDC_NEXT, Page::InstallConfirm);
    ASSERT_TRUE(confirm);
    ASSERT_TRUE(postClick(confirm, IDC_START_INSTALL));
    ASSERT_TRUE(menu_.waitForPage(Page::Progress, 10000));
    RunLog log;
    ASSERT_TRUE(followRun(Page::Main, log));
    EXPECT_TRUE(log.discRequests.empty());
    expectEverythingInstalled();   // movie.arc among them, as the disc in Q: holds it
    ASSERT_TRUE(waitUntil([&] { return fileExists(opened_); }, 15000));
    EXPECT_EQ(readFile(opened_), "Q:\\readme.txt\n");
    ASSERT_TRUE(uninstallEverything(menu_.visiblePage()));
    expectSameAsBefore("after the uninstall");
}

// ---- The images of the discs, mounted behind Q: (tests/e2e/image-drives.sh changes them)

class ImageDiscsE2E : public InstallFixture {
protected:
    void SetUp() override
    {
        InstallFixture::SetUp();
        const std::string status = readFile(drivesFolder() + "image-drives.txt");
        if (status.compare(0, 5, "ready") != 0) {
            unavailable_ = status.empty() ? "the disc changer was not set up (image-drives.sh did not run)"
                                          : status.substr(0, status.find('\n'));
            return;
        }
        ASSERT_TRUE(ejectDisc('Q'));
        putDiscIn_ = [this](int disc) { return mountImage(disc); };
    }
    void TearDown() override
    {
        killLeftovers();   // nothing may hold a file of the image while it is unmounted
        if (unavailable_.empty()) {
            EXPECT_TRUE(mountImage(0)) << "the image stays mounted";
        }
        InstallFixture::TearDown();
    }

    // The image of disc n (0: none) in Q:, as a player mounts it in place of the last one.
    bool mountImage(int disc)
    {
        const std::string request = std::to_string(disc) + " " + std::to_string(++requests_) + "\n";
        const std::string done = drivesFolder() + "image-done";
        const std::string requestFile = drivesFolder() + "image-request";
        HANDLE file = CreateFileA(requestFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        WriteFile(file, request.data(), static_cast<DWORD>(request.size()), &written, nullptr);
        CloseHandle(file);
        if (!waitUntil([&] { return readFile(done) == request; }, 20000)) {
            ADD_FAILURE() << "the disc changer did not answer: " << readFile(done);
            return false;
        }
        const std::string marker = "Q:\\varnis_disc" + std::to_string(disc) + ".ico";
        return disc == 0 || waitUntil([&] { return fileExists(marker); }, 10000);
    }

    std::string unavailable_;
    int requests_ = 0;
};

TEST_F(ImageDiscsE2E, TwoDiscInstallFromImagesChangedInTheDrive)
{
    if (!unavailable_.empty()) GTEST_SKIP() << "disc images cannot be mounted on this host: " << unavailable_;
    ASSERT_TRUE(mountImage(1));
    RunLog log;
    HWND main = installEverything(log);
    ASSERT_TRUE(main);
    EXPECT_EQ(log.discRequests.front(), 2) << "the list's disc change, answered by mounting disc 2";
    EXPECT_TRUE(log.otherMessages.empty()) << joinLines(log.otherMessages);
    expectEverythingInstalled();
    ASSERT_TRUE(waitUntil([&] { return fileExists(opened_); }, 15000));
    EXPECT_EQ(readFile(opened_), "Q:\\readme.txt\n");
    ASSERT_TRUE(uninstallEverything(main));
    expectSameAsBefore("after the uninstall");
}

}  // namespace

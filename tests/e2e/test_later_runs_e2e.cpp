// End-to-end tests of the runs after the first: titles added to an installed collection and the
// add cancelled, a title left checked on the uninstall page, one title removed while others stay.
// Each case compares the product snapshot (files with sizes and hashes, keys and values,
// shortcuts, the add/remove entry) with the one taken before the later run.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "menu/page_ids.h"
#include "tests/e2e/install_fixture.h"

using namespace e2e;

namespace {

const DWORD kBigFileSize = 40u << 20;

class LaterRunsE2E : public InstallFixture {
protected:
    // From pageWelcome or pageMain to pageInstallConfirm with exactly `titles` checked among those
    // that can still be installed.
    HWND chooseTitles(HWND from, const std::vector<int>& titles)
    {
        const bool welcome = identifyPage(from) == Page::Welcome;
        HWND select = go(from, welcome ? IDC_INSTALL : IDC_ADD_TITLES, Page::InstallSelect);
        if (!select) return nullptr;
        for (int i = 0; i < 5; ++i) {
            const bool wanted = std::find(titles.begin(), titles.end(), i) != titles.end();
            if (isEnabled(select, IDC_TITLE_BOX_BASE + i) && isChecked(select, IDC_TITLE_BOX_BASE + i) != wanted) {
                EXPECT_TRUE(click(select, IDC_TITLE_BOX_BASE + i)) << "title " << i;
            }
        }
        return go(select, IDC_NEXT, Page::InstallConfirm);
    }

    // Presses インストール開始 and waits for the progress page: a run that has not begun yet would
    // pass for one rolled back to the confirm page.
    bool startRun(HWND confirm)
    {
        if (!postClick(confirm, IDC_START_INSTALL)) return false;
        return menu_.waitForPage(Page::Progress, 10000) != nullptr;
    }

    // A whole run of the titles from a fresh start: pageMain at its end.
    HWND installTitles(const std::vector<int>& titles)
    {
        HWND first = startMenu(Page::Welcome);
        HWND confirm = first ? chooseTitles(first, titles) : nullptr;
        RunLog log;
        if (!confirm || !startRun(confirm) || !followRun(Page::Main, log)) return nullptr;
        EXPECT_TRUE(log.otherMessages.empty()) << joinLines(log.otherMessages);
        return menu_.visiblePage();
    }

    // Saved games where the product and Lantern keep them.
    void plantSaves()
    {
        for (const std::string& path : {installDir() + "save\\01.sav", installDir() + "save\\read.dat",
                                        installDir() + "save\\system.dat",
                                        programFilesFolder() + "Varnis\\Lantern\\save\\01.sav"})
            ASSERT_TRUE(writeBigFile(path, 100)) << path;
    }

    void expectSnapshot(const std::vector<std::string>& expected, const char* when)
    {
        const std::vector<std::string> now = productSnapshot();
        EXPECT_EQ(now, expected) << when << "\n" << snapshotDifference(expected, now);
    }

    void closeMenu()
    {
        if (HWND page = menu_.visiblePage()) PostMessageA(page, WM_CLOSE, 0, 0);
        EXPECT_EQ(menu_.waitExit(kExitTimeoutMs), 0);
    }
};

TEST_F(LaterRunsE2E, AddingATitleAndCancellingKeepsWhatEarlierRunsInstalled)
{
    HWND main = installTitles({0, 1});
    ASSERT_TRUE(main);
    plantSaves();
    const std::vector<std::string> earlier = productSnapshot();

    // Cancel while Harbor's big file is copied (disc 1 in the drive, so nothing is asked first).
    const std::string big = programFilesFolder() + "Varnis\\Harbor\\harbormenu.dat";
    ASSERT_TRUE(writeBigFile(takeFromDisc(1, "harbor\\harbormenu.dat"), kBigFileSize));
    ASSERT_TRUE(insertDisc('Q', 1));
    HWND confirm = chooseTitles(main, {2});
    ASSERT_TRUE(confirm);
    ASSERT_TRUE(startRun(confirm));
    HWND progress = menu_.visiblePage();
    ASSERT_TRUE(progress);
    ASSERT_TRUE(waitUntil([&] { return fileExists(big); }, 30000)) << "Harbor's copy did not start";
    ASSERT_TRUE(postClick(progress, IDC_CANCEL_INSTALL));
    RunLog cancelled;
    ASSERT_TRUE(followRun(Page::InstallConfirm, cancelled));
    EXPECT_TRUE(cancelled.discRequests.empty()) << "asked for a disc after Cancel";
    expectSnapshot(earlier, "after Cancel during Harbor's copy");

    // Again, and Cancel at the request for disc 2 that Harbor's second extra list makes.
    ASSERT_TRUE(startRun(confirm));
    RunLog refused;
    ASSERT_TRUE(followRun(Page::InstallConfirm, refused, 1));
    EXPECT_EQ(refused.discRequests, std::vector<int>{2});
    expectSnapshot(earlier, "after Cancel at the disc request");
    closeMenu();
}

// Every later run: a title left checked on the uninstall page, a later start of the menu, and the
// very first run, each cancelled at its first disc request.
TEST_F(LaterRunsE2E, CancelledRunsRemoveOnlyWhatTheyAdded)
{
    // A first run of one title: nothing at all is left.
    HWND welcome = startMenu(Page::Welcome);
    ASSERT_TRUE(welcome);
    HWND confirm = chooseTitles(welcome, {3});
    ASSERT_TRUE(confirm);
    ASSERT_TRUE(startRun(confirm));
    RunLog first;
    ASSERT_TRUE(followRun(Page::InstallConfirm, first, 1));   // the list's disc 2
    expectSnapshot(before_, "after the first run was cancelled");
    closeMenu();

    // Lantern and Brindle installed; Lantern checked on the uninstall page and left there.
    ASSERT_TRUE(insertDisc('Q', 1));
    HWND main = installTitles({0, 1});
    ASSERT_TRUE(main);
    plantSaves();
    const std::vector<std::string> earlier = productSnapshot();
    HWND select = go(main, IDC_UNINSTALL, Page::UninstallSelect);
    ASSERT_TRUE(select);
    ASSERT_TRUE(click(select, IDC_TITLE_BOX_BASE + 0));
    main = go(select, IDC_BACK, Page::Main);
    ASSERT_TRUE(main);
    ASSERT_TRUE(insertDisc('Q', 1));
    confirm = chooseTitles(main, {3});
    ASSERT_TRUE(confirm);
    ASSERT_TRUE(startRun(confirm));
    RunLog checkedLeft;
    ASSERT_TRUE(followRun(Page::InstallConfirm, checkedLeft, 1));   // disc 2 at the end
    EXPECT_EQ(checkedLeft.discRequests, std::vector<int>{2});
    expectSnapshot(earlier, "after an add with Lantern left checked for uninstall");
    closeMenu();

    // The same add from a later start of the menu.
    ASSERT_TRUE(insertDisc('Q', 1));
    main = startMenu(Page::Main);
    ASSERT_TRUE(main);
    confirm = chooseTitles(main, {4});
    ASSERT_TRUE(confirm);
    ASSERT_TRUE(startRun(confirm));
    RunLog later;
    ASSERT_TRUE(followRun(Page::InstallConfirm, later, 1));
    expectSnapshot(earlier, "after an add in a later start");
    closeMenu();
}

// One title goes while another stays: only game data removes it; the data options, which name the
// product's data, are greyed while a title stays and can do nothing; the title's own saves stay.
TEST_F(LaterRunsE2E, UninstallingOneTitleKeepsTheOthersAndThePlayersData)
{
    HWND main = installTitles({0, 1});
    ASSERT_TRUE(main);
    plantSaves();
    const std::string root = programFilesFolder();
    const std::vector<std::string> earlier = productSnapshot();

    HWND select = go(main, IDC_UNINSTALL, Page::UninstallSelect);
    ASSERT_TRUE(select);
    ASSERT_TRUE(click(select, IDC_TITLE_BOX_BASE + 0));
    HWND confirm = go(select, IDC_NEXT, Page::UninstallConfirm);
    ASSERT_TRUE(confirm);
    for (int id : {IDC_DATA_SYSTEM, IDC_DATA_READ, IDC_DATA_SAVE}) EXPECT_FALSE(isEnabled(confirm, id)) << id;
    EXPECT_FALSE(isEnabled(confirm, IDC_UNINSTALL_RUN)) << "nothing chosen, nothing to remove";
    ASSERT_TRUE(click(confirm, IDC_DATA_ALL));
    ASSERT_TRUE(postClick(confirm, IDC_UNINSTALL_RUN));
    HWND box = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (box = findMessageBox(menu_.menuPid())) != nullptr; }, kRunTimeoutMs));
    EXPECT_EQ(messageBoxText(box), kUninstallDone);
    ASSERT_TRUE(answerMessageBox(box, IDOK));
    EXPECT_EQ(menu_.waitExit(kExitTimeoutMs), 0);

    // What changed is Lantern's, and only what its install made.
    std::vector<std::string> expected;
    for (const std::string& line : earlier) {
        const bool lantern = line.find("Lantern") != std::string::npos;
        const bool lanternSave = line.find("Varnis\\Lantern\\save\\") != std::string::npos ||
                                 line == "files: Varnis\\Lantern\\" || line == "files: Varnis\\Lantern\\save\\";
        if (!lantern || lanternSave) expected.push_back(line);
    }
    expectSnapshot(expected, "after Lantern was removed with all data");
    EXPECT_TRUE(fileExists(root + "Varnis\\Lantern\\save\\01.sav"));
    EXPECT_TRUE(fileExists(installDir() + "save\\01.sav")) << "the product's saves go only with the last title";

    // Brindle, the last title, with all data: the player's saves in Lantern's folder stay all the same.
    ASSERT_TRUE(insertDisc('Q', 1));
    main = startMenu(Page::Main);
    ASSERT_TRUE(main);
    ASSERT_TRUE(uninstallEverything(main));
    std::vector<std::string> saves;
    for (const std::string& line : earlier)
        if (line == "files: Varnis" || line == "files: Varnis\\Lantern\\" ||
            line.compare(0, 26, "files: Varnis\\Lantern\\save") == 0)
            saves.push_back(line);
    expectSnapshot(saves, "after the last title went");
}

}  // namespace

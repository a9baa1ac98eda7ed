// The menu pages as the player meets them: the real templates with the real page procedures,
// driven by clicks, against title keys in the test prefix's registry.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "data/catalogue.h"
#include "install/destination.h"
#include "install/run_state.h"
#include "menu/menu_mutex.h"
#include "menu/page_flow.h"
#include "menu/page_ids.h"
#include "menu/page_procedures.h"
#include "menu/pages.h"
#include "menu/startup.h"
#include "tests/support/dialogs.h"
#include "tests/support/registry.h"

using namespace test_support;

namespace {

const char kTestKeyRoot[] = "Software\\VgaMenuPageTest";
const char kProductKey[] = "Software\\Varnis\\SET-V";

// A click as the player makes it: the button toggles itself and tells its page.
void click(HWND page, int id)
{
    HWND button = GetDlgItem(page, id);
    ASSERT_NE(button, nullptr) << "no control " << id;
    SendMessageA(button, BM_CLICK, 0, 0);
}

class MenuPages : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
    }

    // The state the menu starts in, with the given titles installed (their keys present).
    void startUp(std::initializer_list<int> installed)
    {
        for (int i = 0; i < kTitleCount; ++i) {
            std::memset(&g_titles[i], 0, sizeof g_titles[i]);
            wsprintfA(g_titles[i].registryKey, "%s\\Title%d", kTestKeyRoot, i);
            g_titles[i].sizeMb = 100 * (i + 1);
        }
        for (int i : installed) EXPECT_TRUE(createKey(HKEY_CURRENT_USER, g_titles[i].registryKey));
        setInitialControls();
    }

    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKeyRoot);
        productKeyWasThere_ = keyExists(HKEY_CURRENT_USER, kProductKey);
        std::strcpy(installRoot, "C:\\Program Files\\");
        std::strcpy(programFilesDir, installRoot);
        std::strcpy(installDir, "C:\\Program Files\\Varnis\\Hub\\");
        runMode = RunMode::Idle;
        cancelRequested = 0;
        ASSERT_TRUE(createPages("Varnis Grand Anthology"));
        // createPages fills g_pages; quitMenu forgets some of them, so keep our own list.
        const Pages& p = g_pages;
        pages_ = {p.welcome, p.main, p.installSelect, p.installConfirm, p.progress, p.uninstallConfirm,
                  p.uninstallSelect, p.play};
    }

    void TearDown() override
    {
        for (HWND page : pages_)
            if (IsWindow(page)) DestroyWindow(page);
        g_pages = Pages{};
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {}
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKeyRoot);
        if (!productKeyWasThere_) {
            RegDeleteKeyA(HKEY_CURRENT_USER, kProductKey);
            RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Varnis");   // only goes when empty
        }
    }

    bool visible(HWND page) const { return IsWindowVisible(page) != FALSE; }

    std::vector<HWND> pages_;
    bool productKeyWasThere_ = false;
};

// ---- the templates

// A page is found by its control ids, so no id may stand twice on one page; no control may
// cover another or stick out of the page; every text must be readable in full.
TEST_F(MenuPages, LayoutIsCleanOnEveryPage)
{
    for (HWND page : pages_) {
        char title[64] = {};
        GetWindowTextA(page, title, sizeof title);
        EXPECT_STREQ(title, "Varnis Grand Anthology");
        const LONG style = GetWindowLongA(page, GWL_STYLE);
        EXPECT_EQ(style & WS_SYSMENU, 0);
        EXPECT_EQ(style & WS_VISIBLE, 0);
        EXPECT_NE(style & WS_CAPTION, 0);

        RECT size = {0, 0, 279, page == g_pages.progress ? 287 : 145};
        MapDialogRect(page, &size);
        RECT client;
        GetClientRect(page, &client);
        EXPECT_EQ(client.right, size.right);
        EXPECT_EQ(client.bottom, size.bottom);

        struct Placed {
            int id;
            RECT rect;
        };
        std::vector<Placed> placed;
        std::set<int> ids;
        for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            const int id = GetDlgCtrlID(c);
            if (id != -1 && id != 0xFFFF) {
                EXPECT_TRUE(ids.insert(id).second) << "id " << id << " twice on a page";
            }
            RECT r;
            GetWindowRect(c, &r);
            MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
                << "control " << id << " outside its page";
            for (const Placed& other : placed) {
                RECT both;
                EXPECT_FALSE(IntersectRect(&both, &r, &other.rect))
                    << "controls " << id << " and " << other.id << " overlap";
            }
            placed.push_back({id, r});

            char text[300] = {};
            const int length = GetWindowTextA(c, text, sizeof text);
            char className[32] = {};
            GetClassNameA(c, className, sizeof className);
            if (length == 0 || std::strcmp(className, "msctls_progress32") == 0) continue;
            HDC dc = GetDC(c);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(c, WM_GETFONT, 0, 0)));
            SIZE extent = {};
            GetTextExtentPoint32A(dc, text, length, &extent);
            // A trailing "。" shows whole in its left half.
            SIZE stop = {};
            if (length >= 2 && std::strcmp(text + length - 2, "。") == 0) GetTextExtentPoint32A(dc, "。", 2, &stop);
            SelectObject(dc, old);
            ReleaseDC(c, dc);
            const LONG type = GetWindowLongA(c, GWL_STYLE) & BS_TYPEMASK;
            int margin = 0;   // room that the control itself takes from its text
            if (std::strcmp(className, "Button") == 0)
                margin = (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON) ? 18 : 6;
            EXPECT_LE(extent.cx - stop.cx / 2 + margin, r.right - r.left) << "text of " << id << " cut: " << text;
            EXPECT_LE(extent.cy, r.bottom - r.top) << "text of " << id << " cut: " << text;
        }
    }
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(g_pages.welcome, IDC_COMPACT_INSTALL))) << "compact install stays hidden";
}

TEST_F(MenuPages, PicturesKeepTheirPlaceAndSize)
{
    const struct {
        HWND page;
        int id;
        RECT units;
    } pictures[] = {{g_pages.welcome, IDC_PICTURE_WELCOME, {4, 5, 115, 134}},
                    {g_pages.main, IDC_PICTURE_MAIN, {4, 5, 115, 134}},
                    {g_pages.progress, IDC_PICTURE_PROGRESS, {11, 45, 255, 199}}};
    for (const auto& p : pictures) {
        RECT expected = p.units;   // x, y, width, height: each mapped on its own, as for a template
        MapDialogRect(p.page, &expected);
        RECT r;
        GetWindowRect(GetDlgItem(p.page, p.id), &r);
        MapWindowPoints(nullptr, p.page, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, expected.left) << "picture " << p.id;
        EXPECT_EQ(r.top, expected.top) << "picture " << p.id;
        EXPECT_EQ(r.right - r.left, expected.right) << "picture " << p.id;
        EXPECT_EQ(r.bottom - r.top, expected.bottom) << "picture " << p.id;
    }
}

// ---- pageInstallSelect

TEST_F(MenuPages, InstallAllChecksOnlyTitlesNotInstalled)
{
    startUp({1, 3});
    HWND page = g_pages.installSelect;
    showCentered(page);
    auto expectTitlesNotInstalledChecked = [&] {
        EXPECT_TRUE(isChecked(page, IDC_ALL_TITLES));
        for (int i : {0, 2, 4}) EXPECT_TRUE(isChecked(page, IDC_TITLE_BOX_BASE + i)) << i;
        for (int i : {1, 3}) EXPECT_FALSE(isChecked(page, IDC_TITLE_BOX_BASE + i)) << i;
        EXPECT_TRUE(isEnabled(page, IDC_NEXT));
    };
    expectTitlesNotInstalledChecked();   // as the menu starts

    click(page, IDC_ALL_TITLES);   // off: all five unchecked
    for (int i = 0; i < kTitleCount; ++i) EXPECT_FALSE(isChecked(page, IDC_TITLE_BOX_BASE + i)) << i;
    EXPECT_FALSE(isEnabled(page, IDC_NEXT));

    click(page, IDC_ALL_TITLES);   // on again
    expectTitlesNotInstalledChecked();
}

TEST_F(MenuPages, UncheckingATitleUnchecksInstallAllForGood)
{
    HWND page = g_pages.installSelect;
    startUp({});
    showCentered(page);

    click(page, IDC_TITLE_BOX_BASE + 2);   // off
    EXPECT_FALSE(isChecked(page, IDC_TITLE_BOX_BASE + 2));
    EXPECT_FALSE(isChecked(page, IDC_ALL_TITLES));
    click(page, IDC_TITLE_BOX_BASE + 2);   // on again: install-all stays off
    EXPECT_TRUE(isChecked(page, IDC_TITLE_BOX_BASE + 2));
    EXPECT_FALSE(isChecked(page, IDC_ALL_TITLES));
    EXPECT_TRUE(isEnabled(page, IDC_NEXT));

    for (int i = 0; i < kTitleCount; ++i) click(page, IDC_TITLE_BOX_BASE + i);   // all off
    EXPECT_FALSE(isEnabled(page, IDC_NEXT)) << "nothing selected, nothing to install";
}

TEST_F(MenuPages, WithEveryTitleInstalledThereIsNothingToSelect)
{
    startUp({0, 1, 2, 3, 4});
    ASSERT_TRUE(createKey(HKEY_CURRENT_USER, kProductKey));
    HWND main = g_pages.main;
    showCentered(main);
    click(main, IDC_ADD_TITLES);
    HWND page = g_pages.installSelect;
    EXPECT_TRUE(visible(page));
    EXPECT_FALSE(visible(main));
    for (int i = 0; i < kTitleCount; ++i) EXPECT_FALSE(isEnabled(page, IDC_TITLE_BOX_BASE + i)) << i;
    EXPECT_FALSE(isEnabled(page, IDC_NEXT));

    click(page, IDC_ALL_TITLES);   // off
    click(page, IDC_ALL_TITLES);   // on: there is nothing left to check
    EXPECT_TRUE(isChecked(page, IDC_ALL_TITLES));
    for (int i = 0; i < kTitleCount; ++i) EXPECT_FALSE(isChecked(page, IDC_TITLE_BOX_BASE + i)) << i;
    EXPECT_FALSE(isEnabled(page, IDC_NEXT));
}

TEST_F(MenuPages, NextShowsTheChosenTitlesOnTheConfirmPage)
{
    startUp({1});
    HWND page = g_pages.installSelect;
    showCentered(page);
    click(page, IDC_TITLE_BOX_BASE + 0);
    click(page, IDC_TITLE_BOX_BASE + 4);
    click(page, IDC_NEXT);

    HWND confirm = g_pages.installConfirm;
    EXPECT_TRUE(visible(confirm));
    EXPECT_FALSE(visible(page));
    const bool expected[kTitleCount] = {false, false, true, true, false};   // checked and not installed
    for (int i = 0; i < kTitleCount; ++i)
        EXPECT_EQ(isEnabled(confirm, IDC_CONFIRM_LINE_BASE + i), expected[i]) << i;

    click(confirm, IDC_BACK);
    EXPECT_TRUE(visible(page));
    EXPECT_FALSE(visible(confirm));
}

TEST_F(MenuPages, BackGoesToWelcomeOrMainByTheProductKey)
{
    if (productKeyWasThere_) GTEST_SKIP() << "the prefix already holds the product key";
    HWND select = g_pages.installSelect;
    showCentered(select);
    click(select, IDC_BACK);
    EXPECT_TRUE(visible(g_pages.welcome));
    EXPECT_FALSE(visible(select));
    hidePage(g_pages.welcome);

    ASSERT_TRUE(createKey(HKEY_CURRENT_USER, kProductKey));
    showCentered(g_pages.uninstallSelect);
    click(g_pages.uninstallSelect, IDC_BACK);
    EXPECT_TRUE(visible(g_pages.main));
    EXPECT_FALSE(visible(g_pages.welcome));
    EXPECT_FALSE(visible(g_pages.uninstallSelect));
}

TEST_F(MenuPages, WelcomeInstallOpensTheSelectionWithSizesUpToDate)
{
    HWND welcome = g_pages.welcome;
    startUp({});
    installType = 1;
    showCentered(welcome);
    click(welcome, IDC_INSTALL);
    EXPECT_EQ(installType, 0);
    EXPECT_TRUE(visible(g_pages.installSelect));
    EXPECT_FALSE(visible(welcome));
    EXPECT_TRUE(isEnabled(g_pages.installSelect, IDC_NEXT));
    char line[128] = {};
    GetDlgItemTextA(g_pages.installSelect, IDC_REQUIRED_SPACE, line, sizeof line);
    EXPECT_STREQ(line, "1．476 ＧＢの空き容量が必要です。");   // 100+200+...+500 = 1500 MB
}

// ---- pageUninstallSelect and pageUninstallConfirm

TEST_F(MenuPages, UninstallAllAlsoChecksTitlesThatAreNotInstalled)
{
    startUp({2});
    ASSERT_TRUE(createKey(HKEY_CURRENT_USER, kProductKey));
    showCentered(g_pages.main);
    click(g_pages.main, IDC_UNINSTALL);
    HWND page = g_pages.uninstallSelect;
    ASSERT_TRUE(visible(page));
    EXPECT_TRUE(isEnabled(page, IDC_TITLE_BOX_BASE + 2));
    EXPECT_FALSE(isEnabled(page, IDC_TITLE_BOX_BASE + 0));
    EXPECT_FALSE(isEnabled(page, IDC_NEXT));

    click(page, IDC_ALL_TITLES);
    for (int i = 0; i < kTitleCount; ++i) EXPECT_TRUE(isChecked(page, IDC_TITLE_BOX_BASE + i)) << i;
    EXPECT_TRUE(isEnabled(page, IDC_NEXT));

    click(page, IDC_NEXT);
    HWND confirm = g_pages.uninstallConfirm;
    EXPECT_TRUE(visible(confirm));
    for (int i = 0; i < kTitleCount; ++i)
        EXPECT_EQ(isEnabled(confirm, IDC_CONFIRM_LINE_BASE + i), i == 2) << "only installed titles are removed";
    EXPECT_FALSE(isEnabled(confirm, IDC_UNINSTALL_RUN)) << "no data chosen: nothing would be removed";
    click(confirm, IDC_DATA_GAME);
    EXPECT_TRUE(isEnabled(confirm, IDC_UNINSTALL_RUN));
    click(confirm, IDC_DATA_GAME);

    click(confirm, IDC_BACK);
    EXPECT_TRUE(visible(page));
    click(page, IDC_TITLE_BOX_BASE + 2);   // the one installed title off: nothing to uninstall
    EXPECT_FALSE(isChecked(page, IDC_TITLE_BOX_BASE + 2));
    EXPECT_TRUE(isChecked(page, IDC_ALL_TITLES)) << "a title box leaves uninstall-all alone";
    EXPECT_FALSE(isEnabled(page, IDC_NEXT));
}

// Next follows the boxes as they stand when the page is shown, also a box left checked earlier.
TEST_F(MenuPages, UninstallNextFollowsTheBoxesWhenThePageIsShown)
{
    startUp({2});
    ASSERT_TRUE(createKey(HKEY_CURRENT_USER, kProductKey));
    CheckDlgButton(g_pages.uninstallSelect, IDC_TITLE_BOX_BASE + 2, BST_CHECKED);
    showCentered(g_pages.main);
    click(g_pages.main, IDC_UNINSTALL);
    EXPECT_TRUE(isEnabled(g_pages.uninstallSelect, IDC_NEXT));
}

TEST_F(MenuPages, DataOptionsFollowDeleteAllAndBack)
{
    HWND page = g_pages.uninstallConfirm;
    showCentered(page);
    const int options[] = {IDC_DATA_GAME, IDC_DATA_SYSTEM, IDC_DATA_READ, IDC_DATA_SAVE};

    click(page, IDC_DATA_ALL);
    for (int id : options) EXPECT_TRUE(isChecked(page, id)) << id;
    click(page, IDC_DATA_SAVE);   // mixed: delete-all stays on, so save data still go
    EXPECT_TRUE(isChecked(page, IDC_DATA_ALL));
    click(page, IDC_DATA_ALL);    // off: all four off
    for (int id : options) EXPECT_FALSE(isChecked(page, id)) << id;

    for (int id : options) click(page, id);   // all four on one by one
    EXPECT_TRUE(isChecked(page, IDC_DATA_ALL));
    for (int id : options) click(page, id);   // and off again
    EXPECT_FALSE(isChecked(page, IDC_DATA_ALL));
}

// ---- pagePlay

TEST_F(MenuPages, PlayPreselectsTheFirstInstalledTitle)
{
    startUp({1, 3});
    HWND play = g_pages.play;
    CheckDlgButton(play, IDC_PLAY_TITLE_BASE + 0, BST_CHECKED);   // left over from an earlier visit
    showCentered(g_pages.main);
    click(g_pages.main, IDC_PLAY);
    EXPECT_TRUE(visible(play));
    EXPECT_FALSE(visible(g_pages.main));
    for (int i = 0; i < kTitleCount; ++i) {
        const int radio = IDC_PLAY_TITLE_BASE + i;
        EXPECT_EQ(isEnabled(play, radio), i == 1 || i == 3) << i;
        EXPECT_EQ(isChecked(play, radio), i == 1) << i;
    }
    click(play, IDC_BACK);
    EXPECT_TRUE(visible(g_pages.main));
    EXPECT_FALSE(visible(play));
}

TEST_F(MenuPages, PlayWithNothingInstalledHasEveryRadioDisabled)
{
    startUp({});
    showCentered(g_pages.main);
    click(g_pages.main, IDC_PLAY);
    for (int i = 0; i < kTitleCount; ++i) {
        EXPECT_FALSE(isEnabled(g_pages.play, IDC_PLAY_TITLE_BASE + i)) << i;
        EXPECT_FALSE(isChecked(g_pages.play, IDC_PLAY_TITLE_BASE + i)) << i;
    }
}

// ---- pageProgress, ending the menu

TEST_F(MenuPages, CancelOnlyAsksTheRunToStop)
{
    HWND page = g_pages.progress;
    showCentered(page);
    click(page, IDC_CANCEL_INSTALL);
    EXPECT_EQ(cancelRequested, 1);
    EXPECT_TRUE(visible(page));
}

TEST_F(MenuPages, ClosingAPageEndsTheMenuAndFreesTheMutex)
{
    g_menuMutex.reset(CreateMutexA(nullptr, FALSE, "vgahub_menu_page_test"));
    HWND page = g_pages.uninstallSelect;
    showCentered(g_pages.main);
    showCentered(page);
    SendMessageA(page, WM_CLOSE, 0, 0);

    EXPECT_FALSE(IsWindow(page));
    EXPECT_FALSE(visible(pages_[1])) << "pageMain hidden";
    EXPECT_EQ(g_pages.main, nullptr);
    EXPECT_FALSE(g_menuMutex);
    HANDLE reopened = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, "vgahub_menu_page_test");
    EXPECT_EQ(reopened, nullptr);
    if (reopened) CloseHandle(reopened);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
}

}  // namespace

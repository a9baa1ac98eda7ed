// Destination and free space on real pages: the figures, the Next rules, which titles count,
// the title controls that follow the registry, and the rules for a chosen destination folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/win32/install_test_helpers.h"
#include "install/destination.h"
#include "install/registry_record.h"
#include "menu/page_ids.h"
#include "menu/pages.h"
#include "menu/title_controls.h"
#include "tests/support/dialogs.h"
#include "tests/support/registry.h"

using namespace install_test;
using namespace test_support;

namespace {

constexpr int kBox = IDC_TITLE_BOX_BASE;
constexpr int kLine = IDC_CONFIRM_LINE_BASE;

class Destination : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(user_.ok());
        g_pages = {};
        g_pages.installSelect = createQuietDialog(IDD_INSTALL_SELECT);
        g_pages.installConfirm = createQuietDialog(IDD_INSTALL_CONFIRM);
        g_pages.uninstallSelect = createQuietDialog(IDD_UNINSTALL_SELECT);
        g_pages.uninstallConfirm = createQuietDialog(IDD_UNINSTALL_CONFIRM);
        ASSERT_TRUE(g_pages.installSelect && g_pages.installConfirm && g_pages.uninstallSelect &&
                    g_pages.uninstallConfirm);

        const char* keys[kTitleCount] = {"Software\\Varnis\\T0", "Software\\Varnis\\T1",
                                         "Software\\Varnis\\T2", "Software\\Varnis\\T3",
                                         "Software\\Varnis\\T4"};
        const int sizes[kTitleCount] = {1000, 2071, 300, 40, 5};
        for (int i = 0; i < kTitleCount; ++i) {
            std::memset(&g_titles[i], 0, sizeof g_titles[i]);
            std::strcpy(g_titles[i].registryKey, keys[i]);
            g_titles[i].sizeMb = sizes[i];
        }
        setText(installDir, "C:\\Program Files\\Varnis\\Hub\\");
        setText(installRoot, "C:\\Program Files\\");
        setText(programFilesDir, "C:\\Program Files\\");
    }
    void TearDown() override
    {
        for (HWND page : {g_pages.installSelect, g_pages.installConfirm, g_pages.uninstallSelect,
                          g_pages.uninstallConfirm})
            if (page) DestroyWindow(page);
        g_pages = {};
    }

    static void install(int index) { ASSERT_TRUE(createKey(HKEY_CURRENT_USER, g_titles[index].registryKey)); }

    PrivateRegistryRoot user_{HKEY_CURRENT_USER, "destination"};
    MessageCatcher messages_;
};

TEST(SpaceFigure, WholeUnitsOf1024MbAndTheRestInMb)
{
    struct { unsigned int mb; const char* text; } cases[] = {
        {0, "0．000"}, {1536, "1．512"}, {3071, "2．1023"}, {5 * 1024 + 7, "5．007"},
        {0xFFFFFFFFu, "4194303．1023"},
    };
    for (const auto& c : cases) {
        char text[32];
        formatSpaceFigure(c.mb, text, sizeof text);
        EXPECT_STREQ(text, c.text) << c.mb;
    }
}

TEST(SpaceQueryRoot, DriveOrShareRootOfAPath)
{
    struct { const char* path; bool ok; const char* root; } cases[] = {
        {"C:\\Program Files\\Varnis\\Hub\\", true, "C:\\"},
        {"d:\\", true, "d:\\"},
        {"\\\\server\\share\\games\\Varnis\\Hub\\", true, "\\\\server\\share\\"},
        {"\\\\server\\share", true, "\\\\server\\share\\"},
        {"\\\\サーバソ\\共有ソ\\Varnis\\", true, "\\\\サーバソ\\共有ソ\\"},   // 0x5C trail bytes
        {"\\\\server", false, ""},
        {"\\\\\\share\\", false, ""},
        {"Varnis\\Hub\\", false, ""},
        {"", false, ""},
    };
    for (const auto& c : cases) {
        Text root;
        EXPECT_EQ(spaceQueryRoot(c.path, root), c.ok) << c.path;
        EXPECT_STREQ(root, c.root) << c.path;
    }
}

TEST_F(Destination, RequiredAndFreeFiguresAreShownOnBothPages)
{
    setChecked(g_pages.installSelect, kBox, true);       // 1000
    setChecked(g_pages.installSelect, kBox + 1, true);   // 2071: 3071 in all
    EXPECT_EQ(selectedInstallSize(), 3071u);
    refreshSpaceDisplay();
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_EQ(controlText(g_pages.installSelect, IDC_REQUIRED_SPACE), "2．1023 ＧＢの空き容量が必要です。");
    EXPECT_EQ(g_space.requiredGb, 2u);
    EXPECT_EQ(g_space.requiredMbRest, 1023u);

    // The free figure is the drive's, all free bytes in MB.
    ULARGE_INTEGER available, total, free;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &free));
    const unsigned int freeMb = static_cast<unsigned int>(free.QuadPart >> 20);
    const unsigned int shownMb = g_space.freeGb * 1024 + g_space.freeMbRest;
    EXPECT_LT(g_space.freeMbRest, 1024u);
    EXPECT_NEAR(static_cast<double>(shownMb), static_cast<double>(freeMb), 64.0);
    char freeText[32];
    formatSpaceFigure(shownMb, freeText, sizeof freeText);
    EXPECT_EQ(controlText(g_pages.installConfirm, IDC_SPACE), std::string("2．1023 / ") + freeText + " GB");
}

TEST_F(Destination, UnreadableFreeSpaceIsReportedAndCountsAsNone)
{
    char drive[] = "A:\\";
    for (char letter = 'J'; letter <= 'Y' && GetDriveTypeA(drive) != DRIVE_NO_ROOT_DIR; ++letter)
        drive[0] = letter;
    ASSERT_EQ(GetDriveTypeA(drive), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    setText(installDir, std::string(drive) + "Varnis\\Hub\\");
    g_space = {7, 7, 7, 7};
    setChecked(g_pages.installSelect, kBox + 2, true);   // 300

    refreshSpaceDisplay();
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "ディスク容量取得失敗");
    EXPECT_EQ(messages_.shown()[0].caption, "ERROR");
    EXPECT_EQ(messages_.shown()[0].owner, nullptr);
    EXPECT_EQ(g_space.freeGb, 0u);
    EXPECT_EQ(g_space.freeMbRest, 0u);
    EXPECT_EQ(controlText(g_pages.installConfirm, IDC_SPACE), "0．300 / 0．000 GB");
}

TEST_F(Destination, SelectionDecidesTheSizeAndTheNextButtons)
{
    setText(installDir, "C:\\");
    refreshSpaceDisplay();   // nothing checked anywhere
    EXPECT_EQ(controlText(g_pages.installSelect, IDC_REQUIRED_SPACE), "0．000 ＧＢの空き容量が必要です。");
    EXPECT_FALSE(isEnabled(g_pages.installSelect, IDC_NEXT));
    EXPECT_FALSE(isEnabled(g_pages.uninstallSelect, IDC_NEXT));

    // The all-titles box counts every title that is not installed, whatever its own box says;
    // an installed title never counts.
    install(1);
    setChecked(g_pages.installSelect, IDC_ALL_TITLES, true);
    setChecked(g_pages.installSelect, kBox + 1, true);
    EXPECT_EQ(selectedInstallSize(), 1000u + 300 + 40 + 5);
    setChecked(g_pages.installSelect, IDC_ALL_TITLES, false);
    refreshSpaceDisplay();
    EXPECT_EQ(selectedInstallSize(), 0u);
    EXPECT_FALSE(isEnabled(g_pages.installSelect, IDC_NEXT));
    setChecked(g_pages.installSelect, kBox + 3, true);
    refreshSpaceDisplay();
    EXPECT_EQ(selectedInstallSize(), 40u);
    EXPECT_TRUE(isEnabled(g_pages.installSelect, IDC_NEXT));

    // A checked title counts for uninstall only while it is installed.
    for (int i = 0; i < kTitleCount; ++i) setChecked(g_pages.uninstallSelect, kBox + i, true);
    EXPECT_TRUE(titleCountsForUninstall(1));
    EXPECT_FALSE(titleCountsForUninstall(0));
    refreshSpaceDisplay();
    EXPECT_TRUE(isEnabled(g_pages.uninstallSelect, IDC_NEXT));
    setChecked(g_pages.uninstallSelect, kBox + 1, false);
    refreshSpaceDisplay();
    EXPECT_FALSE(isEnabled(g_pages.uninstallSelect, IDC_NEXT));

    for (int index : {-1, kTitleCount})
        EXPECT_FALSE(titleCountsForInstall(index) || titleCountsForUninstall(index)) << index;
}

TEST_F(Destination, ProductWithNoTitleLeftCanStillBeUninstalled)
{
    setText(installDir, "C:\\");
    refreshSpaceDisplay();
    EXPECT_FALSE(isEnabled(g_pages.uninstallSelect, IDC_NEXT)) << "nothing installed";

    // A run that ended before its titles leaves the product alone: the uninstall run removes it.
    ASSERT_TRUE(createKey(HKEY_CURRENT_USER, kProductKeyPath));
    refreshSpaceDisplay();
    EXPECT_TRUE(isEnabled(g_pages.uninstallSelect, IDC_NEXT));

    // With a title installed, the title decides: the product goes with the last title.
    install(3);
    refreshSpaceDisplay();
    EXPECT_FALSE(isEnabled(g_pages.uninstallSelect, IDC_NEXT));
    setChecked(g_pages.uninstallSelect, kBox + 3, true);
    refreshSpaceDisplay();
    EXPECT_TRUE(isEnabled(g_pages.uninstallSelect, IDC_NEXT));
}

// The data options act on the product's data, which goes only with the last title; the Uninstall
// button stays greyed while the choices would remove nothing.
TEST_F(Destination, UninstallConfirmOffersOnlyWhatTheChoicesCanRemove)
{
    install(0);
    install(3);
    ASSERT_TRUE(createKey(HKEY_CURRENT_USER, kProductKeyPath));
    const HWND page = g_pages.uninstallConfirm;
    struct Case {
        std::vector<int> titles, boxes;
        bool dataOptions, uninstall;
    };
    const Case cases[] = {
        {{0}, {IDC_DATA_GAME}, false, true},                    // Rainmere stays, so does the product
        {{0}, {IDC_DATA_SAVE, IDC_DATA_READ}, false, false},    // nothing these could take
        {{0, 3}, {IDC_DATA_SAVE}, true, false},                 // no title goes, nor the product
        {{0, 3}, {IDC_DATA_GAME}, true, true},
        {{0, 2, 3}, {IDC_DATA_ALL, IDC_DATA_GAME, IDC_DATA_SYSTEM, IDC_DATA_READ, IDC_DATA_SAVE}, true, true},
        {{0, 3}, {}, true, false},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < kTitleCount; ++i) setChecked(g_pages.uninstallSelect, kBox + i, false);
        for (int id : {IDC_DATA_ALL, IDC_DATA_GAME, IDC_DATA_SYSTEM, IDC_DATA_READ, IDC_DATA_SAVE}) setChecked(page, id, false);
        for (int title : c.titles) setChecked(g_pages.uninstallSelect, kBox + title, true);
        for (int id : c.boxes) setChecked(page, id, true);
        updateUninstallConfirm();
        const std::string which = "titles " + std::to_string(c.titles.size()) + ", boxes " + std::to_string(c.boxes.size());
        for (int id : {IDC_DATA_SYSTEM, IDC_DATA_READ, IDC_DATA_SAVE}) EXPECT_EQ(isEnabled(page, id), c.dataOptions) << which;
        EXPECT_TRUE(isEnabled(page, IDC_DATA_GAME) && isEnabled(page, IDC_DATA_ALL)) << which;
        EXPECT_EQ(isEnabled(page, IDC_UNINSTALL_RUN), c.uninstall) << which;
    }
}

// The choices of a run are what the pages show at Start: installed titles are not chosen again.
TEST_F(Destination, InstallChoicesAreReadOnceFromThePages)
{
    install(1);
    for (int i : {0, 1, 4}) setChecked(g_pages.installSelect, kBox + i, true);
    setChecked(g_pages.installSelect, IDC_SHORTCUT_DESKTOP, true);
    installType = 0;
    g_space = {1, 24, 0, 512};
    const InstallChoices run = readInstallChoices();
    const bool expected[kTitleCount] = {true, false, false, false, true};
    for (int i = 0; i < kTitleCount; ++i) EXPECT_EQ(run.titles[i], expected[i]) << i;
    EXPECT_TRUE(run.desktopShortcuts);
    EXPECT_FALSE(run.startMenuShortcuts);
    EXPECT_STREQ(run.installDir, "C:\\Program Files\\Varnis\\Hub\\");
    EXPECT_STREQ(run.installRoot, "C:\\Program Files\\");
    EXPECT_EQ(run.freeMb, 1048u);
    EXPECT_EQ(run.requiredMb, 512u);
}

TEST_F(Destination, TitleControlsFollowTheRegistry)
{
    install(0);
    install(3);
    setChecked(g_pages.installSelect, kBox + 1, true);     // chosen, not installed
    setChecked(g_pages.uninstallSelect, kBox, true);       // chosen, installed
    setChecked(g_pages.uninstallSelect, kBox + 2, true);   // chosen, not installed
    syncTitleControls();

    const bool installed[kTitleCount] = {true, false, false, true, false};
    const bool onInstallConfirm[kTitleCount] = {false, true, false, false, false};
    const bool onUninstallConfirm[kTitleCount] = {true, false, false, false, false};
    for (int i = 0; i < kTitleCount; ++i) {
        EXPECT_EQ(isEnabled(g_pages.installSelect, kBox + i), !installed[i]) << i;
        EXPECT_EQ(isEnabled(g_pages.uninstallSelect, kBox + i), installed[i]) << i;
        EXPECT_EQ(isEnabled(g_pages.installConfirm, kLine + i), onInstallConfirm[i]) << i;
        EXPECT_EQ(isEnabled(g_pages.uninstallConfirm, kLine + i), onUninstallConfirm[i]) << i;
    }

    for (int i = 0; i < kTitleCount; ++i) setChecked(g_pages.installSelect, kBox + i, false);
    for (int i = 0; i < kTitleCount; ++i) checkIfNotInstalled(i, kBox + i);
    for (int i = 0; i < kTitleCount; ++i) EXPECT_EQ(isChecked(g_pages.installSelect, kBox + i), !installed[i]) << i;
}

TEST_F(Destination, ChosenFolderBecomesTheRootWithItsProductFolder)
{
    struct { const char* chosen; const char* root; } cases[] = {
        {"C:\\", "C:\\"},
        {"C:\\Games", "C:\\Games\\"},
        {"C:\\Games\\", "C:\\Games\\"},
        {"C:\\ゲームソ", "C:\\ゲームソ\\"},   // ends in 0x83 0x5C: not a backslash
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(applyChosenRoot(g_pages.installConfirm, c.chosen)) << c.chosen;
        const std::string dir = std::string(c.root) + "Varnis\\Hub\\";
        EXPECT_STREQ(installRoot, c.root);
        EXPECT_STREQ(programFilesDir, c.root);
        EXPECT_EQ(std::string(installDir), dir);
        EXPECT_EQ(controlText(g_pages.installConfirm, IDC_DESTINATION), dir);
    }
    // Changing the destination refreshes the figures too.
    EXPECT_EQ(controlText(g_pages.installSelect, IDC_REQUIRED_SPACE), "0．000 ＧＢの空き容量が必要です。");
}

TEST_F(Destination, TooLongOrCancelledChoiceChangesNothing)
{
    SetDlgItemTextA(g_pages.installConfirm, IDC_DESTINATION, installDir);
    auto unchanged = [] {
        EXPECT_STREQ(installRoot, "C:\\Program Files\\");
        EXPECT_STREQ(programFilesDir, "C:\\Program Files\\");
        EXPECT_STREQ(installDir, "C:\\Program Files\\Varnis\\Hub\\");
        EXPECT_EQ(controlText(g_pages.installConfirm, IDC_DESTINATION), "C:\\Program Files\\Varnis\\Hub\\");
    };

    // 247 characters plus the backslash and "Varnis\Hub\" make 259: the longest that fits.
    const std::string longest = "C:\\" + std::string(244, 'g');
    const std::string tooLong = longest + "g";
    EXPECT_FALSE(applyChosenRoot(g_pages.installConfirm, tooLong.c_str()));
    unchanged();
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].owner, g_pages.installConfirm);
    EXPECT_NE(messages_.shown()[0].text.find("長すぎます"), std::string::npos);

    EXPECT_FALSE(applyChosenRoot(g_pages.installConfirm, ""));
    unchanged();

    // The folder browser, closed with Cancel.
    changeInstallRoot(g_pages.installConfirm);
    EXPECT_EQ(messages_.browsersClosed(), 1);
    unchanged();
    EXPECT_EQ(messages_.shown().size(), 1u);

    EXPECT_TRUE(applyChosenRoot(g_pages.installConfirm, longest.c_str()));
    EXPECT_EQ(std::strlen(installDir), kTextSize - 1);
}

}  // namespace

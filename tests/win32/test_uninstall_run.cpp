// The uninstall run against an install made by the install's own pieces in the test prefix:
// what goes, what stays, and which record and list it goes by.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "install/registry_record.h"
#include "install/shortcuts.h"
#include "support/shell_folder.h"
#include "install/title_install.h"
#include "install/run_state.h"
#include "install/uninstall_entry.h"
#include "menu/page_ids.h"
#include "install_test_helpers.h"
#include "uninstall/roll_back.h"
#include "uninstall/title_uninstall.h"
#include "uninstall/uninstall_run.h"
#include "tests/support/dialogs.h"
#include "tests/support/files.h"
#include "tests/support/registry.h"
#include "tests/support/shell.h"

using namespace test_support;

namespace {

const char kUninstallEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Varnis Grand Anthology";

// A file as the install or a game leaves it.
void writeData(const std::string& path) { ASSERT_TRUE(writeFile(path, "data")) << path; }

// The message boxes shown so far, as "caption|text".
std::vector<std::string> shownMessages()
{
    std::vector<std::string> texts;
    for (const ShownMessage& shown : MessageCatcher::shown()) texts.push_back(shown.caption + "|" + shown.text);
    return texts;
}

template <size_t N>
int fill(Text (&slots)[N], std::initializer_list<const char*> lines)
{
    int n = 0;
    for (const char* line : lines) std::strcpy(slots[n++], line);
    return n;
}

// A title as the lists give it, and the files its installation copies (relative to the root).
struct TestTitle {
    TitleRecord* record;
    std::vector<std::string> files;
};

void describeTitle(TitleRecord& t, const char* name, std::initializer_list<const char*> folders,
                   std::initializer_list<const char*> lines)
{
    std::memset(&t, 0, sizeof t);
    std::strcpy(t.name, name);
    wsprintfA(t.registryKey, "Software\\Varnis\\%s", name);
    t.folderCount = fill(t.folderList, folders);
    t.fileLineCount = fill(t.fileLines, lines);
    t.stringValueCount = fill(t.stringValues, {"SAVE_PATH,[インストールパス]save\\"});
    t.numberValueCount = fill(t.numberValues, {"VERSION,110"});
}

void describeShortcuts(TitleRecord& t, const char* name)
{
    char folder[64], line[260];
    wsprintfA(folder, "Varnis\\%s", name);
    t.menuFolderCount = fill(t.menuFolders, {"Varnis", folder});
    wsprintfA(line, "Varnis\\%s\\%s.exe,Varnis\\%s\\%s.lnk", name, name, name, name);
    t.menuShortcutCount = fill(t.menuShortcuts, {line});
    t.desktopShortcutCount = fill(t.desktopShortcuts, {line});
}

class UninstallRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = tempFolder() + "vga_uninstall_test\\";
        clearLeftovers();
        CreateDirectoryA(root_.c_str(), nullptr);
        run_ = install_test::runInto(root_);
        choices_ = {};
        boxes_ = {};
        voiceArcNoted = true;

        describeLists();
        describeTitles();
    }

    void TearDown() override { clearLeftovers(); }

    void clearLeftovers()
    {
        deleteTree(root_);
        deleteTree(shellFolder(CSIDL_PROGRAMS) + "Varnis");
        for (const char* link : {"Varnis Grand Anthology.lnk", "Lantern.lnk", "Brindle.lnk", "Harbor.lnk"})
            DeleteFileA((shellFolder(CSIDL_DESKTOP) + link).c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Varnis");
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallEntry);
    }

    void describeLists()
    {
        for (bool& read : g_installListRead) read = true;
        for (int i = 0; i < 2; ++i) {
            InstallTypeList& list = g_installLists[i];
            std::memset(&list, 0, sizeof list);
            std::strcpy(list.uninstallProgram, "vgan1_menu.exe");
            list.folderCount = fill(list.folderList, {"data\\", "save\\"});
            std::strcpy(list.saveDataPattern, "save\\*.sav");
            std::strcpy(list.readDataFile, "save\\read.dat");
            std::strcpy(list.systemDataFiles[0], "save\\system.dat");
            std::strcpy(list.archiveNames[0], "data\\script.arc");
        }
        g_installLists[0].entryCount =
            fill(g_installLists[0].entries, {"vgan1_menu.exe", "data\\script.arc", "CDCHANGE 2", "data\\movie.arc"});
        std::strcpy(g_installLists[0].systemDataFiles[1], "save\\config.dat");
        g_installLists[1].entryCount = fill(g_installLists[1].entries, {"vgan1_menu.exe", "data\\script.arc"});
        // A name that does not fit after the install folder: never deleted under a cut-short path.
        const size_t room = kTextSize - 1 - std::strlen(run_.installDir) - std::strlen("data\\");
        longName_ = "data\\" + std::string(room + 10, 'x');
        std::strcpy(g_installLists[0].entries[g_installLists[0].entryCount++], longName_.c_str());
    }

    void describeTitles()
    {
        for (TitleRecord& t : g_titles) std::memset(&t, 0, sizeof t);
        describeTitle(g_titles[0], "Lantern",
                      {"Varnis\\Lantern\\", "Varnis\\Lantern\\save\\", "Varnis\\Lantern\\表示\\"},
                      {"disc1", "setdir,Varnis\\Lantern\\", "file,lantern.exe", "setdir,Varnis\\Lantern\\表示\\",
                       "file,表紙.dat", "setdir", "setdir,Varnis\\Lantern\\", "disc2,omake.dat", "end",
                       "file,never.dat"});
        describeShortcuts(g_titles[0], "Lantern");
        lantern_ = {&g_titles[0], {"Varnis\\Lantern\\lantern.exe", "Varnis\\Lantern\\表示\\表紙.dat",
                                   "Varnis\\Lantern\\omake.dat"}};
        describeTitle(g_titles[1], "Brindle", {"Varnis\\Brindle\\"}, {"setdir,Varnis\\Brindle\\", "x,brindle.exe"});
        describeShortcuts(g_titles[1], "Brindle");
        brindle_ = {&g_titles[1], {"Varnis\\Brindle\\brindle.exe"}};
        describeTitle(g_titles[2], "Harbor", {"Varnis\\Harbor\\"}, {"setdir,Varnis\\Harbor\\", "f,harbor.exe"});
        describeShortcuts(g_titles[2], "Harbor");
        harbor_ = {&g_titles[2], {"Varnis\\Harbor\\harbor.exe"}};
        describeTitle(g_harborExtra[0], "HarborData", {"Varnis\\Harbor\\data\\"},
                      {"setdir,Varnis\\Harbor\\data\\", "f,harbor1.arc"});
        harborData_ = {&g_harborExtra[0], {"Varnis\\Harbor\\data\\harbor1.arc"}};
        describeTitle(g_harborExtra[1], "HarborSp", {"Varnis\\Harbor\\特典\\"},
                      {"disc2", "setdir,Varnis\\Harbor\\特典\\", "f,sp.arc", "f,特典表.dat"});
        harborSp_ = {&g_harborExtra[1], {"Varnis\\Harbor\\特典\\sp.arc", "Varnis\\Harbor\\特典\\特典表.dat"}};
    }

    // The product as the install run leaves it: record, folders, list files, shortcut, entry.
    void installProduct()
    {
        ASSERT_TRUE(writeProductRegistry(nullptr, run_));
        markProductCopyFinished();
        CreateDirectoryA((root_ + "Varnis\\").c_str(), nullptr);
        CreateDirectoryA(run_.installDir, nullptr);
        const InstallTypeList& list = installTypeList(run_.installType);
        for (int i = 0; i < list.folderCount; ++i) CreateDirectoryA(product(list.folderList[i]).c_str(), nullptr);
        for (int i = 0; i < list.entryCount; ++i) {
            const std::string path = product(list.entries[i]);
            if (std::strncmp(list.entries[i], "CDCHANGE", 8) != 0 && path.size() < kTextSize) writeData(path);
        }
        createSetupShortcut(run_);
        registerUninstallEntry(nullptr, run_.installDir, list.uninstallProgram);
    }

    // A title as installTitle leaves it: folders, the copied files, its key, its shortcuts.
    void install(const TestTitle& title)
    {
        createTitleFolders(nullptr, *title.record, root_.c_str());
        for (const std::string& file : title.files) writeData(root_ + file);
        ASSERT_TRUE(writeTitleRegistry(nullptr, *title.record, root_.c_str()));
        createTitleShortcuts(*title.record, root_.c_str(), true, true);
    }

    bool installedWhole(const TestTitle& title)
    {
        bool all = keyExists(HKEY_CURRENT_USER, title.record->registryKey);
        for (const std::string& file : title.files) all = all && pathExists(root_ + file);
        return all;
    }

    bool goneWhole(const TestTitle& title)
    {
        bool gone = !keyExists(HKEY_CURRENT_USER, title.record->registryKey);
        for (const std::string& file : title.files) gone = gone && !pathExists(root_ + file);
        for (int i = 0; i < title.record->folderCount; ++i) gone = gone && !pathExists(root_ + title.record->folderList[i]);
        return gone;
    }

    void selectTitles(std::initializer_list<int> titles)
    {
        for (int i : titles) choices_.titles[i] = true;
    }

    // The boxes of pageUninstallConfirm, as the player leaves them.
    struct DataBoxes {
        bool all, game, system, read, save;
    };
    void chooseData(const std::vector<int>& boxes)
    {
        for (int id : boxes) {
            if (id == IDC_DATA_ALL) boxes_.all = true;
            if (id == IDC_DATA_GAME) boxes_.game = true;
            if (id == IDC_DATA_SYSTEM) boxes_.system = true;
            if (id == IDC_DATA_READ) boxes_.read = true;
            if (id == IDC_DATA_SAVE) boxes_.save = true;
        }
    }

    void allData() { chooseData({IDC_DATA_ALL, IDC_DATA_GAME, IDC_DATA_SYSTEM, IDC_DATA_READ, IDC_DATA_SAVE}); }

    bool runUninstall()
    {
        choices_.data = dataChoicesFromBoxes(boxes_.all, boxes_.game, boxes_.system, boxes_.read, boxes_.save);
        return ::runUninstall(nullptr, choices_);
    }

    std::string product(const char* name) const { return std::string(run_.installDir) + name; }

    // What the games write as the product's data, in the files the list names.
    void writeProductData()
    {
        for (const char* name : {"save\\a.sav", "save\\B.SAV", "save\\read.dat", "save\\system.dat", "save\\config.dat"})
            writeData(product(name));
    }

    bool folderIsEmpty(const std::string& folder)
    {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
        int entries = 0;
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (std::strcmp(found.cFileName, ".") && std::strcmp(found.cFileName, "..")) {
                    ADD_FAILURE() << "left in " << folder << ": " << found.cFileName;
                    ++entries;
                }
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        return entries == 0;
    }

    MessageCatcher messages_;
    InstallChoices run_ = {};
    UninstallChoices choices_ = {};
    DataBoxes boxes_ = {};
    std::string root_, longName_;
    TestTitle lantern_, brindle_, harbor_, harborData_, harborSp_;
};

TEST_F(UninstallRun, OneTitleGoesWhileTheOthersAndTheProductStay)
{
    installProduct();
    install(lantern_);
    install(brindle_);
    writeProductData();
    selectTitles({0, 4});   // Mistvale is not installed: its box counts for nothing
    allData();

    EXPECT_TRUE(runUninstall());
    EXPECT_TRUE(goneWhole(lantern_));
    EXPECT_FALSE(pathExists(shellFolder(CSIDL_DESKTOP) + "Lantern.lnk"));
    EXPECT_FALSE(pathExists(shellFolder(CSIDL_PROGRAMS) + "Varnis\\Lantern"));

    EXPECT_TRUE(installedWhole(brindle_));
    EXPECT_TRUE(pathExists(shellFolder(CSIDL_DESKTOP) + "Brindle.lnk"));
    EXPECT_TRUE(pathExists(shellFolder(CSIDL_PROGRAMS) + "Varnis\\Brindle\\Brindle.lnk"));
    EXPECT_TRUE(pathExists(shellFolder(CSIDL_PROGRAMS) + "Varnis\\Hub\\Setup.lnk"));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kProductKeyPath));
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
    EXPECT_TRUE(pathExists(product("vgan1_menu.exe")));
    EXPECT_TRUE(pathExists(product("save\\a.sav"))) << "the product's data go only with the last title";
    EXPECT_TRUE(voiceArcNoted);
}

TEST_F(UninstallRun, AllTitlesWithAllDataLeaveNothingBehind)
{
    installProduct();
    for (const TestTitle* title : {&lantern_, &harbor_, &harborData_, &harborSp_}) install(*title);
    writeProductData();
    SetFileAttributesA(product("vgan1_menu.exe").c_str(), FILE_ATTRIBUTE_READONLY);   // an older repair's copy
    selectTitles({0, 1, 2, 3, 4});
    allData();

    EXPECT_TRUE(runUninstall());
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_TRUE(folderIsEmpty(root_));
    for (const TestTitle* title : {&lantern_, &harbor_, &harborData_, &harborSp_}) EXPECT_TRUE(goneWhole(*title));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "Software\\Varnis"));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
    EXPECT_FALSE(pathExists(shellFolder(CSIDL_PROGRAMS) + "Varnis"));
    for (const char* link : {"Varnis Grand Anthology.lnk", "Lantern.lnk", "Harbor.lnk"})
        EXPECT_FALSE(pathExists(shellFolder(CSIDL_DESKTOP) + link)) << link;
    EXPECT_FALSE(voiceArcNoted);
}

TEST_F(UninstallRun, DataOptionsWithoutGameDataTakeOnlyTheirFiles)
{
    installProduct();
    writeProductData();
    // Beside the save data: what the pattern does not name, and a folder it does name.
    writeData(product("save\\keep.savx"));
    writeData(product("save\\notes.txt"));
    CreateDirectoryA(product("save\\folder.sav").c_str(), nullptr);
    writeData(product("save\\folder.sav\\inner.sav"));
    chooseData({IDC_DATA_SAVE, IDC_DATA_READ});

    EXPECT_TRUE(runUninstall());
    EXPECT_FALSE(pathExists(product("save\\a.sav")));
    EXPECT_FALSE(pathExists(product("save\\B.SAV")));
    EXPECT_FALSE(pathExists(product("save\\read.dat")));
    for (const char* kept : {"save\\keep.savx", "save\\notes.txt", "save\\folder.sav\\inner.sav", "save\\system.dat",
                             "save\\config.dat", "vgan1_menu.exe", "data\\script.arc"})
        EXPECT_TRUE(pathExists(product(kept))) << kept;
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kProductKeyPath));
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
}

TEST_F(UninstallRun, DeleteAllDataAloneRemovesNothing)
{
    installProduct();
    writeProductData();
    chooseData({IDC_DATA_ALL});

    EXPECT_FALSE(runUninstall());
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_TRUE(pathExists(product("save\\a.sav")));
    EXPECT_TRUE(pathExists(product("vgan1_menu.exe")));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kProductKeyPath));
}

// A player's own files keep their folders, and every folder above them; a list name that does
// not fit after the install folder is skipped, not cut down to the name of another file.
TEST_F(UninstallRun, FilesTheInstallDidNotMakeStayWithTheirFolders)
{
    installProduct();
    install(lantern_);
    writeData(root_ + "Varnis\\Lantern\\save\\mine.sav");
    writeData(product("data\\mods.txt"));
    const std::string cutShort = product(longName_.c_str()).substr(0, kTextSize - 1);
    writeData(cutShort);
    selectTitles({0});
    allData();

    EXPECT_TRUE(runUninstall());
    EXPECT_TRUE(pathExists(root_ + "Varnis\\Lantern\\save\\mine.sav"));
    EXPECT_FALSE(pathExists(root_ + "Varnis\\Lantern\\lantern.exe"));
    EXPECT_FALSE(pathExists(root_ + "Varnis\\Lantern\\表示"));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, g_titles[0].registryKey));
    EXPECT_TRUE(pathExists(product("data\\mods.txt")));
    EXPECT_TRUE(pathExists(cutShort));
    EXPECT_FALSE(pathExists(product("vgan1_menu.exe")));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "Software\\Varnis"));
}

// Only a real last folder "Hub" is cut off to find the "Varnis" folder: in "表Hub" the byte
// before "Hub" is the second byte of 表, not a backslash.
TEST_F(UninstallRun, TheFolderAboveIsOnlyRemovedBelowARealHubFolder)
{
    std::strcpy(run_.installDir, (root_ + "表Hub\\").c_str());
    CreateDirectoryA((root_ + "表").c_str(), nullptr);
    installProduct();
    allData();

    EXPECT_TRUE(runUninstall());
    EXPECT_FALSE(pathExists(root_ + "表Hub"));
    EXPECT_TRUE(pathExists(root_ + "表"));
    EXPECT_EQ(hubParentLength("C:\\x\\Varnis\\hub\\"), std::strlen("C:\\x\\Varnis\\"));
    EXPECT_EQ(hubParentLength("C:\\x\\Varnis\\Hub"), 0u);
    EXPECT_EQ(hubParentLength("C:\\MyHub\\"), 0u);
    EXPECT_EQ(hubParentLength("Hub\\"), 0u);
}

// INSTALL_TYPE is stored as a number; an older menu's text form still counts. Either way the
// run uses the list the product was installed with, not the one the pages offer now.
TEST_F(UninstallRun, InstallTypeOfTheRecordChoosesTheList)
{
    for (bool asText : {false, true}) {
        run_.installType = 1;
        installProduct();
        HKEY key;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kProductKeyPath, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
        if (asText) RegSetValueExA(key, "INSTALL_TYPE", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
        RegCloseKey(key);
        writeData(product("data\\movie.arc"));   // only the full list names it
        chooseData({IDC_DATA_GAME});

        EXPECT_TRUE(runUninstall()) << asText;
        EXPECT_FALSE(pathExists(product("data\\script.arc"))) << asText;
        EXPECT_TRUE(pathExists(product("data\\movie.arc"))) << asText;
        DeleteFileA(product("data\\movie.arc").c_str());
    }
}

TEST_F(UninstallRun, AnUnreadableRecordIsReportedBeforeAnythingGoes)
{
    installProduct();
    writeProductData();
    allData();
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kProductKeyPath, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, "INSTALL_TYPE");
    RegCloseKey(key);
    EXPECT_FALSE(runUninstall());

    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kProductKeyPath, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegSetValueExA(key, "INSTALL_PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>("save\\"), 6);   // relative
    RegCloseKey(key);
    EXPECT_FALSE(runUninstall());

    RegDeleteTreeA(HKEY_CURRENT_USER, kProductKeyPath);
    EXPECT_FALSE(runUninstall());

    EXPECT_EQ(shownMessages(), (std::vector<std::string>{"ERROR|レジストリ情報がありません[INSTALL_TYPE]",
                                                 "ERROR|レジストリ情報がありません[INSTALL_PATH]",
                                                 "ERROR|レジストリ情報がありません"}));
    EXPECT_TRUE(pathExists(product("save\\a.sav")));
    EXPECT_TRUE(pathExists(product("vgan1_menu.exe")));
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
}

TEST_F(UninstallRun, AProductWhoseListCouldNotBeReadIsKeptWhole)
{
    installProduct();
    writeProductData();
    allData();
    g_installListRead[0] = false;   // the record's list (full install) was refused at start-up
    EXPECT_FALSE(runUninstall());
    g_installListRead[0] = true;

    EXPECT_EQ(shownMessages(), (std::vector<std::string>{"ERROR|instdata_f.txt を読み込めないため、アンインストールできません。"}));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kProductKeyPath)) << "the record stays for a later run";
    EXPECT_TRUE(pathExists(product("vgan1_menu.exe")));
    EXPECT_TRUE(pathExists(product("save\\a.sav")));
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));

    // With the list read, the same run removes everything.
    EXPECT_TRUE(runUninstall());
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kProductKeyPath));
    EXPECT_FALSE(pathExists(product("vgan1_menu.exe")));
}

// One title goes while another stays. The data options name the product's data, which goes only
// with the last title: alone they remove nothing, and the title's own saves stay in its folder.
TEST_F(UninstallRun, DataChoicesForOneTitleWhileAnotherStays)
{
    struct Case {
        const char* name;
        std::vector<int> boxes;
        bool titleGoes;
    };
    const Case cases[] = {
        {"no data option", {}, false},
        {"game data", {IDC_DATA_GAME}, true},
        {"system data", {IDC_DATA_SYSTEM}, false},
        {"already-read data", {IDC_DATA_READ}, false},
        {"save data", {IDC_DATA_SAVE}, false},
        {"all data", {IDC_DATA_ALL, IDC_DATA_GAME, IDC_DATA_SYSTEM, IDC_DATA_READ, IDC_DATA_SAVE}, true},
    };
    installProduct();
    install(brindle_);
    writeProductData();
    for (const Case& c : cases) {
        install(lantern_);
        const std::string titleSave = root_ + "Varnis\\Lantern\\save\\01.sav";
        writeData(titleSave);
        choices_ = {};
        boxes_ = {};
        selectTitles({0});
        chooseData(c.boxes);

        runUninstall();
        EXPECT_EQ(keyExists(HKEY_CURRENT_USER, lantern_.record->registryKey), !c.titleGoes) << c.name;
        EXPECT_EQ(pathExists(root_ + lantern_.files[0]), !c.titleGoes) << c.name;
        EXPECT_TRUE(pathExists(titleSave)) << c.name << ": a title's own saves are named by no list";
        EXPECT_TRUE(installedWhole(brindle_)) << c.name;
        for (const char* name : {"save\\a.sav", "save\\read.dat", "save\\system.dat", "vgan1_menu.exe"})
            EXPECT_TRUE(pathExists(product(name))) << c.name << ": " << name;
        EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kProductKeyPath)) << c.name;
    }
    EXPECT_TRUE(messages_.shown().empty());
}

// A run that ended from outside while it copied Lantern left some of its files, its folders and
// the mark, but no key: they go before anything else, and the installed Brindle stays.
TEST_F(UninstallRun, ATitleLeftUnfinishedByACrashIsRemovedFirst)
{
    installProduct();
    install(brindle_);
    ASSERT_TRUE(markTitleUnfinished(*lantern_.record, root_.c_str()));
    createTitleFolders(nullptr, *lantern_.record, root_.c_str());
    writeData(root_ + lantern_.files[0]);

    removeUnfinishedTitles();
    EXPECT_TRUE(goneWhole(lantern_));
    Text root = {};
    EXPECT_FALSE(unfinishedTitleRoot(*lantern_.record, root)) << "the mark goes with the title";
    EXPECT_TRUE(installedWhole(brindle_));
    EXPECT_TRUE(pathExists(product("vgan1_menu.exe")));
}

// Cancelling a run that added Lantern to an installed product takes Lantern away and leaves the
// product, Brindle and every player file; cancelling the first run of all takes the product too,
// but still no player data.
TEST_F(UninstallRun, RollBackRemovesOnlyWhatTheRunAdded)
{
    installProduct();
    install(brindle_);
    writeProductData();
    RunOrigin origin = {};
    origin.productInstalled = true;
    origin.titleInstalled[1] = true;
    run_.titles[0] = run_.titles[1] = true;   // Brindle's box was left checked as well
    ASSERT_TRUE(markTitleUnfinished(*lantern_.record, root_.c_str()));
    install(lantern_);   // copied and registered, then cancelled

    undoInstallRun(run_, origin, 0);
    EXPECT_TRUE(goneWhole(lantern_));
    Text root = {};
    EXPECT_FALSE(unfinishedTitleRoot(*lantern_.record, root));
    EXPECT_TRUE(installedWhole(brindle_));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kProductKeyPath));
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
    for (const char* name : {"vgan1_menu.exe", "save\\a.sav", "save\\read.dat", "save\\system.dat"})
        EXPECT_TRUE(pathExists(product(name))) << name;

    origin = {};
    undoInstallRun(run_, origin, kListEntries);
    EXPECT_TRUE(goneWhole(brindle_));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kProductKeyPath));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
    EXPECT_FALSE(pathExists(shellFolder(CSIDL_PROGRAMS) + "Varnis\\Hub\\Setup.lnk"));
    EXPECT_FALSE(pathExists(product("vgan1_menu.exe")));
    EXPECT_FALSE(pathExists(product("data")));
    for (const char* name : {"save\\a.sav", "save\\read.dat", "save\\system.dat"})
        EXPECT_TRUE(pathExists(product(name))) << name << ": a roll-back deletes no player data";
    EXPECT_TRUE(messages_.shown().empty());
}

TEST(SaveDataPattern, MatchesLongNamesOnly)
{
    EXPECT_TRUE(matchesPattern("*.sav", "a.sav"));
    EXPECT_TRUE(matchesPattern("*.sav", "B.SAV"));
    EXPECT_TRUE(matchesPattern("セーブ?.sav", "セーブ表.sav"));
    EXPECT_TRUE(matchesPattern("*.*", "noextension"));
    EXPECT_FALSE(matchesPattern("*.sav", "notes.savx"));
    EXPECT_FALSE(matchesPattern("*.sav", "a.sav.bak"));
    EXPECT_FALSE(matchesPattern("s?.sav", "s表x.sav"));
}

}  // namespace

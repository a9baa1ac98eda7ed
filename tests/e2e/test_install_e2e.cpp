// End-to-end tests of the install and uninstall runs: the real menu started from sample disc 1
// in drive Q:, worked like a player who swaps the discs whenever the menu asks, and checked
// against what lands in the prefix's files, registry and shell folders.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "menu/page_ids.h"
#include "tests/e2e/driver.h"

using namespace e2e;

namespace {

const DWORD kStartTimeoutMs = 60000;
const DWORD kExitTimeoutMs = 30000;
const DWORD kRunTimeoutMs = 180000;   // a whole install run with its disc swaps

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Varnis Grand Anthology";
const char kProductKey[] = "Software\\Varnis\\SET-V";
const char kDiscRequestHead[] = "「インストールdisc";
const char kDiscRequestTail[] = "」に入れ替えてください";
const char kDirectXCaption[] = "DirectXのインストール確認";
const char kUninstallDone[] = "ゲームの削除が終了しました";
const char kDesktopLink[] = "Varnis Grand Anthology.lnk";

// A file the install copies: where it lies on its sample disc and where it goes, relative to the
// product folder (list entries) or to the install root (title files).
struct CopiedFile {
    int disc;
    const char* onDisc;
    const char* installed;
};

// The entries of the full install list.
const CopiedFile kListFiles[] = {
    {1, "vgan1_menu.exe", "vgan1_menu.exe"},
    {1, "data\\script.arc", "data\\script.arc"},
    {1, "data\\pict.arc", "data\\pict.arc"},
    {1, "data\\bgm.arc", "data\\bgm.arc"},
    {1, "data\\se.arc", "data\\se.arc"},
    {1, "data\\voice.arc", "data\\voice.arc"},
    {1, "data\\voice2.arc", "data\\voice2.arc"},
    {1, "ソフト資料\\表紙.bmp", "ソフト資料\\表紙.bmp"},
    {2, "data\\movie.arc", "data\\movie.arc"},
    {2, "ソフト資料\\ソフト紹介.txt", "ソフト資料\\ソフト紹介.txt"},
};

// The files of the five titles and of Harbor's two extra lists.
const CopiedFile kTitleFiles[] = {
    {1, "lantern\\lantern.exe", "Varnis\\Lantern\\lantern.exe"},
    {1, "lantern\\lantern.dat", "Varnis\\Lantern\\lantern.dat"},
    {1, "lantern\\ソース一覧.txt", "Varnis\\Lantern\\ソース一覧.txt"},
    {1, "lantern\\表紙.dat", "Varnis\\Lantern\\表示\\表紙.dat"},
    {2, "lantern\\lantern_omake.dat", "Varnis\\Lantern\\lantern_omake.dat"},
    {1, "brindle\\brindle.exe", "Varnis\\Brindle\\brindle.exe"},
    {1, "brindle\\brindle.dat", "Varnis\\Brindle\\brindle.dat"},
    {1, "brindle\\brindle_bgm.dat", "Varnis\\Brindle\\brindle_bgm.dat"},
    {1, "harbor\\harbor.exe", "Varnis\\Harbor\\harbor.exe"},
    {1, "harbor\\harbormenu.dat", "Varnis\\Harbor\\harbormenu.dat"},
    {1, "harbor\\harbor1.arc", "Varnis\\Harbor\\data\\harbor1.arc"},
    {1, "harbor\\harbor2.arc", "Varnis\\Harbor\\data\\harbor2.arc"},
    {2, "harborsp\\sp.arc", "Varnis\\Harbor\\特典\\sp.arc"},
    {2, "harborsp\\特典表.dat", "Varnis\\Harbor\\特典\\特典表.dat"},
    {1, "rainmere\\rainmere.exe", "Varnis\\Rainmere\\rainmere.exe"},
    {1, "rainmere\\rainmere.dat", "Varnis\\Rainmere\\rainmere.dat"},
    {2, "mistvale\\mistvale.exe", "Varnis\\Mistvale\\mistvale.exe"},
    {2, "mistvale\\mistvale.dat", "Varnis\\Mistvale\\mistvale.dat"},
    {2, "mistvale\\霧表.dat", "Varnis\\Mistvale\\霧表.dat"},
};

// Title keys beyond the five of kSampleTitles: Harbor's extra lists.
const char* const kHarborExtraKeys[] = {"Software\\Varnis\\HarborData", "Software\\Varnis\\HarborSP"};

// Desktop shortcuts of the titles (the desktop takes only the file name of the list's link).
const char* const kTitleLinks[] = {"Lantern.lnk", "Brindle.lnk", "Harbor.lnk", "Rainmere.lnk", "Mistvale.lnk"};

// ---- What of the product exists: files, keys, shortcuts, as sorted text lines

void listTree(const std::string& folder, const std::string& prefix, std::vector<std::string>& lines)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            lines.push_back(prefix + name + "\\");
            listTree(folder + name + "\\", prefix + name + "\\", lines);
        } else {
            lines.push_back(prefix + name + " " + std::to_string(entry.nFileSizeLow));
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

void listRegistry(HKEY root, const std::string& path, const std::string& prefix, std::vector<std::string>& lines)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    lines.push_back(prefix + path);
    for (DWORD i = 0;; ++i) {
        char name[512] = {};
        BYTE data[2048] = {};
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
        std::string line = prefix + path + " : " + name + " type " + std::to_string(type) + " =";
        char hex[4];
        for (DWORD b = 0; b < dataSize; ++b) {
            std::snprintf(hex, sizeof hex, " %02x", data[b]);
            line += hex;
        }
        lines.push_back(line);
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        char name[512] = {};
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subkeys.push_back(name);
    }
    RegCloseKey(key);
    for (const std::string& subkey : subkeys) listRegistry(root, path + "\\" + subkey, prefix, lines);
}

std::vector<std::string> productSnapshot()
{
    std::vector<std::string> lines;
    listTree(programFilesFolder() + "Varnis\\", "files: Varnis\\", lines);
    listTree(shellFolder(CSIDL_PROGRAMS) + "Varnis\\", "start menu: Varnis\\", lines);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((shellFolder(CSIDL_DESKTOPDIRECTORY) + "*.lnk").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do lines.push_back(std::string("desktop: ") + entry.cFileName);
        while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    if (GetFileAttributesA((programFilesFolder() + "Varnis").c_str()) != INVALID_FILE_ATTRIBUTES)
        lines.push_back("files: Varnis");
    listRegistry(HKEY_CURRENT_USER, "Software\\Varnis", "HKCU\\", lines);
    listRegistry(HKEY_LOCAL_MACHINE, kUninstallKey, "HKLM\\", lines);
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += "  " + line + "\n";
    return text;
}

// Lines of `after` that `before` does not have, and the other way round.
std::string snapshotDifference(const std::vector<std::string>& before, const std::vector<std::string>& after)
{
    std::vector<std::string> added, removed;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(removed));
    return "left behind:\n" + joinLines(added) + "gone:\n" + joinLines(removed);
}

// ---- Registry reads

bool readValue(HKEY root, const char* path, const char* name, DWORD* type, std::string* data)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    BYTE buffer[1024] = {};
    DWORD size = sizeof buffer;
    const LONG result = RegQueryValueExA(key, name, nullptr, type, buffer, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return false;
    data->assign(reinterpret_cast<const char*>(buffer), size);
    return true;
}

bool keyExists(HKEY root, const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

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

// ---- The recording stand-in for the text editor

std::string ownFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return folderOf(path);
}

// The value of a key (its default value when name is null) as text; false when it is not there.
bool readText(HKEY root, const std::string& keyPath, const char* name, DWORD* type, std::string* text)
{
    std::string data;
    if (!readValue(root, keyPath.c_str(), name, type, &data)) return false;
    *text = data.c_str();
    return true;
}

bool writeText(HKEY root, const std::string& keyPath, const char* name, DWORD type, const std::string& text)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                       static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// A registry value changed for the length of a test and put back afterwards.
class BorrowedValue {
public:
    bool set(HKEY root, const std::string& keyPath, const char* name, DWORD type, const std::string& text)
    {
        root_ = root;
        keyPath_ = keyPath;
        name_ = name ? name : "";
        named_ = name != nullptr;
        had_ = readText(root, keyPath, name, &oldType_, &old_);
        return writeText(root, keyPath, name, type, text);
    }
    ~BorrowedValue()
    {
        if (!root_) return;
        const char* name = named_ ? name_.c_str() : nullptr;
        if (had_) {
            writeText(root_, keyPath_, name, oldType_, old_);
        } else {
            HKEY key = nullptr;
            if (RegOpenKeyExA(root_, keyPath_.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
                RegDeleteValueA(key, name);
                RegCloseKey(key);
            }
        }
    }

private:
    HKEY root_ = nullptr;
    std::string keyPath_, name_, old_;
    bool named_ = false, had_ = false;
    DWORD oldType_ = REG_SZ;
};

// HKEY_CLASSES_ROOT of the prefix is the machine's class registry: the per-user classes do not
// take precedence over it here.
const char kClasses[] = "Software\\Classes\\";
const char kTextProgId[] = "VgaE2E.RecordedText";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

class InstallE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        killLeftovers();
        resetRegistry();
        removeProduct();
        ASSERT_TRUE(ejectDisc('R')) << "drives folder: " << drivesFolder();
        ASSERT_TRUE(insertDisc('Q', 1)) << "disc 1 does not go into Q: (drives folder: " << drivesFolder() << ")";
        ASSERT_TRUE(fileExists("Q:\\vgan1_menu.exe"));

        // The prefix's desktop is the host's home folder, which every prefix of the machine shares:
        // the tests give it a desktop of its own, so that other runs' shortcuts do not mix in.
        desktop_ = tempFolder() + "vga_e2e_desktop";
        deleteTree(desktop_);
        ASSERT_TRUE(makeFolders(desktop_));
        ASSERT_TRUE(desktopFolder_.set(HKEY_CURRENT_USER, kShellFolders, "Desktop", REG_EXPAND_SZ, desktop_));
        ASSERT_EQ(shellFolder(CSIDL_DESKTOPDIRECTORY), desktop_ + "\\");

        // Text documents open in the recording stand-in: the readme the install opens is noted
        // and no editor window is left behind.
        opened_ = tempFolder() + "vga_e2e_opened.txt";
        DeleteFileA(opened_.c_str());
        const std::string recorder = ownFolder() + "vga_e2e_record.exe";
        ASSERT_TRUE(fileExists(recorder)) << recorder;
        ASSERT_TRUE(writeText(HKEY_LOCAL_MACHINE, std::string(kClasses) + kTextProgId + "\\shell\\open\\command", nullptr,
                              REG_SZ, "\"" + recorder + "\" \"" + opened_ + "\" \"%1\""));
        ASSERT_TRUE(textClass_.set(HKEY_LOCAL_MACHINE, std::string(kClasses) + ".txt", nullptr, REG_SZ, kTextProgId));
        before_ = productSnapshot();
    }

    void TearDown() override
    {
        killLeftovers();
        killProcesses({"notepad.exe", "vga_e2e_record.exe"});
        resetRegistry();
        removeProduct();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + kTextProgId).c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + kTextProgId).c_str());
        DeleteFileA(opened_.c_str());
        if (!desktop_.empty()) deleteTree(desktop_);
        ejectDisc('Q');
        ejectDisc('R');
    }

    // Whatever an install may have left: the product and title folders, the shortcuts.
    static void removeProduct()
    {
        deleteTree(programFilesFolder() + "Varnis");
        deleteTree(shellFolder(CSIDL_PROGRAMS) + "Varnis");
        const std::string desktop = shellFolder(CSIDL_DESKTOPDIRECTORY);
        DeleteFileA((desktop + kDesktopLink).c_str());
        for (const char* link : kTitleLinks) DeleteFileA((desktop + link).c_str());
    }

    static std::string installDir() { return programFilesFolder() + "Varnis\\Hub\\"; }

    HWND startMenu(Page expected)
    {
        if (!menu_.start()) {
            ADD_FAILURE() << "Q:\\vgan1_menu.exe does not start, error " << GetLastError();
            return nullptr;
        }
        EXPECT_EQ(menu_.waitStartedExit(kStartTimeoutMs), 0) << "the instance started from the disc";
        HWND page = menu_.waitForPage(expected, kStartTimeoutMs);
        EXPECT_TRUE(page) << "no " << pageName(expected) << " page; message box: " << messageBoxText(findMessageBox());
        return page;
    }

    HWND go(HWND page, int controlId, Page next)
    {
        if (!click(page, controlId)) {
            ADD_FAILURE() << "control " << controlId << " cannot be pressed on " << pageName(identifyPage(page));
            return nullptr;
        }
        HWND shown = menu_.waitForPage(next, 10000);
        EXPECT_TRUE(shown) << "after " << controlId << " on " << pageName(identifyPage(page)) << " expected "
                           << pageName(next);
        return shown;
    }

    // From the first page of a fresh start to a running install of every title: the progress page.
    HWND startFullInstall()
    {
        HWND welcome = startMenu(Page::Welcome);
        if (!welcome) return nullptr;
        HWND select = go(welcome, IDC_INSTALL, Page::InstallSelect);
        if (!select) return nullptr;
        for (int i = 0; i < 5; ++i) EXPECT_TRUE(isChecked(select, IDC_TITLE_BOX_BASE + i)) << "title " << i;
        HWND confirm = go(select, IDC_NEXT, Page::InstallConfirm);
        if (!confirm) return nullptr;
        EXPECT_EQ(controlText(confirm, IDC_DESTINATION), installDir());
        if (!postClick(confirm, IDC_START_INSTALL)) {
            ADD_FAILURE() << "インストール開始 cannot be pressed";
            return nullptr;
        }
        HWND progress = menu_.waitForPage(Page::Progress, 10000);
        EXPECT_TRUE(progress) << "no progress page; message box: " << messageBoxText(findMessageBox());
        return progress;
    }

    // What happened while the run went on by itself.
    struct RunLog {
        std::vector<int> discRequests;          // disc numbers, in order
        std::vector<std::string> needlessRequests;   // asked for the disc that was in the drive
        int directXQuestions = 0;
        std::vector<std::string> otherMessages;
    };

    // Follows a running install like a player until `until` is the one visible page of the menu
    // and no message box is up: a disc request is answered by putting that disc into Q: and OK
    // (or by Cancel, for the request number cancelAt, counted from 1), the DirectX question by
    // Cancel, anything else by OK and noted.
    bool followRun(Page until, RunLog& log, int cancelAt = 0)
    {
        const double end = nowMs() + kRunTimeoutMs;
        while (nowMs() < end) {
            HWND box = findMessageBox(menu_.menuPid());
            if (box) {
                const std::string text = messageBoxText(box);
                const std::string caption = windowText(box);
                int answer = IDOK;
                const size_t head = sizeof kDiscRequestHead - 1;
                if (text.compare(0, head, kDiscRequestHead) == 0 && text.size() > head && text[head] >= '1' &&
                    text[head] <= '2' && text.substr(head + 1) == kDiscRequestTail) {
                    EXPECT_EQ(caption, "インストール") << text;
                    const int disc = text[head] - '0';
                    log.discRequests.push_back(disc);
                    if (driveOfDisc(disc))
                        log.needlessRequests.push_back("request " + std::to_string(log.discRequests.size()) +
                                                       " for disc " + std::to_string(disc));
                    if (static_cast<int>(log.discRequests.size()) == cancelAt) {
                        answer = IDCANCEL;
                    } else if (!insertDisc('Q', disc)) {
                        ADD_FAILURE() << "disc " << disc << " does not go into Q:";
                        return false;
                    }
                } else if (caption == kDirectXCaption) {
                    ++log.directXQuestions;
                    answer = IDCANCEL;
                } else {
                    log.otherMessages.push_back(caption + ": " + text);
                }
                if (!answerMessageBox(box, answer)) {
                    ADD_FAILURE() << "cannot answer \"" << text << "\" with " << answer;
                    return false;
                }
                if (!waitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 15000)) {
                    ADD_FAILURE() << "message box \"" << text << "\" stays after the answer";
                    return false;
                }
                continue;
            }
            const std::vector<HWND> pages = visiblePages(menu_.menuPid());
            if (pages.size() == 1 && identifyPage(pages[0]) == until && !findMessageBox(menu_.menuPid())) return true;
            if (menu_.waitExit(0) >= 0) {
                ADD_FAILURE() << "the menu ended during the run";
                return false;
            }
            Sleep(30);
        }
        Page which = Page::None;
        menu_.visiblePage(&which);
        ADD_FAILURE() << "no " << pageName(until) << " page after the run; visible: " << pageName(which);
        return false;
    }

    // A complete install of every title, disc requests answered, DirectX declined: pageMain.
    HWND installEverything(RunLog& log)
    {
        if (!startFullInstall()) return nullptr;
        if (!followRun(Page::Main, log)) return nullptr;
        return menu_.visiblePage();
    }

    void expectSameAsBefore(const char* when)
    {
        const std::vector<std::string> after = productSnapshot();
        EXPECT_EQ(after, before_) << when << "\n" << snapshotDifference(before_, after);
    }

    // Put back by their destructors after TearDown, which still needs the private desktop.
    BorrowedValue desktopFolder_, textClass_;
    std::string desktop_;
    MenuRun menu_;
    std::vector<std::string> before_;   // the product snapshot before the test
    std::string opened_;                // where the stand-in notes the documents it opens
};

void expectSameFile(const std::string& original, const std::string& copy)
{
    ASSERT_TRUE(fileExists(original)) << original;
    ASSERT_TRUE(fileExists(copy)) << copy << " was not installed";
    const std::string a = readFile(original), b = readFile(copy);
    EXPECT_EQ(a.size(), b.size()) << copy;
    EXPECT_TRUE(a == b) << copy << " differs from " << original;
}

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
    for (const CopiedFile& file : kListFiles)
        expectSameFile(discFolder(file.disc) + file.onDisc, installDir() + file.installed);
    for (const CopiedFile& file : kTitleFiles) expectSameFile(discFolder(file.disc) + file.onDisc, root + file.installed);
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
    EXPECT_EQ(shortcutTarget(programs + "Varnis\\Hub\\Setup.lnk"), menuProgram);
    EXPECT_EQ(shortcutTarget(desktop + kDesktopLink), menuProgram);
    for (int i = 0; i < 5; ++i) {
        const SampleTitle& title = kSampleTitles[i];
        const std::string program = root + title.programFile;
        EXPECT_EQ(shortcutTarget(desktop + kTitleLinks[i]), program) << kTitleLinks[i];
        EXPECT_EQ(shortcutTarget(programs + folderOf(title.programFile) + kTitleLinks[i]), program) << kTitleLinks[i];
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
    HWND select = go(main, IDC_UNINSTALL, Page::UninstallSelect);
    ASSERT_TRUE(select);
    ASSERT_TRUE(click(select, IDC_ALL_TITLES));
    HWND confirm = go(select, IDC_NEXT, Page::UninstallConfirm);
    ASSERT_TRUE(confirm);
    ASSERT_TRUE(click(confirm, IDC_DATA_ALL));
    ASSERT_TRUE(postClick(confirm, IDC_UNINSTALL_RUN));

    HWND box = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (box = findMessageBox(menu_.menuPid())) != nullptr; }, kRunTimeoutMs))
        << "no completion message";
    EXPECT_EQ(messageBoxText(box), kUninstallDone);
    ASSERT_TRUE(answerMessageBox(box, IDOK));
    EXPECT_EQ(menu_.waitExit(kExitTimeoutMs), 0) << "the menu ends after an uninstall";

    EXPECT_FALSE(GetFileAttributesA((root + "Varnis").c_str()) != INVALID_FILE_ATTRIBUTES)
        << "the Varnis folder under Program Files is left";
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "Software\\Varnis"));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(fileExists(shellFolder(CSIDL_DESKTOPDIRECTORY) + kDesktopLink));
    EXPECT_FALSE(fileExists(shellFolder(CSIDL_PROGRAMS) + "Varnis\\Hub\\Setup.lnk"));
    expectSameAsBefore("after the uninstall");
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

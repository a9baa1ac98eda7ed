// The install fixture of the end-to-end tests (see install_fixture.h).
#include "tests/e2e/install_fixture.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>

#include "menu/page_ids.h"

namespace e2e {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Varnis Grand Anthology";
const char kProductKey[] = "Software\\Varnis\\SET-V";
const char kDiscRequestHead[] = "「インストールdisc";
const char kDiscRequestTail[] = "」に入れ替えてください";
const char kDirectXCaption[] = "DirectXのインストール確認";
const char kUninstallDone[] = "ゲームの削除が終了しました";
const char kDesktopLink[] = "Varnis Grand Anthology.lnk";
const char* const kTitleLinks[5] = {"Lantern.lnk", "Brindle.lnk", "Harbor.lnk", "Rainmere.lnk", "Mistvale.lnk"};

const CopiedFile kListFiles[11] = {
    {1, "vgan1_menu.exe", "vgan1_menu.exe"},
    {1, "instdata.arc", "instdata.arc"},
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

const CopiedFile kTitleFiles[19] = {
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

void expectSameFile(const std::string& original, const std::string& copy)
{
    ASSERT_TRUE(fileExists(original)) << original;
    ASSERT_TRUE(fileExists(copy)) << copy << " was not installed";
    const std::string a = readFile(original), b = readFile(copy);
    EXPECT_EQ(a.size(), b.size()) << copy;
    EXPECT_TRUE(a == b) << copy << " differs from " << original;
}

bool writeBigFile(const std::string& path, DWORD size)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::vector<char> block(1 << 20);
    bool ok = true;
    for (DWORD at = 0; ok && at < size; at += static_cast<DWORD>(block.size())) {
        for (size_t i = 0; i < block.size(); i += 8192)
            std::snprintf(&block[i], 32, "chunk %lu ", static_cast<unsigned long>((at + i) / 8192));
        const DWORD part = std::min<DWORD>(size - at, static_cast<DWORD>(block.size()));
        DWORD written = 0;
        ok = WriteFile(file, block.data(), part, &written, nullptr) && written == part;
    }
    return CloseHandle(file) && ok;
}

namespace {

// FNV-1a of a file's bytes, in hex: two snapshots tell a file changed in place from one left as it was.
std::string contentHash(const std::string& path)
{
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char byte : readFile(path)) hash = (hash ^ byte) * 1099511628211ull;
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

void listTree(const std::string& folder, const std::string& prefix, std::vector<std::string>& lines,
              Links links = Links::Bytes)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const bool link = name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".lnk") == 0;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            lines.push_back(prefix + name + "\\");
            listTree(folder + name + "\\", prefix + name + "\\", lines, links);
        } else if (link && links == Links::Targets) {
            lines.push_back(prefix + name + " -> " + readShortcut(folder + name).target);
        } else {
            lines.push_back(prefix + name + " " + std::to_string(entry.nFileSizeLow) + " " +
                            contentHash(folder + name));
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

}  // namespace

std::vector<std::string> productSnapshot(Links links, const std::string& root)
{
    const std::string files = root.empty() ? programFilesFolder() : root;
    std::vector<std::string> lines;
    listTree(files + "Varnis\\", "files: Varnis\\", lines);
    listTree(shellFolder(CSIDL_PROGRAMS) + "Varnis\\", "start menu: Varnis\\", lines, links);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((shellFolder(CSIDL_DESKTOPDIRECTORY) + "*.lnk").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do lines.push_back(std::string("desktop: ") + entry.cFileName);
        while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    if (GetFileAttributesA((files + "Varnis").c_str()) != INVALID_FILE_ATTRIBUTES)
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

// ---- BorrowedValue

bool BorrowedValue::set(HKEY root, const std::string& keyPath, const char* name, DWORD type, const std::string& text)
{
    root_ = root;
    keyPath_ = keyPath;
    name_ = name ? name : "";
    named_ = name != nullptr;
    had_ = readText(root, keyPath, name, &oldType_, &old_);
    return writeText(root, keyPath, name, type, text);
}

BorrowedValue::~BorrowedValue()
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

// ---- InstallFixture

namespace {
// HKEY_CLASSES_ROOT of the prefix is the machine's class registry: the per-user classes do not
// take precedence over it here.
const char kClasses[] = "Software\\Classes\\";
const char kTextProgId[] = "VgaE2E.RecordedText";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

}  // namespace

void InstallFixture::SetUp()
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
    log_ = tempFolder() + "vga e2e ソ表.log";
    DeleteFileA(log_.c_str());
    before_ = productSnapshot();
}

void InstallFixture::TearDown()
{
    killLeftovers();
    for (auto edit = discEdits_.rbegin(); edit != discEdits_.rend(); ++edit) {
        const std::string where = discFolder(edit->disc) + edit->relative;
        SetFileAttributesA(where.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(where.c_str());
        if (!edit->saved.empty() && !MoveFileExA(edit->saved.c_str(), where.c_str(), 0))
            ADD_FAILURE() << "the staged disc " << edit->disc << " lacks " << edit->relative << " now";
    }
    discEdits_.clear();
    killProcesses({"notepad.exe", "vga_e2e_record.exe"});
    resetRegistry();
    removeProduct();
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + kTextProgId).c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + kTextProgId).c_str());
    DeleteFileA(opened_.c_str());
    if (!log_.empty()) DeleteFileA(log_.c_str());
    if (!desktop_.empty()) deleteTree(desktop_);
    ejectDisc('Q');
    ejectDisc('R');
}

// Whatever an install may have left: the product and title folders, the shortcuts.
void InstallFixture::removeProduct()
{
    deleteTree(programFilesFolder() + "Varnis");
    deleteTree(shellFolder(CSIDL_PROGRAMS) + "Varnis");
    const std::string desktop = shellFolder(CSIDL_DESKTOPDIRECTORY);
    DeleteFileA((desktop + kDesktopLink).c_str());
    for (const char* link : kTitleLinks) DeleteFileA((desktop + link).c_str());
}

namespace {

std::string visiblePageName()
{
    Page which = Page::None;
    findVisiblePage(0, &which);
    return pageName(which);
}

}  // namespace

HWND MenuSteps::startMenu(Page expected, const std::vector<char>& environment)
{
    if (!menu_.start(environment)) {
        ADD_FAILURE() << "Q:\\vgan1_menu.exe does not start, error " << GetLastError();
        return nullptr;
    }
    EXPECT_EQ(menu_.waitStartedExit(kStartTimeoutMs), 0) << "the instance started from the disc";
    HWND page = menu_.waitForPage(expected, kStartTimeoutMs);
    EXPECT_TRUE(page) << "no " << pageName(expected) << " page but " << visiblePageName()
                      << "; message box: " << messageBoxText(findMessageBox());
    return page;
}

HWND MenuSteps::go(HWND page, int controlId, Page next)
{
    if (!click(page, controlId)) {
        ADD_FAILURE() << "control " << controlId << " cannot be pressed on " << pageName(identifyPage(page));
        return nullptr;
    }
    HWND shown = menu_.waitForPage(next, 10000);
    EXPECT_TRUE(shown) << "after " << controlId << " on " << pageName(identifyPage(page)) << " expected "
                       << pageName(next) << ", visible: " << visiblePageName();
    EXPECT_EQ(visiblePages(menu_.menuPid()).size(), 1u) << "exactly one page is visible at a time";
    return shown;
}

HWND MenuSteps::openInstallConfirm()
{
    HWND welcome = startMenu(Page::Welcome);
    if (!welcome) return nullptr;
    HWND select = go(welcome, IDC_INSTALL, Page::InstallSelect);
    if (!select) return nullptr;
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(isChecked(select, IDC_TITLE_BOX_BASE + i)) << "title " << i;
    return go(select, IDC_NEXT, Page::InstallConfirm);
}

// From the first page of a fresh start to a running install of every title: the progress page.
HWND InstallFixture::startFullInstall()
{
    HWND confirm = openInstallConfirm();
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


// Follows a running install like a player until `until` is the one visible page of the menu
// and no message box is up: a disc request is answered by putting that disc into Q: and OK
// (or by Cancel, for the request number cancelAt, counted from 1), the DirectX question by
// Cancel, anything else by OK and noted.
bool InstallFixture::followRun(Page until, RunLog& log, int cancelAt, int otherAnswer, int stopAt)
{
    const double end = nowMs() + kRunTimeoutMs;
    while (nowMs() < end) {
        HWND box = findMessageBox(menu_.menuPid());
        if (box) {
            const std::string text = messageBoxText(box);
            const std::string caption = windowText(box);
            int answer = otherAnswer;
            const size_t head = sizeof kDiscRequestHead - 1;
            if (text.compare(0, head, kDiscRequestHead) == 0 && text.size() > head && text[head] >= '1' &&
                text[head] <= '2' && text.substr(head + 1) == kDiscRequestTail) {
                EXPECT_EQ(caption, "インストール") << text;
                const int disc = text[head] - '0';
                log.discRequests.push_back(disc);
                if (driveOfDisc(disc))
                    log.needlessRequests.push_back("request " + std::to_string(log.discRequests.size()) +
                                                   " for disc " + std::to_string(disc));
                if (static_cast<int>(log.discRequests.size()) == stopAt) return true;
                if (static_cast<int>(log.discRequests.size()) == cancelAt) {
                    answer = IDCANCEL;
                } else if (!(putDiscIn_ ? putDiscIn_(disc) : insertDisc('Q', disc))) {
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
HWND InstallFixture::installEverything(RunLog& log)
{
    if (!startFullInstall()) return nullptr;
    if (!followRun(Page::Main, log)) return nullptr;
    return menu_.visiblePage();
}

void InstallFixture::expectEverythingInstalled()
{
    for (const CopiedFile& file : kListFiles)
        expectSameFile(discFolder(file.disc) + file.onDisc, installDir() + file.installed);
    for (const CopiedFile& file : kTitleFiles)
        expectSameFile(discFolder(file.disc) + file.onDisc, programFilesFolder() + file.installed);
}

bool InstallFixture::uninstallEverything(HWND main)
{
    HWND select = main ? go(main, IDC_UNINSTALL, Page::UninstallSelect) : nullptr;
    if (!select) return false;
    if (!isChecked(select, IDC_ALL_TITLES) && !click(select, IDC_ALL_TITLES)) {
        ADD_FAILURE() << "すべて cannot be checked on the uninstall page";
        return false;
    }
    HWND confirm = go(select, IDC_NEXT, Page::UninstallConfirm);
    if (!confirm) return false;
    if (!isChecked(confirm, IDC_DATA_ALL) && !click(confirm, IDC_DATA_ALL)) {
        ADD_FAILURE() << "全データ削除 cannot be checked";
        return false;
    }
    if (!postClick(confirm, IDC_UNINSTALL_RUN)) {
        ADD_FAILURE() << "アンインストール cannot be pressed";
        return false;
    }
    HWND box = nullptr;
    if (!waitUntil([&] { return (box = findMessageBox(menu_.menuPid())) != nullptr; }, kRunTimeoutMs)) {
        ADD_FAILURE() << "no completion message after the uninstall";
        return false;
    }
    EXPECT_EQ(messageBoxText(box), kUninstallDone);
    if (!answerMessageBox(box, IDOK)) return false;
    const long exitCode = menu_.waitExit(kExitTimeoutMs);
    EXPECT_EQ(exitCode, 0) << "the menu ends after an uninstall";
    return exitCode == 0;
}

std::string InstallFixture::takeFromDisc(int disc, const std::string& relative)
{
    const std::string path = discFolder(disc) + relative;
    const std::string saved = drivesFolder() + "e2e-saved-" + std::to_string(discEdits_.size());
    DeleteFileA(saved.c_str());
    if (!MoveFileExA(path.c_str(), saved.c_str(), 0)) {
        ADD_FAILURE() << "cannot take " << path << " aside, error " << GetLastError();
        return "";
    }
    discEdits_.push_back({disc, relative, saved});
    return path;
}

long InstallFixture::runMenuWith(const std::string& arguments, DWORD timeoutMs)
{
    if (!menu_.start({}, "Q:\\vgan1_menu.exe", "Q:\\", arguments)) {
        ADD_FAILURE() << "Q:\\vgan1_menu.exe " << arguments << " does not start, error " << GetLastError();
        return -1;
    }
    const long code = menu_.waitStartedExit(timeoutMs);
    EXPECT_GE(code, 0) << "vgan1_menu.exe " << arguments << " did not end";
    return code;
}

std::vector<std::string> InstallFixture::logLines() const
{
    const std::string utf8 = readFile(log_);
    std::vector<std::string> lines;
    if (utf8.empty()) return lines;
    const int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                               nullptr, 0);
    EXPECT_GT(wideLength, 0) << "the log is not UTF-8";
    if (wideLength <= 0) return lines;
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], wideLength);
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, &text[0], length, nullptr, nullptr);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> InstallFixture::logLinesWith(const std::string& text) const
{
    std::vector<std::string> found;
    for (const std::string& line : logLines()) {
        const std::string message = line.size() > 20 ? line.substr(20) : "";   // after "MM/DD/YY HH:MM:SS : "
        if (message.find(text) != std::string::npos) found.push_back(message);
    }
    return found;
}

std::string InstallFixture::loggedMessage(const std::string& caption, std::string text)
{
    for (char& c : text)
        if (c == '\n') c = ' ';
    return "message [" + caption + "] " + text;
}

void InstallFixture::expectSameAsBefore(const char* when)
{
    const std::vector<std::string> after = productSnapshot();
    EXPECT_EQ(after, before_) << when << "\n" << snapshotDifference(before_, after);
}

}  // namespace e2e

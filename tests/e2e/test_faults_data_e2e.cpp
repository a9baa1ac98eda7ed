// End-to-end fault cases of the installer's own data, of the registry and of a menu that is killed
// in the middle of an install: the real menu started from sample disc 1 and worked like a player,
// the product snapshot compared before and after. Each case ends with its row of the fault matrix.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "data/archive_reader.h"
#include "data/install_lists.h"
#include "menu/page_ids.h"
#include "tests/e2e/fault_report.h"
#include "tests/e2e/install_fixture.h"
#include "tools/vgadisc/archive_writer.h"
#include "tools/vgadisc/lint.h"

using namespace e2e;

namespace {

const char kMachineUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The entries of the full install list: where they lie on the sample discs, relative to the
// disc root and to the product folder alike.
const struct {
    int disc;
    const char* path;
} kListFiles[] = {
    {1, "vgan1_menu.exe"}, {1, "instdata.arc"}, {1, "data\\script.arc"}, {1, "data\\pict.arc"}, {1, "data\\bgm.arc"},
    {1, "data\\se.arc"},   {1, "data\\voice.arc"},  {1, "data\\voice2.arc"}, {1, "ソフト資料\\表紙.bmp"},
    {2, "data\\movie.arc"}, {2, "ソフト資料\\ソフト紹介.txt"},
};

std::string bytesOf(const host::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string randomBytes(size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::string joined(const std::vector<std::string>& parts, const char* separator = " / ")
{
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : separator) + ("\"" + part + "\"");
    return text.empty() ? "no message" : text;
}

// A key that refuses new values and subkeys: a deny entry for KEY_SET_VALUE | KEY_CREATE_SUB_KEY
// ahead of an entry that allows everything else. The key's own access list comes back with
// restore() or the destructor.
class RefusedKey {
public:
    RefusedKey() = default;
    RefusedKey(const RefusedKey&) = delete;
    RefusedKey& operator=(const RefusedKey&) = delete;
    ~RefusedKey() { restore(); }

    // False with *why when the key cannot be given the access list.
    bool refuse(HKEY root, const char* path, std::string* why)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, path, 0, READ_CONTROL | WRITE_DAC, &key) != ERROR_SUCCESS) {
            *why = std::string("cannot open ") + path + " for its access list";
            return false;
        }
        DWORD size = 0;
        RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
        old_.assign(size, 0);
        PSECURITY_DESCRIPTOR refused = nullptr;
        const bool ok =
            size && RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, old_.data(), &size) == ERROR_SUCCESS &&
            ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;0x6;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                 &refused, nullptr) &&
            RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, refused) == ERROR_SUCCESS;
        if (refused) LocalFree(refused);
        RegCloseKey(key);
        if (!ok) {
            *why = std::string("cannot set the access list of ") + path;
            old_.clear();
            return false;
        }
        root_ = root;
        path_ = path;
        return true;
    }

    void restore()
    {
        if (!root_) return;
        HKEY key = nullptr;
        if (RegOpenKeyExA(root_, path_.c_str(), 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
            RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, old_.data());
            RegCloseKey(key);
        }
        root_ = nullptr;
    }

private:
    HKEY root_ = nullptr;
    std::string path_;
    std::vector<BYTE> old_;
};

// Whether this process, which runs as the same user as the menu, is refused the key for writing
// (the access check lies with the prefix's server). When it is not, *answer says what it got.
bool writeRefused(HKEY root, const char* path, std::string* answer)
{
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExA(root, path, 0, KEY_SET_VALUE, &key);
    if (opened == ERROR_SUCCESS) RegCloseKey(key);
    *answer = "opening it for KEY_SET_VALUE answers " + std::to_string(opened);
    return opened == ERROR_ACCESS_DENIED;
}

class DataFaultE2E : public InstallFixture {
protected:
    void TearDown() override
    {
        killLeftovers();   // nothing may hold the disc's archive or work on the keys any more
        refused_.restore();
        restoreArchive();
        InstallFixture::TearDown();
    }

    // ---- The installer archive on disc 1

    std::string archivePath() const { return discFolder(1) + "instdata.arc"; }

    // Puts bytes on disc 1 in place of its archive (read-only, like the rest of the disc). The
    // staged disc is shared by every test: TearDown puts the original back.
    bool replaceArchive(const std::string& bytes)
    {
        const std::string path = archivePath();
        if (!replaced_) {
            original_ = readFile(path);
            if (original_.empty()) return false;
            replaced_ = true;
        }
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        const bool ok = writeFile(path, bytes);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        return ok;
    }

    void restoreArchive()
    {
        if (!replaced_ || discFolder(1).empty()) return;
        const std::string path = archivePath();
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_TRUE(writeFile(path, original_)) << "disc 1's archive could not be put back";
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        replaced_ = false;
    }

    std::string originalArchive()
    {
        return replaced_ ? original_ : readFile(archivePath());
    }

    // The entries of the sample archive, read as the menu reads them.
    std::vector<vgadisc::ArchiveInput> sampleEntries()
    {
        std::vector<vgadisc::ArchiveInput> entries;
        const std::string bytes = originalArchive();
        const std::string copy = tempFolder() + "vga_e2e_sample.arc";
        if (!writeFile(copy, bytes)) return entries;
        CArchiveReader reader;
        reader.SetKey("kavo");
        if (reader.Open(copy.c_str())) {
            for (const auto& item : reader.Directory()) {
                vgadisc::ArchiveInput entry{item.first, host::Bytes(item.second.size)};
                if (item.second.storedSize && reader.Read(item.first.c_str(), entry.data.data()))
                    entries.push_back(entry);
            }
        }
        DeleteFileA(copy.c_str());
        return entries;
    }

    // The sample archive packed by the disc tool with one list changed by edit.
    template <typename Edit>
    std::string archiveWithList(const char* list, Edit edit, const char* key = "kavo")
    {
        std::vector<vgadisc::ArchiveInput> entries = sampleEntries();
        bool found = false;
        for (vgadisc::ArchiveInput& entry : entries) {
            if (entry.name != list) continue;
            std::string text = bytesOf(entry.data);
            edit(text);
            entry.data.assign(text.begin(), text.end());
            found = true;
        }
        EXPECT_TRUE(found || list[0] == '\0') << list << " is not in the sample archive";
        vgadisc::ArchiveOptions options;
        options.key = key;
        host::Bytes out;
        std::string error;
        EXPECT_TRUE(vgadisc::buildArchive(entries, options, &out, &error)) << error;
        return bytesOf(out);
    }

    // What the disc tool's check says of the discs as they are staged now, one line per finding.
    std::vector<std::string> lintFindings()
    {
        vgadisc::LintReport report;
        std::string error;
        std::vector<std::string> lines;
        // The tool takes folders without their trailing backslash.
        std::vector<std::string> discs;
        for (int disc = 1; disc <= 2; ++disc) {
            const std::string folder = discFolder(disc);
            discs.push_back(folder.substr(0, folder.size() - 1));
        }
        if (!vgadisc::lintDiscs(discs, &report, &error)) lines.push_back("no check: " + error);
        for (const vgadisc::Finding& finding : report.findings) lines.push_back(vgadisc::formatFinding(finding));
        return lines;
    }

    // ---- The player

    // Starts the menu from disc 1 and answers OK to whatever it says before its first page.
    HWND startThroughMessages(Page expected, std::vector<std::string>& seen)
    {
        if (!menu_.start()) {
            ADD_FAILURE() << "Q:\\vgan1_menu.exe does not start";
            return nullptr;
        }
        EXPECT_EQ(menu_.waitStartedExit(kStartTimeoutMs), 0) << "the instance started from the disc";
        const double end = nowMs() + kStartTimeoutMs;
        while (nowMs() < end) {
            if (HWND box = findMessageBox()) {
                if (!answer(box, IDOK, seen)) return nullptr;
                continue;
            }
            if (HWND page = menu_.waitForPage(expected, 0)) return page;
            Sleep(20);
        }
        ADD_FAILURE() << "no " << pageName(expected) << " page after " << joined(seen);
        return nullptr;
    }

    // Notes a message box as "caption: text" and answers it.
    bool answer(HWND box, int button, std::vector<std::string>& seen)
    {
        seen.push_back(windowText(box) + ": " + messageBoxText(box));
        if (!answerMessageBox(box, button)) {
            ADD_FAILURE() << "cannot answer " << seen.back();
            return false;
        }
        return waitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 15000);
    }

    // Presses インストール開始 and answers OK to what the menu says, until the run is under way
    // (the progress page) or the menu is back on the confirm page with no message up. A message
    // over the progress page belongs to the run (a run whose first files are copied at once may
    // ask for the next disc before this has looked): it is left for followRun.
    Page pressStart(HWND confirm, std::vector<std::string>& seen)
    {
        if (!postClick(confirm, IDC_START_INSTALL)) {
            ADD_FAILURE() << "インストール開始 cannot be pressed";
            return Page::None;
        }
        const size_t before = seen.size();
        const double end = nowMs() + 15000;
        while (nowMs() < end) {
            if (HWND box = findMessageBox(menu_.menuPid())) {
                if (identifyPage(GetWindow(box, GW_OWNER)) == Page::Progress) return Page::Progress;
                if (!answer(box, IDOK, seen)) return Page::None;
                continue;
            }
            Page which = Page::None;
            menu_.visiblePage(&which);
            if (which == Page::Progress || (which == Page::InstallConfirm && seen.size() > before)) return which;
            Sleep(20);
        }
        Page which = Page::None;
        menu_.visiblePage(&which);
        return which;
    }

    // From the first page a player tries to install everything, answering OK to every message.
    // Answers what the player saw; a run that does get under way is followed to its end, so
    // that the snapshot shows what it leaves.
    std::string tryToInstall(HWND welcome, std::vector<std::string>& seen)
    {
        HWND select = go(welcome, IDC_INSTALL, Page::InstallSelect);
        if (!select) return "no selection page";
        if (!isEnabled(select, IDC_NEXT))
            return "次へ stays disabled (" + controlText(select, IDC_REQUIRED_SPACE) + ")";
        HWND confirm = go(select, IDC_NEXT, Page::InstallConfirm);
        if (!confirm) return "no confirm page";
        const size_t before = seen.size();
        const Page after = pressStart(confirm, seen);
        const std::vector<std::string> atStart(seen.begin() + before, seen.end());
        if (after == Page::InstallConfirm) return "インストール開始 refused: " + joined(atStart);
        RunLog log;
        followRun(Page::Main, log, 0, IDOK);
        return "the run started (" + joined(atStart) + ") and ended on the main page after " +
               joined(log.otherMessages);
    }

    // Closes the visible page, which ends the menu.
    void closeMenu()
    {
        HWND page = menu_.visiblePage();
        if (page) PostMessageA(page, WM_CLOSE, 0, 0);
        EXPECT_EQ(menu_.waitExit(kExitTimeoutMs), 0) << "the menu does not end";
    }

    // One case of bad disc data: the archive on disc 1 replaced, the menu started and an install
    // tried. Nothing may be left; the row of the fault matrix is reported.
    // expectedAtStart: the message at インストール開始, when the selection page lets the player
    // get that far.
    void playWithArchive(const std::string& faultCase, const std::string& archive, const std::string& expectedStartUp,
                         const std::string& expectedAtStart = "")
    {
        SCOPED_TRACE(faultCase);
        ASSERT_TRUE(ejectDisc('R'));
        ASSERT_TRUE(insertDisc('Q', 1));
        ASSERT_TRUE(replaceArchive(archive));
        std::vector<std::string> seen;
        HWND welcome = startThroughMessages(Page::Welcome, seen);
        ASSERT_TRUE(welcome);
        const std::vector<std::string> atStartUp = seen;
        EXPECT_NE(std::find(atStartUp.begin(), atStartUp.end(), expectedStartUp), atStartUp.end())
            << "the menu starts without saying what is wrong: " << joined(atStartUp);
        const std::string attempt = tryToInstall(welcome, seen);
        if (!expectedAtStart.empty()) {
            EXPECT_EQ(std::vector<std::string>(seen.begin() + atStartUp.size(), seen.end()),
                      std::vector<std::string>{expectedAtStart})
                << attempt;
        }
        closeMenu();

        const std::vector<std::string> after = productSnapshot();
        EXPECT_EQ(after, before_) << attempt << "\n" << snapshotDifference(before_, after);
        reportFault(faultCase, "at start-up " + joined(atStartUp) + "; " + attempt, residueOf(before_, after));
        // The next case starts from a clean prefix again, whatever this one left.
        killLeftovers();
        resetRegistry();
        removeProduct();
    }

    RefusedKey refused_;

private:
    std::string original_;
    bool replaced_ = false;
};

// ---- A corrupt installer archive

TEST_F(DataFaultE2E, CorruptArchiveIsReportedAndNothingIsInstalled)
{
    const std::string sample = originalArchive();
    ASSERT_GT(sample.size(), 4096u);
    const char* const kArchiveUnread = "ERROR: アーカイブの読み込みに失敗しました";

    playWithArchive("instdata.arc cut to half its length", sample.substr(0, sample.size() / 2), kArchiveUnread);
    playWithArchive("instdata.arc packed with another key", archiveWithList("", [](std::string&) {}, "zeta"),
                    kArchiveUnread);
    playWithArchive("instdata.arc of random bytes", randomBytes(sample.size(), 7), kArchiveUnread);

    // The directory intact, the entries' packed data damaged, as a scratch would leave them.
    std::string damaged = sample;
    const uint32_t count = static_cast<uint8_t>(sample[0]) | (static_cast<uint8_t>(sample[1]) << 8);
    const size_t dataStart = 8 + count * 44u;
    ASSERT_LT(dataStart, damaged.size());
    damaged.replace(dataStart, damaged.size() - dataStart, randomBytes(damaged.size() - dataStart, 11));
    playWithArchive("instdata.arc with its entries' data damaged", damaged,
                    "ERROR: インストールリストの読み込みに失敗しました：\n"
                    "instdata_f.txt、instdata_c.txt、inst_lantern.txt、inst_brindle.txt、inst_harbormenu.txt、"
                    "inst_rainmere.txt、inst_mistvale.txt、inst_harbor.txt、inst_harborsp.txt");
}

// ---- Lists that the disc tool's check refuses

TEST_F(DataFaultE2E, ListsRefusedByTheLoaderStopTheInstallBeforeAnythingIsWritten)
{
    struct ListCase {
        const char* faultCase;
        const char* list;
        ListFault fault;
        std::string archive;
    };
    const std::string kCrLf = "\r\n";
    std::vector<ListCase> cases;
    cases.push_back({"instdata_f.txt with a line of 300 bytes", "instdata_f.txt", ListFault::LineTooLong,
                     archiveWithList("instdata_f.txt", [&](std::string& text) {
                         const size_t at = text.find("data\\script.arc" + kCrLf);
                         ASSERT_NE(at, std::string::npos);
                         text.replace(at, 15, "data\\" + std::string(295, 'x'));
                     })});
    cases.push_back({"inst_lantern.txt without CR LF on its last line", "inst_lantern.txt",
                     ListFault::UnterminatedLine, archiveWithList("inst_lantern.txt", [&](std::string& text) {
                         ASSERT_EQ(text.substr(text.size() - 2), kCrLf);
                         text.resize(text.size() - 2);
                     })});
    cases.push_back({"instdata_f.txt ending after its disc change", "instdata_f.txt", ListFault::Truncated,
                     archiveWithList("instdata_f.txt", [&](std::string& text) {
                         const size_t at = text.find("CDCHANGE 2" + kCrLf);
                         ASSERT_NE(at, std::string::npos);
                         text.resize(at + 12);
                     })});
    // A title list keeps its first 20 folders of 21; an install list over its 16 is refused.
    cases.push_back({"instdata_f.txt with 17 folders (room for 16)", "instdata_f.txt",
                     ListFault::SectionOverCapacity, archiveWithList("instdata_f.txt", [&](std::string& text) {
                         const std::string header = "【フォルダ】" + kCrLf;
                         const size_t at = text.find(header);
                         ASSERT_NE(at, std::string::npos);
                         std::string folders;
                         for (int i = 0; i < 14; ++i) folders += "data\\" + kCrLf;   // 3 in the list
                         text.insert(at + header.size(), folders);
                     })});

    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.faultCase);
        ASSERT_TRUE(replaceArchive(c.archive));
        // The disc tool's check names the same fault before the disc is burnt.
        bool named = false;
        const std::vector<std::string> findings = lintFindings();
        for (const std::string& line : findings)
            if (line.find(c.list) == 0 && line.find(listFaultText(c.fault)) != std::string::npos) named = true;
        EXPECT_TRUE(named) << "the disc check does not name it:\n" << joinLines(findings);

        playWithArchive(c.faultCase, c.archive, "ERROR: インストールリストの読み込みに失敗しました：\n" + std::string(c.list),
                        "インストールエラー: " + std::string(c.list) + " を読み込めないため、インストールできません。");
    }
}

// A title list with more folder lines than its 20 slots keeps the first 20: the title installs
// with them and is removed clean, and the disc check names the lines left out.
TEST_F(DataFaultE2E, TitleListWithASectionOverItsSlotsInstallsItsFirstLinesAndUninstallsClean)
{
    const std::string kCrLf = "\r\n";
    ASSERT_TRUE(replaceArchive(archiveWithList("inst_mistvale.txt", [&](std::string& text) {
        const std::string last = "Varnis\\Mistvale\\save\\" + kCrLf;   // the list's own two folders come first
        const size_t at = text.find(last);
        ASSERT_NE(at, std::string::npos);
        std::string extra;
        for (int i = 1; i <= 20; ++i) extra += "Varnis\\Mistvale\\extra" + std::to_string(i) + "\\" + kCrLf;
        text.insert(at + last.size(), extra);
    })));
    bool named = false;
    for (const std::string& line : lintFindings())
        if (line.find("inst_mistvale.txt:") == 0 && line.find("only the first 20") != std::string::npos) named = true;
    EXPECT_TRUE(named) << "the disc check does not name the lines left out:\n" << joinLines(lintFindings());

    std::vector<std::string> seen;
    HWND welcome = startThroughMessages(Page::Welcome, seen);
    ASSERT_TRUE(welcome);
    EXPECT_TRUE(seen.empty()) << joined(seen);
    ASSERT_TRUE(go(welcome, IDC_INSTALL, Page::InstallSelect));
    ASSERT_TRUE(go(menu_.visiblePage(), IDC_NEXT, Page::InstallConfirm));
    ASSERT_EQ(pressStart(menu_.visiblePage(), seen), Page::Progress) << joined(seen);
    RunLog log;
    ASSERT_TRUE(followRun(Page::Main, log));
    const std::string mistvale = programFilesFolder() + "Varnis\\Mistvale\\";
    auto isFolder = [](const std::string& path) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    };
    EXPECT_TRUE(isFolder(mistvale + "extra18")) << "the first 20 folders are made";
    EXPECT_FALSE(isFolder(mistvale + "extra19")) << "a folder past the 20 slots is not";
    EXPECT_TRUE(fileExists(mistvale + "mistvale.exe"));
    ASSERT_TRUE(uninstallEverything(menu_.visiblePage()));

    const std::vector<std::string> after = productSnapshot();
    EXPECT_EQ(after, before_) << snapshotDifference(before_, after);
    reportFault("inst_mistvale.txt with 22 folders (room for 20)",
                "the first 20 installed, the rest named by the disc check; removed clean", residueOf(before_, after));
}

// ---- The registry refusing the writes of an install

TEST_F(DataFaultE2E, RefusedProductKeyStopsTheRunBeforeAnythingIsWritten)
{
    // A product key from an earlier install, which this user may read but no longer write.
    ASSERT_TRUE(writeProductKey(installDir().c_str()));
    std::string why;
    ASSERT_TRUE(refused_.refuse(HKEY_CURRENT_USER, kProductKey, &why)) << why;
    if (!writeRefused(HKEY_CURRENT_USER, kProductKey, &why))
        GTEST_SKIP() << "the prefix's server does not enforce the key's access list: " << why;
    const std::vector<std::string> before = productSnapshot();

    std::vector<std::string> seen;
    HWND main = startThroughMessages(Page::Main, seen);   // the key opens for reading: installed
    ASSERT_TRUE(main);
    EXPECT_TRUE(seen.empty()) << joined(seen);
    HWND select = go(main, IDC_ADD_TITLES, Page::InstallSelect);
    ASSERT_TRUE(select);
    HWND confirm = go(select, IDC_NEXT, Page::InstallConfirm);
    ASSERT_TRUE(confirm);
    EXPECT_EQ(pressStart(confirm, seen), Page::InstallConfirm);
    EXPECT_EQ(seen, std::vector<std::string>{"ERROR: キー情報をレジストリに書き込めませんでした"});
    closeMenu();

    const std::vector<std::string> after = productSnapshot();
    EXPECT_EQ(after, before) << snapshotDifference(before, after);
    reportFault("product key present but not writable", "インストール開始 refused: " + joined(seen),
                residueOf(before, after));
}

TEST_F(DataFaultE2E, ProductKeyThatCannotBeCreatedStopsAFirstInstall)
{
    // Wine's server does not check KEY_CREATE_SUB_KEY of the parent when a key is created, so an
    // access list on the maker's key refuses nothing here. A volatile maker's key does: no
    // ordinary (non-volatile) key may be made in it.
    HKEY maker = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Varnis", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &maker, nullptr),
              ERROR_SUCCESS);
    HKEY probe = nullptr;
    const LONG created =
        RegCreateKeyExA(maker, "vga_e2e_probe", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ, nullptr, &probe, nullptr);
    if (created == ERROR_SUCCESS) {
        RegCloseKey(probe);
        RegDeleteKeyA(maker, "vga_e2e_probe");
    }
    RegCloseKey(maker);
    if (created != ERROR_CHILD_MUST_BE_VOLATILE)
        GTEST_SKIP() << "a volatile key takes ordinary subkeys here (answer " << created << ")";
    const std::vector<std::string> before = productSnapshot();

    std::vector<std::string> seen;
    HWND welcome = startThroughMessages(Page::Welcome, seen);
    ASSERT_TRUE(welcome);
    const std::string attempt = tryToInstall(welcome, seen);
    EXPECT_EQ(seen, std::vector<std::string>{"ERROR: キー情報をレジストリに書き込めませんでした"}) << attempt;
    closeMenu();

    const std::vector<std::string> after = productSnapshot();
    EXPECT_EQ(after, before) << snapshotDifference(before, after);
    reportFault("product key cannot be created (the maker's key is volatile)", attempt, residueOf(before, after));
}

TEST_F(DataFaultE2E, RefusedAddRemoveKeyIsReportedAndTheInstallStaysRemovable)
{
    std::string why;
    ASSERT_TRUE(refused_.refuse(HKEY_LOCAL_MACHINE, kMachineUninstall, &why)) << why;
    if (!writeRefused(HKEY_LOCAL_MACHINE, kMachineUninstall, &why))
        GTEST_SKIP() << "the prefix's server does not enforce the key's access list: " << why;

    // As on a system where this user may not write the machine's keys: the run says so and
    // goes on, since the titles work without the entry and the menu can remove them.
    RunLog log;
    HWND main = installEverything(log);
    ASSERT_TRUE(main);
    EXPECT_EQ(log.otherMessages, std::vector<std::string>{"ERROR: アプリケーション追加削除への追加に失敗しました[1]"});
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kProductKey));
    for (const SampleTitle& title : kSampleTitles) {
        EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, title.registryKey)) << title.registryKey;
        EXPECT_TRUE(fileExists(programFilesFolder() + title.programFile)) << title.programFile;
    }

    // Removed from the menu, nothing is left.
    ASSERT_TRUE(uninstallEverything(main));

    const std::vector<std::string> after = productSnapshot();
    EXPECT_EQ(after, before_) << snapshotDifference(before_, after);
    reportFault("add/remove key not writable",
                joined(log.otherMessages) + " during the closing steps; the install completes without the entry "
                                            "and is removed from the menu (\"" + kUninstallDone + "\"); residue after the removal",
                residueOf(before_, after));
}

// ---- The menu killed in the middle of the main copy

class KilledMenuFaultE2E : public DataFaultE2E {
protected:
    // Starts a full install and ends the menu the hard way (TerminateProcess) in the middle of the
    // main copy: disc 1's entries are copied and the run waits for disc 2. One copied file is then
    // cut to half its length, as a kill in the middle of its copy leaves it.
    void killInTheMiddleOfTheMainCopy()
    {
        ASSERT_TRUE(startFullInstall());
        HWND box = nullptr;
        ASSERT_TRUE(waitUntil([&] { return (box = findMessageBox(menu_.menuPid())) != nullptr; }, kRunTimeoutMs));
        ASSERT_EQ(messageBoxText(box), std::string(kDiscRequestHead) + "2" + kDiscRequestTail);
        killMenu();

        const std::string cut = installDir() + "data\\voice.arc";
        const std::string whole = readFile(cut);
        ASSERT_FALSE(whole.empty());
        ASSERT_TRUE(writeFile(cut, whole.substr(0, whole.size() / 2)));
        // The record of a run that did not finish: the product key, no add/remove entry.
        EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kProductKey));
        EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        EXPECT_FALSE(fileExists(installDir() + "data\\movie.arc"));
        ASSERT_TRUE(insertDisc('Q', 1));   // the player starts again from disc 1
    }

    // The player starts the menu again, on its main page, and adds what the pages offer; the run
    // is followed to its end, which must come with no message. seen: what was said before it.
    void addAgainAfterTheKill(std::vector<std::string>& seen)
    {
        HWND main = startThroughMessages(Page::Main, seen);
        ASSERT_TRUE(main);
        HWND select = go(main, IDC_ADD_TITLES, Page::InstallSelect);
        ASSERT_TRUE(select);
        HWND confirm = go(select, IDC_NEXT, Page::InstallConfirm);
        ASSERT_TRUE(confirm);
        ASSERT_EQ(pressStart(confirm, seen), Page::Progress) << joined(seen);
        RunLog log;
        ASSERT_TRUE(followRun(Page::Main, log));
        EXPECT_TRUE(seen.empty() && log.otherMessages.empty()) << joined(seen) << " " << joined(log.otherMessages);
    }

    // Ends the menu the hard way, as the task manager or a power cut does.
    void killMenu()
    {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, menu_.menuPid());
        ASSERT_TRUE(process);
        TerminateProcess(process, 1);
        EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
        CloseHandle(process);
    }
};

TEST_F(KilledMenuFaultE2E, StartedAgainTheUnfinishedInstallCanBeRemoved)
{
    killInTheMiddleOfTheMainCopy();
    std::vector<std::string> seen;
    HWND main = startThroughMessages(Page::Main, seen);
    ASSERT_TRUE(main);
    ASSERT_TRUE(uninstallEverything(main));

    const std::vector<std::string> after = productSnapshot();
    EXPECT_EQ(after, before_) << snapshotDifference(before_, after);
    reportFault("menu killed during the main copy, then removed from the menu",
                "started again: main page; 削除 with all data: " + joined(seen), residueOf(before_, after));
}

TEST_F(KilledMenuFaultE2E, StartedAgainTheUnfinishedInstallCanBeCompleted)
{
    killInTheMiddleOfTheMainCopy();
    std::vector<std::string> seen;
    ASSERT_NO_FATAL_FAILURE(addAgainAfterTheKill(seen));

    // Every file whole, the run recorded as finished.
    for (const auto& file : kListFiles) {
        const std::string original = readFile(discFolder(file.disc) + file.path);
        ASSERT_FALSE(original.empty()) << file.path;
        EXPECT_TRUE(readFile(installDir() + file.path) == original) << file.path << " is not the disc's";
    }
    for (const SampleTitle& title : kSampleTitles) {
        const std::string onDisc = title.discFolder + std::string(title.id) + ".exe";
        const int disc = fileExists(discFolder(1) + onDisc) ? 1 : 2;
        EXPECT_TRUE(readFile(programFilesFolder() + title.programFile) == readFile(discFolder(disc) + onDisc))
            << title.programFile;
        EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, title.registryKey)) << title.registryKey;
    }
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    DWORD type = 0;
    std::string data;
    EXPECT_FALSE(readValue(HKEY_CURRENT_USER, kProductKey, "INSTALL_UNFINISHED", &type, &data));
    closeMenu();
    reportFault("menu killed during the main copy, then installed again",
                "started again: main page; 追加 → インストール開始 copies the product again, every file "
                "byte-equal to the discs",
                "none (the install is complete, as intended)");
}

// Killed while Lantern's files were copied, at its request for disc 2: some of Lantern's files
// are there and no key, and the product key names Lantern unfinished. Started again, the add
// removes that part first and installs everything; the uninstall then leaves nothing.
TEST_F(KilledMenuFaultE2E, KilledDuringATitleCopyIsCleanedUpByTheNextRun)
{
    ASSERT_TRUE(startFullInstall());
    RunLog log;
    ASSERT_TRUE(followRun(Page::Main, log, 0, IDOK, 3));   // the list's disc 2, Lantern's disc 1 and disc 2
    ASSERT_EQ(log.discRequests, (std::vector<int>{2, 1, 2}));
    killMenu();
    const char kMark[] = "INSTALL_UNFINISHED:Software\\Varnis\\Lantern";
    DWORD type = 0;
    std::string data;
    EXPECT_TRUE(fileExists(programFilesFolder() + "Varnis\\Lantern\\lantern.exe"));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "Software\\Varnis\\Lantern"));
    EXPECT_TRUE(readValue(HKEY_CURRENT_USER, kProductKey, kMark, &type, &data));
    ASSERT_TRUE(insertDisc('Q', 1));

    std::vector<std::string> seen;
    ASSERT_NO_FATAL_FAILURE(addAgainAfterTheKill(seen));
    expectEverythingInstalled();
    EXPECT_FALSE(readValue(HKEY_CURRENT_USER, kProductKey, kMark, &type, &data)) << "a finished install has no mark";
    ASSERT_TRUE(uninstallEverything(menu_.visiblePage()));

    const std::vector<std::string> after = productSnapshot();
    EXPECT_EQ(after, before_) << snapshotDifference(before_, after);
    reportFault("menu killed during a title's copy, then installed again and removed",
                "started again: main page; 追加 removes the unfinished title first and installs all; "
                "削除 with all data: " + joined(seen),
                residueOf(before_, after));
}

}  // namespace

// The install fixture of the end-to-end tests: a clean prefix for each test (no product, no
// registry keys, a private desktop, a recording stand-in for the text editor), the menu started
// from disc 1 in Q:, and a player who follows an install run, swapping discs as asked. A snapshot
// of everything the product may leave (files, keys, shortcuts, the add/remove entry) taken before
// each test tells what a run left behind.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"

namespace e2e {

const DWORD kStartTimeoutMs = 60000;
const DWORD kExitTimeoutMs = 30000;
const DWORD kRunTimeoutMs = 180000;   // a whole install run with its disc swaps

extern const char kUninstallKey[];     // under HKEY_LOCAL_MACHINE
extern const char kProductKey[];       // under HKEY_CURRENT_USER
extern const char kDiscRequestHead[];
extern const char kDiscRequestTail[];
extern const char kDirectXCaption[];
extern const char kUninstallDone[];
extern const char kDesktopLink[];
// Desktop shortcuts of the titles (the desktop takes only the file name of the list's link).
extern const char* const kTitleLinks[5];

// ---- What the sample discs install

// A file the install copies: where it lies on its sample disc and where it goes, relative to the
// product folder (list entries) or to the install root (title files).
struct CopiedFile {
    int disc;
    const char* onDisc;
    const char* installed;
};
extern const CopiedFile kListFiles[11];    // the entries of the full install list
extern const CopiedFile kTitleFiles[19];   // the files of the five titles and Harbor's two extra lists

// The installed copy is there and holds the same bytes as the original.
void expectSameFile(const std::string& original, const std::string& copy);

// A file of size bytes whose every 8192-byte chunk differs, so a copy that loses, repeats or
// mixes up chunks cannot pass a comparison.
bool writeBigFile(const std::string& path, DWORD size);

// ---- What of the product exists: files (with size and a hash of their bytes), keys and values,
// shortcuts, as sorted text lines

// How a snapshot shows a Start-menu shortcut file: by its bytes, or by the program it starts (to
// compare two installs: the shell stamps a shortcut with the times of its target).
enum class Links { Bytes, Targets };
// The product's files are looked for under root + "Varnis\" (the Program Files folder unless given).
std::vector<std::string> productSnapshot(Links links = Links::Bytes, const std::string& root = "");
std::string joinLines(const std::vector<std::string>& lines);
// Lines of `after` that `before` does not have, and the other way round.
std::string snapshotDifference(const std::vector<std::string>& before, const std::vector<std::string>& after);

// ---- Registry

// A registry value changed for the length of a test and put back afterwards.
class BorrowedValue {
public:
    BorrowedValue() = default;
    BorrowedValue(const BorrowedValue&) = delete;
    BorrowedValue& operator=(const BorrowedValue&) = delete;
    bool set(HKEY root, const std::string& keyPath, const char* name, DWORD type, const std::string& text);
    ~BorrowedValue();

private:
    HKEY root_ = nullptr;
    std::string keyPath_, name_, old_;
    bool named_ = false, had_ = false;
    DWORD oldType_ = REG_SZ;
};

// ---- The menu a test drives

class MenuSteps {
protected:
    // Starts the menu from Q: (with the environment block of environmentWith, if given) and waits
    // for its first page: the instance started from the disc must end with exit code 0 and its
    // copy show the page. Null (and a failure) otherwise.
    HWND startMenu(Page expected, const std::vector<char>& environment = {});
    // Presses a button that moves to another page and waits for that page; exactly one page
    // must then be visible. Null (and a failure) when the page does not come.
    HWND go(HWND page, int controlId, Page next);
    // A fresh start from disc 1 to the confirm page of an install of every title, as the menu
    // first offers them all: the confirm page, or null (and a failure).
    HWND openInstallConfirm();

    MenuRun menu_;
};

// ---- The fixture

class InstallFixture : public ::testing::Test, protected MenuSteps {
protected:
    void SetUp() override;
    void TearDown() override;

    // Whatever an install may have left: the product and title folders, the shortcuts.
    static void removeProduct();
    static std::string installDir() { return programFilesFolder() + "Varnis\\Hub\\"; }
    // From the first page of a fresh start to a running install of every title: the progress page.
    HWND startFullInstall();

    // What happened while the run went on by itself.
    struct RunLog {
        std::vector<int> discRequests;               // disc numbers, in order
        std::vector<std::string> needlessRequests;   // asked for the disc that was in the drive
        int directXQuestions = 0;
        std::vector<std::string> otherMessages;      // "caption: text" of every other box
    };

    // Follows a running install like a player until `until` is the one visible page of the menu
    // and no message box is up: a disc request is answered by putting that disc into Q: and OK
    // (or by Cancel, for the request number cancelAt, counted from 1), the DirectX question by
    // Cancel, anything else by `otherAnswer` (OK unless told) and noted. With stopAt, it stops at
    // disc request number stopAt and leaves that box up, unanswered: true then.
    bool followRun(Page until, RunLog& log, int cancelAt = 0, int otherAnswer = IDOK, int stopAt = 0);

    // A complete install of every title, disc requests answered, DirectX declined: pageMain.
    HWND installEverything(RunLog& log);

    // Every file of the full list and of every title is installed, byte for byte as on the
    // staged discs (wherever they are now).
    static void expectEverythingInstalled();

    // From pageMain of the running menu: every title, every kind of data, the uninstall run and
    // its completion message answered; the menu ends. False (with a failure) when a step fails.
    bool uninstallEverything(HWND main);

    void expectSameAsBefore(const char* when);

    // Moves a file of a staged disc aside for this test (TearDown puts it back) and answers the
    // path where it was, for the test to put something else there.
    std::string takeFromDisc(int disc, const std::string& relative);
    // Notes a file added to a staged disc, deleted again in TearDown.
    void addedToDisc(int disc, const std::string& relative) { discEdits_.push_back({disc, relative, ""}); }

    // How the player puts disc n in when the run asks: into Q: (the staged disc folders) unless a
    // test changes discs another way (the images).
    std::function<bool(int disc)> putDiscIn_;
    // ---- Unattended runs

    // Starts Q:\vgan1_menu.exe with arguments, as a shop's script does, and waits for that
    // instance (an unattended run waits for its copy in TEMP): its exit code, or -1 on timeout.
    long runMenuWith(const std::string& arguments, DWORD timeoutMs = kRunTimeoutMs);

    // The action log of the test, in TEMP, named with a blank and "ソ" (0x83 0x5C); removed before
    // and after each test. logArgument is "/log=" with it in quotes.
    std::string log_;
    std::string logArgument() const { return "/log=\"" + log_ + "\""; }
    // The log's lines, read as UTF-8 and turned into the system's code page to compare with what
    // the programs write; empty lines when there is no log.
    std::vector<std::string> logLines() const;
    // The log lines that hold text (after their time stamp), in order.
    std::vector<std::string> logLinesWith(const std::string& text) const;
    // A message as the log says it: "message [caption] text", line breaks as blanks.
    static std::string loggedMessage(const std::string& caption, std::string text);

    // Put back by their destructors after TearDown, which still needs the private desktop.
    BorrowedValue desktopFolder_, textClass_;
    std::string desktop_;
    std::vector<std::string> before_;   // the product snapshot before the test
    std::string opened_;                // where the stand-in notes the documents it opens

private:
    struct DiscEdit {
        int disc;
        std::string relative;
        std::string saved;   // where the original waits; empty for a file the test added
    };
    std::vector<DiscEdit> discEdits_;
};

}  // namespace e2e

// End-to-end driver: starts the real menu from the simulated optical drive and works its pages
// from outside, as a player would, through the windows that all processes of the prefix share.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/dialogs.h"
#include "tests/support/files.h"
#include "tests/support/registry.h"
#include "tests/support/shell.h"

namespace e2e {

// Files, registry, shell folders and control states come from the tests' support library.
using namespace test_support;

// ---- Timing -------------------------------------------------------------------------------

// Milliseconds on the performance counter, which every process of the prefix shares, so stamps
// taken here and in the menu can be compared.
double nowMs();

// Polls ready() every intervalMs until it answers true (true) or timeoutMs passed (false).
template <typename Ready>
bool waitUntil(Ready ready, DWORD timeoutMs, DWORD intervalMs = 20)
{
    const double end = nowMs() + timeoutMs;
    for (;;) {
        if (ready()) return true;
        if (nowMs() >= end) return false;
        Sleep(intervalMs);
    }
}

// ---- Pages and message boxes ----------------------------------------------------------------

enum class Page { None, Welcome, Main, InstallSelect, InstallConfirm, Progress, UninstallConfirm, UninstallSelect, Play };

const char* pageName(Page page);   // "welcome", "main", ... ("none")

// Which page a window is: a top-level dialog (#32770) whose control ids, labels left out, are
// exactly those of one of the eight page templates. Page::None for anything else.
Page identifyPage(HWND window);

// The visible page of a process (any process when pid is 0); null when none is visible. When
// which is given it receives the page kind.
HWND findVisiblePage(DWORD pid = 0, Page* which = nullptr);

// Every visible page of the process (any process when pid is 0): a sound menu shows exactly one.
std::vector<HWND> visiblePages(DWORD pid = 0);

// The visible message box of a process (any when pid is 0), or null.
HWND findMessageBox(DWORD pid = 0);

// Presses a visible button of a message box (IDOK, IDCANCEL, ...) without waiting for the
// owner to go on. False when the box has no such visible button.
bool answerMessageBox(HWND box, int buttonId);

// ---- Controls -----------------------------------------------------------------------------

// A player can only press what is shown and enabled: these answer false (and press nothing)
// when the page or the control is hidden or disabled.
// click waits until the menu has handled the press; postClick does not (for a press that
// opens a modal message box, which would otherwise keep the driver waiting).
bool click(HWND page, int controlId);
bool postClick(HWND page, int controlId);

// ---- Processes ----------------------------------------------------------------------------

// Ids of the running processes whose program file name is exeName (case ignored).
std::vector<DWORD> findProcesses(const char* exeName);

// Full path of a process's program file; empty when it cannot be asked.
std::string processImagePath(DWORD pid);

// Ends every process of the given program names (TerminateProcess by id) and waits for them.
void killProcesses(const std::vector<std::string>& exeNames);

// Ends whatever an earlier test left running: the menu, the sample title stand-ins and the
// bare dialog of the start-up benchmark.
void killLeftovers();

// Environment block of this process with the given variables set ("NAME=value" each; an
// entry replaces the variable of the same name, case ignored). For CreateProcessA.
std::vector<char> environmentWith(const std::vector<std::string>& assignments);

// Under a display without a window manager (the tests' Xvfb), Wine waits two seconds for the
// missing manager each time a managed window is hidden, i.e. at every page change. The menu's
// windows are therefore left unmanaged in this prefix (Wine then draws their frames itself);
// MenuRun::start does this before every start.
void leaveMenuWindowsUnmanaged();

// ---- The menu as a player starts it ---------------------------------------------------------

class MenuRun {
public:
    MenuRun() = default;
    ~MenuRun();   // ends a menu that is still running (a failed test must not leak it)
    MenuRun(const MenuRun&) = delete;
    MenuRun& operator=(const MenuRun&) = delete;

    // Starts Q:\vgan1_menu.exe with working folder Q:\ and no arguments, as a player does from
    // the disc. environment: a block from environmentWith, or empty for this process's own.
    // arguments, when given, follow the quoted program path after a blank, as a script gives them.
    bool start(const std::vector<char>& environment = {}, const char* program = "Q:\\vgan1_menu.exe",
               const char* folder = "Q:\\", const std::string& arguments = "");

    // Waits for the started (disc) instance to end; its exit code, or -1 on timeout.
    long waitStartedExit(DWORD timeoutMs);

    // Waits until the given page is the visible page of a menu process (any page for
    // Page::None) and takes that process as the running menu. The page, or null on timeout.
    HWND waitForPage(Page page, DWORD timeoutMs = 30000);

    // The visible page of the running menu right now.
    HWND visiblePage(Page* which = nullptr) const;

    // Waits for the running menu to end; its exit code, or -1 on timeout.
    long waitExit(DWORD timeoutMs);

    DWORD startedPid() const { return startedPid_; }
    DWORD menuPid() const { return menuPid_; }
    std::string menuImagePath() const { return processImagePath(menuPid_); }

private:
    HANDLE started_ = nullptr;   // the instance started from the disc
    DWORD startedPid_ = 0;
    HANDLE menu_ = nullptr;      // the instance that shows the pages (the copy in TEMP)
    DWORD menuPid_ = 0;
};

// ---- Discs --------------------------------------------------------------------------------
//
// The drives Q: and R: are host folders <drives>/q and <drives>/r behind the prefix's
// dosdevices links. The test set-up stages a copy of each sample disc as <drives>/e2e-disc1
// and <drives>/e2e-disc2 (real folders: Wine renames the target of a symbolic link, not the
// link). Putting a disc in moves its folder to the drive's name; taking it out moves it back,
// recognised by its disc marker. An empty drive is an empty folder. The drives folder is the
// host path in VGA_E2E_DRIVES (by default the build's own), reached through Z:.

// The drives folder as a Windows path with trailing backslash, or empty when unset.
std::string drivesFolder();

// Puts sample disc n (1 or 2) into drive letter 'Q' or 'R', taking out what the drive held and
// the disc from the other drive if it was there. disc 0 leaves the drive empty.
bool insertDisc(char drive, int disc);
inline bool ejectDisc(char drive) { return insertDisc(drive, 0); }

// Where the staged copy of sample disc n is right now: its staging folder or the drive folder
// it was put into (Windows path with trailing backslash); empty when it is nowhere.
std::string discFolder(int disc);

// The drive letter that holds sample disc n ('Q' or 'R'), or 0 when it is in no drive.
char driveOfDisc(int disc);

// ---- Registry and files -------------------------------------------------------------------

struct SampleTitle {
    const char* id;            // file-name word of the stand-in program, e.g. "lantern"
    const char* registryKey;   // under HKEY_CURRENT_USER
    const char* programFile;   // relative to L_INST_PATH
    const char* discFolder;    // the folder of the program on its disc
};
// The five titles of the sample discs, index 0 to 4.
extern const SampleTitle kSampleTitles[5];

// Deletes HKCU\Software\Varnis and the add/remove programs entry, so each test starts clean.
void resetRegistry();

// Writes the product key with INSTALL_PATH = installDir.
bool writeProductKey(const char* installDir);

// Writes the title key of sample title index with L_INST_PATH = installRoot.
bool writeTitleKey(int index, const char* installRoot);

}  // namespace e2e

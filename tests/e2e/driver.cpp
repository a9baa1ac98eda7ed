// End-to-end driver: starts the real menu from the simulated optical drive and works its pages
// from outside, as a player would, through the windows that all processes of the prefix share.
#include "tests/e2e/driver.h"

#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>

#include "menu/page_ids.h"

namespace e2e {

namespace {

const DWORD kSendTimeoutMs = 15000;
const char kMenuProgram[] = "vgan1_menu.exe";

// ---- Page signatures: the control ids of each template, labels left out.

struct PageSignature {
    Page page;
    std::vector<int> ids;   // sorted
};

std::vector<int> range(int first, int count)
{
    std::vector<int> ids;
    for (int i = 0; i < count; ++i) ids.push_back(first + i);
    return ids;
}

std::vector<int> sorted(std::vector<int> ids, const std::vector<int>& more = {})
{
    ids.insert(ids.end(), more.begin(), more.end());
    std::sort(ids.begin(), ids.end());
    return ids;
}

const std::vector<PageSignature>& signatures()
{
    static const std::vector<PageSignature> table = {
        {Page::Welcome, sorted({IDC_PICTURE_WELCOME, IDC_INSTALL, IDC_NO_INSTALL, IDC_COMPACT_INSTALL})},
        {Page::Main, sorted({IDC_PICTURE_MAIN, IDC_PLAY, IDC_ADD_TITLES, IDC_UNINSTALL, IDC_EXIT})},
        {Page::InstallSelect,
         sorted({IDC_ALL_TITLES, IDC_REQUIRED_SPACE, IDC_SHORTCUT_DESKTOP, IDC_SHORTCUT_MENU, IDC_BACK, IDC_NEXT},
                range(IDC_TITLE_BOX_BASE, 5))},
        {Page::InstallConfirm,
         sorted({IDC_CHANGE, IDC_DESTINATION, IDC_SPACE, IDC_BACK, IDC_START_INSTALL}, range(IDC_CONFIRM_LINE_BASE, 5))},
        {Page::Progress,
         sorted({IDC_SOURCE_FILE, IDC_DESTINATION, IDC_DEST_FILE, IDC_PICTURE_PROGRESS, IDC_PERCENT,
                IDC_PROGRESS_BAR, IDC_CANCEL_INSTALL})},
        {Page::UninstallConfirm,
         sorted({IDC_DATA_ALL, IDC_DATA_GAME, IDC_DATA_SYSTEM, IDC_DATA_READ, IDC_DATA_SAVE, IDC_UNINSTALL_RUN, IDC_BACK},
                range(IDC_CONFIRM_LINE_BASE, 5))},
        {Page::UninstallSelect, sorted({IDC_ALL_TITLES, IDC_NEXT, IDC_BACK}, range(IDC_TITLE_BOX_BASE, 5))},
        {Page::Play, sorted({IDC_GAME_START, IDC_BACK}, range(IDC_PLAY_TITLE_BASE, 5))},
    };
    return table;
}

// The control ids of a window's children, sorted, labels left out.
std::vector<int> controlIds(HWND window)
{
    std::vector<int> ids;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (!isLabelId(GetDlgCtrlID(child))) ids.push_back(GetDlgCtrlID(child));
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

struct WindowSearch {
    DWORD pid;
    bool (*accept)(HWND);
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM parameter)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(parameter);
    if (!IsWindowVisible(window)) return TRUE;
    if (search->pid) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != search->pid) return TRUE;
    }
    if (search->accept(window)) search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> visibleWindows(DWORD pid, bool (*accept)(HWND))
{
    WindowSearch search = {pid, accept, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool isAnyPage(HWND window) { return identifyPage(window) != Page::None; }

bool sameTextIgnoringCase(const std::string& a, const std::string& b)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL;
}

bool isMenuProcess(DWORD pid) { return sameTextIgnoringCase(baseName(processImagePath(pid)), kMenuProgram); }

bool controlUsable(HWND page, int controlId, HWND* control)
{
    if (!page || !IsWindowVisible(page)) return false;
    *control = GetDlgItem(page, controlId);
    return *control && IsWindowVisible(*control) && IsWindowEnabled(*control);
}

bool folderIsEmpty(const std::string& folder)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return true;
    bool empty = true;
    do {
        if (std::strcmp(entry.cFileName, ".") != 0 && std::strcmp(entry.cFileName, "..") != 0) empty = false;
    } while (empty && FindNextFileA(find, &entry));
    FindClose(find);
    return empty;
}

// Which sample disc a folder holds, by its marker; 0 for none.
int discInFolder(const std::string& folder)
{
    for (int disc = 1; disc <= 2; ++disc)
        if (fileExists(folder + "\\varnis_disc" + std::to_string(disc) + ".ico")) return disc;
    return 0;
}

std::string stagedDisc(const std::string& drives, int disc) { return drives + "e2e-disc" + std::to_string(disc); }

// Takes out what a drive holds: a staged disc goes back to its staging name, an empty folder
// is removed. Anything else is refused: the driver never deletes what it did not put there.
bool emptySlot(const std::string& drives, const std::string& slot)
{
    if (!folderExists(slot)) return GetFileAttributesA(slot.c_str()) == INVALID_FILE_ATTRIBUTES;
    const int disc = discInFolder(slot);
    if (disc) return MoveFileExA(slot.c_str(), stagedDisc(drives, disc).c_str(), 0) != 0;
    return folderIsEmpty(slot) && RemoveDirectoryA(slot.c_str());
}

}  // namespace

// ---- Timing

double nowMs()
{
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / frequency;
}

// ---- Pages and message boxes

const char* pageName(Page page)
{
    switch (page) {
    case Page::Welcome: return "welcome";
    case Page::Main: return "main";
    case Page::InstallSelect: return "install_select";
    case Page::InstallConfirm: return "install_confirm";
    case Page::Progress: return "progress";
    case Page::UninstallConfirm: return "uninstall_confirm";
    case Page::UninstallSelect: return "uninstall_select";
    case Page::Play: return "play";
    case Page::None: break;
    }
    return "none";
}

Page identifyPage(HWND window)
{
    if (!isTopLevelDialog(window)) return Page::None;
    const std::vector<int> ids = controlIds(window);
    for (const PageSignature& signature : signatures())
        if (ids == signature.ids) return signature.page;
    return Page::None;
}

HWND findVisiblePage(DWORD pid, Page* which)
{
    const std::vector<HWND> pages = visibleWindows(pid, isAnyPage);
    if (which) *which = pages.empty() ? Page::None : identifyPage(pages.front());
    return pages.empty() ? nullptr : pages.front();
}

std::vector<HWND> visiblePages(DWORD pid) { return visibleWindows(pid, isAnyPage); }

HWND findMessageBox(DWORD pid)
{
    const std::vector<HWND> boxes = visibleWindows(pid, isMessageBox);
    return boxes.empty() ? nullptr : boxes.front();
}

bool answerMessageBox(HWND box, int buttonId)
{
    HWND button = nullptr;
    if (!controlUsable(box, buttonId, &button)) return false;
    return PostMessageA(button, BM_CLICK, 0, 0) != 0;
}

// ---- Controls

bool click(HWND page, int controlId)
{
    HWND control = nullptr;
    if (!controlUsable(page, controlId, &control)) return false;
    DWORD_PTR result = 0;
    SetLastError(0);
    if (SendMessageTimeoutA(control, BM_CLICK, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &result)) return true;
    // A press that ends the menu destroys the page while the press is handled: that is no failure.
    return GetLastError() != ERROR_TIMEOUT;
}

bool postClick(HWND page, int controlId)
{
    HWND control = nullptr;
    if (!controlUsable(page, controlId, &control)) return false;
    return PostMessageA(control, BM_CLICK, 0, 0) != 0;
}

// ---- Processes

std::vector<DWORD> findProcesses(const char* exeName)
{
    std::vector<DWORD> pids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return pids;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (sameTextIgnoringCase(baseName(entry.szExeFile), exeName)) pids.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return pids;
}

std::string processImagePath(DWORD pid)
{
    if (!pid) return {};
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return {};
    char path[MAX_PATH * 2] = {};
    DWORD size = sizeof path;
    const BOOL ok = QueryFullProcessImageNameA(process, 0, path, &size);
    CloseHandle(process);
    return ok ? std::string(path, size) : std::string();
}

void killProcesses(const std::vector<std::string>& exeNames)
{
    std::vector<HANDLE> ending;
    for (const std::string& name : exeNames)
        for (DWORD pid : findProcesses(name.c_str())) {
            if (pid == GetCurrentProcessId()) continue;
            HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
            if (!process) continue;
            TerminateProcess(process, 1);
            ending.push_back(process);
        }
    for (HANDLE process : ending) {
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
}

void killLeftovers()
{
    std::vector<std::string> names = {kMenuProgram, "dxsetup.exe", "vga_e2e_bare_dialog.exe"};
    for (const SampleTitle& title : kSampleTitles) names.push_back(std::string(title.id) + ".exe");
    killProcesses(names);
}

std::vector<char> environmentWith(const std::vector<std::string>& assignments)
{
    auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=', 1)); };
    std::vector<std::string> entries;
    char* block = GetEnvironmentStringsA();
    for (const char* p = block; p && *p; p += std::strlen(p) + 1) {
        const std::string entry = p;
        bool replaced = false;
        for (const std::string& assignment : assignments)
            if (sameTextIgnoringCase(nameOf(entry), nameOf(assignment))) replaced = true;
        if (!replaced) entries.push_back(entry);
    }
    if (block) FreeEnvironmentStringsA(block);
    entries.insert(entries.end(), assignments.begin(), assignments.end());

    std::vector<char> out;
    for (const std::string& entry : entries) out.insert(out.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
    out.push_back('\0');
    return out;
}

void leaveMenuWindowsUnmanaged()
{
    writeText(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\vgan1_menu.exe\\X11 Driver", "Managed", REG_SZ, "N");
}

// ---- MenuRun

MenuRun::~MenuRun()
{
    for (HANDLE* process : {&menu_, &started_}) {
        if (!*process) continue;
        if (WaitForSingleObject(*process, 0) == WAIT_TIMEOUT) {
            TerminateProcess(*process, 1);
            WaitForSingleObject(*process, 10000);
        }
        CloseHandle(*process);
        *process = nullptr;
    }
}

bool MenuRun::start(const std::vector<char>& environment, const char* program, const char* folder,
                    const std::string& arguments)
{
    leaveMenuWindowsUnmanaged();
    std::string commandLine = std::string("\"") + program + "\"";   // as the shell starts a program
    if (!arguments.empty()) commandLine += " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, &commandLine[0], nullptr, nullptr, FALSE, 0,
                        environment.empty() ? nullptr : const_cast<char*>(environment.data()), folder, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    if (started_) CloseHandle(started_);
    started_ = process.hProcess;
    startedPid_ = process.dwProcessId;
    return true;
}

long MenuRun::waitStartedExit(DWORD timeoutMs)
{
    DWORD code = 0;
    if (!started_ || WaitForSingleObject(started_, timeoutMs) != WAIT_OBJECT_0 || !GetExitCodeProcess(started_, &code))
        return -1;
    return static_cast<long>(code);
}

HWND MenuRun::waitForPage(Page page, DWORD timeoutMs)
{
    HWND found = nullptr;
    waitUntil(
        [&] {
            for (HWND window : visiblePages(0)) {
                if (page != Page::None && identifyPage(window) != page) continue;
                DWORD pid = 0;
                GetWindowThreadProcessId(window, &pid);
                if (pid != menuPid_ && !isMenuProcess(pid)) continue;
                found = window;
                return true;
            }
            return false;
        },
        timeoutMs);
    if (!found) return nullptr;

    DWORD pid = 0;
    GetWindowThreadProcessId(found, &pid);
    if (pid != menuPid_) {
        if (menu_) CloseHandle(menu_);
        menu_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, pid);
        menuPid_ = pid;
    }
    return found;
}

HWND MenuRun::visiblePage(Page* which) const
{
    if (!menuPid_) {
        if (which) *which = Page::None;
        return nullptr;
    }
    return findVisiblePage(menuPid_, which);
}

long MenuRun::waitExit(DWORD timeoutMs)
{
    DWORD code = 0;
    if (!menu_ || WaitForSingleObject(menu_, timeoutMs) != WAIT_OBJECT_0 || !GetExitCodeProcess(menu_, &code))
        return -1;
    return static_cast<long>(code);
}

// ---- Discs

std::string drivesFolder()
{
    char host[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("VGA_E2E_DRIVES", host, sizeof host);
    std::string folder = length > 0 && length < sizeof host ? host : "";
#ifdef VGA_E2E_DRIVES_DEFAULT
    if (folder.empty()) folder = VGA_E2E_DRIVES_DEFAULT;
#endif
    if (folder.empty()) return {};
    return withBackslash(windowsPath(folder));
}

bool insertDisc(char drive, int disc)
{
    const std::string drives = drivesFolder();
    if (drives.empty() || disc < 0 || disc > 2) return false;
    const char slotLetter = (drive == 'R' || drive == 'r') ? 'r' : 'q';
    const std::string slot = drives + slotLetter;
    const std::string otherSlot = drives + (slotLetter == 'q' ? 'r' : 'q');

    if (!emptySlot(drives, slot)) return false;
    if (disc == 0) return CreateDirectoryA(slot.c_str(), nullptr) != 0;

    const std::string staged = stagedDisc(drives, disc);
    if (!folderExists(staged)) {
        // The disc is in the other drive: take it out of there first.
        if (discInFolder(otherSlot) != disc || !emptySlot(drives, otherSlot) ||
            !CreateDirectoryA(otherSlot.c_str(), nullptr))
            return false;
    }
    return MoveFileExA(staged.c_str(), slot.c_str(), 0) != 0;
}

std::string discFolder(int disc)
{
    const std::string drives = drivesFolder();
    if (drives.empty() || disc < 1 || disc > 2) return {};
    for (const std::string& folder : {stagedDisc(drives, disc), drives + "q", drives + "r"})
        if (discInFolder(folder) == disc) return folder + "\\";
    return {};
}

char driveOfDisc(int disc)
{
    const std::string drives = drivesFolder();
    if (drives.empty()) return 0;
    if (discInFolder(drives + "q") == disc) return 'Q';
    if (discInFolder(drives + "r") == disc) return 'R';
    return 0;
}

// ---- Registry and files

const SampleTitle kSampleTitles[5] = {
    {"lantern", "Software\\Varnis\\Lantern", "Varnis\\Lantern\\lantern.exe", "lantern\\"},
    {"brindle", "Software\\Varnis\\Brindle", "Varnis\\Brindle\\brindle.exe", "brindle\\"},
    {"harbor", "Software\\Varnis\\Harbor", "Varnis\\Harbor\\harbor.exe", "harbor\\"},
    {"rainmere", "Software\\Varnis\\Rainmere", "Varnis\\Rainmere\\rainmere.exe", "rainmere\\"},
    {"mistvale", "Software\\Varnis\\Mistvale", "Varnis\\Mistvale\\mistvale.exe", "mistvale\\"},
};

void resetRegistry()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Varnis");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Varnis");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Varnis Grand Anthology");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Varnis Grand Anthology");
}

bool writeProductKey(const char* installDir)
{
    return writeText(HKEY_CURRENT_USER, "Software\\Varnis\\SET-V", "INSTALL_PATH", REG_SZ, installDir);
}

bool writeTitleKey(int index, const char* installRoot)
{
    if (index < 0 || index > 4) return false;
    return writeText(HKEY_CURRENT_USER, kSampleTitles[index].registryKey, "L_INST_PATH", REG_SZ, installRoot);
}

}  // namespace e2e

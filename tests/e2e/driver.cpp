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

// A DIALOG label (IDC_STATIC) has id 0xFFFF, a DIALOGEX label -1.
bool isLabelId(int id) { return id == -1 || (id & 0xFFFF) == 0xFFFF; }

bool isDialogClass(HWND window)
{
    char name[16] = {};
    return GetClassNameA(window, name, sizeof name) > 0 && std::strcmp(name, "#32770") == 0;
}

// The control ids of a window's children, sorted; labels counted in labels.
std::vector<int> childIds(HWND window, int* labels = nullptr)
{
    std::vector<int> ids;
    int labelCount = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        if (isLabelId(id))
            ++labelCount;
        else
            ids.push_back(id);
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    if (labels) *labels = labelCount;
    return ids;
}

bool isTopLevel(HWND window) { return !(GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD); }

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

std::string baseName(const std::string& path)
{
    // Program paths of the prefix may hold two-byte characters: walk, never search bytes.
    const char* last = path.c_str();
    for (const char* p = path.c_str(); *p; p = CharNextExA(932, p, 0))
        if (*p == '\\' || *p == '/') last = p + 1;
    return last;
}

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

bool folderExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
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

bool setRegistryText(HKEY root, const char* keyPath, const char* name, const char* text)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                       static_cast<DWORD>(std::strlen(text) + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

std::string withBackslash(std::string folder)
{
    if (!folder.empty() && baseName(folder).empty()) return folder;   // ends in a separator
    return folder + "\\";
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
    if (!window || !isTopLevel(window) || !isDialogClass(window)) return Page::None;
    const std::vector<int> ids = childIds(window);
    for (const PageSignature& signature : signatures())
        if (ids == signature.ids) return signature.page;
    return Page::None;
}

bool isMessageBox(HWND window)
{
    if (!window || !isTopLevel(window) || !isDialogClass(window)) return false;
    int labels = 0;
    const std::vector<int> ids = childIds(window, &labels);
    if (labels == 0) return false;
    bool hasButton = false;
    for (int id : ids) {
        if (id >= IDOK && id <= IDCONTINUE) hasButton = true;
        if (id >= IDC_PLAY_TITLE_BASE && id <= IDC_ALL_TITLES) return false;   // a page's own control
    }
    return hasButton;
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

std::string messageBoxText(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (isLabelId(GetDlgCtrlID(child))) {
            const std::string text = windowText(child);
            if (!text.empty()) return text;
        }
    return {};
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

int checkState(HWND page, int controlId)
{
    HWND control = GetDlgItem(page, controlId);
    if (!control) return -1;
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &state)) return -1;
    return static_cast<int>(state);
}

bool isChecked(HWND page, int controlId) { return checkState(page, controlId) == BST_CHECKED; }

bool isEnabled(HWND page, int controlId)
{
    HWND control = GetDlgItem(page, controlId);
    return control && IsWindowEnabled(control);
}

bool isShown(HWND page, int controlId)
{
    HWND control = GetDlgItem(page, controlId);
    return control && IsWindowVisible(control);
}

std::string controlText(HWND page, int controlId)
{
    HWND control = GetDlgItem(page, controlId);
    return control ? windowText(control) : std::string();
}

std::string windowText(HWND window)
{
    char text[1024] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                             kSendTimeoutMs, &length))
        return {};
    return std::string(text, std::min<size_t>(length, sizeof text - 1));
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
    setRegistryText(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\vgan1_menu.exe\\X11 Driver", "Managed", "N");
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
    return setRegistryText(HKEY_CURRENT_USER, "Software\\Varnis\\SET-V", "INSTALL_PATH", installDir);
}

bool writeTitleKey(int index, const char* installRoot)
{
    if (index < 0 || index > 4) return false;
    return setRegistryText(HKEY_CURRENT_USER, kSampleTitles[index].registryKey, "L_INST_PATH", installRoot);
}

std::string programFilesFolder()
{
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return withBackslash(path);
}

std::string shellFolder(int csidl)
{
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return withBackslash(path);
}

std::string shortcutTarget(const std::string& linkPath)
{
    const HRESULT init = CoInitialize(nullptr);
    std::string target;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t wide[MAX_PATH] = {};
            char path[MAX_PATH] = {};
            if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH) > 0 &&
                SUCCEEDED(file->Load(wide, STGM_READ)) && link->GetPath(path, MAX_PATH, nullptr, 0) == S_OK)
                target = path;
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return target;
}

std::string ownFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return folderOf(path);
}

std::string tempFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetTempPathA(sizeof path, path);
    if (length == 0 || length >= sizeof path) return {};
    return withBackslash(path);
}

std::string windowsPath(const std::string& path)
{
    if (path.empty() || path[0] != '/') return path;
    std::string windows = "Z:" + path;   // Z: is the host's root in every prefix
    std::replace(windows.begin(), windows.end(), '/', '\\');
    return windows;
}

std::string folderOf(const std::string& path) { return path.substr(0, path.size() - baseName(path).size()); }

bool fileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string readFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char chunk[8192];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
    CloseHandle(file);
    return text;
}

bool makeFolders(const std::string& folder)
{
    const int result = SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS || result == ERROR_FILE_EXISTS;
}

bool copyReplacing(const std::string& from, const std::string& to)
{
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(to.c_str());
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool copyTree(const std::string& from, const std::string& to)
{
    const std::string source = withBackslash(from), target = withBackslash(to);
    if (!makeFolders(target)) return false;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((source + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = copyTree(source + name, target + name) && ok;
        else
            ok = copyReplacing(source + name, target + name) && ok;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return ok;
}

bool deleteTree(const std::string& folder)
{
    const std::string base = withBackslash(folder);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((base + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return !folderExists(folder) || RemoveDirectoryA(folder.c_str());
    bool ok = true;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = base + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ok = deleteTree(path) && ok;
        } else {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ok = DeleteFileA(path.c_str()) && ok;
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryA(folder.c_str()) && ok;
}

}  // namespace e2e

// Helpers of the install Win32 tests: private registry roots, caught message boxes, pages, scratch files and discs.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "data/catalogue.h"
#include "install/copy_progress.h"
#include "install/install_choices.h"
#include "install/run_state.h"
#include "menu/page_ids.h"
#include "menu/pages.h"

namespace install_test {

inline void setText(char* buffer, const std::string& text)
{
    ASSERT_LT(text.size(), kTextSize);
    std::memset(buffer, 0, kTextSize);
    std::memcpy(buffer, text.data(), text.size());
}

// The choices of a run into root (trailing backslash): the product in root + "Varnis\\Hub\\",
// the given titles, both shortcut options.
inline InstallChoices runInto(const std::string& root, std::initializer_list<int> titles = {})
{
    InstallChoices run = {};
    for (int title : titles) run.titles[title] = true;
    run.desktopShortcuts = run.startMenuShortcuts = true;
    std::memcpy(run.installRoot, root.c_str(), root.size() + 1);
    const std::string dir = root + "Varnis\\Hub\\";
    std::memcpy(run.installDir, dir.c_str(), dir.size() + 1);
    return run;
}

// A progress display that shows nothing and owns the run's boxes with owner.
class QuietProgress : public CopyProgress {
public:
    explicit QuietProgress(HWND owner = nullptr) : owner_(owner) {}
    HWND owner() const override { return owner_; }
    void showFiles(const char* source, const char* destination) override
    {
        lastSource = source;
        lastDestination = destination;
    }
    void showPercent(int percent) override { percents.push_back(percent); }
    void repaintPicture() override { ++repaints; }

    std::string lastSource, lastDestination;
    std::vector<int> percents;
    int repaints = 0;

private:
    HWND owner_;
};

// Points a predefined key (HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE) at a private key of its own
// for the life of the object, so a test never touches the prefix's real keys.
class PrivateRegistryRoot {
public:
    PrivateRegistryRoot(HKEY predefined, const char* name) : predefined_(predefined)
    {
        path_ = std::string("Software\\VarnisTests\\") + name;
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &root_, nullptr) == ERROR_SUCCESS)
            ok_ = RegOverridePredefKey(predefined_, root_) == ERROR_SUCCESS;
    }
    ~PrivateRegistryRoot()
    {
        RegOverridePredefKey(predefined_, nullptr);
        if (root_) RegCloseKey(root_);
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    }
    PrivateRegistryRoot(const PrivateRegistryRoot&) = delete;
    PrivateRegistryRoot& operator=(const PrivateRegistryRoot&) = delete;
    bool ok() const { return ok_; }

private:
    HKEY predefined_;
    std::string path_;
    HKEY root_ = nullptr;
    bool ok_ = false;
};

// Message boxes shown on this thread are recorded and answered at once: with the next queued
// answer (IDOK, IDCANCEL, IDRETRY, ...), or OK when none is queued.
struct ShownMessage {
    std::string text, caption;
    HWND owner;
};

class MessageCatcher {
public:
    MessageCatcher()
    {
        shown().clear();
        answers().clear();
        hook_ = SetWindowsHookExA(WH_CBT, onCbt, nullptr, GetCurrentThreadId());
    }
    ~MessageCatcher() { UnhookWindowsHookEx(hook_); }
    MessageCatcher(const MessageCatcher&) = delete;
    MessageCatcher& operator=(const MessageCatcher&) = delete;

    void answer(int button) { answers().push_back(button); }
    static std::vector<ShownMessage>& shown()
    {
        static std::vector<ShownMessage> list;
        return list;
    }

private:
    static std::deque<int>& answers()
    {
        static std::deque<int> list;
        return list;
    }
    // A page is a dialog too, and its IDC_STATIC labels have the id 0xFFFF of a message box's
    // text: a message box is told by its buttons (IDOK to IDCONTINUE) and by not being a page.
    static bool isMessageBox(HWND window)
    {
        for (HWND page : {g_pages.welcome, g_pages.main, g_pages.installSelect, g_pages.installConfirm,
                          g_pages.progress, g_pages.uninstallConfirm, g_pages.uninstallSelect, g_pages.play})
            if (window == page) return false;
        if (!GetDlgItem(window, 0xFFFF)) return false;
        for (int id = IDOK; id <= IDCONTINUE; ++id)
            if (GetDlgItem(window, id)) return true;
        return false;
    }
    static LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam)
    {
        HWND window = reinterpret_cast<HWND>(wParam);
        char className[16] = {};
        if (code == HCBT_ACTIVATE && GetClassNameA(window, className, sizeof className) &&
            std::strcmp(className, "#32770") == 0 && !GetPropA(window, "caught") && isMessageBox(window)) {
            SetPropA(window, "caught", reinterpret_cast<HANDLE>(1));
            char text[1024] = {}, caption[256] = {};
            GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
            GetWindowTextA(window, caption, sizeof caption);
            shown().push_back({text, caption, GetWindow(window, GW_OWNER)});
            int button = IDOK;
            if (!answers().empty()) {
                button = answers().front();
                answers().pop_front();
            }
            PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(button), 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_ = nullptr;
};

inline INT_PTR CALLBACK quietPageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// A page made from the menu's own dialog template, with a procedure that does nothing.
inline HWND createPage(int templateId)
{
    HINSTANCE self = GetModuleHandleA(nullptr);
    return CreateDialogParamA(self, MAKEINTRESOURCEA(templateId), nullptr, quietPageProc, 0);
}

inline std::string controlText(HWND page, int id)
{
    char text[512] = {};
    GetDlgItemTextA(page, id, text, sizeof text);
    return text;
}

inline void check(HWND page, int id, bool on) { CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED); }

inline bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline bool writeFile(const std::string& path, const std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline std::string readFile(const std::string& path)
{
    std::string bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "<missing>";
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, got);
    std::fclose(f);
    return bytes;
}

// size bytes of a pattern that does not repeat at the chunk size.
inline std::string patternBytes(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + i / 8191) & 0xFF);
    return bytes;
}

// Deletes a folder with everything below it (files made read-only included).
inline void removeTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

// A scratch folder of its own under TEMP (path with trailing backslash), removed at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* name)
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "vga_" + name + "\\";
        removeTree(path_.substr(0, path_.size() - 1));
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { removeTree(path_.substr(0, path_.size() - 1)); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// Files put on the simulated optical drives Q: and R: for one test and taken off again at its
// end (the drives' folders are shared by every test of the prefix).
class DiscFiles {
public:
    DiscFiles() = default;
    ~DiscFiles()
    {
        for (auto it = files_.rbegin(); it != files_.rend(); ++it) {
            SetFileAttributesA(it->c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(it->c_str());
        }
        for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) RemoveDirectoryA(it->c_str());
    }
    DiscFiles(const DiscFiles&) = delete;
    DiscFiles& operator=(const DiscFiles&) = delete;

    // Puts bytes at drive + relative ("Q:\\" + "lantern\\a.txt"), making folders on the way.
    // Shift-JIS names are walked whole: a trail byte 0x5C is not a folder separator.
    bool put(const std::string& drive, const std::string& relative, const std::string& bytes = "x")
    {
        for (size_t i = 0; i < relative.size(); ++i) {
            if (isSjisLeadByte(static_cast<unsigned char>(relative[i]))) {
                ++i;
            } else if (relative[i] == '\\') {
                const std::string folder = drive + relative.substr(0, i);
                if (CreateDirectoryA(folder.c_str(), nullptr)) folders_.push_back(folder);
            }
        }
        const std::string file = drive + relative;
        files_.push_back(file);
        return writeFile(file, bytes);
    }

private:
    std::vector<std::string> files_, folders_;
};

}  // namespace install_test

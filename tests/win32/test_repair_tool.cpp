// vgahub_fix.exe run as the player runs it: a child process whose message boxes this test reads
// and answers, against a product folder and record that the test sets up.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tests/support/dialogs.h"
#include "tests/support/files.h"

using namespace test_support;

namespace {

const char kCaption[] = "『Varnis Grand Anthology』不具合修正プログラム";
const char kProductKey[] = "Software\\Varnis\\SET-V";

// The program as the build made it, seen through Wine's drive Z: (the host's root).
std::string builtProgram() { return windowsPath(VGA_FIX_EXE); }

bool mutexExists(const char* name)
{
    HANDLE mutex = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name);
    if (mutex) CloseHandle(mutex);
    return mutex != nullptr;
}

// One message box of the tool as it was shown.
struct Box {
    std::string caption, text;
    bool hasCancel;
    bool toolMutexHeld;   // "vgahub_fix" existed while the box was up
    char icon;            // 'E' error, 'I' information, '?' another or none
};

// The pixels of a w x h block: from the screen at (x, y), or an icon drawn on the dialog colour.
std::vector<COLORREF> pixels(int x, int y, int w, int h, HICON icon)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (icon) {
        RECT all = {0, 0, w, h};
        FillRect(memory, &all, GetSysColorBrush(COLOR_3DFACE));
        DrawIconEx(memory, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
    } else {
        BitBlt(memory, 0, 0, w, h, screen, x, y, SRCCOPY);
    }
    std::vector<COLORREF> result;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) result.push_back(GetPixel(memory, i, j));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return result;
}

// The system icon the box shows, told by its pixels (icon handles do not cross processes).
char iconOf(HWND box)
{
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
        RECT r;
        GetWindowRect(c, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        const std::vector<COLORREF> shown = pixels(r.left, r.top, w, h, nullptr);
        if (shown == pixels(0, 0, w, h, LoadIconA(nullptr, IDI_HAND))) return 'E';
        if (shown == pixels(0, 0, w, h, LoadIconA(nullptr, IDI_ASTERISK))) return 'I';
    }
    return '?';
}

struct FindBox {
    DWORD process;
    HWND found;
};

BOOL CALLBACK findBoxOfProcess(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<FindBox*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window) || !isMessageBox(window)) return TRUE;
    search->found = window;
    return FALSE;
}

class RepairTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = tempFolder() + "vga_repair_test\\";
        clear();
        tool_ = root_ + "disc\\";
        product_ = root_ + "Varnis\\Hub\\";
        for (const std::string& folder : {root_, tool_, root_ + "Varnis\\", product_})
            CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileA(builtProgram().c_str(), (tool_ + "vgahub_fix.exe").c_str(), FALSE)) << builtProgram();
        ASSERT_TRUE(writeFile(tool_ + "vgan1_menu.exe", fixedMenu_));
        SetFileAttributesA((tool_ + "vgan1_menu.exe").c_str(), FILE_ATTRIBUTE_READONLY);   // as on the disc
        ASSERT_TRUE(writeFile(product_ + "vgan1_menu.exe", "old menu"));
        setInstallPath(product_);
    }

    void TearDown() override
    {
        for (HANDLE mutex : held_) CloseHandle(mutex);
        clear();
    }

    void clear()
    {
        deleteTree(root_);
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Varnis");
    }

    // INSTALL_PATH as the install run writes it: the whole 260-byte buffer.
    void setInstallPath(const std::string& folder)
    {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        char data[260] = {};
        std::strcpy(data, folder.c_str());
        RegSetValueExA(key, "INSTALL_PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof data);
        RegCloseKey(key);
    }

    void hold(const char* mutexName) { held_.push_back(CreateMutexA(nullptr, FALSE, mutexName)); }

    // Starts the tool, answers its confirmation with confirmAnswer and every other box with OK,
    // and waits for it to end. Each box is checked for the tool's caption.
    std::vector<Box> run(int confirmAnswer = IDOK)
    {
        std::vector<Box> boxes;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        const std::string program = tool_ + "vgahub_fix.exe";
        if (!CreateProcessA(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, tool_.c_str(), &startup,
                            &process)) {
            ADD_FAILURE() << "cannot start " << program;
            return boxes;
        }
        std::set<HWND> seen;
        const DWORD started = GetTickCount();
        while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
            if (GetTickCount() - started > 60000) {
                ADD_FAILURE() << "the tool did not end";
                TerminateProcess(process.hProcess, 1);
                break;
            }
            FindBox search = {process.dwProcessId, nullptr};
            EnumWindows(findBoxOfProcess, reinterpret_cast<LPARAM>(&search));
            if (!search.found || !seen.insert(search.found).second) continue;
            char caption[128] = {}, text[1024] = {};
            GetWindowTextA(search.found, caption, sizeof caption);
            GetDlgItemTextA(search.found, 0xFFFF, text, sizeof text);
            const bool hasCancel = GetDlgItem(search.found, IDCANCEL) != nullptr;
            char icon = '?';
            for (int tries = 0; tries < 40 && (icon = iconOf(search.found)) == '?'; ++tries) Sleep(25);   // painted yet?
            boxes.push_back({caption, text, hasCancel, mutexExists("vgahub_fix"), icon});
            EXPECT_STREQ(caption, kCaption);
            PostMessageA(search.found, WM_COMMAND, hasCancel ? confirmAnswer : IDOK, 0);
        }
        DWORD exitCode = 1;
        GetExitCodeProcess(process.hProcess, &exitCode);
        EXPECT_EQ(exitCode, 0u);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return boxes;
    }

    // The texts of the boxes after the confirmation, which must come first.
    std::vector<std::string> afterConfirmation(const std::vector<Box>& boxes)
    {
        std::vector<std::string> texts;
        if (boxes.empty() || !boxes[0].hasCancel) {
            ADD_FAILURE() << "no confirmation first";
            return texts;
        }
        EXPECT_EQ(boxes[0].icon, 'I');
        for (size_t i = 1; i < boxes.size(); ++i) {
            EXPECT_FALSE(boxes[i].hasCancel) << boxes[i].text;
            // Only the closing report informs; every other message after the question is an error.
            EXPECT_EQ(boxes[i].icon, i + 1 == boxes.size() && boxes[i].text.find("完了") != std::string::npos ? 'I' : 'E')
                << boxes[i].text;
            texts.push_back(boxes[i].text);
        }
        return texts;
    }

    std::string installedMenu() { return readFile(product_ + "vgan1_menu.exe"); }

    std::string root_, tool_, product_;
    const std::string fixedMenu_ = std::string("fixed menu\0\x5c\x95", 13);
    std::vector<HANDLE> held_;
};

TEST_F(RepairTool, WhileTheMenuRunsItSaysSoAndAsksNothing)
{
    hold("vgahub_menu");
    const std::vector<Box> boxes = run();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "『Varnis Grand Anthology』のメニューが実行されています、終了後に再度当プログラムを実行して下さい。");
    EXPECT_FALSE(boxes[0].hasCancel);
    EXPECT_EQ(boxes[0].icon, 'E');
    EXPECT_EQ(installedMenu(), "old menu");
}

TEST_F(RepairTool, ASecondCopyEndsSilently)
{
    hold("vgahub_fix");
    EXPECT_TRUE(run().empty());
    EXPECT_EQ(installedMenu(), "old menu");
}

TEST_F(RepairTool, ReplacesTheInstalledMenuAndLeavesItWritable)
{
    const std::vector<Box> boxes = run();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text,
              "『Varnis Grand Anthology』のアンインストール時の不具合修正作業を開始します。\n"
              "このプログラムを開始する場合は、『Varnis Grand Anthology』が、\n"
              "お客様のパソコンにインストールされている必要があります。\n"
              "また、ゲームをアンインストールする際はDVD挿入時の自動起動のメニュー\n"
              "もしくはDVD内のvgan1_menu.exeからは実行しないようにお願いします。\n"
              "Windowsの「スタート」ボタンから「プログラム」→「Varnis」→\n"
              "「Varnis Grand」→Setupのメニューからアンインストールを実行して下さい。\n"
              "不具合修正作業を開始しても宜しいでしょうか？");
    EXPECT_TRUE(boxes[0].toolMutexHeld);
    EXPECT_FALSE(mutexExists("vgahub_fix")) << "released at the end";
    EXPECT_EQ(afterConfirmation(boxes), std::vector<std::string>{"不具合修正作業が完了しました。\n"
                                                                 "『Varnis Grand Anthology』を起動しゲームをお楽しみ下さい。"});
    EXPECT_EQ(installedMenu(), fixedMenu_);
    EXPECT_EQ(GetFileAttributesA((product_ + "vgan1_menu.exe").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);

    // A stored folder without its backslash still names the folder. A new copy (Wine carries
    // the disc's read-only attribute only to a file it creates) is left writable too.
    setInstallPath(product_.substr(0, product_.size() - 1));
    DeleteFileA((product_ + "vgan1_menu.exe").c_str());
    EXPECT_EQ(run().size(), 2u);
    EXPECT_EQ(installedMenu(), fixedMenu_);
    EXPECT_EQ(GetFileAttributesA((product_ + "vgan1_menu.exe").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_FALSE(pathExists(root_ + "Varnis\\Hubvgan1_menu.exe"));
}

TEST_F(RepairTool, NothingIsCopiedUnlessConfirmedAndInstalled)
{
    EXPECT_TRUE(afterConfirmation(run(IDCANCEL)).empty());

    RegDeleteTreeA(HKEY_CURRENT_USER, kProductKey);
    EXPECT_EQ(afterConfirmation(run()), std::vector<std::string>{"『Varnis Grand Anthology』がインストールされていません。"});

    setInstallPath("");
    EXPECT_EQ(afterConfirmation(run()), std::vector<std::string>{"インストールパスの取得に失敗しました。"});
    EXPECT_EQ(installedMenu(), "old menu");
}

TEST_F(RepairTool, AMissingFileNextToTheToolLeavesTheInstallAlone)
{
    SetFileAttributesA((tool_ + "vgan1_menu.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA((tool_ + "vgan1_menu.exe").c_str());
    EXPECT_EQ(afterConfirmation(run()), std::vector<std::string>{"vgan1_menu.exeが見つかりません。"});
    EXPECT_EQ(installedMenu(), "old menu");
}

// A read-only target, and one whose path does not fit in 259 characters (cut short, it would
// name another file): the copy message, and nothing copied.
TEST_F(RepairTool, ATargetThatCannotBeWrittenIsACopyFailure)
{
    const std::vector<std::string> copyFailed = {"vgan1_menu.exeのコピーに失敗しました。"};
    SetFileAttributesA((product_ + "vgan1_menu.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(afterConfirmation(run()), copyFailed);
    EXPECT_EQ(installedMenu(), "old menu");

    const std::string longFolder = product_ + std::string(250 - product_.size(), 'x') + "\\";
    ASSERT_TRUE(CreateDirectoryA(longFolder.c_str(), nullptr));
    setInstallPath(longFolder);
    EXPECT_EQ(afterConfirmation(run()), copyFailed);
    EXPECT_FALSE(pathExists((longFolder + "vgan1_menu.exe").substr(0, 259)));
}

}  // namespace

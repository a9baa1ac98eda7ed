// Dialogs for the Windows test programs (see dialogs.h).
#include "tests/support/dialogs.h"

#include <algorithm>
#include <cstring>
#include <deque>

#include "menu/page_ids.h"

namespace test_support {

namespace {

const DWORD kSendTimeoutMs = 15000;

INT_PTR CALLBACK quietDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

std::vector<ShownMessage> g_shown;
std::deque<int> g_answers;
int g_browsers = 0;

LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && isTopLevelDialog(window) && !GetPropA(window, "caught")) {
        if (FindWindowExA(window, nullptr, "SysTreeView32", nullptr)) {
            SetPropA(window, "caught", window);
            ++g_browsers;
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        } else if (isMessageBox(window)) {
            SetPropA(window, "caught", window);
            char caption[256] = {};
            GetWindowTextA(window, caption, sizeof caption);
            g_shown.push_back({messageBoxText(window), caption, GetWindow(window, GW_OWNER)});
            int button = IDOK;
            if (!g_answers.empty()) {
                button = g_answers.front();
                g_answers.pop_front();
            }
            PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(button), 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool isTopLevelDialog(HWND window)
{
    char name[16] = {};
    return window && !(GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) &&
           GetClassNameA(window, name, sizeof name) > 0 && std::strcmp(name, "#32770") == 0;
}

bool isLabelId(int id) { return id == -1 || (id & 0xFFFF) == 0xFFFF; }

bool isMessageBox(HWND window)
{
    if (!isTopLevelDialog(window)) return false;
    bool label = false, button = false;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        if (isLabelId(id)) label = true;
        else if (id >= IDOK && id <= IDCONTINUE) button = true;
        else if (id >= IDC_PLAY_TITLE_BASE && id <= IDC_ALL_TITLES) return false;   // a page's own control
    }
    return label && button;
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

std::string windowText(HWND window)
{
    char text[1024] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                             kSendTimeoutMs, &length))
        return {};
    return std::string(text, std::min<size_t>(length, sizeof text - 1));
}

std::string controlText(HWND dialog, int controlId)
{
    HWND control = GetDlgItem(dialog, controlId);
    return control ? windowText(control) : std::string();
}

int checkState(HWND dialog, int controlId)
{
    HWND control = GetDlgItem(dialog, controlId);
    if (!control) return -1;
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &state)) return -1;
    return static_cast<int>(state);
}

bool isChecked(HWND dialog, int controlId) { return checkState(dialog, controlId) == BST_CHECKED; }

bool isEnabled(HWND dialog, int controlId)
{
    HWND control = GetDlgItem(dialog, controlId);
    return control && IsWindowEnabled(control);
}

bool isShown(HWND dialog, int controlId)
{
    HWND control = GetDlgItem(dialog, controlId);
    return control && IsWindowVisible(control);
}

void setChecked(HWND dialog, int controlId, bool on)
{
    CheckDlgButton(dialog, controlId, on ? BST_CHECKED : BST_UNCHECKED);
}

HWND createQuietDialog(int templateId)
{
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), nullptr, quietDialogProc, 0);
}

MessageCatcher::MessageCatcher()
{
    g_shown.clear();
    g_answers.clear();
    g_browsers = 0;
    hook_ = SetWindowsHookExA(WH_CBT, onCbt, nullptr, GetCurrentThreadId());
}

MessageCatcher::~MessageCatcher() { UnhookWindowsHookEx(hook_); }

void MessageCatcher::answer(int button) { g_answers.push_back(button); }

std::vector<ShownMessage>& MessageCatcher::shown() { return g_shown; }

int MessageCatcher::browsersClosed() { return g_browsers; }

}  // namespace test_support

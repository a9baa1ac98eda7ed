// Dialogs for the Windows test programs: telling a message box from a page, reading and setting
// controls (of this process's windows or another's), the menu's own dialog templates made with a
// procedure that does nothing, and the message boxes this thread shows, caught and answered.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace test_support {

// A top-level dialog window (#32770): a page, a message box, a folder browser.
bool isTopLevelDialog(HWND window);

// A label's control id: 0xFFFF (IDC_STATIC in a DIALOG template) or -1 (in a DIALOGEX one).
bool isLabelId(int id);

// True for a message box: a top-level dialog (#32770) with a label (id 0xFFFF or -1), a button
// with an id from IDOK to IDCONTINUE and none of the pages' control ids (a page's labels are
// 0xFFFF too).
bool isMessageBox(HWND window);

// The text of a message box: its first label with a text.
std::string messageBoxText(HWND box);

// Texts and states of controls. They work on the windows of other processes too, and give up
// after a while on a window that does not answer.
std::string windowText(HWND window);
std::string controlText(HWND dialog, int controlId);
int checkState(HWND dialog, int controlId);   // BST_CHECKED, BST_UNCHECKED; -1 without the control
bool isChecked(HWND dialog, int controlId);
bool isEnabled(HWND dialog, int controlId);
bool isShown(HWND dialog, int controlId);
void setChecked(HWND dialog, int controlId, bool on);

// A modeless dialog from this program's template (the menu's pages are linked into the tests),
// with a procedure that does nothing.
HWND createQuietDialog(int templateId);

// Message boxes shown on this thread for the life of the object are recorded and answered at
// once: with the next queued answer (IDOK, IDCANCEL, IDRETRY, ...), or OK when none is queued.
// A folder browser (the dialog with a tree) is counted and closed with Cancel.
struct ShownMessage {
    std::string text, caption;
    HWND owner;
};

class MessageCatcher {
public:
    MessageCatcher();
    ~MessageCatcher();
    MessageCatcher(const MessageCatcher&) = delete;
    MessageCatcher& operator=(const MessageCatcher&) = delete;

    void answer(int button);
    static std::vector<ShownMessage>& shown();
    static int browsersClosed();

private:
    HHOOK hook_ = nullptr;
};

}  // namespace test_support

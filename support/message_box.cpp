// The one way the menu shows a message to the player: a message box with owner, text and caption.
#include "support/message_box.h"

#include <cstdlib>
#include <cstring>

#include "support/action_log.h"

namespace {

bool g_unattended = false;

// The answer of an unattended run: the button that asks for nothing more.
int unattendedAnswer(UINT flags)
{
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
    case MB_RETRYCANCEL:
    case MB_YESNOCANCEL:
    case MB_CANCELTRYCONTINUE: return IDCANCEL;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return IDOK;
    }
}

const char* buttonName(int answer)
{
    switch (answer) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDRETRY: return "Retry";
    case IDYES: return "Yes";
    case IDNO: return "No";
    case IDABORT: return "Abort";
    case IDIGNORE: return "Ignore";
    case IDTRYAGAIN: return "Try again";
    case IDCONTINUE: return "Continue";
    default: return "not shown";
    }
}

// "message [caption] text", then " -> <button>" for a box that asks (or one that could not be
// shown) and " (unattended)" for a box that was not shown. One line: a line break of the text is
// written as a blank.
void logMessage(const char* text, const char* caption, UINT flags, int answer)
{
    if (!actionLogOn()) return;
    if (!text) text = "";
    const size_t size = std::strlen(text) + 1;
    char* line = static_cast<char*>(std::malloc(size));
    if (!line) return;   // out of memory: the line is lost, as any log line then
    std::memcpy(line, text, size);
    for (char* c = line; *c; ++c)
        if (*c == '\r' || *c == '\n') *c = ' ';   // never the second byte of a two-byte character
    const bool asks = (flags & MB_TYPEMASK) != MB_OK || answer == 0;
    logAction("message [%s] %s%s%s%s", caption ? caption : "", line, asks ? " -> " : "", asks ? buttonName(answer) : "",
              g_unattended ? " (unattended)" : "");
    std::free(line);
}

}  // namespace

int showMessage(HWND owner, const char* text, const char* caption, UINT flags)
{
    const int answer = g_unattended ? unattendedAnswer(flags) : MessageBoxA(owner, text, caption, flags);
    logMessage(text, caption, flags, answer);
    return answer;
}

void setUnattendedMessages(bool unattended) { g_unattended = unattended; }

bool unattendedMessages() { return g_unattended; }

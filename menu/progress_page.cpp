// pageProgress as the display of an install run.
#include "menu/progress_page.h"

#include <commctrl.h>

#include "menu/page_ids.h"
#include "menu/pages.h"

HWND ProgressPage::owner() const { return g_pages.progress; }

void ProgressPage::showFiles(const char* source, const char* destination)
{
    SetDlgItemTextA(g_pages.progress, IDC_SOURCE_FILE, source);
    SetDlgItemTextA(g_pages.progress, IDC_DEST_FILE, destination);
}

void ProgressPage::showPercent(int percent)
{
    SendDlgItemMessageA(g_pages.progress, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    char text[32];
    wsprintfA(text, "%d％", percent);
    SetDlgItemTextA(g_pages.progress, IDC_PERCENT, text);
}

void ProgressPage::repaintPicture()
{
    if (HWND picture = GetDlgItem(g_pages.progress, IDC_PICTURE_PROGRESS)) UpdateWindow(picture);
}

void ProgressPage::clear()
{
    SetDlgItemTextA(g_pages.progress, IDC_PERCENT, "0％");
    SendDlgItemMessageA(g_pages.progress, IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
    showFiles("", "");
}

ProgressPage& progressPage()
{
    static ProgressPage page;
    return page;
}

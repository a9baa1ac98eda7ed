// Creating the eight pages at start-up: modeless dialogs without owner, in a fixed order.
#include "menu/pages.h"
#include "menu/page_ids.h"
#include "menu/page_pictures.h"
#include "menu/page_procedures.h"

bool createPages(const char* title)
{
    struct PageTemplate {
        HWND* page;
        int templateId;
        DLGPROC procedure;
    };
    const PageTemplate order[] = {
        {&g_pages.welcome, IDD_WELCOME, welcomePageProc},
        {&g_pages.main, IDD_MAIN, mainPageProc},
        {&g_pages.installSelect, IDD_INSTALL_SELECT, installSelectPageProc},
        {&g_pages.installConfirm, IDD_INSTALL_CONFIRM, installConfirmPageProc},
        {&g_pages.progress, IDD_PROGRESS, progressPageProc},
        {&g_pages.uninstallConfirm, IDD_UNINSTALL_CONFIRM, uninstallConfirmPageProc},
        {&g_pages.uninstallSelect, IDD_UNINSTALL_SELECT, uninstallSelectPageProc},
        {&g_pages.play, IDD_PLAY, playPageProc},
    };
    HINSTANCE module = GetModuleHandleA(nullptr);
    for (const PageTemplate& t : order) {
        *t.page = CreateDialogParamA(module, MAKEINTRESOURCEA(t.templateId), nullptr, t.procedure, 0);
        if (!*t.page) return false;
        SetWindowTextA(*t.page, title);
    }
    attachPicture(GetDlgItem(g_pages.welcome, IDC_PICTURE_WELCOME), &g_pictureInst1, 200, 200);
    attachPicture(GetDlgItem(g_pages.main, IDC_PICTURE_MAIN), &g_pictureInst1, 200, 200);
    attachPicture(GetDlgItem(g_pages.progress, IDC_PICTURE_PROGRESS), &g_pictureInst2, 450, 300);
    return true;
}

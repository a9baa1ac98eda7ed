// Creating the eight pages at start-up: modeless dialogs without owner, in a fixed order.
#include "menu/pages.h"
#include "menu/page_ids.h"
#include "menu/page_pictures.h"
#include "menu/page_procedures.h"
#include "menu/startup_trace.h"

bool createPages(const char* title)
{
    struct PageTemplate {
        HWND* page;
        int templateId;
        DLGPROC procedure;
        const char* trace;   // the start-up trace's stamp once the page is created
    };
    const PageTemplate order[] = {
        {&g_pages.welcome, IDD_WELCOME, welcomePageProc, "dialog_welcome"},
        {&g_pages.main, IDD_MAIN, mainPageProc, "dialog_main"},
        {&g_pages.installSelect, IDD_INSTALL_SELECT, installSelectPageProc, "dialog_install_select"},
        {&g_pages.installConfirm, IDD_INSTALL_CONFIRM, installConfirmPageProc, "dialog_install_confirm"},
        {&g_pages.progress, IDD_PROGRESS, progressPageProc, "dialog_progress"},
        {&g_pages.uninstallConfirm, IDD_UNINSTALL_CONFIRM, uninstallConfirmPageProc, "dialog_uninstall_confirm"},
        {&g_pages.uninstallSelect, IDD_UNINSTALL_SELECT, uninstallSelectPageProc, "dialog_uninstall_select"},
        {&g_pages.play, IDD_PLAY, playPageProc, "dialog_play"},
    };
    HINSTANCE module = GetModuleHandleA(nullptr);
    for (const PageTemplate& t : order) {
        *t.page = CreateDialogParamA(module, MAKEINTRESOURCEA(t.templateId), nullptr, t.procedure, 0);
        if (!*t.page) return false;
        startupTrace(t.trace);
    }
    for (const PageTemplate& t : order) SetWindowTextA(*t.page, title);
    startupTrace("captions");
    attachPicture(GetDlgItem(g_pages.welcome, IDC_PICTURE_WELCOME), &g_pictureInst1, 200, 200);
    attachPicture(GetDlgItem(g_pages.main, IDC_PICTURE_MAIN), &g_pictureInst1, 200, 200);
    attachPicture(GetDlgItem(g_pages.progress, IDC_PICTURE_PROGRESS), &g_pictureInst2, 450, 300);
    return true;
}

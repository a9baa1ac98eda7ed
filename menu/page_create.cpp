// Creating the eight pages at start-up: modeless dialogs without owner, in a fixed order.
#include "menu/page_ids.h"
#include "menu/page_pictures.h"
#include "menu/page_procedures.h"
#include "menu/pages.h"
#include "menu/startup_trace.h"

namespace {

struct PageTemplate {
    HWND* page;
    int templateId;
    DLGPROC procedure;
    const char* trace;   // the start-up trace's stamp once the dialog is created
};

const PageTemplate kPages[] = {
    {&g_pages.welcome, IDD_WELCOME, welcomePageProc, "dialog_welcome"},
    {&g_pages.main, IDD_MAIN, mainPageProc, "dialog_main"},
    {&g_pages.installSelect, IDD_INSTALL_SELECT, installSelectPageProc, "dialog_install_select"},
    {&g_pages.installConfirm, IDD_INSTALL_CONFIRM, installConfirmPageProc, "dialog_install_confirm"},
    {&g_pages.progress, IDD_PROGRESS, progressPageProc, "dialog_progress"},
    {&g_pages.uninstallConfirm, IDD_UNINSTALL_CONFIRM, uninstallConfirmPageProc, "dialog_uninstall_confirm"},
    {&g_pages.uninstallSelect, IDD_UNINSTALL_SELECT, uninstallSelectPageProc, "dialog_uninstall_select"},
    {&g_pages.play, IDD_PLAY, playPageProc, "dialog_play"},
};

// The picture controls: the page, the control, its picture and the block of it the control paints.
struct PagePicture {
    int templateId;
    int controlId;
    CDIB* picture;
    int width, height;
};

const PagePicture kPictures[] = {
    {IDD_WELCOME, IDC_PICTURE_WELCOME, &g_pictureInst1, 200, 200},
    {IDD_MAIN, IDC_PICTURE_MAIN, &g_pictureInst1, 200, 200},
    {IDD_PROGRESS, IDC_PICTURE_PROGRESS, &g_pictureInst2, 450, 300},
};

bool create(const PageTemplate& t, const char* title)
{
    HWND page = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(t.templateId), nullptr, t.procedure, 0);
    *t.page = page;
    if (!page) return false;
    startupTrace(t.trace);
    SetWindowTextA(page, title);
    for (const PagePicture& p : kPictures)
        if (p.templateId == t.templateId) attachPicture(GetDlgItem(page, p.controlId), p.picture, p.width, p.height);
    return true;
}

}  // namespace

bool createPage(int templateId, const char* title)
{
    for (const PageTemplate& t : kPages)
        if (t.templateId == templateId) return create(t, title);
    return false;
}

bool createPages(const char* title, int made)
{
    for (const PageTemplate& t : kPages)
        if (t.templateId != made && !create(t, title)) return false;
    return true;
}

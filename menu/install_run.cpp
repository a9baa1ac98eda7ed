// The install run as the pages start it.
#include "menu/install_run.h"

#include <cstring>

#include "install/destination.h"
#include "install/file_copy.h"
#include "install/registry_record.h"
#include "install/title_install.h"
#include "menu/app_state.h"
#include "menu/message_box.h"
#include "menu/page_flow.h"
#include "menu/startup.h"
#include "uninstall/uninstall_run.h"

namespace {

const char kListUnreadFormat[] = "%s を読み込めないため、インストールできません。";
const char kNotEnoughSpace[] =
    "インストール容量が足りません。\nインストールを取り消して\n空き容量のあるドライブを指定してください。";

int boundedCount(int32_t count, int capacity)
{
    if (count < 0) return 0;
    return count > capacity ? capacity : static_cast<int>(count);
}

void makeFolder(HWND owner, const char* parent, const char* folder)
{
    Text path = {};
    if (!textJoin(path, kTextSize, parent, folder)) {
        showPathTooLong(owner, folder);
        return;
    }
    CreateDirectoryA(path, nullptr);   // an existing folder is fine
}

// True when every entry of the list fits 259 characters both on the disc and at the
// destination; otherwise false with the entry in offending.
bool listPathsFit(const InstallTypeList& list, char* offending)
{
    Text path = {};
    const int entries = boundedCount(list.entryCount, kListEntries);
    for (int i = 0; i < entries; ++i) {
        const char* entry = list.entries[i];
        if (std::strncmp(entry, "CDCHANGE", 8) == 0) continue;   // a disc request, not a file
        if (!textJoin(path, kTextSize, sourceRoot, entry) || !textJoin(path, kTextSize, installDir, entry))
            return textCopy(offending, kTextSize, entry) && false;
    }
    const int folders = boundedCount(list.folderCount, kListFolders);
    for (int i = 0; i < folders; ++i) {
        if (!textJoin(path, kTextSize, installDir, list.folderList[i]))
            return textCopy(offending, kTextSize, list.folderList[i]) && false;
    }
    return true;
}

}  // namespace

void startInstallRun()
{
    HWND page = g_pages.installConfirm;

    // An empty record of a list that could not be read would register the product or a title
    // with nothing copied for it.
    if (const char* unread = unreadListForInstall()) {
        char text[kTextSize + sizeof kListUnreadFormat] = {};
        wsprintfA(text, kListUnreadFormat, unread);
        showMessage(page, text, "インストールエラー");
        return;
    }

    InstallTypeList& list = selectedList();
    // A destination so deep that some file of the run would not fit its path is refused before
    // anything is written: cut short, a path would name another file.
    Text offending = {};
    if (!listPathsFit(list, offending) || !selectedTitlePathsFit(offending)) {
        showPathTooLong(page, offending);
        return;
    }

    // A warning only: the player may still go on and stop the run with Cancel.
    const unsigned long long requiredMb = g_space.requiredGb * 1024ull + g_space.requiredMbRest;
    const unsigned long long freeMb = g_space.freeGb * 1024ull + g_space.freeMbRest;
    if (requiredMb > freeMb) showMessage(page, kNotEnoughSpace, "インストール");

    const bool recorded = productKeyExistsForWrite();
    if (recorded && !productCopyUnfinished()) {
        // The product is on the disk already: only the titles and the closing steps remain.
        copyIndex = boundedCount(list.entryCount, kListEntries);
    } else {
        // A run that ended in the middle of its product copy left part of it: that part goes,
        // and the product is copied and recorded afresh, as by a first run.
        if (recorded) removeUnfinishedProduct();
        if (!writeProductRegistry(page)) return;
        makeFolder(page, programFilesDir, "Varnis\\");
        makeFolder(page, programFilesDir, "Varnis\\Hub\\");
        const int folders = boundedCount(list.folderCount, kListFolders);
        for (int i = 0; i < folders; ++i) makeFolder(page, installDir, list.folderList[i]);
    }

    switchPage(page, g_pages.progress);
    runMode = RunMode::Copying;
}

// Start-up of the menu: from the command line to the first page and the message loop.
#include "menu/startup.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "data/catalogue.h"
#include "install/destination.h"
#include "install/disc_probe.h"
#include "install/registry_record.h"
#include "install/run_state.h"
#include "menu/bootstrap.h"
#include "menu/menu_mutex.h"
#include "support/message_box.h"
#include "menu/message_loop.h"
#include "menu/page_flow.h"
#include "menu/page_ids.h"
#include "menu/page_pictures.h"
#include "menu/page_procedures.h"
#include "menu/pages.h"
#include "menu/restart_command.h"
#include "menu/startup_trace.h"
#include "menu/title_controls.h"
#include "support/com.h"
#include "support/multimedia_timer.h"
#include "support/path.h"
#include "support/platform_hooks.h"
#include "support/shell_folder.h"
#include "support/timer_resolution.h"

namespace {

const char kCommandLineTooLong[] = "コマンドラインが長すぎます";
const char kArchiveOpenFailed[] = "アーカイブの読み込みに失敗しました";
const char kInstallDirTooLong[] = "インストール先のパスが長すぎます";
const char kListsUnread[] = "インストールリストの読み込みに失敗しました：\n";
const char kErrorCaption[] = "ERROR";

// 1 ms resolution of the multimedia timer for the whole run (the archive cache stamps its
// entries with timeGetTime).
CTimerResolution g_timerResolution;

// Archive key, archive on the disc (not the copy in TEMP), the two install-type lists.
void openInstallerData()
{
    Text archivePath = {};
    const size_t folderLength = folderPartLength(sourceRoot);
    std::memcpy(archivePath, sourceRoot, folderLength);   // below 260: sourceRoot is a Text
    archivePath[folderLength] = '\0';
    const bool fits = textAppend(archivePath, kTextSize, "instdata.arc");
    if (!openCatalogue(fits ? archivePath : "")) showMessage(nullptr, kArchiveOpenFailed, kErrorCaption);
}

// installRoot, installDir, shown on pageInstallConfirm.
void setDefaultDestination()
{
    findProgramFilesFolder(programFilesDir);
    textCopy(installRoot, kTextSize, programFilesDir);
    if (!textJoin(installDir, kTextSize, installRoot, "Varnis\\Hub\\"))
        showMessage(nullptr, kInstallDirTooLong, kErrorCaption);
    SetDlgItemTextA(g_pages.installConfirm, IDC_DESTINATION, installDir);
}

// Says at start-up which lists of the disc are broken. A list that the archive does not hold at
// all is left empty without a word, and an archive that did not open has had its own message.
void reportUnreadLists()
{
    char names[kTextSize * 2] = {};
    unreadListNames(names, sizeof names);
    if (names[0] == '\0') return;
    char text[sizeof kListsUnread + sizeof names] = {};
    textJoin(text, sizeof text, kListsUnread, names);
    showMessage(nullptr, text, kErrorCaption);
}

}  // namespace

void setInitialControls()
{
    refreshSpaceDisplay();
    HWND select = g_pages.installSelect;
    CheckDlgButton(select, IDC_ALL_TITLES, BST_CHECKED);
    for (int i = 0; i < kTitleCount; ++i) checkIfNotInstalled(i, IDC_TITLE_BOX_BASE + i);
    SendDlgItemMessageA(g_pages.progress, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageA(g_pages.progress, IDC_PROGRESS_BAR, PBM_SETSTEP, 1, 0);
    CheckDlgButton(select, IDC_SHORTCUT_DESKTOP, BST_CHECKED);
    CheckDlgButton(select, IDC_SHORTCUT_MENU, BST_CHECKED);
    // Next on pageInstallSelect follows the boxes just checked.
    refreshSpaceDisplay();
}

namespace {

// The order matters: the pages take the product title of the full list as their window text,
// and the first checks on pageInstallSelect read the title lists.
int runMenuSteps(const char* commandLine)
{
    // The argument is the disc folder that the first instance handed over.
    if (!commandArgument(commandLine, sourceRoot)) {
        showMessage(nullptr, kCommandLineTooLong, kErrorCaption);
        return 0;
    }
    // Where the discs are looked for beside the optical drives: the folder started from.
    std::memcpy(startFolder, sourceRoot, kTextSize);
    // One menu at a time.
    if (!acquireMenuMutex()) return 0;
    // Run from TEMP, so that the discs can be changed.
    if (!runBootstrap()) {
        releaseMenuMutex();
        return 0;
    }
    currentDisc = 1;
    voiceArcNoted = false;
    openInstallerData();
    startupTrace("archive");
    loadPagePictures();
    startupTrace("pictures");
    if (!createPages(g_installLists[0].title)) {
        closePages();
        return 0;
    }
    startupTrace("pages");
    setDefaultDestination();
    startupTrace("destination");
    loadTitleLists();
    reportUnreadLists();
    startupTrace("titles");
    setInitialControls();
    runMode = RunMode::Idle;
    startupTrace("show");
    showCentered(isProductInstalled() ? g_pages.main : g_pages.welcome);
    runMessageLoop();
    return 0;
}

}  // namespace

void installPlatformHooks()
{
    platform::setMessageHook([](const char* text, const char* caption) { showMessage(nullptr, text, caption); });
    platform::setTickHook([]() -> uint32_t { return mmtimer::now(); });
}

void findProgramFilesFolder(char* out)
{
    std::memset(out, 0, kTextSize);
    if (shellFolderPath(CSIDL_PROGRAM_FILES, out) && (endsWithBackslash(out) || textAppend(out, kTextSize, "\\")))
        return;
    // The drive of the Windows directory, as "C:\".
    char windows[kTextSize] = {};
    const UINT length = GetWindowsDirectoryA(windows, kTextSize);
    const bool known = length >= 2 && length < kTextSize;
    const char drive[4] = {known ? windows[0] : 'C', known ? windows[1] : ':', '\\', '\0'};
    textCopy(out, kTextSize, drive);
}

int runMenu(const char* commandLine)
{
    startupTrace("entry");
    SetErrorMode(SEM_FAILCRITICALERRORS);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    installPlatformHooks();
    ComScope com;   // the folder browser and the shortcuts need COM on this thread
    return runMenuSteps(commandLine);
}

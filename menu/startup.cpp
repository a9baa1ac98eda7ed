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
#include "menu/command_options.h"
#include "menu/menu_mutex.h"
#include "menu/message_loop.h"
#include "menu/page_flow.h"
#include "menu/page_ids.h"
#include "menu/page_pictures.h"
#include "menu/page_procedures.h"
#include "menu/pages.h"
#include "menu/restart_command.h"
#include "menu/startup_trace.h"
#include "menu/title_controls.h"
#include "menu/unattended_run.h"
#include "support/action_log.h"
#include "support/com.h"
#include "support/message_box.h"
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
const char kBadOption[] = "コマンドラインのオプションが正しくありません：";
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

// installRoot, installDir (the pages show them on pageInstallConfirm).
void setDefaultDestination()
{
    findProgramFilesFolder(programFilesDir);
    textCopy(installRoot, kTextSize, programFilesDir);
    if (!textJoin(installDir, kTextSize, installRoot, "Varnis\\Hub\\"))
        showMessage(nullptr, kInstallDirTooLong, kErrorCaption);
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

CommandOptions g_options;   // as the command line gives them, for the whole run

// Why an option is refused, for the player and the log.
const char* optionFault(OptionError error)
{
    switch (error) {
    case OptionError::NotAnOption: return "オプションは / で始めてください。";
    case OptionError::Unknown: return "このオプションはありません。";
    case OptionError::MissingValue: return "= の後に値を指定してください。";
    case OptionError::UnexpectedValue: return "このオプションに値は指定できません。";
    case OptionError::Repeated: return "同じオプションが二度指定されています。";
    case OptionError::UnclosedQuote: return "引用符が閉じていません。";
    case OptionError::PathTooLong: return "パスが長すぎます（259バイトまで）。";
    case OptionError::PathNotAbsolute: return "ドライブ名（C:\\ など）から始まるフォルダを指定してください。";
    case OptionError::PathInvalid: return "パスに使えない文字が含まれています。";
    case OptionError::BadTitles: return "タイトル番号 1～5 をカンマで区切って指定するか、all を指定してください。";
    case OptionError::BadData: return "game, system, read, save をカンマで区切って指定するか、all を指定してください。";
    case OptionError::NeedsSilent: return "このオプションは /silent と一緒に指定してください。";
    case OptionError::NeedsUninstall: return "このオプションは /uninstall と一緒に指定してください。";
    case OptionError::NotForUninstall: return "このオプションは /uninstall と一緒には指定できません。";
    case OptionError::MissingForUninstall: return "/uninstall には /titles= と /data= が必要です。";
    case OptionError::None: break;
    }
    return "";
}

void reportBadOption(const OptionCheck& check)
{
    logAction("bad option: %s", check.option);
    char text[sizeof kBadOption + kTextSize + 128] = {};
    wsprintfA(text, "%s%s\n%s", kBadOption, check.option, optionFault(check.error));
    showMessage(nullptr, text, kErrorCaption);
}

// Switches the log of /log= on, under its full path: the copy in TEMP runs in another folder.
// False when the full path does not fit 259 characters.
bool startActionLog(CommandOptions& options)
{
    if (options.log[0] == '\0') return true;
    Text full = {};
    const DWORD length = GetFullPathNameA(options.log, kTextSize, full, nullptr);
    if (length == 0 || length >= kTextSize) return false;
    std::memcpy(options.log, full, kTextSize);
    openActionLog(options.log);
    return true;
}

int endWith(int code)
{
    logAction("exit code %d: %s", code, exitCodeMeaning(code));
    return code;
}

// The menu with its pages ends with 0 where an unattended run ends with code.
int endRun(int code)
{
    return endWith(g_options.silent ? code : kExitDone);
}

// An unattended run started from a disc, a folder or the installed product ends with the exit
// code of its copy in TEMP, so that a script that waits for it learns the outcome.
int waitForCopy(const KernelHandle& process)
{
    DWORD code = kExitFailed;
    if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 || !GetExitCodeProcess(process.get(), &code))
        code = kExitFailed;
    logAction("the copy in TEMP ended with exit code %lu", static_cast<unsigned long>(code));
    // A copy that crashed ends with the system's exception code: a failure, told as one.
    return code <= static_cast<DWORD>(kExitFailed) ? static_cast<int>(code) : kExitFailed;
}

// The installer data and the destination, then the run the options ask for.
int runUnattendedSteps()
{
    setDefaultDestination();
    loadTitleLists();
    reportUnreadLists();
    const int code = runUnattended(g_options);
    releaseMenuMutex();
    return endWith(code);
}

// The order matters: the pages take the product title of the full list as their window text,
// and the first checks on pageInstallSelect read the title lists. The start-up messages (archive,
// pictures, destination, lists) come before any page is shown, in that order.
int runMenuSteps(const char* commandLine)
{
    // The argument is the disc folder that the first instance handed over; options follow it.
    const char* optionText = "";
    const bool folderFits = commandArgument(commandLine, sourceRoot, &optionText);
    OptionCheck check = parseOptions(optionText, &g_options);
    setUnattendedMessages(g_options.silent);
    if (!startActionLog(g_options) && check.error == OptionError::None) {
        check.error = OptionError::PathTooLong;
        if (!textJoin(check.option, kTextSize, "/log=", g_options.log)) textCopy(check.option, kTextSize, "/log=");
    }
    logAction("started: %s", commandLine);
    if (check.error != OptionError::None) {
        reportBadOption(check);
        return endWith(kExitBadArguments);
    }
    if (!folderFits) {
        showMessage(nullptr, kCommandLineTooLong, kErrorCaption);
        return endRun(kExitBadArguments);
    }
    // Where the discs are looked for beside the optical drives: the folder started from.
    std::memcpy(startFolder, sourceRoot, kTextSize);
    // One menu at a time.
    if (!acquireMenuMutex()) {
        logAction("another menu is running");
        return endRun(kExitMenuRunning);
    }
    // Run from TEMP, so that the discs can be changed; the options go along.
    char carried[kOptionsTextSize] = {};
    if (!formatOptions(g_options, carried, sizeof carried)) {
        // Without its options an unattended run's copy would show the pages to nobody.
        releaseMenuMutex();
        return endRun(kExitFailed);
    }
    KernelHandle copy;
    if (!runBootstrap(carried, g_options.silent ? &copy : nullptr)) {
        releaseMenuMutex();
        return copy ? endWith(waitForCopy(copy)) : endRun(kExitFailed);
    }
    currentDisc = 1;
    voiceArcNoted = false;
    openInstallerData();
    startupTrace("archive");
    if (g_options.silent) return runUnattendedSteps();
    loadPagePictures();
    startupTrace("pictures");
    setDefaultDestination();
    startupTrace("destination");
    loadTitleLists();
    reportUnreadLists();
    startupTrace("titles");
    runMode = RunMode::Idle;

    // The first page is made, shown and painted before the other seven: under Wine making a page
    // is the slowest step of the start, and the first page needs none of the others. No input
    // is handled before the message loop, so all eight pages exist before any click is.
    const char* title = g_installLists[0].title;
    const bool installed = isProductInstalled();
    const int firstPage = installed ? IDD_MAIN : IDD_WELCOME;
    if (!createPage(firstPage, title)) {
        closePages();
        return endWith(kExitDone);
    }
    HWND first = installed ? g_pages.main : g_pages.welcome;
    showCentered(first);
    UpdateWindow(first);
    startupTrace("show");
    if (!createPages(title, firstPage)) {
        closePages();
        return endWith(kExitDone);
    }
    SetDlgItemTextA(g_pages.installConfirm, IDC_DESTINATION, installDir);
    setInitialControls();
    startupTrace("ready");
    runMessageLoop();
    return endWith(kExitDone);
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

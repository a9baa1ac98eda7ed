// One step of the install copy, run by the message loop whenever it finds no message while copying.
#include "menu/idle_step.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

#include "install/disc_probe.h"
#include "install/file_copy.h"
#include "install/registry_key.h"
#include "install/registry_record.h"
#include "install/shortcuts.h"
#include "install/title_install.h"
#include "install/uninstall_entry.h"
#include "menu/app_state.h"
#include "menu/directx_offer.h"
#include "menu/message_box.h"
#include "menu/page_flow.h"
#include "menu/page_ids.h"
#include "uninstall/roll_back.h"

namespace {

const char kInstallCaption[] = "インストール";
const char kInstallErrorCaption[] = "インストールエラー";
const char kDiscChange[] = "CDCHANGE";
const char kVoiceValueNames[2][12] = {"VOICE_ARC", "VOICE2_ARC"};
constexpr int kVoiceArchiveIndex = 4;   // VOICE_ARC and VOICE2_ARC are the fifth and sixth names

int entryCount(const InstallTypeList& list)
{
    if (list.entryCount < 0) return 0;
    return list.entryCount > kListEntries ? kListEntries : static_cast<int>(list.entryCount);
}

// Asks for install disc `disc` (OK/Cancel). True on OK.
bool askForDisc(int disc)
{
    char request[kTextSize] = {};
    formatDiscRequest(disc, request);
    return showMessage(g_pages.progress, request, kInstallCaption, MB_OKCANCEL) == IDOK;
}

// "CDCHANGE n": the disc number starts at the tenth character, after one separator.
void changeDisc(const char* entry)
{
    currentDisc = std::strlen(entry) > 9 ? listAtoi(entry + 9) : 0;
    char marker[kTextSize] = {};
    formatDiscMarker(currentDisc, marker);
    if (probeDiscFile(marker)) {
        ++copyIndex;
        return;
    }
    if (!askForDisc(currentDisc)) {
        rollBackInstall();
        return;
    }
    if (probeDiscFile(marker)) ++copyIndex;   // still missing: the same entry comes again
}

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// A compact install from a CD leaves the voice archives on the disc: the game is pointed at the
// drive that holds them. Done at the first entry where one is found, and then not again until an
// uninstall run clears voiceArcNoted.
void noteVoiceArchivesOnDisc(const InstallTypeList& list)
{
    const bool fromCd = upperAscii(list.mediaType[0]) == 'C' && upperAscii(list.mediaType[1]) == 'D';
    if (installType != 1 || voiceArcNoted || !fromCd) return;
    for (int i = 0; i < 2; ++i) {
        const char* name = list.archiveNames[kVoiceArchiveIndex + i];
        if (!probeDiscFile(name)) continue;
        voiceArcNoted = true;
        Text path = {};
        if (!textJoin(path, kTextSize, sourceRoot, name)) {
            showPathTooLong(g_pages.progress, name);
            continue;
        }
        RegistryKey key;
        if (key.open(HKEY_CURRENT_USER, kProductKeyPath, KEY_ALL_ACCESS) != ERROR_SUCCESS) {
            showMessage(g_pages.progress, "レジストリ情報がありません", "ERROR");
            continue;
        }
        RegSetValueExA(key.get(), kVoiceValueNames[i], 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                       static_cast<DWORD>(std::strlen(path) + 1));
    }
}

void copyEntry(const InstallTypeList& list, const char* entry)
{
    Text source = {}, destination = {};
    if (!textJoin(source, kTextSize, sourceRoot, entry) || !textJoin(destination, kTextSize, installDir, entry)) {
        showPathTooLong(g_pages.progress, entry);
        rollBackInstall();
        return;
    }
    SetDlgItemTextA(g_pages.progress, IDC_SOURCE_FILE, source);
    SetDlgItemTextA(g_pages.progress, IDC_DEST_FILE, destination);

    noteVoiceArchivesOnDisc(list);

    char marker1[kTextSize] = {}, marker2[kTextSize] = {};
    formatDiscMarker(1, marker1);
    formatDiscMarker(2, marker2);
    if (!probeDiscFile(marker1) && !probeDiscFile(marker2)) {
        if (!askForDisc(currentDisc)) rollBackInstall();
        return;   // on OK the entry comes again at the next step
    }

    if (!probeDiscFile(entry)) {
        char text[kTextSize + 64] = {};
        wsprintfA(text, "%s というファイルがありません", destination);
        showMessage(g_pages.progress, text, kInstallErrorCaption);
        rollBackInstall();
        return;
    }
    // Read from the drive where the probe has just found the file: the one the path was built
    // for may hold the other disc by now.
    if (!textJoin(source, kTextSize, sourceRoot, entry)) {
        showPathTooLong(g_pages.progress, entry);
        rollBackInstall();
        return;
    }
    SetDlgItemTextA(g_pages.progress, IDC_SOURCE_FILE, source);

    HWND picture = GetDlgItem(g_pages.progress, IDC_PICTURE_PROGRESS);
    HWND bar = GetDlgItem(g_pages.progress, IDC_PROGRESS_BAR);
    if (copyListFile(picture, bar, source, destination)) {
        ++copyIndex;
        return;
    }
    if (quitMessageSeen() || runMode != RunMode::Copying) return;   // ending, or rolled back meanwhile
    // Retrying at once without asking would spin for ever on a full disk or a bad disc.
    if (!askRetryCopy(g_pages.progress, destination)) rollBackInstall();
}

}  // namespace

void runIdleStep()
{
    if (quitMessageSeen()) {   // the program is ending: the run stops where it is
        runMode = RunMode::Idle;
        return;
    }
    const InstallTypeList& list = selectedList();
    const int count = entryCount(list);
    if (copyIndex >= 0 && copyIndex < count) {
        const char* entry = list.entries[copyIndex];
        if (std::strncmp(entry, kDiscChange, sizeof kDiscChange - 1) == 0)
            changeDisc(entry);
        else
            copyEntry(list, entry);
        if (runMode != RunMode::Copying) return;   // rolled back, or ending
    }
    if (copyIndex < count) return;
    runClosingSteps();
}

void runClosingSteps()
{
    runMode = RunMode::Idle;
    HWND progress = g_pages.progress;
    markProductCopyFinished();   // every entry of the list is on the disk now

    createSetupShortcut();
    registerUninstallEntry(progress);
    installSelectedTitles(progress);
    if (quitMessageSeen()) return;
    if (cancelRequested) {
        rollBackInstall();
        return;
    }

    SendDlgItemMessageA(progress, IDC_PROGRESS_BAR, PBM_SETPOS, 100, 0);
    SetDlgItemTextA(progress, IDC_PERCENT, "100％");
    if (!requestDisc(progress, 2)) {
        rollBackInstall();
        return;
    }
    offerDirectXSetup(progress);
    showCentered(g_pages.main);

    // sourceRoot is now the drive where disc 2 was found.
    Text readme = {};
    if (textJoin(readme, kTextSize, sourceRoot, "readme.txt"))
        ShellExecuteA(nullptr, "open", readme, nullptr, nullptr, SW_SHOWNORMAL);
    hidePage(progress);
}

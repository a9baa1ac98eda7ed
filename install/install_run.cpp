// The install run: its start from the player's choices, and the copy of the install list.
#include "install/install_run.h"

#include <shellapi.h>

#include <cstring>

#include "data/list_grammar.h"
#include "install/copy_progress.h"
#include "install/destination.h"
#include "install/disc_probe.h"
#include "install/disc_request.h"
#include "install/file_copy.h"
#include "install/registry_record.h"
#include "install/run_state.h"
#include "install/shortcuts.h"
#include "install/title_install.h"
#include "install/uninstall_entry.h"
#include "support/action_log.h"
#include "support/message_box.h"
#include "support/registry_key.h"
#include "uninstall/title_uninstall.h"
#include "uninstall/uninstall_run.h"

namespace {

const char kListUnreadFormat[] = "%s を読み込めないため、インストールできません。";
const char kNotEnoughSpace[] =
    "インストール容量が足りません。\nインストールを取り消して\n空き容量のあるドライブを指定してください。";
const char kInstallCaption[] = "インストール";
const char kInstallErrorCaption[] = "インストールエラー";
const char kVoiceValueNames[2][12] = {"VOICE_ARC", "VOICE2_ARC"};
constexpr int kVoiceArchiveIndex = 4;   // VOICE_ARC and VOICE2_ARC are the fifth and sixth names


void makeFolder(HWND owner, const char* parent, const char* folder)
{
    Text path = {};
    if (!textJoin(path, kTextSize, parent, folder)) {
        showPathTooLong(owner, folder);
        return;
    }
    createFolderLogged(path);   // an existing folder is fine
}

// True when every entry of the list fits 259 characters both on the disc and at the
// destination; otherwise false with the entry in offending.
bool listPathsFit(const InstallTypeList& list, const char* installDir, char* offending)
{
    Text path = {};
    const int entries = listCount(list.entryCount, kListEntries);
    for (int i = 0; i < entries; ++i) {
        const char* entry = list.entries[i];
        if (isDiscChangeEntry(entry)) continue;   // a disc request, not a file
        if (!textJoin(path, kTextSize, sourceRoot, entry) || !textJoin(path, kTextSize, installDir, entry))
            return textCopy(offending, kTextSize, entry) && false;
    }
    const int folders = listCount(list.folderCount, kListFolders);
    for (int i = 0; i < folders; ++i) {
        if (!textJoin(path, kTextSize, installDir, list.folderList[i]))
            return textCopy(offending, kTextSize, list.folderList[i]) && false;
    }
    return true;
}

// What of the product is there as the run starts (after what an unfinished run left is gone).
RunOrigin noteOrigin()
{
    RunOrigin origin = {};
    origin.productInstalled = isProductInstalled() && !productCopyUnfinished();
    for (int i = 0; i < kTitleCount; ++i) origin.titleInstalled[i] = isTitleInstalled(g_titles[i]);
    for (int e = 0; e < kHarborExtraCount; ++e) origin.harborExtraInstalled[e] = isTitleInstalled(g_harborExtra[e]);
    return origin;
}

// Asks for install disc `disc` (OK/Cancel). True on OK.
bool askForDisc(HWND owner, int disc)
{
    char request[kTextSize] = {};
    formatDiscRequest(disc, request);
    if (showMessage(owner, request, kInstallCaption, MB_OKCANCEL) == IDOK) return true;
    noteRunFailure(RunFailure::DiscMissing);
    return false;
}

// "CDCHANGE n": install disc n is asked for until its marker is found.
StepOutcome changeDisc(HWND owner, const char* entry)
{
    currentDisc = discChangeNumber(entry);
    char marker[kTextSize] = {};
    formatDiscMarker(currentDisc, marker);
    if (probeDiscFile(marker)) {
        ++copyIndex;
        return StepOutcome::Copying;
    }
    if (!askForDisc(owner, currentDisc)) return StepOutcome::RollBack;
    if (probeDiscFile(marker)) ++copyIndex;   // still missing: the same entry comes again
    return StepOutcome::Copying;
}

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// A compact install from a CD leaves the voice archives on the disc: the game is pointed at the
// drive that holds them. Done at the first entry where one is found, and then not again until an
// uninstall run clears voiceArcNoted.
void noteVoiceArchivesOnDisc(HWND owner, const InstallTypeList& list)
{
    const bool fromCd = upperAscii(list.mediaType[0]) == 'C' && upperAscii(list.mediaType[1]) == 'D';
    if (g_run.installType != 1 || voiceArcNoted || !fromCd) return;
    for (int i = 0; i < 2; ++i) {
        const char* name = list.archiveNames[kVoiceArchiveIndex + i];
        if (!probeDiscFile(name)) continue;
        voiceArcNoted = true;
        Text path = {};
        if (!textJoin(path, kTextSize, sourceRoot, name)) {
            showPathTooLong(owner, name);
            continue;
        }
        RegistryKey key;
        if (key.open(HKEY_CURRENT_USER, kProductKeyPath, KEY_ALL_ACCESS) != ERROR_SUCCESS) {
            showMessage(owner, "レジストリ情報がありません", "ERROR");
            continue;
        }
        key.writeText(kVoiceValueNames[i], path);
    }
}

StepOutcome copyEntry(CopyProgress& progress, const InstallTypeList& list, const char* entry)
{
    const HWND owner = progress.owner();
    Text source = {}, destination = {};
    if (!textJoin(source, kTextSize, sourceRoot, entry) || !textJoin(destination, kTextSize, g_run.installDir, entry)) {
        showPathTooLong(owner, entry);
        return StepOutcome::RollBack;
    }
    progress.showFiles(source, destination);

    noteVoiceArchivesOnDisc(owner, list);

    char marker1[kTextSize] = {}, marker2[kTextSize] = {};
    formatDiscMarker(1, marker1);
    formatDiscMarker(2, marker2);
    if (!probeDiscFile(marker1) && !probeDiscFile(marker2)) {
        // On OK the entry comes again at the next step.
        return askForDisc(owner, currentDisc) ? StepOutcome::Copying : StepOutcome::RollBack;
    }

    if (!probeDiscFile(entry)) {
        char text[kTextSize + 64] = {};
        wsprintfA(text, "%s というファイルがありません", destination);
        showMessage(owner, text, kInstallErrorCaption);
        noteRunFailure(RunFailure::DiscMissing);   // the disc in the drive is not the one the list was made for
        return StepOutcome::RollBack;
    }
    // Read from the drive where the probe has just found the file: the one the path was built
    // for may hold the other disc by now.
    if (!textJoin(source, kTextSize, sourceRoot, entry)) {
        showPathTooLong(owner, entry);
        return StepOutcome::RollBack;
    }
    progress.showFiles(source, destination);

    if (copyListFile(&progress, source, destination, list.listSizeMb)) {
        ++copyIndex;
        return StepOutcome::Copying;
    }
    if (quitMessageSeen()) return StepOutcome::Ending;
    if (runMode != RunMode::Copying) return StepOutcome::Copying;   // rolled back meanwhile
    // Retrying at once without asking would spin for ever on a full disk or a bad disc.
    return askRetryCopy(owner, destination) ? StepOutcome::Copying : StepOutcome::RollBack;
}

}  // namespace

bool warnIfShortOfSpace(HWND owner, const InstallChoices& choices)
{
    if (choices.requiredMb <= choices.freeMb) return false;
    showMessage(owner, kNotEnoughSpace, kInstallCaption);
    return true;
}

bool beginInstallRun(HWND owner, const InstallChoices& choices)
{
    runFailure = RunFailure::None;
    // An empty record of a list that could not be read would register the product or a title
    // with nothing copied for it.
    if (const char* unread = unreadListForInstall(choices.installType, choices.titles)) {
        char text[kTextSize + sizeof kListUnreadFormat] = {};
        wsprintfA(text, kListUnreadFormat, unread);
        showMessage(owner, text, kInstallErrorCaption);
        noteRunFailure(RunFailure::Other);
        return false;
    }

    // A destination so deep that some file of the run would not fit its path is refused before
    // anything is written: cut short, a path would name another file.
    InstallTypeList& list = installTypeList(choices.installType);
    Text offending = {};
    if (!listPathsFit(list, choices.installDir, offending) || !chosenTitlePathsFit(choices, offending)) {
        showPathTooLong(owner, offending);
        return false;
    }

    // A warning only: the player may still go on and stop the run with Cancel.
    warnIfShortOfSpace(owner, choices);

    // What a run that the program did not live through left goes first: the title it was
    // copying, then a product copy it had not finished.
    removeUnfinishedTitles();
    const bool recorded = productKeyExistsForWrite();
    const bool unfinished = recorded && productCopyUnfinished();
    if (unfinished) removeUnfinishedProduct();
    const RunOrigin origin = noteOrigin();

    if (recorded && !unfinished) {
        // The product is on the disk already: only the titles and the closing steps remain.
        copyIndex = listCount(list.entryCount, kListEntries);
    } else {
        // The product is copied and recorded afresh, as by a first run.
        if (!writeProductRegistry(owner, choices)) {
            noteRunFailure(RunFailure::Other);
            return false;
        }
        makeFolder(owner, choices.installRoot, "Varnis\\");
        makeFolder(owner, choices.installRoot, kProductFolder);
        const int folders = listCount(list.folderCount, kListFolders);
        for (int i = 0; i < folders; ++i) makeFolder(owner, choices.installDir, list.folderList[i]);
    }
    g_run = choices;
    g_runOrigin = origin;
    runMode = RunMode::Copying;
    return true;
}

StepOutcome runInstallStep(CopyProgress& progress)
{
    if (quitMessageSeen()) {   // the program is ending: the run stops where it is
        runMode = RunMode::Idle;
        return StepOutcome::Ending;
    }
    const InstallTypeList& list = runList();
    const int count = listCount(list.entryCount, kListEntries);
    if (copyIndex >= 0 && copyIndex < count) {
        const char* entry = list.entries[copyIndex];
        const StepOutcome outcome =
            isDiscChangeEntry(entry) ? changeDisc(progress.owner(), entry) : copyEntry(progress, list, entry);
        if (outcome != StepOutcome::Copying) return outcome;
        if (runMode != RunMode::Copying) return StepOutcome::Copying;   // rolled back meanwhile
    }
    return copyIndex < count ? StepOutcome::Copying : StepOutcome::ListDone;
}

ClosingOutcome finishInstallRun(CopyProgress& progress)
{
    runMode = RunMode::Idle;
    const HWND owner = progress.owner();
    markProductCopyFinished();   // every entry of the list is on the disk now

    // The product's shortcuts and add/remove entry belong to the run that installed it; a later
    // run that adds titles leaves them as they are (its destination may not be the product's).
    if (!g_runOrigin.productInstalled) {
        createSetupShortcut(g_run);
        registerUninstallEntry(owner, g_run.installDir, runList().uninstallProgram);
    }
    installSelectedTitles(progress, g_run);
    if (quitMessageSeen()) return ClosingOutcome::Ending;
    if (cancelRequested) return ClosingOutcome::RollBack;

    progress.showPercent(100);
    if (!requestDisc(owner, 2)) return ClosingOutcome::RollBack;
    return ClosingOutcome::Done;
}

bool openReadme()
{
    Text readme = {};
    if (!textJoin(readme, kTextSize, sourceRoot, "readme.txt")) return false;
    const HINSTANCE result = ShellExecuteA(nullptr, "open", readme, nullptr, nullptr, SW_SHOWNORMAL);
    const bool opened = reinterpret_cast<INT_PTR>(result) > 32;   // the shell's way of saying it worked
    logAction(opened ? "readme opened: %s" : "readme not opened: %s", readme);
    return opened;
}

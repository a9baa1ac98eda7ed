// The per-title installation of the closing steps: folders, files with disc changes, registry key, shortcuts.
#include "install/title_install.h"

#include <cstring>

#include "install/copy_progress.h"
#include "install/disc_request.h"
#include "install/file_copy.h"
#include "install/registry_record.h"
#include "install/run_state.h"
#include "install/shortcuts.h"
#include "support/action_log.h"
#include "support/message_box.h"

namespace {

bool runStopped() { return cancelRequested || quitMessageSeen(); }

// Copies one file of the title, read from install disc `disc`. A file that the disc does not hold
// is left out without a message. Any other failure is put to the player, since going on would
// register the title with part of its files: a disc no longer in its drive is asked for again,
// and a file that cannot be read or written (a full disk, a read-only file or a file where a
// folder must be) is offered for Retry. Cancel on either sets cancelRequested, and the run is
// rolled back. A path that does not fit is reported: cut short it would name another file.
void copyLineFile(CopyProgress& progress, const TitleRecord& title, const char* installRoot, int disc,
                  const char* subfolder, const char* file)
{
    const HWND owner = progress.owner();
    for (;;) {
        Text source = {}, destination = {};
        if (!textJoin(source, kTextSize, sourceRoot, title.sourceFolder, file) ||
            !textJoin(destination, kTextSize, installRoot, subfolder, file)) {
            showPathTooLong(owner, file);
            cancelRequested = 1;   // the title would be registered without this file
            return;
        }
        if (copyTitleFile(progress, source, destination) || runStopped()) return;

        if (GetFileAttributesA(source) == INVALID_FILE_ATTRIBUTES) {
            // Not where it was looked for: the disc may have been taken out or moved to another
            // drive. Once the disc is found (the probe points sourceRoot at it), the file is tried
            // there; a disc that has no such file leaves it out.
            if (disc < 1) return;
            if (!requestDisc(progress.owner(), disc)) {
                cancelRequested = 1;
                return;
            }
            Text again = {};
            if (textJoin(again, kTextSize, sourceRoot, title.sourceFolder, file) &&
                GetFileAttributesA(again) != INVALID_FILE_ATTRIBUTES)
                continue;
            return;
        }
        if (!askRetryCopy(owner, destination)) {
            cancelRequested = 1;
            return;
        }
    }
}

}  // namespace

void createTitleFolders(HWND owner, const TitleRecord& title, const char* installRoot)
{
    const int count = listCount(title.folderCount, kTitleFolders);
    for (int i = 0; i < count; ++i) {
        Text folder = {};
        if (!textJoin(folder, kTextSize, installRoot, title.folderList[i])) {
            showPathTooLong(owner, title.folderList[i]);
            cancelRequested = 1;
            continue;
        }
        createFolderLogged(folder);
    }
}

bool copyTitleFiles(CopyProgress& progress, const TitleRecord& title, const char* installRoot)
{
    Text subfolder = {};
    int disc = currentDisc;   // the disc the files come from until the list names one
    const int count = listCount(title.fileLineCount, kTitleFileLines);
    for (int i = 0; i < count; ++i) {
        Text key = {}, value = {};
        splitAtComma(title.fileLines[i], kTextSize, key, value);

        switch (titleLineKind(key)) {
        case TitleLineKind::End:
            return true;
        case TitleLineKind::SetFolder:
            textCopy(subfolder, kTextSize, value);   // both are 260-byte texts: it always fits
            continue;
        case TitleLineKind::Disc:
            disc = discLineNumber(key);
            if (!requestDisc(progress.owner(), disc)) {
                // Going on would register the title with only part of its files.
                cancelRequested = 1;
                return false;
            }
            break;   // a file named on the disc line is copied like a file line
        case TitleLineKind::File:
            break;
        }
        if (value[0] == '\0') continue;
        copyLineFile(progress, title, installRoot, disc, subfolder, value);
        if (runStopped()) return false;
    }
    return true;
}

namespace {

struct FitCheck {
    const TitleRecord* title;
    const char* installRoot;
    char* offending;
};

bool filePathsFit(void* context, const char* subfolder, const char* file)
{
    const FitCheck& check = *static_cast<FitCheck*>(context);
    Text path = {};
    if (textJoin(path, kTextSize, sourceRoot, check.title->sourceFolder, file) &&
        textJoin(path, kTextSize, check.installRoot, subfolder, file))
        return true;
    textCopy(check.offending, kTextSize, file);
    return false;
}

}  // namespace

bool titlePathsFit(const TitleRecord& title, const char* installRoot, char* offending)
{
    Text path = {};
    const int folders = listCount(title.folderCount, kTitleFolders);
    for (int i = 0; i < folders; ++i) {
        if (!textJoin(path, kTextSize, installRoot, title.folderList[i]))
            return textCopy(offending, kTextSize, title.folderList[i]) && false;
    }
    FitCheck check = {&title, installRoot, offending};
    return forEachTitleFile(title, filePathsFit, &check);
}

bool chosenTitlePathsFit(const InstallChoices& run, char* offending)
{
    for (int i = 0; i < kTitleCount; ++i) {
        if (!run.titles[i]) continue;
        if (!titlePathsFit(g_titles[i], run.installRoot, offending)) return false;
        if (i != kHarborIndex) continue;
        for (const TitleRecord& extra : g_harborExtra)
            if (!titlePathsFit(extra, run.installRoot, offending)) return false;
    }
    return true;
}

unsigned int chosenTitlesSize(const InstallChoices& run)
{
    unsigned int total = 0;
    for (int i = 0; i < kTitleCount; ++i)
        if (run.titles[i]) total += static_cast<unsigned int>(g_titles[i].sizeMb);
    return total;
}

bool installTitle(CopyProgress& progress, const TitleRecord& title, const InstallChoices& run)
{
    if (isTitleInstalled(title)) return false;
    const HWND owner = progress.owner();
    // Before anything of the title is on the disk: a run that ends from outside from here on
    // leaves the mark, and the next install or uninstall removes what was made.
    if (!markTitleUnfinished(title, run.installRoot)) {
        showMessage(owner, "キー情報をレジストリに書き込めませんでした", "ERROR");
        noteRunFailure(RunFailure::Other);
        cancelRequested = 1;
        return false;
    }
    createTitleFolders(owner, title, run.installRoot);
    copyTitleFiles(progress, title, run.installRoot);
    // The program is ending: nothing will roll back, and a key now would claim the title whole.
    if (quitMessageSeen()) return false;
    // Written even after a cancel: the roll-back finds the title by its key.
    if (!writeTitleRegistry(owner, title, run.installRoot)) return false;
    createTitleShortcuts(title, run.installRoot, run.desktopShortcuts, run.startMenuShortcuts);
    if (cancelRequested) return false;
    markTitleFinished(title);
    return true;
}

void installSelectedTitles(CopyProgress& progress, const InstallChoices& run)
{
    titleMbTotal = chosenTitlesSize(run);
    titleMbDone = 0;
    // A cancelled run is rolled back as a whole: nothing more is copied for it, nor a disc asked
    // for, once Cancel was pressed (during the main copy as well).
    for (int i = 0; i < kTitleCount && !runStopped(); ++i) {
        if (!run.titles[i]) continue;
        installTitle(progress, g_titles[i], run);
        if (i != kHarborIndex) continue;
        for (const TitleRecord& extra : g_harborExtra) {
            if (runStopped()) break;
            installTitle(progress, extra, run);
        }
    }
}

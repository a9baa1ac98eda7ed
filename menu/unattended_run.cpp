// An unattended run: the install or uninstall that the options ask for.
#include "menu/unattended_run.h"

#include <windows.h>

#include <cstring>

#include "data/catalogue.h"
#include "install/copy_progress.h"
#include "install/destination.h"
#include "install/install_run.h"
#include "install/registry_record.h"
#include "install/run_state.h"
#include "install/title_install.h"
#include "menu/command_options.h"
#include "menu/directx_offer.h"
#include "menu/title_controls.h"
#include "support/action_log.h"
#include "uninstall/removal_plan.h"
#include "uninstall/roll_back.h"
#include "uninstall/uninstall_run.h"

namespace {

// No page shows the run; the copy logs each file itself.
class NoProgress : public CopyProgress {
public:
    HWND owner() const override { return nullptr; }
    void showFiles(const char*, const char*) override {}
    void showPercent(int) override {}
    void repaintPicture() override {}
};

const char* yesNo(bool value) { return value ? "yes" : "no"; }

// The folders of the destination root that the run made, deepest last: the folder browser only
// offers folders that exist, /dir may name one that does not. They go again (when empty) if the
// run does not begin or is rolled back; an install that ends keeps them, and no uninstall
// removes them (a folder the player named is never the product's to delete).
class MadeRoot {
public:
    // Makes each missing folder of root (trailing backslash), parents first, walking its real
    // backslashes (a second byte 0x5C of a two-byte character is none).
    void make(const char* root)
    {
        // Below the drive "X:\" or the share "\\server\share\", which are no folders to make.
        int sharePartsLeft = root[0] == '\\' && root[1] == '\\' ? 2 : 0;
        for (const char* p = sharePartsLeft ? root + 2 : root; *p; ++p) {
            if (isSjisLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') {
                ++p;
                continue;
            }
            if (*p != '\\' || p - root < 3) continue;
            if (sharePartsLeft > 0) {
                --sharePartsLeft;
                continue;
            }
            Text folder = {};
            std::memcpy(folder, root, static_cast<size_t>(p - root));
            if (GetFileAttributesA(folder) != INVALID_FILE_ATTRIBUTES) continue;
            if (!createFolderLogged(folder) || count_ == kMaxDepth) return;
            std::memcpy(made_[count_++], folder, kTextSize);
        }
    }
    void removeIfEmpty()
    {
        while (count_ > 0) removeFolderLogged(made_[--count_]);
    }

private:
    static constexpr int kMaxDepth = 128;   // a 259-character path has fewer levels
    Text made_[kMaxDepth];
    int count_ = 0;
};

// The exit code of a run that stopped for the reason the run noted.
int exitCodeOfFailure()
{
    switch (runFailure) {
    case RunFailure::DiscMissing: return kExitDiscMissing;
    case RunFailure::CopyFailed: return kExitCopyFailed;
    case RunFailure::PathTooLong: return kExitBadArguments;   // the destination is too deep for the files
    default: return kExitFailed;
    }
}

int rollBack(MadeRoot& root)
{
    const int code = exitCodeOfFailure();
    rollBackInstallRun();
    root.removeIfEmpty();
    return code;
}

// The choices as the pages would hold them once the options were chosen there: the titles
// asked for that are not installed, the shortcut options, the destination ("変更" with /dir),
// the titles' size and the destination's free space. False when /dir does not fit (with the
// page's message).
bool installChoices(const CommandOptions& options, InstallChoices& choices)
{
    if (options.dir[0] != '\0' && !takeDestinationRoot(nullptr, options.dir)) return false;
    choices = {};
    for (int i = 0; i < kTitleCount; ++i) choices.titles[i] = options.titles[i] && !isTitleInstalled(g_titles[i]);
    choices.desktopShortcuts = !options.noDesktop;
    choices.startMenuShortcuts = !options.noStartMenu;
    choices.installType = installType;
    std::memcpy(choices.installRoot, installRoot, kTextSize);
    std::memcpy(choices.installDir, installDir, kTextSize);
    choices.requiredMb = chosenTitlesSize(choices);
    choices.freeMb = destinationFreeMb(installDir);
    return true;
}

// After a run that came to its end: every title it was to install is registered, and the
// product with its copy finished. The run goes on past a title whose key could not be written
// (as it does for the player, who is told so), so this is where the exit code learns of it.
bool everythingRegistered(const InstallChoices& choices)
{
    bool whole = isProductInstalled() && !productCopyUnfinished();
    if (!whole) logAction("the product is not registered after the run");
    for (int i = 0; i < kTitleCount; ++i) {
        if (!choices.titles[i]) continue;
        bool registered = isTitleInstalled(g_titles[i]);
        if (i == kHarborIndex)
            for (const TitleRecord& extra : g_harborExtra) registered = registered && isTitleInstalled(extra);
        if (!registered) logAction("title %d (%s) is not registered after the run", i + 1, g_titles[i].name);
        whole = whole && registered;
    }
    return whole;
}

int install(const CommandOptions& options)
{
    InstallChoices choices;
    if (!installChoices(options, choices)) return kExitBadArguments;
    char numbers[16];
    formatTitleNumbers(choices.titles, numbers);
    logAction("install: titles %s into %s; desktop shortcuts %s, Start menu shortcuts %s; %u MB needed, %u MB free",
              numbers[0] ? numbers : "(none)", choices.installDir, yesNo(choices.desktopShortcuts),
              yesNo(choices.startMenuShortcuts), choices.requiredMb, choices.freeMb);
    if (numbers[0] == '\0') {
        // As on the page, where Next stays off: nothing is started, and nothing is missing.
        logAction("nothing to install: every title asked for is installed");
        return kExitDone;
    }
    // The player reads this warning and may go on; nobody is there to stop the run before the
    // disk is full, so it ends here, before anything is written.
    if (warnIfShortOfSpace(nullptr, choices)) return kExitNoSpace;

    static MadeRoot root;   // 33 KB: not on the stack
    root.make(choices.installRoot);
    NoProgress progress;
    if (!beginInstallRun(nullptr, choices)) {
        root.removeIfEmpty();
        return exitCodeOfFailure();
    }
    for (;;) {
        const StepOutcome step = runInstallStep(progress);
        if (step == StepOutcome::Copying) continue;
        if (step == StepOutcome::RollBack) return rollBack(root);
        if (step == StepOutcome::Ending) return kExitFailed;
        break;   // ListDone
    }
    switch (finishInstallRun(progress)) {
    case ClosingOutcome::RollBack: return rollBack(root);
    case ClosingOutcome::Ending: return kExitFailed;
    case ClosingOutcome::Done: break;
    }
    // What OK on the DirectX question does; /nodirectx is the player's Cancel.
    if (!options.noDirectX) startDirectXSetup(nullptr);
    if (!options.noReadme) openReadme();
    return everythingRegistered(choices) ? kExitDone : kExitFailed;
}

int uninstall(const CommandOptions& options)
{
    UninstallChoices choices = {};
    std::memcpy(choices.titles, options.titles, sizeof choices.titles);
    choices.data = dataChoicesFromBoxes(options.dataAll, options.dataGame, options.dataSystem, options.dataRead,
                                        options.dataSave);
    // Without a title's list its record is not known: whether it is installed cannot be told.
    for (int i = 0; i < kTitleCount; ++i) {
        if (choices.titles[i] && !g_titleListRead[i]) {
            logAction("uninstall: the list of title %d (%s) could not be read", i + 1, kTitleListNames[i]);
            return kExitFailed;
        }
    }
    bool installed[kTitleCount] = {};
    bool anyInstalled = false;
    for (int i = 0; i < kTitleCount; ++i) anyInstalled = (installed[i] = isTitleInstalled(g_titles[i])) || anyInstalled;
    const bool product = isProductInstalled();
    if (!product && !anyInstalled) {
        logAction("uninstall: the collection is not installed");
        return kExitNotInstalled;
    }
    // A title named by its number must be there: a script that names one expects it.
    if (!options.titlesAll) {
        for (int i = 0; i < kTitleCount; ++i) {
            if (choices.titles[i] && !installed[i]) {
                logAction("uninstall: title %d (%s) is not installed", i + 1, g_titles[i].name);
                return kExitNotInstalled;
            }
        }
    }
    const RemovalPlan plan = planUninstall(installed, product, choices);
    if (!removesAnything(plan)) {
        // The page's アンインストール stays greyed for such choices.
        logAction("uninstall: these choices remove nothing (a title stays, and game data is not chosen)");
        return kExitBadArguments;
    }
    char numbers[16];
    formatTitleNumbers(plan.titles, numbers);
    logAction("uninstall: titles %s%s; data: game %s, system %s, already-read %s, save %s, folders %s",
              numbers[0] ? numbers : "(none)", plan.product ? " and the collection" : "", yesNo(choices.data.game),
              yesNo(choices.data.system), yesNo(choices.data.read), yesNo(choices.data.save), yesNo(choices.data.all));

    const bool ran = uninstallAndConfirm(nullptr, choices);
    bool gone = ran;
    for (int i = 0; i < kTitleCount; ++i) {
        if (plan.titles[i] && isTitleInstalled(g_titles[i])) {
            logAction("title %d (%s) is still registered after the uninstall", i + 1, g_titles[i].name);
            gone = false;
        }
    }
    if (plan.product && plan.productData.game && isProductInstalled()) {
        logAction("the collection is still registered after the uninstall");
        gone = false;
    }
    return gone ? kExitDone : kExitFailed;
}

}  // namespace

int runUnattended(const CommandOptions& options)
{
    return options.uninstall ? uninstall(options) : install(options);
}

// The title and option controls of the pages, and the run choices read from them.
#include "menu/title_controls.h"

#include <cstring>

#include "install/destination.h"
#include "install/registry_record.h"
#include "menu/page_command.h"
#include "menu/page_ids.h"
#include "menu/pages.h"
#include "support/message_box.h"

SpaceFigures g_space = {};

namespace {

const char kRootTooLong[] =
    "インストール先のパスが長すぎます。\nもっと短いパスのフォルダを選択してください。";
const char kInstallCaption[] = "インストール";
const char kFreeSpaceFailed[] = "ディスク容量取得失敗";
const char kErrorCaption[] = "ERROR";

bool validIndex(int index) { return index >= 0 && index < kTitleCount; }

void installedTitles(bool installed[kTitleCount])
{
    for (int i = 0; i < kTitleCount; ++i) installed[i] = isTitleInstalled(g_titles[i]);
}

}  // namespace

unsigned int destinationFreeMb(const char* dir)
{
    unsigned int freeMb = 0;
    if (!freeMegabytes(dir, &freeMb)) showMessage(nullptr, kFreeSpaceFailed, kErrorCaption);
    return freeMb;
}

void refreshSpaceDisplay()
{
    const unsigned int freeMb = destinationFreeMb(installDir);
    g_space.freeGb = freeMb / 1024;
    g_space.freeMbRest = freeMb - g_space.freeGb * 1024;
    char freeText[32] = {};
    formatSpaceFigure(freeMb, freeText, sizeof freeText);

    const unsigned int requiredMb = selectedInstallSize();
    g_space.requiredGb = requiredMb / 1024;
    g_space.requiredMbRest = requiredMb % 1024;
    char requiredText[32] = {};
    formatSpaceFigure(requiredMb, requiredText, sizeof requiredText);

    char spaceText[128] = {};
    wsprintfA(spaceText, "%s / %s GB", requiredText, freeText);
    SetDlgItemTextA(g_pages.installConfirm, IDC_SPACE, spaceText);

    char requiredLine[128] = {};
    wsprintfA(requiredLine, "%d．%03d ＧＢの空き容量が必要です。",
              static_cast<int>(g_space.requiredGb), static_cast<int>(g_space.requiredMbRest));
    SetDlgItemTextA(g_pages.installSelect, IDC_REQUIRED_SPACE, requiredLine);

    updateNextButtons();
}

void updateNextButtons()
{
    enableControl(g_pages.installSelect, IDC_NEXT, selectedInstallSize() != 0);
    bool anyToUninstall = false, anyInstalled = false;
    for (int i = 0; i < kTitleCount; ++i) {
        anyToUninstall = titleCountsForUninstall(i) || anyToUninstall;
        anyInstalled = isTitleInstalled(g_titles[i]) || anyInstalled;
    }
    // With no title installed the product alone is left (a run that ended before its titles,
    // or titles whose record failed): the uninstall run is the only way to remove it.
    if (!anyInstalled && isProductInstalled()) anyToUninstall = true;
    enableControl(g_pages.uninstallSelect, IDC_NEXT, anyToUninstall);
}

unsigned int selectedInstallSize()
{
    unsigned int total = 0;
    for (int i = 0; i < kTitleCount; ++i)
        if (titleCountsForInstall(i)) total += static_cast<unsigned int>(g_titles[i].sizeMb);
    return total;
}

bool titleCountsForInstall(int index)
{
    if (!validIndex(index) || isTitleInstalled(g_titles[index])) return false;
    if (isChecked(g_pages.installSelect, IDC_ALL_TITLES)) return true;
    return isChecked(g_pages.installSelect, IDC_TITLE_BOX_BASE + index);
}

bool titleCountsForUninstall(int index)
{
    if (!validIndex(index) || !isTitleInstalled(g_titles[index])) return false;
    return isChecked(g_pages.uninstallSelect, IDC_TITLE_BOX_BASE + index);
}

void syncTitleControls()
{
    for (int i = 0; i < kTitleCount; ++i) {
        const int box = IDC_TITLE_BOX_BASE + i;
        const int line = IDC_CONFIRM_LINE_BASE + i;
        const bool installed = isTitleInstalled(g_titles[i]);
        if (installed) {
            enableControl(g_pages.installSelect, box, false);
            enableControl(g_pages.uninstallSelect, box, true);
            enableControl(g_pages.installConfirm, line, false);
        } else {
            enableControl(g_pages.installSelect, box, true);
            enableControl(g_pages.uninstallSelect, box, false);
            enableControl(g_pages.installConfirm, line, isChecked(g_pages.installSelect, box));
        }
        enableControl(g_pages.uninstallConfirm, line, isChecked(g_pages.uninstallSelect, box) && installed);
    }
}

void checkIfNotInstalled(int index, int controlId)
{
    if (validIndex(index) && !isTitleInstalled(g_titles[index]))
        CheckDlgButton(g_pages.installSelect, controlId, BST_CHECKED);
}

void updateUninstallConfirm()
{
    const UninstallChoices choices = readUninstallChoices();
    bool installed[kTitleCount] = {};
    installedTitles(installed);
    const bool dataApply = dataOptionsApply(installed, choices.titles);
    for (int option : {IDC_DATA_SYSTEM, IDC_DATA_READ, IDC_DATA_SAVE})
        enableControl(g_pages.uninstallConfirm, option, dataApply);
    const RemovalPlan plan = planUninstall(installed, isProductInstalled(), choices);
    enableControl(g_pages.uninstallConfirm, IDC_UNINSTALL_RUN, removesAnything(plan));
}

bool takeDestinationRoot(HWND owner, const char* path)
{
    if (path[0] == '\0') return false;
    Text root = {}, dir = {};
    if (!destinationFor(path, root, dir)) {
        showMessage(owner, kRootTooLong, kInstallCaption);
        return false;
    }
    std::memcpy(programFilesDir, root, kTextSize);
    std::memcpy(installRoot, root, kTextSize);
    std::memcpy(installDir, dir, kTextSize);
    return true;
}

bool applyChosenRoot(HWND owner, const char* path)
{
    if (!takeDestinationRoot(owner, path)) return false;
    SetDlgItemTextA(g_pages.installConfirm, IDC_DESTINATION, installDir);
    refreshSpaceDisplay();
    return true;
}

void changeInstallRoot(HWND owner)
{
    // Browsed into a buffer of its own: Cancel or a refused path leaves installDir as it was.
    Text chosen = {};
    if (chooseInstallRoot(owner, chosen)) applyChosenRoot(owner, chosen);
}

InstallChoices readInstallChoices()
{
    InstallChoices choices = {};
    for (int i = 0; i < kTitleCount; ++i)
        choices.titles[i] = isChecked(g_pages.installSelect, IDC_TITLE_BOX_BASE + i) && !isTitleInstalled(g_titles[i]);
    choices.desktopShortcuts = isChecked(g_pages.installSelect, IDC_SHORTCUT_DESKTOP);
    choices.startMenuShortcuts = isChecked(g_pages.installSelect, IDC_SHORTCUT_MENU);
    choices.installType = installType;
    std::memcpy(choices.installRoot, installRoot, kTextSize);
    std::memcpy(choices.installDir, installDir, kTextSize);
    choices.requiredMb = g_space.requiredGb * 1024 + g_space.requiredMbRest;
    choices.freeMb = g_space.freeGb * 1024 + g_space.freeMbRest;
    return choices;
}

UninstallChoices readUninstallChoices()
{
    UninstallChoices choices = {};
    for (int i = 0; i < kTitleCount; ++i) choices.titles[i] = isChecked(g_pages.uninstallSelect, IDC_TITLE_BOX_BASE + i);
    const HWND page = g_pages.uninstallConfirm;
    choices.data = dataChoicesFromBoxes(isChecked(page, IDC_DATA_ALL), isChecked(page, IDC_DATA_GAME),
                                        isChecked(page, IDC_DATA_SYSTEM), isChecked(page, IDC_DATA_READ),
                                        isChecked(page, IDC_DATA_SAVE));
    return choices;
}

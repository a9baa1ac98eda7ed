// The per-title uninstall: removes what the per-title installation made for one title, and its key.
#include "uninstall/title_uninstall.h"

#include <cstring>

#include "data/list_grammar.h"
#include "install/registry_record.h"
#include "install/shortcuts.h"
#include "support/path.h"
#include "support/registry_key.h"
#include "support/shell_folder.h"
#include "install/title_install.h"
#include "support/action_log.h"

namespace {


struct LineFiles {
    const char* root;
    bool clearReadOnly;
};

// Deletes the files that copyTitleFiles made: every file line after the subfolder rules, in
// list order, under the title's own install root.
bool deleteLineFile(void* context, const char* subfolder, const char* file)
{
    const LineFiles& files = *static_cast<LineFiles*>(context);
    Text folder = {};
    if (textJoin(folder, kTextSize, files.root, subfolder)) deleteFileIn(folder, file, files.clearReadOnly);
    return true;
}

void deleteTitleFiles(const TitleRecord& title, const char* root, bool clearReadOnly)
{
    LineFiles files = {root, clearReadOnly};
    forEachTitleFile(title, deleteLineFile, &files);
}

// Deletes the shortcuts that createTitleShortcuts made, whatever the options were then: a
// Start-menu link at its place under Programs, a desktop link by its file name alone.
void deleteTitleShortcuts(const TitleRecord& title)
{
    Text programs = {}, desktop = {};
    if (shellFolderPath(CSIDL_PROGRAMS, programs)) {
        const int lines = listCount(title.menuShortcutCount, kTitleShortcutLines);
        for (int i = 0; i < lines; ++i) {
            Text target = {}, link = {}, path = {};
            splitAtComma(title.menuShortcuts[i], kTextSize, target, link);
            if (link[0] != '\0' && joinFolder(path, programs, link)) deleteFileLogged(path);
        }
    }
    if (shellFolderPath(CSIDL_DESKTOP, desktop)) {
        const int lines = listCount(title.desktopShortcutCount, kTitleShortcutLines);
        for (int i = 0; i < lines; ++i) {
            Text target = {}, link = {}, path = {};
            splitAtComma(title.desktopShortcuts[i], kTextSize, target, link);
            const char* name = link + folderPartLength(link);
            if (name[0] != '\0' && joinFolder(path, desktop, name)) deleteFileLogged(path);
        }
    }
}

// The Start-menu folders, last listed first (the list names parents before children); a folder
// that holds anything else, such as the product's own Varnis\Hub, stays.
void removeMenuFolders(const TitleRecord& title)
{
    Text programs = {};
    if (!shellFolderPath(CSIDL_PROGRAMS, programs)) return;
    for (int i = listCount(title.menuFolderCount, kTitleShortcutLines) - 1; i >= 0; --i) {
        Text path = {};
        if (title.menuFolders[i][0] != '\0' && joinFolder(path, programs, title.menuFolders[i]))
            removeFolderLogged(path);
    }
}

// The title's registry record. Its lists make no subkeys, so the key alone is deleted; a key
// that something else has given subkeys stays (and with it the title), rather than deleting a
// tree this program did not make.
bool deleteTitleKey(const TitleRecord& title)
{
    if (title.registryKey[0] == '\0') return true;   // an empty path would name HKEY_CURRENT_USER
    return deleteRegistryKey(HKEY_CURRENT_USER, title.registryKey);
}

}  // namespace

bool deleteFileIn(const char* folder, const char* name, bool clearReadOnly)
{
    Text path = {};
    if (name[0] == '\0' || !textJoin(path, kTextSize, folder, name)) return false;
    if (clearReadOnly) {
        const DWORD attributes = GetFileAttributesA(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
            !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    return deleteFileLogged(path);
}

void removeEmptyFolderIn(const char* folder, const char* name)
{
    Text path = {};
    if (name[0] != '\0' && textJoin(path, kTextSize, folder, name)) removeFolderLogged(path);
}

// What a title's uninstall removes, and in which order.
//
// The title lists say which files the installation copied (fileLines), which shortcuts and
// Start-menu folders it made (menuShortcuts, desktopShortcuts, menuFolders), which folders it
// made (folderList) and where its record is (registryKey); L_INST_PATH of that record is the
// root all of the title's paths were made under. They do not say which files the installed game
// writes later as its system, already-read or save data: those are not deleted one by one here.
// The product's own data files (named by the install-type list) go in the uninstall run once no
// title is left; a title's own data stay in its folders, which then stay too.
//
// So the title is only touched when game data is chosen, and then, in this order:
//   1. every file that copyTitleFiles copied: the file lines in list order, with the same
//      "setdir", "disc<n>" and "end" rules, at L_INST_PATH + current subfolder + file;
//   2. the Start-menu shortcuts (Programs + link) and the desktop shortcuts (desktop + the
//      link's file name);
//   3. the Start-menu folders, last listed first, each only when empty;
//   4. the title's folders (L_INST_PATH + folder), last listed first, each only when empty, so
//      that a file the player put there keeps its folder (and every folder above it);
//   5. the title's registry key, last: until then the title still counts as installed, and an
//      uninstall that stopped half-way can be run again.
bool uninstallTitle(const TitleRecord& title, const DataChoices& choices)
{
    if (!choices.game) return false;
    if (!isTitleInstalled(title)) return true;   // never registered: nothing was made for it

    Text root = {};
    if (!readTitleInstallPath(title, root) || !makeUsableFolder(root)) root[0] = '\0';
    return removeTitleInstall(title, root);
}

bool removeTitleInstall(const TitleRecord& title, const char* root, bool clearReadOnly)
{
    const bool haveRoot = root[0] != '\0';
    if (haveRoot) deleteTitleFiles(title, root, clearReadOnly);
    deleteTitleShortcuts(title);
    removeMenuFolders(title);
    if (haveRoot) {
        for (int i = listCount(title.folderCount, kTitleFolders) - 1; i >= 0; --i)
            removeEmptyFolderIn(root, title.folderList[i]);
    }
    const bool gone = deleteTitleKey(title);
    markTitleFinished(title);
    return gone;
}

void uninstallPlannedTitles(const RemovalPlan& plan, const DataChoices& choices)
{
    for (int i = 0; i < kTitleCount; ++i) {
        if (!plan.titles[i] || !isTitleInstalled(g_titles[i])) continue;
        if (i == kHarborIndex) {
            for (int e = 0; e < kHarborExtraCount; ++e)
                if (plan.harborExtras[e]) uninstallTitle(g_harborExtra[e], choices);
        }
        uninstallTitle(g_titles[i], choices);
    }
}

void removeUnfinishedTitles()
{
    // Harbor's extra records lie inside Harbor's folders: they go first.
    const TitleRecord* const records[] = {&g_harborExtra[0], &g_harborExtra[1], &g_titles[0], &g_titles[1],
                                          &g_titles[2],      &g_titles[3],      &g_titles[4]};
    for (const TitleRecord* title : records) {
        Text root = {};
        if (!unfinishedTitleRoot(*title, root)) continue;
        if (!makeUsableFolder(root)) root[0] = '\0';
        removeTitleInstall(*title, root);
    }
}

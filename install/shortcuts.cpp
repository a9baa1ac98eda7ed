// Shortcut files (.lnk) on the desktop and in the Start menu, for the product and for each title.
#include "install/shortcuts.h"

#include <shobjidl.h>

#include <cstring>

#include "data/list_grammar.h"
#include "support/action_log.h"
#include "support/com.h"
#include "support/path.h"
#include "support/shell_folder.h"

namespace {

const char kProductProgram[] = "vgan1_menu.exe";
const char kDesktopLinkName[] = "Varnis Grand Anthology.lnk";

// A target,link line: target (relative to installRoot) into target, the link part into link.
// False when the full target does not fit.
bool cutShortcutLine(const char* line, const char* installRoot, char* target, char* link)
{
    Text relative = {};
    Text linkPart = {};
    splitAtComma(line, kTextSize, relative, linkPart);
    if (!textCopy(link, kTextSize, linkPart)) return false;
    return textJoin(target, kTextSize, installRoot, relative);
}

}  // namespace

bool createShellLink(const char* description, const char* target, const char* linkPath,
                     const char* arguments, const char* workingFolder)
{
    ComScope com;
    ComRef<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.out())))
        return false;
    ComRef<IPersistFile> file;   // released before the link: declared after it
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.out()))) return false;

    if (FAILED(link->SetPath(target)) || FAILED(link->SetDescription(description)) ||
        FAILED(link->SetArguments(arguments)) || FAILED(link->SetWorkingDirectory(workingFolder)))
        return false;
    // The shell saves to a wide path: the ANSI path is read in the system's code page.
    WCHAR widePath[MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) == 0) return false;
    if (FAILED(file->Save(widePath, TRUE))) return false;
    logAction("shortcut made: %s -> %s", linkPath, target);
    return true;
}

void createSetupShortcut(const InstallChoices& run)
{
    const bool startMenu = run.startMenuShortcuts;
    const bool desktop = run.desktopShortcuts;

    Text target = {};
    if (!textJoin(target, kTextSize, run.installDir, kProductProgram)) return;
    // The menu runs in the product folder itself, named without its trailing backslash.
    Text working = {};
    textCopy(working, kTextSize, run.installDir);
    if (const char* slash = lastBackslash(working)) working[slash - working] = '\0';

    Text programs = {};
    if (startMenu && shellFolderPath(CSIDL_PROGRAMS, programs)) {
        Text folder = {};
        Text link = {};
        if (joinFolder(folder, programs, "Varnis")) {
            createFolderLogged(folder);
            if (joinFolder(folder, folder, "Hub")) {
                createFolderLogged(folder);
                if (joinFolder(link, folder, "Setup.lnk")) createShellLink("", target, link, "", working);
            }
        }
    }
    Text desktopFolder = {};
    if (desktop && shellFolderPath(CSIDL_DESKTOP, desktopFolder)) {
        Text link = {};
        if (joinFolder(link, desktopFolder, kDesktopLinkName)) createShellLink("", target, link, "", working);
    }
}

void createTitleShortcuts(const TitleRecord& title, const char* installRoot, bool desktop, bool startMenu)
{
    Text programs = {};
    Text desktopFolder = {};
    const bool havePrograms = shellFolderPath(CSIDL_PROGRAMS, programs);
    const bool haveDesktop = shellFolderPath(CSIDL_DESKTOP, desktopFolder);

    if (havePrograms) {
        const int folders = listCount(title.menuFolderCount, kTitleShortcutLines);
        for (int i = 0; i < folders; ++i) {
            Text folder = {};
            if (joinFolder(folder, programs, title.menuFolders[i])) createFolderLogged(folder);
        }
    }

    if (startMenu && havePrograms) {
        const int lines = listCount(title.menuShortcutCount, kTitleShortcutLines);
        for (int i = 0; i < lines; ++i) {
            Text target = {}, link = {}, linkPath = {}, working = {};
            if (!cutShortcutLine(title.menuShortcuts[i], installRoot, target, link)) continue;
            if (!joinFolder(linkPath, programs, link)) continue;
            folderOf(target, working);
            createShellLink("", target, linkPath, "", working);
        }
    }

    if (desktop && haveDesktop) {
        const int lines = listCount(title.desktopShortcutCount, kTitleShortcutLines);
        for (int i = 0; i < lines; ++i) {
            Text target = {}, link = {}, linkPath = {}, working = {};
            if (!cutShortcutLine(title.desktopShortcuts[i], installRoot, target, link)) continue;
            // Only the file name: the shortcut goes straight onto the desktop.
            if (!joinFolder(linkPath, desktopFolder, fileNamePart(link))) continue;
            folderOf(target, working);
            createShellLink("", target, linkPath, "", working);
        }
    }
}

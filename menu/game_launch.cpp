// The Game start button of the play page: start the chosen installed title, then end the menu.
#include "menu/game_launch.h"

#include <cstring>

#include "install/registry_record.h"
#include "data/catalogue.h"
#include "menu/pages.h"
#include "menu/page_flow.h"
#include "menu/page_ids.h"

int selectedPlayTitle(HWND playPage)
{
    int index = 0;
    for (int i = 0; i < kTitleCount; ++i)
        if (IsDlgButtonChecked(playPage, IDC_PLAY_TITLE_BASE + i) == BST_CHECKED) index = i;
    return index;
}

bool startTitleProgram(const TitleRecord& title)
{
    Text folder = {};
    if (!readTitleInstallPath(title, folder) || folder[0] == '\0') return false;
    Text program = {};
    if (!textJoin(program, sizeof program, folder, title.programFile)) return false;
    Text workingFolder = {};
    std::memcpy(workingFolder, program, folderPartLength(program));

    // The path goes in quotes: unquoted, a folder with blanks ("C:\Program Files\...") would let
    // the system try "C:\Program.exe" and the like first. CreateProcessA may write to the
    // command line, so it lives in a buffer of its own.
    char commandLine[kTextSize + 2] = {};
    if (!textJoin(commandLine, sizeof commandLine, "\"", program, "\"")) return false;

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder[0] ? workingFolder : nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void launchSelectedTitle(HWND playPage)
{
    const TitleRecord& title = g_titles[selectedPlayTitle(playPage)];
    if (!isTitleInstalled(title)) return;
    startTitleProgram(title);   // the menu ends whether or not the game started
    hidePage(g_pages.main);
    quitMenu(playPage);
}

// The Game start button of the play page: start the chosen installed title, then end the menu.
#include "menu/game_launch.h"

#include <cstring>

#include "data/catalogue.h"
#include "install/registry_record.h"
#include "menu/page_flow.h"
#include "menu/page_ids.h"
#include "menu/pages.h"
#include "support/path.h"
#include "support/process.h"

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
    folderOf(program, workingFolder);
    return startProcess(program, nullptr, workingFolder[0] ? workingFolder : nullptr, kStartShowNormal);
}

void launchSelectedTitle(HWND playPage)
{
    const TitleRecord& title = g_titles[selectedPlayTitle(playPage)];
    if (!isTitleInstalled(title)) return;
    startTitleProgram(title);   // the menu ends whether or not the game started
    hidePage(g_pages.main);
    quitMenu(playPage);
}

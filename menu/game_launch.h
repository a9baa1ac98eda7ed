// The Game start button of the play page: start the chosen installed title, then end the menu.
#pragma once
#include <windows.h>

#include "data/install_lists.h"

// The title index chosen on the play page: the last checked of the radios 1018..1022, or 0
// when none is checked.
int selectedPlayTitle(HWND playPage);

// Starts the title's program: L_INST_PATH of its key followed by its program file, run in the
// program's folder. Does not wait. True when the process was started. Nothing is started (false)
// when the install folder cannot be read or is empty, or the program path does not fit in
// 259 characters: a shorter or bare path could start some other program.
bool startTitleProgram(const TitleRecord& title);

// Game start: when the chosen title is installed, start it (startTitleProgram), hide pageMain
// and end the menu through quitMenu(playPage), whether or not the start succeeded. A title that
// is not installed leaves everything as it is.
void launchSelectedTitle(HWND playPage);

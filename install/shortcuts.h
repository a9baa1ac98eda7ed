// Shortcut files (.lnk) on the desktop and in the Start menu, for the product and for each title.
#pragma once
#include <windows.h>

#include "data/install_lists.h"
#include "install/install_choices.h"

// Writes one shortcut to linkPath that starts target in workingFolder, with the given
// description and arguments (this program always gives empty ones). COM is initialised and
// uninitialised around the one shortcut. An existing file is overwritten. True when the file was
// saved; the install run does not look at the answer: a shortcut that cannot be made is missing.
bool createShellLink(const char* description, const char* target, const char* linkPath,
                     const char* arguments, const char* workingFolder);

// The product's shortcuts to the run's installDir + "vgan1_menu.exe", working folder installDir
// without its trailing backslash: Programs\Varnis\Hub\Setup.lnk (folders made first) when the
// run asks for Start-menu shortcuts, and "Varnis Grand Anthology.lnk" on the desktop when it asks
// for desktop shortcuts.
void createSetupShortcut(const InstallChoices& run);

// The title's shortcuts: makes its Start-menu folders (whatever the options say), then a
// Start-menu shortcut per menuShortcuts line when startMenu is set and a desktop shortcut per
// desktopShortcuts line when desktop is set. Targets are relative to installRoot, the working
// folder is the target's folder with its trailing backslash; a desktop link keeps only its
// file name. A line whose path does not fit 259 characters is left out.
void createTitleShortcuts(const TitleRecord& title, const char* installRoot, bool desktop, bool startMenu);

// The repair run of vgahub_fix: guard, confirm, locate, check, copy, report.
#pragma once

// Puts the fixed copies of the menu program that lie next to this program into the installed
// product folder (INSTALL_PATH of HKEY_CURRENT_USER\Software\Varnis\SET-V), talking to the
// player through ownerless message boxes only. Ends at once, after a message, while the menu
// runs, and silently while another copy of this program runs. Every file is looked for before
// the first one is copied. A copied file loses the read-only attribute it brings from the disc.
// Answers the exit code, which is 0 on every path.
int runRepair();

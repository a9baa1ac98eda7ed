// Start-up of the menu: from the command line to the first page and the message loop.
#pragma once

// Runs the whole menu program for the given command line (the process's full command line,
// program name first: the disc folder and the options follow it) and answers the exit code: one
// of ExitCode for an unattended run (/silent), otherwise 0, or kExitBadArguments for options the
// menu cannot take.
int runMenu(const char* commandLine);

// The platform hooks of the portable core: its messages become ownerless message boxes, its
// clock is the multimedia timer.
void installPlatformHooks();

// The controls' states before the first page is shown: sizes and free space, install-all and
// every title not installed checked, the progress bar's range, both shortcut options, and the
// Next buttons that follow from them.
void setInitialControls();

// The Program Files folder with a trailing backslash (the drive of the Windows directory when
// the shell cannot tell), into out (260 bytes).
void findProgramFilesFolder(char* out);

// An unattended run (/silent): the install or uninstall that the options ask for, without pages
// or message boxes, through the same steps the pages take, with the choices built from the
// options where the pages would read them from their boxes.
#pragma once

struct CommandOptions;

// Runs it once start-up has loaded the installer data and the default destination; answers the
// exit code (ExitCode). Messages go to the action log through showMessage, which answers them
// without a box.
int runUnattended(const CommandOptions& options);

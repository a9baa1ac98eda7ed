// The state of the install run: where files are read from, the run's choices and origin as it
// took them at its start, and how far the copy has got. Exists once, for the life of the program.
#pragma once
#include "install/install_choices.h"

enum class RunMode { Idle, Copying };

// Disc folder from the command line; the disc probe replaces it with the root of the drive on
// which it last found a file.
extern Text sourceRoot;

extern InstallChoices g_run;       // the run in progress (or the last one), as the pages gave it
extern RunOrigin g_runOrigin;      // what of the product was there when that run started

extern RunMode runMode;            // Copying while the idle steps copy the install list
extern int copyIndex;              // next entry of the run's install-type list
extern unsigned int bytesCopied;   // bytes copied in this run (the list percentage counts them)
extern int currentDisc;            // the install disc that was last required
extern bool voiceArcNoted;         // the voice archives were pointed at the disc since the start
                                   // or the last uninstall run
extern volatile unsigned char cancelRequested;   // set by the progress page's Cancel

// Why the last install run stopped before its end: what an unattended run reports as its exit
// code. A run that begins clears it; the first reason noted during a run is kept.
enum class RunFailure {
    None,
    PathTooLong,   // a path of the run does not fit 259 characters at its destination
    DiscMissing,   // an install disc, or a file the list names, is on no optical drive
    CopyFailed,    // a file could not be copied and was not retried
    Other,         // the lists or the registry record could not be read or written
};
extern RunFailure runFailure;
void noteRunFailure(RunFailure failure);

// The install-type list of the run in progress.
inline InstallTypeList& runList() { return installTypeList(g_run.installType); }

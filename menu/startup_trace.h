// Time stamps of the start-up phases, written only when VGA_STARTUP_TRACE names a file; the
// start-up benchmark (tools/bench-startup.sh) reads them to split the time to the first page.
#pragma once

// Appends the line "<phase> <ms> <process id>" to the file named by VGA_STARTUP_TRACE (opened at
// the first stamp and held until the process ends), where ms is the performance counter in
// milliseconds (shared by all processes, so the stamps of the disc instance, its copy in TEMP
// and the benchmark line up). Does nothing when the variable is unset; a file that cannot be
// written is ignored. phase is a single word.
void startupTrace(const char* phase);

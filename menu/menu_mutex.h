// The single-instance guard: the mutex "vgahub_menu", and its hand-over to the copy in TEMP.
#pragma once
#include <windows.h>

#include "support/handle.h"

// The mutex "vgahub_menu", held from start-up until quitMenu releases it; empty when not held.
extern HeldMutex g_menuMutex;

// Releases and closes the menu mutex (nothing when it is not held).
void releaseMenuMutex();

// Start-up steps 2 and 3: ends (false) when "vgahub_app" or "vgahub_menu" exists, else creates
// "vgahub_menu" into g_menuMutex and answers true. A copy started by beginMutexHandover takes
// the mutex over instead of finding it in the way.
bool acquireMenuMutex();

// Hand-over to the copy that the bootstrap starts from TEMP.
//
// The first instance must keep "vgahub_menu" until the copy runs, or a second start by the
// player in between would find no guard; but the copy tests for that mutex at its own start.
// So the first instance passes its mutex handle on: it makes the handle inheritable and names
// it in the environment variable VGAHUB_MENU_HANDOVER just before CreateProcessA (with handle
// inheritance on). The copy finds the variable, skips the "vgahub_menu" test, opens the mutex
// by name and closes the inherited handle. The named mutex so exists without a gap from the
// first instance to the copy, and a player's second start (which has no such variable) still
// ends silently. The command line stays exactly the disc folder.
//
// beginMutexHandover prepares the inheritance (nothing when no mutex is held);
// endMutexHandover undoes it once CreateProcessA has returned.
void beginMutexHandover();
void endMutexHandover();

// The environment variable that carries the handle; the copy removes it from its environment
// at once, so it never reaches the games that the menu starts.
extern const char kMutexHandoverVariable[];

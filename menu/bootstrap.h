// The bootstrap: the menu never runs from the disc itself but from a copy in the TEMP folder,
// so that the discs can be changed while it runs.
#pragma once
#include "support/handle.h"

// Answers true when this instance is the copy (it runs from a copy folder in TEMP, or from TEMP
// itself): start-up goes on. Otherwise removes the copy folders of earlier starts, makes a new
// one, copies "instdata.arc" and "vgan1_menu.exe" from the program's folder into it, checks the
// copied program against the original while holding it open against any change, starts it with
// the program's folder as its argument, followed by options when there are any, and answers
// false (this instance ends). Every failure is shown in a message box without owner and answers
// false. With copyProcess, the started copy's process handle is put there (the caller waits for
// it and closes it); it stays null when no copy was started.
bool runBootstrap(const char* options = "", KernelHandle* copyProcess = nullptr);

// True when folder (trailing backslash) is a copy folder directly in temp: "vgahub_" and eight
// lower-case hex digits.
bool isCopyFolder(const char* folder, const char* temp);

// Makes a new copy folder in temp under a name that did not exist; out receives it with its
// trailing backslash. False, out empty, when no folder could be made or the name does not fit.
bool makeCopyFolder(const char* temp, char* out);

// The TEMP folder with a trailing backslash: GetTempPathA, else %TEMP% expanded, else the
// Windows directory. A source that gives nothing, or a folder that does not fit 259 characters
// with its backslash, counts as nothing. False when all three fail; out is then empty.
bool findTempFolder(char* out);

// The drive and folder of path (a file path), trailing backslash included. False, out empty,
// when path has no folder part.
bool folderOfPath(const char* path, char* out);

// True when the two folders are the same, ignoring case as the system compares text in the
// user's code page (two-byte characters are compared whole; "ア" and "ャ" differ although their
// second bytes differ only in the ASCII case bit). Short (8.3) and long names of one folder
// count as the same.
bool isSameFolder(const char* a, const char* b);

// Opens the copied program target so that nobody can write, replace or delete it while the
// handle is open, then checks that it holds the bytes of source. The open handle, or none when
// it cannot be opened or differs from source.
FileHandle lockCheckedCopy(const char* source, const char* target);

// Copies source to target with the install's list copy (copyListFile, without progress). A
// target that cannot be written whole is deleted again. False on any failure.
bool copyFileForBootstrap(const char* source, const char* target);

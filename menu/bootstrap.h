// The bootstrap: the menu never runs from the disc itself but from a copy in the TEMP folder,
// so that the discs can be changed while it runs.
#pragma once

// Answers true when this instance runs from the TEMP folder (it is the copy: start-up goes on).
// Otherwise copies "instdata.arc" and "vgan1_menu.exe" from the program's folder into TEMP,
// starts the copy with the program's folder as its argument and answers false (this instance
// ends). Every failure is shown in a message box without owner and answers false.
bool runBootstrap();

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

// Copies source to target with the install's list copy (copyListFile, without progress). A
// target that cannot be written whole is deleted again. False on any failure.
bool copyFileForBootstrap(const char* source, const char* target);

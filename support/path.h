// Paths in 260-byte Shift-JIS texts, cut and joined only at real backslashes. Portable: no Win32 header.
//
// Every walk steps over two-byte characters whole, as CharNextA does in code page 932, so that a
// trail byte 0x5C ('\\', as in "ソ" 0x83 0x5C) is never taken for a separator; the programs' paths
// are code page 932 whatever else they meet. Nobody else indexes [len - 1] or searches for '\\'
// byte by byte. The system's path helpers of shlwapi were weighed against these: they walk with
// the system's code page, and PathMatchSpecA splits a pattern at ';' and ignores leading blanks,
// which the lists' save-data patterns do not mean; they are not used.
#pragma once
#include <cstddef>

#include "support/text_buffer.h"

// Bytes of the character at p: 2 for a lead byte followed by a byte, else 1 (0 at the end).
size_t charLength(const char* p);

// Pointer to the last '\\' of text that is a real backslash, not the trail byte of a two-byte
// character; null when there is none.
const char* lastBackslash(const char* text);

// Length of the drive-and-folder part of path, including its last backslash; 0 when the path
// has no backslash ("Q:\\a\\b.txt" gives 5, "a.txt" gives 0).
size_t folderPartLength(const char* path);

// The part of path after its last real backslash (the whole path when it has none).
const char* fileNamePart(const char* path);

// The drive and folder part of path with its trailing backslash into out (260 bytes; empty when
// the path has none).
void folderOf(const char* path, char* out);

// True when text ends in a real backslash (not a trail byte).
bool endsWithBackslash(const char* text);

// folder, a backslash unless folder already ends in one, then name, into out (260 bytes). False,
// out empty, when it does not fit. The shell's folders come without their trailing backslash.
bool joinFolder(char* out, const char* folder, const char* name);

// True for an absolute folder: a drive ("X:\") or a network path ("\\server\...").
bool isAbsoluteFolder(const char* folder);

// Makes folder (260 bytes) fit to have names appended: it must be absolute and gets a trailing
// backslash when it has none. False, folder unchanged, when it is empty, relative, or has no room
// for the backslash: a relative folder would name files in whatever folder the program runs in.
bool makeUsableFolder(char* folder);

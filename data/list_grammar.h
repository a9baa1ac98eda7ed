// The grammar of the lines inside the install lists: the comma cut, the kinds of a title's file
// lines, the disc-change entries. The menu and the disc tool read the lists through these alone,
// so the tool checks exactly what the menu does. Portable: no Win32 header.
#pragma once
#include <cstddef>
#include <cstdint>

#include "data/install_lists.h"

// The number of filled slots of a list section: its count kept within 0 and capacity.
inline int listCount(int32_t count, int capacity)
{
    if (count < 0) return 0;
    return count > capacity ? capacity : static_cast<int>(count);
}

// Walks line (at most length bytes, up to its NUL) with the key as the current side: a Shift-JIS
// lead byte goes to the current side together with the byte after it, so a comma that is the
// trail byte of a two-byte character never cuts; the first single-byte comma switches to the
// value and is dropped, every later comma is dropped too; every other byte is appended.
// key and value are buffers of length bytes each; both are overwritten and always NUL-terminated
// (at most length - 1 bytes each; a two-byte character is never split at that limit).
// A line without a comma is all key.
void splitAtComma(const char* line, size_t length, char* key, char* value);

// "CDCHANGE n" in an install-type list: its first eight characters are "CDCHANGE". The disc
// number starts at the tenth character, after one separator; 0 when there is none.
bool isDiscChangeEntry(const char* entry);
int discChangeNumber(const char* entry);

// The kind of a title's file line, decided by its key (the part before the first comma):
//   "setdir"                 the current subfolder becomes the value
//   "disc<n>" or "disk<n>"   asks for install disc n, then copies the value when it names a file
//   "end" or an empty key    the list ends
//   anything else            a file: the value is its path (an empty value does nothing)
// A key that only starts like a disc line ("disc", "d") is a file line: it would ask for a disc 0
// that no disc set has.
enum class TitleLineKind { SetFolder, Disc, End, File };
TitleLineKind titleLineKind(const char* key);
// The disc number of a disc line's key ("disc2" gives 2).
int discLineNumber(const char* key);

// Walks the title's file lines with the copy's rules, without asking for discs: calls
// visit(context, subfolder, file) for every line that names a file (a disc line with a file
// included), in list order, until the list ends or visit answers false. False when visit stopped
// the walk. The install's checks, its copy and the uninstall read the lines through this one
// walk, so they name exactly the same files.
typedef bool (*TitleFileVisit)(void* context, const char* subfolder, const char* file);
bool forEachTitleFile(const TitleRecord& title, TitleFileVisit visit, void* context);

// The install lists inside the installer archive: two install-type lists ("instdata_f.txt" full,
// "instdata_c.txt" compact) and the title lists, loaded once into fixed records.
//
// Lists are code page 932 text with CR LF line ends, read positionally: each field is one line,
// "label" lines are read and ignored. Install-type sections end at a line starting with "【";
// title list sections end at a line starting with "end".
//
// A section with more lines than its slots: a title list keeps the first ones, reads the rest up
// to the section's "end" line and drops them (the list is accepted, and the result says what was
// left out). An install-type list is refused instead: cut short, it would install a product
// missing files that its uninstall then could not name, and the menu already reports a refused
// list at start-up.
#pragma once
#include <cstddef>
#include <cstdint>

#include "support/text_buffer.h"

class CArchiveReader;

constexpr int kListFolders = 16;
constexpr int kListEntries = 256;
constexpr int kListArchives = 6;
constexpr int kTitleFolders = 20;
constexpr int kTitleFileLines = 40;
constexpr int kTitleValues = 40;
constexpr int kTitleShortcutLines = 20;
constexpr int kTitleFurtherTexts = 4;

struct InstallTypeList {
    Text title;                      // window title of every page (full list's is shown)
    Text secondText;
    Text uninstallProgram;           // file name for the add/remove entry's UninstallString
    int32_t listSizeMb;              // size of the entries in units of 1,000,000 bytes
    Text folderList[kListFolders];   // folders made under the install folder, parents first
    int32_t folderCount;
    Text entries[kListEntries];      // main copy list; "CDCHANGE n" asks for install disc n
    int32_t entryCount;
    Text archiveNames[kListArchives];// SCRIPT, PICT, BGM, SE, VOICE, VOICE2 (the sixth is not read)
    Text mediaType;
    Text saveDataPattern;
    Text readDataFile;
    Text systemDataFiles[2];
};

struct TitleRecord {
    Text name;
    int32_t sizeMb;
    Text sourceFolder;               // folder on the disc, with trailing backslash
    Text programFile;
    int32_t folderCount, fileLineCount, stringValueCount, numberValueCount;
    int32_t menuFolderCount, menuShortcutCount, desktopShortcutCount;
    Text folderList[kTitleFolders];
    Text fileLines[kTitleFileLines];
    Text registryKey;                // title key path under HKEY_CURRENT_USER
    Text stringValues[kTitleValues];
    Text numberValues[kTitleValues];
    Text furtherTexts[kTitleFurtherTexts];
    Text menuFolders[kTitleShortcutLines];
    Text menuShortcuts[kTitleShortcutLines];
    Text desktopShortcuts[kTitleShortcutLines];
};

// Why a list was refused, and on which line (1-based; 0 when it is not about one line).
enum class ListFault {
    None,
    Missing,            // not in the archive, or unreadable
    LineTooLong,        // more than 259 bytes before CR LF
    UnterminatedLine,   // the data ends inside a line that the layout still needs (no CR LF)
    Truncated,          // the data ends before the layout is complete
    SectionOverCapacity,// more lines in an install-type section than its record holds
    OutOfMemory,        // the entry or the working record could not be allocated
};

struct ListResult {
    ListFault fault = ListFault::None;
    int line = 0;
    // Title lists: the entry lines past a section's slots that were dropped, over all sections,
    // and the 1-based line of the first of them (0 when none). Set on an accepted list only.
    int cutLines = 0;
    int firstCutLine = 0;
    bool ok() const { return fault == ListFault::None; }
};

const char* listFaultText(ListFault fault);   // short English text for tools and tests

// atoi as the C library reads it: leading blanks, an optional sign, digits up to the first
// non-digit; no digits give 0. Never overflows (saturates).
int32_t listAtoi(const char* text);

// Parse from memory. On any fault the record is left exactly as it was and the fault is
// answered; on success the record is replaced whole.
// A line is the bytes up to the next CR LF pair; a lone CR or LF is part of the text. A NUL
// byte ends the line's text there: the bytes after it up to CR LF are skipped (they still
// count towards the 259-byte limit). The last line the layout needs must end in CR LF too.
ListResult parseInstallTypeList(const uint8_t* data, size_t size, InstallTypeList* out);
ListResult parseTitleRecord(const uint8_t* data, size_t size, TitleRecord* out);

// Load an entry of the archive (GetSize, then Read) and parse it. False when it is missing or
// refused; the record is then unchanged.
bool loadInstallTypeList(CArchiveReader& archive, const char* name, InstallTypeList* out,
                         ListResult* result = nullptr);
bool loadTitleRecord(CArchiveReader& archive, const char* name, TitleRecord* out,
                     ListResult* result = nullptr);

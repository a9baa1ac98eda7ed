// Reading the install-type lists and title lists of the installer archive into their records.
#include "data/install_lists.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include "data/archive_reader.h"

namespace {

// Walks the list text line by line. Every read counts one line, so after a fault `line` is the
// 1-based number of the line that could not be taken.
class LineReader {
public:
    LineReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // Copies the next line into text (cleared first). False, with the fault set, when there is
    // no complete line left or the line does not fit a Text.
    bool next(char* text)
    {
        ++line_;
        std::memset(text, 0, kTextSize);
        if (pos_ >= size_) return fail(ListFault::Truncated);

        const uint8_t* start = data_ + pos_;
        size_t left = size_ - pos_;
        size_t len = 0;
        for (;;) {
            if (len >= kTextSize) return fail(ListFault::LineTooLong);
            if (len + 1 >= left) return fail(ListFault::UnterminatedLine);   // no room for CR LF
            if (start[len] == '\r' && start[len + 1] == '\n') break;
            ++len;
        }
        // len <= 259 here. A NUL ends the text; what follows it on the line is dropped.
        const void* nul = std::memchr(start, 0, len);
        size_t keep = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - start) : len;
        std::memcpy(text, start, keep);
        pos_ += len + 2;
        return true;
    }

    // Reads and ignores a label line.
    bool skip()
    {
        Text unused;
        return next(unused);
    }

    // A refused list answers only its fault: what was dropped before it is not reported.
    bool fail(ListFault fault)
    {
        result_ = ListResult();
        result_.fault = fault;
        result_.line = line_;
        return false;
    }

    // The line just read had no slot left and is dropped.
    void cut()
    {
        if (result_.cutLines++ == 0) result_.firstCutLine = line_;
    }

    int line() const { return line_; }
    const ListResult& result() const { return result_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    int line_ = 0;
    ListResult result_;
};

// Install-type sections end at a line that starts with the bracket "【".
bool startsWithBracket(const char* text)
{
    return static_cast<unsigned char>(text[0]) == 0x81 && static_cast<unsigned char>(text[1]) == 0x79;
}

bool startsWithEnd(const char* text)
{
    return std::strncmp(text, "end", 3) == 0;
}

bool labelThen(LineReader& in, char* text)
{
    return in.skip() && in.next(text);
}

// Lines up to the next "【" line into slots. The bracket line is consumed; with keepTerminator
// and room after the last entry it is also left in that slot (the folder list keeps it there).
bool readBracketSection(LineReader& in, Text* slots, int capacity, int32_t* count, bool keepTerminator)
{
    Text line;
    int n = 0;
    for (;;) {
        if (!in.next(line)) return false;
        if (startsWithBracket(line)) {
            if (keepTerminator && n < capacity) std::memcpy(slots[n], line, kTextSize);
            break;
        }
        if (n == capacity) return in.fail(ListFault::SectionOverCapacity);
        std::memcpy(slots[n++], line, kTextSize);
    }
    *count = n;
    return true;
}

// A title-list section: a header line, then entries up to a line starting with "end" (consumed).
// A header that itself starts with "end" is an empty section. Entries past the slots are read
// (they must still be lines) and dropped.
bool readEndSection(LineReader& in, Text* slots, int capacity, int32_t* count)
{
    Text line;
    if (!in.next(line)) return false;
    int n = 0;
    if (!startsWithEnd(line)) {
        for (;;) {
            if (!in.next(line)) return false;
            if (startsWithEnd(line)) break;
            if (n == capacity)
                in.cut();
            else
                std::memcpy(slots[n++], line, kTextSize);
        }
    }
    *count = n;
    return true;
}

bool parseInstallType(LineReader& in, InstallTypeList& list)
{
    Text number;
    if (!labelThen(in, list.title)) return false;
    if (!labelThen(in, list.secondText)) return false;
    if (!labelThen(in, number)) return false;
    list.listSizeMb = listAtoi(number);
    if (!labelThen(in, list.uninstallProgram)) return false;
    if (!in.skip()) return false;
    // The folder section's closing bracket line is the entries section's label.
    if (!readBracketSection(in, list.folderList, kListFolders, &list.folderCount, true)) return false;
    // The entries' closing bracket line is the archive names' label.
    if (!readBracketSection(in, list.entries, kListEntries, &list.entryCount, false)) return false;
    for (int i = 0; i < kListArchives - 1; ++i)     // the sixth name is never listed
        if (!in.next(list.archiveNames[i])) return false;
    if (!in.next(list.mediaType)) return false;
    if (!labelThen(in, list.saveDataPattern)) return false;
    if (!labelThen(in, list.readDataFile)) return false;
    if (!labelThen(in, list.systemDataFiles[0])) return false;
    return labelThen(in, list.systemDataFiles[1]);
}

bool parseTitle(LineReader& in, TitleRecord& title)
{
    Text number;
    if (!labelThen(in, title.name)) return false;
    if (!labelThen(in, number)) return false;
    title.sizeMb = listAtoi(number);
    if (!labelThen(in, title.sourceFolder)) return false;
    if (!labelThen(in, title.programFile)) return false;
    if (!readEndSection(in, title.folderList, kTitleFolders, &title.folderCount)) return false;
    if (!readEndSection(in, title.fileLines, kTitleFileLines, &title.fileLineCount)) return false;
    if (!readEndSection(in, title.menuFolders, kTitleShortcutLines, &title.menuFolderCount)) return false;
    if (!readEndSection(in, title.menuShortcuts, kTitleShortcutLines, &title.menuShortcutCount)) return false;
    if (!readEndSection(in, title.desktopShortcuts, kTitleShortcutLines, &title.desktopShortcutCount))
        return false;
    if (!labelThen(in, title.registryKey)) return false;
    if (!readEndSection(in, title.stringValues, kTitleValues, &title.stringValueCount)) return false;
    if (!readEndSection(in, title.numberValues, kTitleValues, &title.numberValueCount)) return false;
    for (int i = 0; i < kTitleFurtherTexts; ++i)
        if (!labelThen(in, title.furtherTexts[i])) return false;
    return true;
}

struct FreeMemory {
    void operator()(void* memory) const { std::free(memory); }
};

// Parses into a cleared C-heap copy (the records are tens of kilobytes of plain texts and
// numbers) and replaces *out only when the whole list was read.
template <typename Record, typename Parse>
ListResult parseInto(const uint8_t* data, size_t size, Record* out, Parse parse)
{
    static_assert(std::is_trivially_copyable<Record>::value && std::is_trivially_destructible<Record>::value,
                  "a record is plain data");
    void* memory = std::malloc(sizeof(Record));
    std::unique_ptr<Record, FreeMemory> work(memory ? new (memory) Record() : nullptr);
    if (!work) {
        ListResult result;
        result.fault = ListFault::OutOfMemory;
        return result;
    }
    LineReader in(data, size);
    if (parse(in, *work)) *out = *work;
    return in.result();
}

// Reads the archive entry into a C-heap buffer and hands it to parse. Caller-facing result in
// *result when given.
template <typename Record>
bool loadFromArchive(CArchiveReader& archive, const char* name, Record* out, ListResult* result,
                     ListResult (*parse)(const uint8_t*, size_t, Record*))
{
    ListResult r;
    uint32_t size = 0;
    if (!archive.GetSize(name, &size)) {
        r.fault = ListFault::Missing;
    } else {
        void* buffer = std::malloc(size ? size : 1);
        if (!buffer) {
            r.fault = ListFault::OutOfMemory;
        } else {
            if (archive.Read(name, buffer))
                r = parse(static_cast<const uint8_t*>(buffer), size, out);
            else
                r.fault = ListFault::Missing;
            std::free(buffer);
        }
    }
    if (result) *result = r;
    return r.ok();
}

}  // namespace

const char* listFaultText(ListFault fault)
{
    switch (fault) {
    case ListFault::None: return "no fault";
    case ListFault::Missing: return "list missing or unreadable";
    case ListFault::LineTooLong: return "line longer than 259 bytes";
    case ListFault::UnterminatedLine: return "line without CR LF at the end of the data";
    case ListFault::Truncated: return "list ends before its last line";
    case ListFault::SectionOverCapacity: return "more lines in a section than it holds";
    case ListFault::OutOfMemory: return "out of memory";
    }
    return "unknown fault";
}

int32_t listAtoi(const char* text)
{
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > limit) value = limit;   // keeps reading the digits, never overflows
    }
    return static_cast<int32_t>(negative ? -value : value);
}

ListResult parseInstallTypeList(const uint8_t* data, size_t size, InstallTypeList* out)
{
    return parseInto(data, size, out, parseInstallType);
}

ListResult parseTitleRecord(const uint8_t* data, size_t size, TitleRecord* out)
{
    return parseInto(data, size, out, parseTitle);
}

bool loadInstallTypeList(CArchiveReader& archive, const char* name, InstallTypeList* out,
                         ListResult* result)
{
    return loadFromArchive(archive, name, out, result, parseInstallTypeList);
}

bool loadTitleRecord(CArchiveReader& archive, const char* name, TitleRecord* out, ListResult* result)
{
    return loadFromArchive(archive, name, out, result, parseTitleRecord);
}

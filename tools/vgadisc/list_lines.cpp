// Walking an install list's layout to number the lines of its fields.
#include "tools/vgadisc/list_lines.h"

#include <cstring>

namespace vgadisc {

namespace {

bool startsWithBracket(const std::string& line)
{
    return line.size() >= 2 && static_cast<unsigned char>(line[0]) == 0x81 &&
           static_cast<unsigned char>(line[1]) == 0x79;   // "【" in code page 932
}

bool startsWithEnd(const std::string& line) { return line.compare(0, 3, "end") == 0; }

// A cursor over the lines; every take answers the 1-based number of the line taken, 0 past the end.
class Cursor {
public:
    explicit Cursor(const std::vector<std::string>& lines) : lines_(lines) {}
    bool atEnd() const { return next_ >= lines_.size(); }
    const std::string& peek() const { return lines_[next_]; }
    int take() { return atEnd() ? 0 : static_cast<int>(++next_); }
    // A label line, then the field's line.
    int labelled() { return take() ? take() : 0; }

private:
    const std::vector<std::string>& lines_;
    size_t next_ = 0;
};

// Lines up to the next "【" line, which is taken too.
bool bracketSection(Cursor& in, std::vector<int>* numbers)
{
    while (!in.atEnd() && !startsWithBracket(in.peek())) numbers->push_back(in.take());
    return in.take() != 0;
}

// A header line, then lines up to one starting with "end" (taken); a header starting with "end"
// is an empty section.
bool endSection(Cursor& in, std::vector<int>* numbers)
{
    if (in.atEnd()) return false;
    bool empty = startsWithEnd(in.peek());
    in.take();
    if (empty) return true;
    while (!in.atEnd() && !startsWithEnd(in.peek())) numbers->push_back(in.take());
    return in.take() != 0;
}

}  // namespace

std::vector<std::string> splitListLines(const host::Bytes& data)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i + 1 < data.size(); ++i) {
        if (data[i] == '\r' && data[i + 1] == '\n') {
            const char* text = reinterpret_cast<const char*>(data.data() + start);
            lines.push_back(std::string(text, strnlen(text, i - start)));
            start = i + 2;
            ++i;
        }
    }
    return lines;
}

bool mapInstallListLines(const std::vector<std::string>& lines, InstallListLines* out)
{
    InstallListLines map;
    Cursor in(lines);
    map.title = in.labelled();
    map.secondText = in.labelled();
    map.listSize = in.labelled();
    map.uninstallProgram = in.labelled();
    if (!in.take()) return false;   // the folders' label
    if (!bracketSection(in, &map.folders) || !bracketSection(in, &map.entries)) return false;
    for (int i = 0; i < 5; ++i) map.archives.push_back(in.take());
    map.mediaType = in.take();
    map.saveData = in.labelled();
    map.readData = in.labelled();
    map.systemData[0] = in.labelled();
    map.systemData[1] = in.labelled();
    if (!map.systemData[1]) return false;
    *out = map;
    return true;
}

bool mapTitleListLines(const std::vector<std::string>& lines, TitleListLines* out)
{
    TitleListLines map;
    Cursor in(lines);
    map.name = in.labelled();
    map.size = in.labelled();
    map.sourceFolder = in.labelled();
    map.programFile = in.labelled();
    if (!map.programFile) return false;
    if (!endSection(in, &map.folders) || !endSection(in, &map.fileLines) || !endSection(in, &map.menuFolders) ||
        !endSection(in, &map.menuShortcuts) || !endSection(in, &map.desktopShortcuts))
        return false;
    map.registryKey = in.labelled();
    if (!map.registryKey) return false;
    if (!endSection(in, &map.stringValues) || !endSection(in, &map.numberValues)) return false;
    *out = map;
    return true;
}

}  // namespace vgadisc

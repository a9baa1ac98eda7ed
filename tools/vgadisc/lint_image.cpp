// What a disc image can hold. vgadisc master writes ISO 9660 with Joliet names (UTF-16, what
// Windows shows); the image writer would cut a longer name, leave out a file whose path is too
// long and replace characters that Joliet does not allow, all without failing, so these are
// findings before anything is written.
//
// Names are measured in their code page 932 form, the form the lists and the menu use: every
// character of it is one UTF-16 character in Joliet.
#include <algorithm>
#include <cstring>

#include "support/text_buffer.h"
#include "tools/vgadisc/lint_context.h"

namespace vgadisc {

namespace {

// Besides the files' own sectors: the system area, the volume descriptors, the path tables' fixed
// part and the writer's padding at the end take well under this.
constexpr uint64_t kFixedSystemBytes = 1024 * 1024;
// Per folder: a directory in each of the two trees (ISO 9660 and Joliet) and its path table
// records, a sector each at least.
constexpr uint64_t kFolderSystemBytes = 3 * kSectorBytes;
// Per name: a directory record in each tree (33 bytes and the name, at most 128 bytes in Joliet).
constexpr uint64_t kNameSystemBytes = 2 * 256;

const char kForbiddenChars[] = "\\/:*?\"<>|";

uint64_t roundUpToSector(uint64_t bytes) { return (bytes + kSectorBytes - 1) / kSectorBytes * kSectorBytes; }

// Characters of a code page 932 text: a two-byte character counts once.
size_t cp932Chars(const std::string& text)
{
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i, ++chars)
        if (isSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ++i;
    return chars;
}

// The first character of a code page 932 name that a Windows file name cannot hold, as text
// ("" when there is none). Trail bytes of two-byte characters (0x5C in "ソ") are not characters.
std::string forbiddenChar(const std::string& cp932)
{
    for (size_t i = 0; i < cp932.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(cp932[i]);
        if (isSjisLeadByte(c) && i + 1 < cp932.size()) {
            ++i;
            continue;
        }
        if (c < 0x20 || c == 0x7F) return "a control character";
        if (std::strchr(kForbiddenChars, c)) return std::string("\"") + static_cast<char>(c) + "\"";
    }
    return "";
}

// The name's code page 932 form, when converting it back gives the same host name: otherwise
// Windows would show another name than the folder has, and the lists could not name it.
bool discName(const std::string& hostName, std::string* cp932)
{
    std::string back;
    return host::toCp932(hostName, cp932) && host::fromCp932(*cp932, &back) && back == hostName;
}

class Scanner {
public:
    explicit Scanner(ImageScan* scan) : scan_(scan) {}

    // hostDir is at level (the root is 1); rel is its path from the root in code page 932 with
    // backslashes ("" for the root), pathChars the characters of "\" + rel.
    void folder(const std::string& hostDir, const std::string& rel, int level, size_t pathChars)
    {
        std::vector<std::string> names;
        if (!host::listDirectory(hostDir, &names)) {
            problem("folder " + shown(rel) + " cannot be read");
            return;
        }
        std::sort(names.begin(), names.end());
        scan_->systemBytes += kFolderSystemBytes + names.size() * kNameSystemBytes;
        for (const std::string& name : names) entry(hostDir, rel, level, pathChars, name);
    }

private:
    void entry(const std::string& hostDir, const std::string& parentRel, int level, size_t parentChars,
               const std::string& hostName)
    {
        const std::string hostPath = host::joinPath(hostDir, hostName);
        std::string name;
        if (!discName(hostName, &name)) {
            problem("name " + quoteHost(parentRel, hostName) +
                    " has no code page 932 form: the menu and the lists could not name it on the disc");
            return;
        }
        const std::string rel = parentRel.empty() ? name : parentRel + "\\" + name;
        const bool isFolder = host::isDirectory(hostPath);
        uint64_t size = 0;
        if (!isFolder && !host::fileSize(hostPath, &size)) {
            problem(shown(rel) + " is neither a file nor a folder: an image holds no such thing");
            return;
        }
        const std::string bad = forbiddenChar(name);
        if (!bad.empty()) {
            problem("name " + shown(rel) + " holds " + bad + ", which a Windows file name cannot");
            return;
        }
        const size_t chars = cp932Chars(name);
        if (chars > kMaxJolietNameChars) {
            problem("name " + shown(rel) + " is " + std::to_string(chars) +
                    " characters long: a Joliet name holds at most " + std::to_string(kMaxJolietNameChars) +
                    " (the image would cut it)");
            return;
        }
        const size_t pathChars = parentChars + 1 + chars;
        if (pathChars > kMaxJolietPathChars) {
            problem("path " + shown("\\" + rel) + " is " + std::to_string(pathChars) +
                    " characters long from the root: a Joliet path holds at most " +
                    std::to_string(kMaxJolietPathChars) + " (the image would leave it out)");
            return;
        }
        if (!isFolder) {
            scan_->fileBytes += roundUpToSector(size);
            return;
        }
        if (level + 1 > kMaxIsoLevels) {
            problem("folder " + shown(rel) + " is level " + std::to_string(level + 1) +
                    " counting the root as 1: an ISO 9660 image holds " + std::to_string(kMaxIsoLevels) + " levels");
            return;
        }
        folder(hostPath, rel, level + 1, pathChars);
    }

    void problem(const std::string& text) { scan_->problems.push_back(text); }
    static std::string shown(const std::string& rel) { return lint::quote(rel); }
    static std::string quoteHost(const std::string& parentRel, const std::string& hostName)
    {
        const std::string parent = parentRel.empty() ? "" : host::display(parentRel) + "\\";
        return "\"" + parent + host::displayHostName(hostName) + "\"";
    }

    ImageScan* scan_;
};

}  // namespace

ImageScan scanDiscImage(const std::string& discRoot)
{
    ImageScan scan;
    scan.systemBytes = kFixedSystemBytes;
    Scanner(&scan).folder(discRoot, "", 1, 0);
    return scan;
}

namespace lint {

void checkImages(Context& ctx)
{
    const DiscSet& discs = ctx.discs();
    for (int d = 1; d <= discs.count(); ++d) {
        const std::string where = "disc" + std::to_string(d);
        ImageScan scan = scanDiscImage(discs.root(d));
        for (const std::string& text : scan.problems) ctx.note(where, 0, text);
        if (scan.imageBytes() > kDvd5Bytes)
            ctx.note(where, 0,
                     "an image would take about " + std::to_string(scan.imageBytes()) + " bytes (" +
                         std::to_string(scan.fileBytes) + " in files, " + std::to_string(scan.systemBytes) +
                         " for the file system): more than the " + std::to_string(kDvd5Bytes) + " bytes of a DVD-5");
    }
}

}  // namespace lint
}  // namespace vgadisc

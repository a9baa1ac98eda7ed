// Checking an install disc set before it is burnt: the installer archive and its lists, and the
// files the lists name, for everything that would go wrong when the menu installs from the discs.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vgadisc {

struct Finding {
    std::string where;   // list name ("instdata_f.txt"), "instdata.arc" or "disc1"/"disc2"
    int line = 0;        // 1-based line of the list, 0 when the finding is not about one line
    std::string text;    // host text (list values already converted)
};

struct LintReport {
    std::vector<Finding> findings;
    int listsRead = 0;      // lists that the loader accepted
    int filesChecked = 0;   // disc lookups made for list entries and title files
};

// Typical destinations that the path lengths are measured under.
constexpr const char* kTypicalInstallDir = "C:\\Program Files\\Varnis\\Hub\\";
constexpr const char* kTypicalInstallRoot = "C:\\Program Files\\";
constexpr const char* kTypicalDiscRoot = "Q:\\";

// What an image of a disc folder can hold (vgadisc master writes ISO 9660 with Joliet names).
constexpr size_t kMaxJolietNameChars = 64;    // UTF-16 characters of one name
constexpr size_t kMaxJolietPathChars = 120;   // 240 bytes: "\\a\\b" from the root, every backslash counted
constexpr int kMaxIsoLevels = 8;              // folder levels, the root being the first
constexpr uint64_t kDvd5Bytes = 4700372992ull;
constexpr uint64_t kSectorBytes = 2048;

struct ImageScan {
    std::vector<std::string> problems;   // finding texts, folders in name order
    uint64_t fileBytes = 0;              // the files' sizes, each rounded up to whole sectors
    uint64_t systemBytes = 0;            // estimate of the file system's own sectors
    uint64_t imageBytes() const { return fileBytes + systemBytes; }
};

// Walks a disc folder for what an image cannot hold as it is: a name with no code page 932 form
// or with a character Windows file names cannot have, a name or path over the Joliet limits, a
// folder deeper than ISO 9660 allows, something neither file nor folder; and estimates the image's
// size (not measured below a folder that is already a problem).
ImageScan scanDiscImage(const std::string& discRoot);

// Checks the disc folders (disc 1 first, at most two). False with *error only when there is
// nothing to check: a disc folder or the installer archive on disc 1 cannot be used.
bool lintDiscs(const std::vector<std::string>& discRoots, LintReport* report, std::string* error);

// "where:line: text", or "where: text" without a line.
std::string formatFinding(const Finding& finding);

}  // namespace vgadisc

// Checking an install disc set before it is burnt: the installer archive and its lists, and the
// files the lists name, for everything that would go wrong when the menu installs from the discs.
#pragma once
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

// Checks the disc folders (disc 1 first, at most two). False with *error only when there is
// nothing to check: a disc folder or the installer archive on disc 1 cannot be used.
bool lintDiscs(const std::vector<std::string>& discRoots, LintReport* report, std::string* error);

// "where:line: text", or "where: text" without a line.
std::string formatFinding(const Finding& finding);

}  // namespace vgadisc

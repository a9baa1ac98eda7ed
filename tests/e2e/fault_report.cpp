#include "tests/e2e/fault_report.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace e2e {
namespace {

// Tabs and line breaks would break the row apart.
std::string oneField(std::string text)
{
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return text;
}

}  // namespace

void reportFault(const std::string& caseName, const std::string& outcome, const std::string& residue)
{
    char path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("VGA_FAULT_REPORT", path, sizeof path);
    if (length == 0 || length >= sizeof path) return;
    FILE* report = std::fopen(path, "ab");
    if (!report) return;
    const std::string row = oneField(caseName) + "\t" + oneField(outcome) + "\t" + oneField(residue) + "\n";
    std::fwrite(row.data(), 1, row.size(), report);
    std::fclose(report);
}

std::string residueOf(const std::vector<std::string>& before, const std::vector<std::string>& after)
{
    std::vector<std::string> added, removed;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(removed));
    if (added.empty() && removed.empty()) return "none";
    std::string text;
    for (const std::string& line : added) text += (text.empty() ? "left: " : "; left: ") + line;
    for (const std::string& line : removed) text += (text.empty() ? "gone: " : "; gone: ") + line;
    return text;
}

}  // namespace e2e

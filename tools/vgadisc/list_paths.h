// Paths and lines as the install lists write them: code page 932, backslash separators, lines of
// the form key,value. All scanning steps over two-byte characters, whose trail byte may be 0x5C
// ('\\') or 0x2C (',').
#pragma once
#include <string>
#include <vector>

namespace vgadisc {

// The path's components between real separators ('\\' and '/'); empty components are dropped.
std::vector<std::string> splitListPath(const std::string& path);

// The folder part of a path including its last real backslash ("data\\a.arc" gives "data\\",
// "a.arc" gives "").
std::string folderOf(const std::string& path);

// A folder text normalised for comparison: ASCII letters lowered, '/' as '\\', a trailing
// backslash added unless it is empty. Windows compares folder names without case.
std::string folderKey(const std::string& folder);
// The parent of a normalised folder key ("a\\b\\" gives "a\\", "a\\" gives "").
std::string parentKey(const std::string& key);
// ASCII letters lowered (a file path compared the way Windows does for these names).
std::string lowered(const std::string& text);

// Why a list path could not be used relative to its folder: "" when it is fine, otherwise a short
// reason (absolute, names a drive, climbs out with "..").
std::string relativePathProblem(const std::string& path);

// Cuts a list line at its first comma with the installer's own cut (data/list_grammar.h): key
// before it, value after it with every further comma dropped; a comma inside a two-byte
// character does not count. Only the first 259 bytes count, as in the lists' records.
void splitAtComma(const std::string& line, std::string* key, std::string* value);

// True when text ends in a real backslash.
bool endsWithSeparator(const std::string& text);

}  // namespace vgadisc

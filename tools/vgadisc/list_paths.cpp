// Paths and lines of the install lists, scanned with two-byte characters kept whole.
#include "tools/vgadisc/list_paths.h"

#include "data/list_grammar.h"
#include "support/text_buffer.h"

namespace vgadisc {

namespace {

bool isLead(const std::string& s, size_t i)
{
    return isSjisLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size();
}

}  // namespace

std::vector<std::string> splitListPath(const std::string& path)
{
    std::vector<std::string> parts;
    std::string current;
    for (size_t i = 0; i < path.size(); ++i) {
        if (isLead(path, i)) {
            current += path[i];
            current += path[++i];
        } else if (path[i] == '\\' || path[i] == '/') {
            if (!current.empty()) parts.push_back(current);
            current.clear();
        } else {
            current += path[i];
        }
    }
    if (!current.empty()) parts.push_back(current);
    return parts;
}

std::string folderOf(const std::string& path)
{
    size_t cut = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (isLead(path, i))
            ++i;
        else if (path[i] == '\\' || path[i] == '/')
            cut = i + 1;
    }
    return path.substr(0, cut);
}

std::string lowered(const std::string& text)
{
    std::string result = text;
    for (char& c : result)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return result;
}

std::string folderKey(const std::string& folder)
{
    std::string key;
    for (const std::string& part : splitListPath(folder)) key += lowered(part) + "\\";
    return key;
}

std::string parentKey(const std::string& key)
{
    if (key.empty()) return key;
    return folderOf(key.substr(0, key.size() - 1));
}

std::string relativePathProblem(const std::string& path)
{
    if (!path.empty() && (path[0] == '\\' || path[0] == '/')) return "is an absolute path";
    for (size_t i = 0; i < path.size(); ++i) {
        if (isLead(path, i))
            ++i;
        else if (path[i] == ':')
            return "names a drive";
    }
    for (const std::string& part : splitListPath(path))
        if (part == "..") return "climbs out of its folder with \"..\"";
    return "";
}

void splitAtComma(const std::string& line, std::string* key, std::string* value)
{
    // The installer's own cut, on a 260-byte text as the lists are read into.
    Text text = {}, keyText = {}, valueText = {};
    line.copy(text, kTextSize - 1);
    ::splitAtComma(text, kTextSize, keyText, valueText);
    *key = keyText;
    *value = valueText;
}

bool endsWithSeparator(const std::string& text) { return !text.empty() && folderOf(text).size() == text.size(); }

}  // namespace vgadisc

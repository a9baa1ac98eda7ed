// The menu's command line: disc folder, options and exit codes.
#include "menu/command_options.h"

#include <cstring>
#include <string>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameNoCase(const std::string& text, const char* name)
{
    if (text.size() != std::strlen(name)) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (lowerAscii(text[i]) != name[i]) return false;
    return true;
}

// The options, in the order formatOptions writes them.
enum Option { kSilent, kUninstall, kDir, kTitles, kData, kNoDesktop, kNoStartMenu, kNoDirectX, kNoReadme, kLog, kOptionCount };

struct OptionName {
    const char* name;
    bool takesValue;
};
const OptionName kOptions[kOptionCount] = {
    {"silent", false},    {"uninstall", false}, {"dir", true},        {"titles", true},      {"data", true},
    {"nodesktop", false}, {"nostartmenu", false}, {"nodirectx", false}, {"noreadme", false}, {"log", true},
};

// Reads the next word from p (blanks before it skipped): the text without its double quotes.
// False at the end of the text. *unclosed tells a word whose quote was never closed.
bool nextWord(const char*& p, std::string& word, bool* unclosed)
{
    while (isBlank(*p)) ++p;
    if (*p == '\0') return false;
    word.clear();
    bool quoted = false;
    for (; *p && (quoted || !isBlank(*p)); ++p) {
        if (*p == '"')
            quoted = !quoted;
        else
            word += *p;
    }
    *unclosed = quoted;
    return true;
}

// The word as the fault's name: whole when it fits, else its start and "..." (never half of a
// two-byte character).
void nameOption(const std::string& word, char* out)
{
    const size_t limit = 200;
    size_t at = 0;
    while (at < word.size()) {
        const size_t step = isSjisLeadByte(static_cast<unsigned char>(word[at])) && at + 1 < word.size() ? 2 : 1;
        if (at + step > limit) break;
        at += step;
    }
    std::string shown = word.substr(0, at);
    if (at < word.size()) shown += "...";
    std::memcpy(out, shown.c_str(), shown.size() + 1);
}

// A path as the 260-byte buffers and the file system take it: at most 259 bytes; no character
// that no Windows path holds (control characters, * ? " < > | /, a ':' anywhere but after the
// drive letter), looked at only outside two-byte characters, whose second byte may be '\' or
// '|'; no lead byte without its second byte at the end. With absolute, "X:\" or "\\server\..."
// at its start as well.
OptionError checkPath(const std::string& path, bool absolute)
{
    if (path.size() >= kTextSize) return OptionError::PathTooLong;
    for (size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (isSjisLeadByte(c)) {
            if (i + 1 >= path.size()) return OptionError::PathInvalid;
            ++i;
            continue;
        }
        if (c < 0x20 || std::strchr("*?\"<>|/", c) || (c == ':' && i != 1)) return OptionError::PathInvalid;
    }
    if (!absolute) return OptionError::None;
    const char letter = lowerAscii(path[0]);
    const bool drive = path.size() >= 3 && letter >= 'a' && letter <= 'z' && path[1] == ':' && path[2] == '\\';
    const bool network = path.size() >= 3 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
    return drive || network ? OptionError::None : OptionError::PathNotAbsolute;
}

// Cuts a comma list into its items; empty items are kept (and refused by the callers).
void commaItems(const std::string& list, std::string items[], size_t capacity, size_t* count)
{
    *count = 0;
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        const std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (*count < capacity) items[*count] = item;
        ++*count;
        if (comma == std::string::npos) return;
        start = comma + 1;
    }
}

bool readTitles(const std::string& value, CommandOptions* options)
{
    bool titles[kTitleCount] = {};
    const bool all = sameNoCase(value, "all");
    if (all) {
        for (bool& title : titles) title = true;
    } else {
        std::string items[kTitleCount + 1];
        size_t count = 0;
        commaItems(value, items, kTitleCount + 1, &count);
        if (count > kTitleCount) return false;
        for (size_t i = 0; i < count; ++i) {
            const std::string& item = items[i];
            if (item.size() != 1 || item[0] < '1' || item[0] > '0' + kTitleCount) return false;
            bool& title = titles[item[0] - '1'];
            if (title) return false;   // named twice: a slip for another number, not to be guessed
            title = true;
        }
    }
    std::memcpy(options->titles, titles, sizeof titles);
    options->titlesAll = all;
    return true;
}

bool readData(const std::string& value, CommandOptions* options)
{
    const char* const kinds[4] = {"game", "system", "read", "save"};
    bool chosen[4] = {};
    if (sameNoCase(value, "all")) {
        for (bool& kind : chosen) kind = true;
    } else {
        std::string items[5];
        size_t count = 0;
        commaItems(value, items, 5, &count);
        if (count > 4) return false;
        for (size_t i = 0; i < count; ++i) {
            int kind = -1;
            for (int k = 0; k < 4; ++k)
                if (sameNoCase(items[i], kinds[k])) kind = k;
            if (kind < 0 || chosen[kind]) return false;
            chosen[kind] = true;
        }
    }
    options->dataGame = chosen[0];
    options->dataSystem = chosen[1];
    options->dataRead = chosen[2];
    options->dataSave = chosen[3];
    options->dataAll = chosen[0] && chosen[1] && chosen[2] && chosen[3];
    return true;
}

// Takes one word; the fault of the word, or None.
OptionError readWord(const std::string& word, CommandOptions* options, bool given[kOptionCount], int* which)
{
    *which = -1;
    if (word.empty() || word[0] != '/') return OptionError::NotAnOption;
    const size_t equals = word.find('=');
    const std::string name = word.substr(1, equals == std::string::npos ? std::string::npos : equals - 1);
    const std::string value = equals == std::string::npos ? std::string() : word.substr(equals + 1);
    for (int i = 0; i < kOptionCount; ++i)
        if (sameNoCase(name, kOptions[i].name)) *which = i;
    if (*which < 0) return OptionError::Unknown;

    const Option option = static_cast<Option>(*which);
    if (given[option]) return OptionError::Repeated;
    given[option] = true;
    if (!kOptions[option].takesValue) {
        if (equals != std::string::npos) return OptionError::UnexpectedValue;
    } else if (value.empty()) {
        return OptionError::MissingValue;
    }

    switch (option) {
    case kSilent: options->silent = true; break;
    case kUninstall: options->uninstall = true; break;
    case kNoDesktop: options->noDesktop = true; break;
    case kNoStartMenu: options->noStartMenu = true; break;
    case kNoDirectX: options->noDirectX = true; break;
    case kNoReadme: options->noReadme = true; break;
    case kTitles:
        if (!readTitles(value, options)) return OptionError::BadTitles;
        options->titlesGiven = true;
        break;
    case kData:
        if (!readData(value, options)) return OptionError::BadData;
        options->dataGiven = true;
        break;
    case kDir:
    case kLog: {
        const OptionError fault = checkPath(value, option == kDir);
        if (fault != OptionError::None) return fault;
        std::memcpy(option == kDir ? options->dir : options->log, value.c_str(), value.size() + 1);
        break;
    }
    case kOptionCount: break;
    }
    return OptionError::None;
}

// The rules of which options go together, once every word was read.
OptionError checkCombination(const CommandOptions& options, const bool given[kOptionCount],
                             const std::string words[kOptionCount], std::string* offending)
{
    auto fault = [&](OptionError error, int option) {
        *offending = words[option];
        return error;
    };
    if (!options.silent) {
        // The pages take no choices from the command line; only the log goes with them.
        for (int i = 0; i < kOptionCount; ++i)
            if (given[i] && i != kLog) return fault(OptionError::NeedsSilent, i);
        return OptionError::None;
    }
    if (options.uninstall) {
        for (int i : {kDir, kNoDesktop, kNoStartMenu, kNoDirectX, kNoReadme})
            if (given[i]) return fault(OptionError::NotForUninstall, i);
        if (!given[kTitles] || !given[kData]) return fault(OptionError::MissingForUninstall, kUninstall);
    } else if (given[kData]) {
        return fault(OptionError::NeedsUninstall, kData);
    }
    return OptionError::None;
}

}  // namespace

const char* exitCodeMeaning(int code)
{
    switch (code) {
    case kExitDone: return "done";
    case kExitBadArguments: return "bad arguments";
    case kExitMenuRunning: return "another menu is running";
    case kExitDiscMissing: return "a disc or a file of it was not found";
    case kExitNoSpace: return "not enough free space";
    case kExitCopyFailed: return "a file could not be copied; rolled back";
    case kExitNotInstalled: return "not installed";
    default: return "failed";
    }
}

CommandOptions defaultOptions()
{
    CommandOptions options = {};
    options.titlesAll = true;
    for (bool& title : options.titles) title = true;
    return options;
}

bool splitArgument(const char* argument, char* folder, const char** options)
{
    const char* start = argument;
    while (*start && !((start == argument || isBlank(start[-1])) &&
                       (start[0] == '/' || (start[0] == '"' && start[1] == '/'))))
        ++start;
    *options = start;

    size_t length = static_cast<size_t>(start - argument);
    while (length > 0 && isBlank(argument[length - 1]) && *start) --length;   // the blanks before the options
    const char* text = argument;
    if (length >= 2 && text[0] == '"' && text[length - 1] == '"') {
        ++text;
        length -= 2;
    }
    if (length >= kTextSize) {
        folder[0] = '\0';
        return false;
    }
    std::memcpy(folder, text, length);
    folder[length] = '\0';
    return true;
}

OptionCheck parseOptions(const char* text, CommandOptions* options)
{
    *options = defaultOptions();
    OptionCheck check = {};
    bool given[kOptionCount] = {};
    std::string words[kOptionCount];
    const char* p = text;
    std::string word;
    bool unclosed = false;
    while (nextWord(p, word, &unclosed)) {
        int which = -1;
        OptionError fault = unclosed ? OptionError::UnclosedQuote : OptionError::None;
        if (fault == OptionError::None) {
            fault = readWord(word, options, given, &which);
            if (which >= 0 && words[which].empty()) words[which] = word;
        }
        if (fault != OptionError::None && check.error == OptionError::None) {
            check.error = fault;
            nameOption(word, check.option);
        }
    }
    if (check.error != OptionError::None) return check;

    std::string offending;
    check.error = checkCombination(*options, given, words, &offending);
    if (check.error != OptionError::None) nameOption(offending, check.option);
    return check;
}

void formatTitleNumbers(const bool titles[kTitleCount], char* out)
{
    char* p = out;
    for (int i = 0; i < kTitleCount; ++i) {
        if (!titles[i]) continue;
        if (p != out) *p++ = ',';
        *p++ = static_cast<char>('1' + i);
    }
    *p = '\0';
}

bool formatOptions(const CommandOptions& options, char* out, size_t outSize)
{
    std::string text;
    auto add = [&text](const std::string& word) { text += (text.empty() ? "" : " ") + word; };
    if (options.silent) add("/silent");
    if (options.uninstall) add("/uninstall");
    if (options.dir[0]) add(std::string("/dir=\"") + options.dir + "\"");
    if (options.titlesGiven) {
        char numbers[16];
        formatTitleNumbers(options.titles, numbers);
        add(std::string("/titles=") + (options.titlesAll ? "all" : numbers));
    }
    if (options.dataGiven) {
        std::string kinds;
        const bool chosen[4] = {options.dataGame, options.dataSystem, options.dataRead, options.dataSave};
        const char* const names[4] = {"game", "system", "read", "save"};
        for (int k = 0; k < 4; ++k)
            if (chosen[k]) kinds += (kinds.empty() ? "" : ",") + std::string(names[k]);
        add("/data=" + (options.dataAll ? std::string("all") : kinds));
    }
    if (options.noDesktop) add("/nodesktop");
    if (options.noStartMenu) add("/nostartmenu");
    if (options.noDirectX) add("/nodirectx");
    if (options.noReadme) add("/noreadme");
    if (options.log[0]) add(std::string("/log=\"") + options.log + "\"");
    if (outSize == 0) return false;
    if (text.size() >= outSize) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, text.c_str(), text.size() + 1);
    return true;
}

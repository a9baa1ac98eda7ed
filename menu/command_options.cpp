// The menu's command line: disc folder, options and exit codes.
#include "menu/command_options.h"

#include <cstring>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// One word of the options without its double quotes. Only its start is kept: every decision
// about a longer word is made within it (no option name is longer, a path of 260 bytes or more
// is refused, a title or data list that long is wrong, and a fault names 200 bytes at most);
// length is the whole word's.
constexpr size_t kWordKept = 2 * kTextSize;
struct Word {
    char text[kWordKept + 1];
    size_t length;
};

// A part of a word: its first bytes (as kept) and its whole length.
struct Part {
    const char* text;
    size_t length;
};

// The kept bytes of a part, up to its end or the end of what the word kept.
size_t keptLength(const Part& part) { return strnlen(part.text, part.length); }

bool sameNoCase(const Part& part, const char* name)
{
    if (part.length != std::strlen(name) || keptLength(part) != part.length) return false;
    for (size_t i = 0; i < part.length; ++i)
        if (lowerAscii(part.text[i]) != name[i]) return false;
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
bool nextWord(const char*& p, Word& word, bool* unclosed)
{
    while (isBlank(*p)) ++p;
    if (*p == '\0') return false;
    word.length = 0;
    bool quoted = false;
    for (; *p && (quoted || !isBlank(*p)); ++p) {
        if (*p == '"') {
            quoted = !quoted;
        } else {
            if (word.length < kWordKept) word.text[word.length] = *p;
            ++word.length;
        }
    }
    word.text[word.length < kWordKept ? word.length : kWordKept] = '\0';
    *unclosed = quoted;
    return true;
}

// The word as the fault's name: whole when it fits, else its start and "..." (never half of a
// two-byte character). out holds kTextSize bytes.
void nameOption(const Word& word, char* out)
{
    const size_t limit = 200;
    size_t at = 0;
    while (at < word.length) {
        const size_t step = isSjisLeadByte(static_cast<unsigned char>(word.text[at])) && at + 1 < word.length ? 2 : 1;
        if (at + step > limit) break;
        at += step;
    }
    std::memcpy(out, word.text, at);
    std::memcpy(out + at, at < word.length ? "..." : "", at < word.length ? 4 : 1);
}

// A path as the 260-byte buffers and the file system take it: at most 259 bytes; no character
// that no Windows path holds (control characters, * ? " < > | /, a ':' anywhere but after the
// drive letter), looked at only outside two-byte characters, whose second byte may be '\' or
// '|'; no lead byte without its second byte at the end. With absolute, "X:\" or "\\server\..."
// at its start as well.
OptionError checkPath(const Part& path, bool absolute)
{
    if (path.length >= kTextSize) return OptionError::PathTooLong;   // all of it is kept then
    for (size_t i = 0; i < path.length; ++i) {
        const unsigned char c = static_cast<unsigned char>(path.text[i]);
        if (isSjisLeadByte(c)) {
            if (i + 1 >= path.length) return OptionError::PathInvalid;
            ++i;
            continue;
        }
        if (c < 0x20 || std::strchr("*?\"<>|/", c) || (c == ':' && i != 1)) return OptionError::PathInvalid;
    }
    if (!absolute) return OptionError::None;
    const char letter = lowerAscii(path.text[0]);
    const bool drive = path.length >= 3 && letter >= 'a' && letter <= 'z' && path.text[1] == ':' && path.text[2] == '\\';
    const bool network = path.length >= 3 && path.text[0] == '\\' && path.text[1] == '\\' && path.text[2] != '\\';
    return drive || network ? OptionError::None : OptionError::PathNotAbsolute;
}

// Cuts a comma list into its items; empty items are kept (and refused by the callers). A list
// longer than what its word kept is refused whole by the callers before it is cut.
void commaItems(const Part& list, Part items[], size_t capacity, size_t* count)
{
    *count = 0;
    size_t start = 0;
    for (;;) {
        const char* comma = static_cast<const char*>(std::memchr(list.text + start, ',', list.length - start));
        const size_t end = comma ? static_cast<size_t>(comma - list.text) : list.length;
        if (*count < capacity) items[*count] = Part{list.text + start, end - start};
        ++*count;
        if (!comma) return;
        start = end + 1;
    }
}

// The longest list that can be right ("1,2,3,4,5", "game,system,read,save"): no longer one is cut.
constexpr size_t kLongestList = 32;

bool readTitles(const Part& value, CommandOptions* options)
{
    bool titles[kTitleCount] = {};
    const bool all = sameNoCase(value, "all");
    if (all) {
        for (bool& title : titles) title = true;
    } else {
        if (value.length > kLongestList) return false;
        Part items[kTitleCount + 1];
        size_t count = 0;
        commaItems(value, items, kTitleCount + 1, &count);
        if (count > kTitleCount) return false;
        for (size_t i = 0; i < count; ++i) {
            const Part& item = items[i];
            if (item.length != 1 || item.text[0] < '1' || item.text[0] > '0' + kTitleCount) return false;
            bool& title = titles[item.text[0] - '1'];
            if (title) return false;   // named twice: a slip for another number, not to be guessed
            title = true;
        }
    }
    std::memcpy(options->titles, titles, sizeof titles);
    options->titlesAll = all;
    return true;
}

bool readData(const Part& value, CommandOptions* options)
{
    const char* const kinds[4] = {"game", "system", "read", "save"};
    bool chosen[4] = {};
    if (sameNoCase(value, "all")) {
        for (bool& kind : chosen) kind = true;
    } else {
        if (value.length > kLongestList) return false;
        Part items[5];
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
OptionError readWord(const Word& word, CommandOptions* options, bool given[kOptionCount], int* which)
{
    *which = -1;
    if (word.length == 0 || word.text[0] != '/') return OptionError::NotAnOption;
    // An '=' past what the word kept follows a name longer than any option's: Unknown either way.
    const char* equals = std::strchr(word.text, '=');
    const size_t nameEnd = equals ? static_cast<size_t>(equals - word.text) : word.length;
    const Part name = {word.text + 1, nameEnd - 1};
    const Part value = equals ? Part{equals + 1, word.length - nameEnd - 1} : Part{"", 0};
    for (int i = 0; i < kOptionCount; ++i)
        if (sameNoCase(name, kOptions[i].name)) *which = i;
    if (*which < 0) return OptionError::Unknown;

    const Option option = static_cast<Option>(*which);
    if (given[option]) return OptionError::Repeated;
    given[option] = true;
    if (!kOptions[option].takesValue) {
        if (equals) return OptionError::UnexpectedValue;
    } else if (value.length == 0) {
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
        char* path = option == kDir ? options->dir : options->log;
        std::memcpy(path, value.text, value.length);   // below 260 bytes, all kept
        path[value.length] = '\0';
        break;
    }
    case kOptionCount: break;
    }
    return OptionError::None;
}

// The rules of which options go together, once every word was read. names holds each option's
// first word as a fault names it; the fault's is copied into offending (kTextSize bytes).
OptionError checkCombination(const CommandOptions& options, const bool given[kOptionCount],
                             const char names[kOptionCount][kTextSize], char* offending)
{
    auto fault = [&](OptionError error, int option) {
        std::memcpy(offending, names[option], kTextSize);
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

// Appends word to out (outSize bytes) after a blank when out is not empty; false when it does
// not fit (out then holds what fitted before).
bool addWord(char* out, size_t outSize, const char* a, const char* b = "", const char* c = "")
{
    const size_t have = std::strlen(out);
    const size_t blank = have ? 1 : 0, la = std::strlen(a), lb = std::strlen(b), lc = std::strlen(c);
    if (have + blank + la + lb + lc >= outSize) return false;
    char* p = out + have;
    if (blank) *p++ = ' ';
    std::memcpy(p, a, la);
    std::memcpy(p + la, b, lb);
    std::memcpy(p + la + lb, c, lc);
    p[la + lb + lc] = '\0';
    return true;
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
    char names[kOptionCount][kTextSize] = {};   // each option's first word, as a fault names it
    const char* p = text;
    Word word;
    bool unclosed = false;
    while (nextWord(p, word, &unclosed)) {
        int which = -1;
        OptionError fault = unclosed ? OptionError::UnclosedQuote : OptionError::None;
        if (fault == OptionError::None) {
            fault = readWord(word, options, given, &which);
            if (which >= 0 && which < kOptionCount && names[which][0] == '\0') nameOption(word, names[which]);
        }
        if (fault != OptionError::None && check.error == OptionError::None) {
            check.error = fault;
            nameOption(word, check.option);
        }
    }
    if (check.error != OptionError::None) return check;

    check.error = checkCombination(*options, given, names, check.option);
    if (check.error == OptionError::None) check.option[0] = '\0';
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
    if (outSize == 0) return false;
    out[0] = '\0';
    bool fits = true;
    if (options.silent) fits = fits && addWord(out, outSize, "/silent");
    if (options.uninstall) fits = fits && addWord(out, outSize, "/uninstall");
    if (options.dir[0]) fits = fits && addWord(out, outSize, "/dir=\"", options.dir, "\"");
    if (options.titlesGiven) {
        char numbers[16];
        formatTitleNumbers(options.titles, numbers);
        fits = fits && addWord(out, outSize, "/titles=", options.titlesAll ? "all" : numbers);
    }
    if (options.dataGiven) {
        char kinds[32] = {};
        const bool chosen[4] = {options.dataGame, options.dataSystem, options.dataRead, options.dataSave};
        const char* const names[4] = {"game", "system", "read", "save"};
        for (int k = 0; k < 4; ++k)
            if (chosen[k]) {
                if (kinds[0]) std::strcat(kinds, ",");
                std::strcat(kinds, names[k]);   // 21 bytes at most
            }
        fits = fits && addWord(out, outSize, "/data=", options.dataAll ? "all" : kinds);
    }
    if (options.noDesktop) fits = fits && addWord(out, outSize, "/nodesktop");
    if (options.noStartMenu) fits = fits && addWord(out, outSize, "/nostartmenu");
    if (options.noDirectX) fits = fits && addWord(out, outSize, "/nodirectx");
    if (options.noReadme) fits = fits && addWord(out, outSize, "/noreadme");
    if (options.log[0]) fits = fits && addWord(out, outSize, "/log=\"", options.log, "\"");
    if (!fits) out[0] = '\0';
    return fits;
}

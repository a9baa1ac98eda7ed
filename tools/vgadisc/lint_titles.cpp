// Checks of the title lists: each title's folders and file lines with their disc lines, its size
// (Harbor counted with its two extra lists), and what its program, shortcuts and registry values
// point at.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "data/list_grammar.h"
#include "tools/vgadisc/lint_context.h"
#include "tools/vgadisc/list_lines.h"
#include "tools/vgadisc/list_paths.h"

namespace vgadisc {
namespace lint {

namespace {

const char kInstallPathTag[] = "[インストールパス]";
const char kMediaPathTag[] = "[メディアパス]";

// The title lists in the order the closing steps install them; group is the title index whose
// size and files they count towards (Harbor's two extra lists belong to Harbor).
struct TitleSlot {
    const char* list;
    int group;
    bool leader;   // the title's own record (its sizeMb, programFile and launch)
};
const TitleSlot kTitleSlots[] = {
    {"inst_lantern.txt", 0, true},  {"inst_brindle.txt", 1, true},   {"inst_harbormenu.txt", 2, true},
    {"inst_harbor.txt", 2, false},  {"inst_harborsp.txt", 2, false}, {"inst_rainmere.txt", 3, true},
    {"inst_mistvale.txt", 4, true},
};
constexpr int kTitleGroups = 5;

struct TitleGroup {
    int64_t declaredMb = 0;
    uint64_t realBytes = 0;
    bool sizeKnown = true;
    std::set<std::string> installed;   // destination paths under the install root, lowered
    // Folders that exist under the install root while the group's lists are installed: the
    // product's own, then each list's in turn (Harbor's extra lists follow its own record).
    std::set<std::string> made = {"", "varnis\\", "varnis\\hub\\"};
};

struct LoadedTitle {
    const TitleSlot* slot;
    std::unique_ptr<TitleRecord> record;
    TitleListLines lines;
};

// "1 or 2", "1, 2 or 3"
std::string discWords(const std::set<int>& discs)
{
    std::string words;
    size_t i = 0;
    for (int d : discs) {
        if (i) words += (i + 1 == discs.size()) ? " or " : ", ";
        words += std::to_string(d);
        ++i;
    }
    return words;
}

// A key that the author meant as a disc line but the installer takes for a file line: "disc" or
// "disk" without a number right after it ("disc", "disc 2"), or a shorter start of one ("d").
bool looksLikeDiscKey(const std::string& key)
{
    if (key.empty()) return false;
    const bool word = key.compare(0, 4, "disc") == 0 || key.compare(0, 4, "disk") == 0;
    const bool partial = key.size() < 4 && (std::string("disc").compare(0, key.size(), key) == 0 ||
                                            std::string("disk").compare(0, key.size(), key) == 0);
    return word || partial;
}

bool hasDigits(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

// The sections of a title list in list order: their slots in the record, their lines in the map.
struct TitleSection {
    const char* words;   // as findings name it
    int slots;
    int32_t TitleRecord::*count;
    std::vector<int> TitleListLines::*lines;
};
const TitleSection kTitleSections[] = {
    {"folder list", kTitleFolders, &TitleRecord::folderCount, &TitleListLines::folders},
    {"file list", kTitleFileLines, &TitleRecord::fileLineCount, &TitleListLines::fileLines},
    {"Start-menu folder list", kTitleShortcutLines, &TitleRecord::menuFolderCount, &TitleListLines::menuFolders},
    {"Start-menu shortcut list", kTitleShortcutLines, &TitleRecord::menuShortcutCount,
     &TitleListLines::menuShortcuts},
    {"desktop shortcut list", kTitleShortcutLines, &TitleRecord::desktopShortcutCount,
     &TitleListLines::desktopShortcuts},
    {"string value list", kTitleValues, &TitleRecord::stringValueCount, &TitleListLines::stringValues},
    {"number value list", kTitleValues, &TitleRecord::numberValueCount, &TitleListLines::numberValues},
};

// The line map was walked like the loader read the record: each section's count is its lines up
// to the slots, and the lines past the slots are the ones the loader dropped. Checked all the
// same before any line number is looked up by index.
bool countsAgree(const TitleRecord& t, const TitleListLines& lines, const ListResult& result)
{
    int cut = 0, firstCut = 0;
    for (const TitleSection& section : kTitleSections) {
        const std::vector<int>& numbers = lines.*section.lines;
        const int mapped = int(numbers.size());
        if (t.*section.count != std::min(mapped, section.slots)) return false;
        if (mapped <= section.slots) continue;
        cut += mapped - section.slots;
        if (!firstCut) firstCut = numbers[size_t(section.slots)];
    }
    return cut == result.cutLines && firstCut == result.firstCutLine;
}

// A finding at the first dropped line of every section with more lines than slots.
void reportCutSections(Context& ctx, const char* name, const TitleListLines& lines)
{
    for (const TitleSection& section : kTitleSections) {
        const std::vector<int>& numbers = lines.*section.lines;
        const int over = int(numbers.size()) - section.slots;
        if (over > 0)
            ctx.note(name, numbers[size_t(section.slots)],
                     std::string(section.words) + " holds " + std::to_string(numbers.size()) +
                         " lines, only the first " + std::to_string(section.slots) + " are read: the " +
                         std::to_string(over) + " line(s) from here on are left out");
    }
}

// Folders and file lines of one title. possible holds the discs that may be in the drive when
// the title starts; it is widened by this title's disc lines for the titles after it.
void checkTitleFiles(Context& ctx, const TitleSlot& slot, const TitleRecord& t, const TitleListLines& lines,
                     std::set<int>& possible, TitleGroup& group)
{
    const char* name = slot.list;
    const std::string source = t.sourceFolder;
    ctx.checkRelative(name, lines.sourceFolder, source, "source folder");
    if (!source.empty() && !endsWithSeparator(source))
        ctx.note(
            name, lines.sourceFolder,
            "source folder " + quote(source) + " does not end with a backslash: file names are joined to it directly");

    std::set<std::string>& made = group.made;
    ctx.checkFolders(name, t.folderList, t.folderCount, lines.folders, kTypicalInstallRoot, made);

    std::set<int> discs = possible;
    bool discKnown = true;
    int lastDiscLine = 0;
    std::string subfolder;
    for (int i = 0; i < t.fileLineCount; ++i) {
        const std::string text = t.fileLines[i];
        int line = lines.fileLines[i];
        std::string key, value;
        splitAtComma(text, &key, &value);
        const TitleLineKind kind = titleLineKind(key.c_str());
        if (kind == TitleLineKind::SetFolder) {
            subfolder = value;
            ctx.checkRelative(name, line, value, "subfolder");
            if (!value.empty() && !endsWithSeparator(value))
                ctx.note(name, line,
                         "subfolder " + quote(value) +
                             " does not end with a backslash: file names are joined to it directly");
            continue;
        }
        const int n = kind == TitleLineKind::Disc ? discLineNumber(key.c_str()) : 0;
        if (kind == TitleLineKind::Disc && n < 1) {
            ctx.note(name, line, "disc line " + quote(key) + " asks for a disc 0 that no disc set has (write \"disc2\")");
            if (value.empty()) continue;
        } else if (kind == TitleLineKind::File && looksLikeDiscKey(key)) {
            ctx.note(name, line, "disc line " + quote(key) + " names no disc, so it changes no disc (write \"disc2\")");
            if (value.empty()) continue;
        } else if (kind == TitleLineKind::Disc) {
            lastDiscLine = n;
            discKnown = ctx.discs().has(n);
            discs = {n};
            if (!discKnown && !(n == 2 && ctx.discs().count() == 1))
                ctx.note(name, line, "asks for disc " + std::to_string(n) + ", which is not in the set");
            if (!discKnown) group.sizeKnown = false;
            if (value.empty()) continue;
        } else if (kind == TitleLineKind::End) {
            int rest = t.fileLineCount - i - 1;
            if (rest > 0)
                ctx.note(
                    name, line,
                    "this line ends the file list: the " + std::to_string(rest) + " line(s) after it are never copied");
            break;
        } else if (value.empty()) {
            ctx.note(name, line, "file line " + quote(text) + " has no comma: it copies nothing");
            continue;
        }

        const std::string from = source + value;
        const std::string to = subfolder + value;
        ctx.checkRelative(name, line, value, "file");
        ctx.checkLength(name, line, kTypicalDiscRoot, from, "source");
        ctx.checkLength(name, line, kTypicalInstallRoot, to, "destination");
        if (!made.count(folderKey(folderOf(to))))
            ctx.note(name, line,
                     "destination " + quote(to) + " lies in a folder the title does not make: its copy would fail");
        group.installed.insert(lowered(to));
        if (!discKnown) continue;

        bool first = true;
        for (int d : discs) {
            ctx.countLookup();
            uint64_t size = 0;
            if (ctx.discs().find(d, from, &size)) {
                if (first) group.realBytes += size;
                first = false;
                continue;
            }
            group.sizeKnown = false;
            if (discs.size() > 1)
                ctx.note(name, line,
                         quote(from) +
                             " is read from whichever disc is in the drive when the title is installed (disc " +
                             discWords(discs) + "), but it is not on disc " + std::to_string(d) +
                             ": start the file lines with a disc line");
            else if (int elsewhere = ctx.discs().locate(from))
                ctx.note(name, line,
                         quote(from) + " is on disc " + std::to_string(elsewhere) + ", but disc " + std::to_string(d) +
                             " is in the drive at this point");
            else
                ctx.note(name, line, quote(from) + " is on no disc");
            break;
        }
    }
    if (lastDiscLine > 0 && ctx.discs().has(lastDiscLine)) possible.insert(lastDiscLine);
}

// The program, shortcuts and registry values of one title, once its whole group is known.
void checkTitleTargets(Context& ctx, const LoadedTitle& title, const TitleGroup& group)
{
    const char* name = title.slot->list;
    const TitleRecord& t = *title.record;
    const TitleListLines& lines = title.lines;

    if (title.slot->leader) {
        const std::string program = t.programFile;
        ctx.checkLength(name, lines.programFile, kTypicalInstallRoot, program, "program file");
        if (program.empty() || !group.installed.count(lowered(program)))
            ctx.note(name, lines.programFile,
                     "program file " + quote(program) +
                         " is not a file the title installs (it is started from the install root): the title "
                         "would not start");
    }

    std::set<std::string> menuMade = {"", "varnis\\"};
    for (int i = 0; i < t.menuFolderCount; ++i) {
        std::string key = folderKey(t.menuFolders[i]);
        if (!menuMade.count(parentKey(key)))
            ctx.note(name, lines.menuFolders[i],
                     "Start-menu folder " + quote(t.menuFolders[i]) +
                         ": its parent folder is not made before it, so it cannot be made");
        menuMade.insert(key);
    }
    auto checkShortcut = [&](const char* line, int number, bool startMenu) {
        std::string target, link;
        splitAtComma(line, &target, &link);
        if (target.empty() || !group.installed.count(lowered(target)))
            ctx.note(name, number, "shortcut target " + quote(target) + " is not a file the title installs");
        if (link.size() < 4 || lowered(link.substr(link.size() - 4)) != ".lnk")
            ctx.note(name, number, "shortcut " + quote(link) + " does not end in .lnk");
        else if (startMenu && !menuMade.count(folderKey(folderOf(link))))
            ctx.note(name, number, "shortcut " + quote(link) + " lies in a Start-menu folder the title does not make");
    };
    for (int i = 0; i < t.menuShortcutCount; ++i) checkShortcut(t.menuShortcuts[i], lines.menuShortcuts[i], true);
    for (int i = 0; i < t.desktopShortcutCount; ++i)
        checkShortcut(t.desktopShortcuts[i], lines.desktopShortcuts[i], false);

    for (int i = 0; i < t.stringValueCount; ++i) {
        std::string valueName, text;
        splitAtComma(t.stringValues[i], &valueName, &text);
        std::string expanded = text;
        if (text.compare(0, std::strlen(kInstallPathTag), kInstallPathTag) == 0)
            expanded = kTypicalInstallRoot + text.substr(std::strlen(kInstallPathTag));
        else if (text.compare(0, std::strlen(kMediaPathTag), kMediaPathTag) == 0)
            expanded = kTypicalDiscRoot + text.substr(std::strlen(kMediaPathTag));
        if (expanded.size() > kMaxPath)
            ctx.note(name, lines.stringValues[i],
                     "string value " + quote(valueName) + " would be " + std::to_string(expanded.size()) +
                         " bytes once expanded (at most 259 fit)");
    }
    for (int i = 0; i < t.numberValueCount; ++i) {
        std::string valueName, number;
        splitAtComma(t.numberValues[i], &valueName, &number);
        if (!hasDigits(number))
            ctx.note(name, lines.numberValues[i],
                     "number value " + quote(valueName) + " has no digits: it is written as 0");
    }
}

}  // namespace

void checkTitles(Context& ctx, std::set<int> possible)
{
    TitleGroup groups[kTitleGroups];
    std::vector<LoadedTitle> loaded;
    std::map<std::string, std::string> registryOwners;   // lowered key -> list name

    for (const TitleSlot& slot : kTitleSlots) {
        host::Bytes data;
        if (!ctx.readList(slot.list, &data)) {
            groups[slot.group].sizeKnown = false;
            continue;
        }
        LoadedTitle title{&slot, std::unique_ptr<TitleRecord>(new TitleRecord()), TitleListLines()};
        ListResult result = parseTitleRecord(data.data(), data.size(), title.record.get());
        if (!result.ok()) {
            ctx.refused(slot.list, result);
            groups[slot.group].sizeKnown = false;
            continue;
        }
        if (!mapTitleListLines(splitListLines(data), &title.lines) ||
            !countsAgree(*title.record, title.lines, result)) {
            ctx.note(slot.list, 0, "its layout could not be followed");
            groups[slot.group].sizeKnown = false;
            continue;
        }
        ctx.countList();
        reportCutSections(ctx, slot.list, title.lines);
        TitleGroup& group = groups[slot.group];
        group.declaredMb += title.record->sizeMb;

        const std::string key = title.record->registryKey;
        if (key.empty()) {
            ctx.note(slot.list, title.lines.registryKey,
                     "registry key is empty: the title would count as installed from the start");
        } else {
            auto owner = registryOwners.find(lowered(key));
            if (owner != registryOwners.end())
                ctx.note(slot.list, title.lines.registryKey,
                         "registry key " + quote(key) + " is also used by " + owner->second);
            else
                registryOwners[lowered(key)] = slot.list;
        }

        checkTitleFiles(ctx, slot, *title.record, title.lines, possible, group);
        loaded.push_back(std::move(title));
    }

    for (const LoadedTitle& title : loaded) checkTitleTargets(ctx, title, groups[title.slot->group]);

    for (const LoadedTitle& title : loaded) {
        if (!title.slot->leader) continue;
        const TitleGroup& group = groups[title.slot->group];
        if (!group.sizeKnown) continue;
        uint64_t floorMb = group.realBytes >> 20, ceilMb = (group.realBytes + 0xFFFFF) >> 20;
        if (group.declaredMb < 0 || uint64_t(group.declaredMb) < floorMb || uint64_t(group.declaredMb) > ceilMb) {
            std::string declared = std::to_string(title.record->sizeMb) + " MB";
            if (group.declaredMb != title.record->sizeMb)
                declared += " (" + std::to_string(group.declaredMb) + " MB with its extra lists)";
            ctx.note(title.slot->list, title.lines.size,
                     "size " + declared + " disagrees with the title's " + std::to_string(group.realBytes) +
                         " bytes of files (" + sizeWords(floorMb, ceilMb) + " MB of 1,048,576 bytes)");
        }
    }
}

}  // namespace lint
}  // namespace vgadisc

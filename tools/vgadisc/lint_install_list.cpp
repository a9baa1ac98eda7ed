// Checks of the install-type lists: the main copy list with its disc changes, the folders it
// makes, its declared size, and the names it gives to the registry and the add/remove entry.
#include <cstring>
#include <memory>

#include "data/list_grammar.h"
#include "tools/vgadisc/lint_context.h"
#include "tools/vgadisc/list_lines.h"
#include "tools/vgadisc/list_paths.h"

namespace vgadisc {
namespace lint {

namespace {

const char* const kArchiveValueNames[] = {"SCRIPT_ARC", "PICT_ARC", "BGM_ARC", "SE_ARC", "VOICE_ARC"};
constexpr int kVoiceArchive = 4;

bool startsWithCi(const std::string& text, const char* prefix)
{
    size_t n = std::strlen(prefix);
    return text.size() >= n && lowered(text.substr(0, n)) == lowered(prefix);
}

}  // namespace

InstallListOutcome checkInstallList(Context& ctx, const char* name, bool compact)
{
    InstallListOutcome outcome;
    host::Bytes data;
    if (!ctx.readList(name, &data)) return outcome;
    std::unique_ptr<InstallTypeList> list(new InstallTypeList());
    ListResult result = parseInstallTypeList(data.data(), data.size(), list.get());
    InstallListLines lines;
    if (!result.ok()) {
        ctx.refused(name, result);
        return outcome;
    }
    if (!mapInstallListLines(splitListLines(data), &lines) || int(lines.folders.size()) != list->folderCount ||
        int(lines.entries.size()) != list->entryCount) {
        ctx.note(name, 0, "its layout could not be followed");
        return outcome;
    }
    ctx.countList();
    outcome.loaded = true;

    // Folders, made under the product folder in list order, one level at a time.
    std::set<std::string> made = {""};
    ctx.checkFolders(name, list->folderList, list->folderCount, lines.folders, kTypicalInstallDir, made);

    // Entries, copied from the disc in the drive at that point.
    int disc = 1;
    bool discKnown = true;
    bool sizeKnown = true;
    uint64_t total = 0;
    std::set<int> visited = {1};
    for (int i = 0; i < list->entryCount; ++i) {
        const std::string entry = list->entries[i];
        int line = lines.entries[i];
        if (isDiscChangeEntry(entry.c_str())) {
            // Written "CDCHANGE", a blank and the disc number. The menu skips the ninth character,
            // whatever it is, and reads the number from the tenth; the disc is taken the same way.
            const int n = discChangeNumber(entry.c_str());
            const bool asWritten = entry.size() > 9 && entry[8] == ' ' && entry[9] >= '0' && entry[9] <= '9';
            disc = n;
            discKnown = ctx.discs().has(n);
            if (discKnown) visited.insert(n);
            if (n < 1)
                ctx.note(name, line, "disc change " + quote(entry) + " names no disc (write \"CDCHANGE 2\")");
            else if (!asWritten)
                ctx.note(name, line,
                         "disc change " + quote(entry) +
                             " is not \"CDCHANGE\", a blank and the disc number: the menu reads disc " +
                             std::to_string(n) + " from its tenth character (write \"CDCHANGE " + std::to_string(n) +
                             "\")");
            if (n >= 1 && !discKnown && !(n == 2 && ctx.discs().count() == 1))
                ctx.note(name, line, "asks for disc " + std::to_string(n) + ", which is not in the set");
            if (!discKnown) sizeKnown = false;
            continue;
        }
        if (entry.empty()) {
            ctx.note(name, line, "empty entry: the copy would have no file to read");
            continue;
        }
        outcome.installed.insert(lowered(entry));
        ctx.checkRelative(name, line, entry, "entry");
        ctx.checkLength(name, line, kTypicalInstallDir, entry, "entry");
        if (!made.count(folderKey(folderOf(entry))))
            ctx.note(name, line,
                     "entry " + quote(entry) + " lies in a folder the list does not make: its copy would fail");
        if (!discKnown) continue;
        ctx.countLookup();
        uint64_t size = 0;
        if (ctx.discs().find(disc, entry, &size)) {
            total += size;
            continue;
        }
        sizeKnown = false;
        int elsewhere = ctx.discs().locate(entry);
        if (elsewhere)
            ctx.note(name, line,
                     "entry " + quote(entry) + " is on disc " + std::to_string(elsewhere) + ", but disc " +
                         std::to_string(disc) + " is in the drive at this point");
        else
            ctx.note(name, line, "entry " + quote(entry) + " is on no disc");
    }
    outcome.endDisc = discKnown ? disc : 0;

    if (sizeKnown) {
        uint64_t floorMb = total / 1000000, ceilMb = (total + 999999) / 1000000;
        if (list->listSizeMb < 0 || uint64_t(list->listSizeMb) < floorMb || uint64_t(list->listSizeMb) > ceilMb)
            ctx.note(name, lines.listSize,
                     "size " + std::to_string(list->listSizeMb) + " MB disagrees with the entries' " +
                         std::to_string(total) + " bytes (" + sizeWords(floorMb, ceilMb) + " MB of 1,000,000 bytes)");
    }

    const std::string uninstall = list->uninstallProgram;
    if (uninstall.empty() || !outcome.installed.count(lowered(uninstall)))
        ctx.note(name, lines.uninstallProgram,
                 "uninstall program " + quote(uninstall) +
                     " is not one of the entries: the add/remove programs entry would name a missing file");
    // The installed menu (the Setup shortcut, the add/remove entry) reads its lists from the
    // archive beside it: without a copy of the archive it cannot even start.
    if (!outcome.installed.count("instdata.arc"))
        ctx.note(name, lines.uninstallProgram,
                 "\"instdata.arc\" is not one of the entries: the installed menu, which the Setup shortcut and "
                 "the add/remove programs entry start, would find no archive and could not uninstall");

    // Archive names become registry values of the product folder + name; a compact install
    // from a CD medium may leave the voice archive on the disc instead.
    bool voiceMayStayOnDisc = compact && startsWithCi(list->mediaType, "CD");
    for (int a = 0; a < 5; ++a) {
        const std::string archive = list->archiveNames[a];
        int line = lines.archives[a];
        if (archive.empty()) {
            ctx.note(name, line, std::string(kArchiveValueNames[a]) + " archive name is empty");
            continue;
        }
        if (outcome.installed.count(lowered(archive))) continue;
        bool onDisc = false;
        uint64_t size = 0;
        if (a == kVoiceArchive && voiceMayStayOnDisc)
            for (int d : visited) onDisc = onDisc || ctx.discs().find(d, archive, &size);
        if (!onDisc)
            ctx.note(
                name, line,
                std::string(kArchiveValueNames[a]) + " archive " + quote(archive) +
                    (a == kVoiceArchive && voiceMayStayOnDisc ? " is neither installed nor on a disc this list uses"
                                                              : " is not installed by this list"));
    }

    ctx.checkLength(name, lines.saveData, kTypicalInstallDir, list->saveDataPattern, "save data pattern");
    ctx.checkLength(name, lines.readData, kTypicalInstallDir, list->readDataFile, "already-read data file");
    for (int s = 0; s < 2; ++s)
        ctx.checkLength(name, lines.systemData[s], kTypicalInstallDir, list->systemDataFiles[s], "system data file");
    return outcome;
}

}  // namespace lint
}  // namespace vgadisc

// Checking an install disc set: the discs' own files and the installer archive here; the lists in
// lint_install_list.cpp and lint_titles.cpp.
//
// The checks follow what the menu does with each field: install-list entries are copied from the
// disc in the drive at that point of the list ("CDCHANGE n" changes it) into the product folder;
// title file lines are read from sourceRoot + sourceFolder without a disc probe, so from whatever
// disc is in the drive, and written under the install root; folders are made one level at a time.
#include "tools/vgadisc/lint.h"

#include <cstring>

#include "support/bmp_image.h"
#include "tools/vgadisc/lint_context.h"
#include "tools/vgadisc/list_paths.h"

namespace vgadisc {
namespace lint {

namespace {

const char kArchiveName[] = "instdata.arc";
const char kArchiveKey[] = "kavo";
const char kFullListName[] = "instdata_f.txt";
const char kCompactListName[] = "instdata_c.txt";
const char* const kPictureNames[] = {"inst1.bmp", "inst2.bmp"};
const char kDirectXSetup[] = "directx81\\redist\\directX81\\dxsetup.exe";

std::string discName(int disc) { return "disc" + std::to_string(disc); }

void checkDiscFiles(Context& ctx)
{
    const DiscSet& discs = ctx.discs();
    uint64_t size = 0;
    for (int d = 1; d <= discs.count(); ++d) {
        std::string marker = "varnis_disc" + std::to_string(d) + ".ico";
        if (!discs.find(d, marker, &size))
            ctx.note(discName(d), 0, "disc marker " + marker + " is missing: the menu would not recognise the disc");
    }
    if (!discs.find(1, "vgan1_menu.exe", &size)) ctx.note("disc1", 0, "vgan1_menu.exe is missing");
    if (!discs.has(2)) {
        ctx.note("disc2", 0,
                 "not given: the install run asks for disc 2 at its end, for its readme.txt and DirectX setup; "
                 "nothing on disc 2 was checked");
        return;
    }
    if (!discs.find(2, "readme.txt", &size))
        ctx.note("disc2", 0, "readme.txt is missing: the install run opens it at its end");
    if (!discs.find(2, kDirectXSetup, &size))
        ctx.note("disc2", 0, std::string("the DirectX setup ") + kDirectXSetup + " is missing");
}

void checkPictures(Context& ctx)
{
    for (const char* name : kPictureNames) {
        const ArchiveEntry* entry = ctx.archive().find(name);
        host::Bytes data;
        BmpLayout layout;
        if (!entry)
            ctx.note(kArchiveName, 0, std::string(name) + " is missing: the pages would show no picture");
        else if (!ctx.archive().read(*entry, &data))
            ctx.note(kArchiveName, 0, std::string(name) + " does not unpack");
        else if (bmpReadLayout(data.data(), data.size(), &layout) != kBmpOk)
            ctx.note(kArchiveName, 0, std::string(name) + " is not a bottom-up 24- or 32-bit BMP the menu can show");
    }
}

}  // namespace

std::string quote(const std::string& cp932) { return "\"" + host::display(cp932) + "\""; }

std::string sizeWords(uint64_t floorMb, uint64_t ceilMb)
{
    if (floorMb == ceilMb) return "exactly " + std::to_string(floorMb);
    return std::to_string(floorMb) + " to " + std::to_string(ceilMb);
}

void Context::note(const std::string& where, int line, const std::string& text)
{
    report_->findings.push_back(Finding{where, line, text});
}

void Context::checkLength(const std::string& where, int line, const char* base, const std::string& rel,
                          const std::string& what)
{
    size_t total = std::strlen(base) + rel.size();
    if (total > kMaxPath)
        note(where, line,
             what + " " + quote(rel) + " would be " + std::to_string(total) + " bytes under " + base +
                 " (at most 259 fit)");
}

void Context::checkRelative(const std::string& where, int line, const std::string& path, const std::string& what)
{
    std::string problem = relativePathProblem(path);
    if (!problem.empty()) note(where, line, what + " " + quote(path) + " " + problem);
}

void Context::checkFolders(const std::string& where, const Text* folders, int count, const std::vector<int>& lines,
                           const char* base, std::set<std::string>& made)
{
    for (int i = 0; i < count; ++i) {
        const std::string folder = folders[i];
        const int line = lines[i];
        checkRelative(where, line, folder, "folder");
        checkLength(where, line, base, folder, "folder");
        const std::string key = folderKey(folder);
        if (!made.count(parentKey(key)))
            note(where, line, "folder " + quote(folder) + ": its parent folder is not made before it, so it cannot be made");
        made.insert(key);
    }
}

bool Context::readList(const char* name, host::Bytes* data)
{
    const ArchiveEntry* entry = archive_.find(name);
    if (!entry) {
        note(name, 0, "not in instdata.arc: the menu would load nothing for it");
        return false;
    }
    if (!archive_.read(*entry, data)) {
        note(name, 0, "its data in instdata.arc does not unpack");
        return false;
    }
    return true;
}

void Context::refused(const char* name, const ListResult& result)
{
    note(name, result.line, std::string("refused by the list loader: ") + listFaultText(result.fault));
}

}  // namespace lint

bool lintDiscs(const std::vector<std::string>& discRoots, LintReport* report, std::string* error)
{
    if (discRoots.empty() || discRoots.size() > 2) {
        *error = "give one or two disc folders";
        return false;
    }
    for (const std::string& root : discRoots) {
        if (!host::isDirectory(root)) {
            *error = root + ": not a folder";
            return false;
        }
    }
    DiscSet discs(discRoots);
    ArchiveFile archive;
    lint::Context ctx(discs, archive, report);
    lint::checkDiscFiles(ctx);
    lint::checkImages(ctx);
    if (!archive.open(host::joinPath(discs.root(1), lint::kArchiveName), lint::kArchiveKey, error)) return false;
    lint::checkPictures(ctx);

    lint::InstallListOutcome full = lint::checkInstallList(ctx, lint::kFullListName, false);
    lint::InstallListOutcome compact = lint::checkInstallList(ctx, lint::kCompactListName, true);
    // The titles are installed after either list, so the first starts with the drive as that list
    // left it.
    std::set<int> possible;
    for (const lint::InstallListOutcome* o : {&full, &compact})
        if (o->loaded && o->endDisc) possible.insert(o->endDisc);
    if (possible.empty()) possible.insert(1);
    lint::checkTitles(ctx, possible);
    return true;
}

std::string formatFinding(const Finding& finding)
{
    if (finding.line > 0) return finding.where + ":" + std::to_string(finding.line) + ": " + finding.text;
    return finding.where + ": " + finding.text;
}

}  // namespace vgadisc

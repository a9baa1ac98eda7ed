// vgadisc list and extract: show an archive's directory, write its entries out.
#include <string>

#include "support/text_buffer.h"
#include "tools/vgadisc/archive_file.h"
#include "tools/vgadisc/commands.h"
#include "tools/vgadisc/host_files.h"
#include "tools/vgadisc/options.h"

namespace vgadisc {

namespace {

const char kListUsage[] = "usage: vgadisc list [--key K] ARC";
const char kExtractUsage[] = "usage: vgadisc extract [--key K] ARC [NAME...] -o DIR";

// An entry name that can be written as one file inside the output folder: no separators, no
// drive colon, no control bytes, not "." or "..". Trail bytes of two-byte characters may be
// 0x5C and are not separators.
bool isSafeFileName(const std::string& cp932)
{
    if (cp932.empty() || cp932 == "." || cp932 == "..") return false;
    for (size_t i = 0; i < cp932.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(cp932[i]);
        if (isSjisLeadByte(c) && i + 1 < cp932.size()) {
            ++i;
            continue;
        }
        if (c < 0x20 || c == '\\' || c == '/' || c == ':') return false;
    }
    return true;
}

}  // namespace

int runList(const Args& args, std::ostream& out, std::ostream& err)
{
    Options options;
    std::string error;
    if (!parseOptions(args, kKeyOption, &options, &error) || options.positional.size() != 1) {
        if (!error.empty()) err << "vgadisc list: " << error << "\n";
        err << kListUsage << "\n";
        return kExitError;
    }
    ArchiveFile archive;
    if (!archive.open(options.positional[0], keyBytes(options.key), &error)) {
        err << "vgadisc list: " << error << "\n";
        return kExitError;
    }
    for (const ArchiveFile::Item& item : archive.items())
        out << host::display(item.name) << '\t' << item.entry.size << '\t' << item.entry.storedSize << '\t'
            << item.entry.offset << '\n';
    return kExitClean;
}

int runExtract(const Args& args, std::ostream&, std::ostream& err)
{
    Options options;
    std::string error;
    if (!parseOptions(args, kKeyOption | kOutDirOption, &options, &error) || options.positional.empty() ||
        options.outDir.empty()) {
        if (!error.empty()) err << "vgadisc extract: " << error << "\n";
        err << kExtractUsage << "\n";
        return kExitError;
    }
    ArchiveFile archive;
    if (!archive.open(options.positional[0], keyBytes(options.key), &error)) {
        err << "vgadisc extract: " << error << "\n";
        return kExitError;
    }

    // Everything is checked before the first file is written.
    std::vector<ArchiveFile::Item> chosen;
    if (options.positional.size() == 1) {
        for (const ArchiveFile::Item& item : archive.items()) {
            if (item.entry.storedSize == 0)
                err << "vgadisc extract: skipping \"" << host::display(item.name) << "\": marked unusable\n";
            else
                chosen.push_back(item);
        }
    } else {
        for (size_t i = 1; i < options.positional.size(); ++i) {
            std::string name;
            const ArchiveEntry* entry = host::toCp932(options.positional[i], &name) ? archive.find(name) : nullptr;
            if (!entry) {
                err << "vgadisc extract: no entry \"" << options.positional[i] << "\" in " << options.positional[0]
                    << "\n";
                return kExitError;
            }
            lowerAsciiBytes(&name[0]);
            chosen.push_back(ArchiveFile::Item{name, *entry});
        }
    }
    std::vector<std::string> targets;
    for (const ArchiveFile::Item& item : chosen) {
        std::string hostName;
        if (!isSafeFileName(item.name) || !host::fromCp932(item.name, &hostName)) {
            err << "vgadisc extract: refusing entry \"" << host::display(item.name)
                << "\": its name is not a plain file name\n";
            return kExitError;
        }
        targets.push_back(host::joinPath(options.outDir, hostName));
    }

    if (!host::makeDirectories(options.outDir)) {
        err << "vgadisc extract: cannot make folder " << options.outDir << "\n";
        return kExitError;
    }
    for (size_t i = 0; i < chosen.size(); ++i) {
        host::Bytes data;
        if (!archive.read(chosen[i].entry, &data)) {
            err << "vgadisc extract: \"" << host::display(chosen[i].name) << "\": damaged entry data\n";
            return kExitError;
        }
        if (!host::writeFileReplacing(targets[i], data, &error)) {
            err << "vgadisc extract: " << targets[i] << ": " << error << "\n";
            return kExitError;
        }
    }
    return kExitClean;
}

}  // namespace vgadisc

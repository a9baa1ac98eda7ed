// vgadisc pack: builds an installer archive from files, named by their base names.
#include <string>

#include "tools/vgadisc/archive_writer.h"
#include "tools/vgadisc/commands.h"
#include "tools/vgadisc/host_files.h"
#include "tools/vgadisc/options.h"

namespace vgadisc {

namespace {

const char kPackUsage[] = "usage: vgadisc pack [--key K] [--store] OUT.arc FILE...";

}  // namespace

int runPack(const Args& args, std::ostream&, std::ostream& err)
{
    Options options;
    std::string error;
    if (!parseOptions(args, kKeyOption | kStoreOption, &options, &error) || options.positional.size() < 2) {
        if (!error.empty()) err << "vgadisc pack: " << error << "\n";
        err << kPackUsage << "\n";
        return kExitError;
    }
    const std::string& outPath = options.positional[0];

    std::vector<ArchiveInput> inputs;
    for (size_t i = 1; i < options.positional.size(); ++i) {
        const std::string& path = options.positional[i];
        if (!host::isRegularFile(path)) {
            err << "vgadisc pack: " << path << ": no such file\n";
            return kExitError;
        }
        ArchiveInput input;
        std::string why;
        if (!host::readFile(path, &input.data, &why)) {
            err << "vgadisc pack: " << path << ": " << why << "\n";
            return kExitError;
        }
        if (!host::toCp932(host::baseName(path), &input.name)) {
            err << "vgadisc pack: " << path << ": the file name has no code page 932 form\n";
            return kExitError;
        }
        inputs.push_back(std::move(input));
    }

    ArchiveOptions archiveOptions;
    archiveOptions.key = keyBytes(options.key);
    archiveOptions.packed = !options.store;
    host::Bytes archive;
    if (!buildArchive(inputs, archiveOptions, &archive, &error)) {
        err << "vgadisc pack: " << error << "\n";
        return kExitError;
    }
    if (!host::writeFileReplacing(outPath, archive, &error)) {
        err << "vgadisc pack: " << outPath << ": " << error << "\n";
        return kExitError;
    }
    return kExitClean;
}

}  // namespace vgadisc

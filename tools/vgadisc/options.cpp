// Command-line options shared by the vgadisc commands.
#include "tools/vgadisc/options.h"

#include "tools/vgadisc/host_files.h"

namespace vgadisc {

bool parseOptions(const Args& args, int accepted, Options* options, std::string* error)
{
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            options->positional.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "--key" && (accepted & kKeyOption)) {
            if (i + 1 == args.size()) {
                *error = "--key needs a value";
                return false;
            }
            options->key = args[++i];
        } else if (a == "--label-prefix" && (accepted & kLabelPrefixOption)) {
            if (i + 1 == args.size()) {
                *error = "--label-prefix needs a value";
                return false;
            }
            options->labelPrefix = args[++i];
        } else if (a == "--store" && (accepted & kStoreOption)) {
            options->store = true;
        } else if (a == "-o" && (accepted & kOutDirOption)) {
            if (i + 1 == args.size() || args[i + 1].empty()) {
                *error = "-o needs a folder";
                return false;
            }
            options->outDir = args[++i];
        } else {
            *error = "unknown option " + a;
            return false;
        }
    }
    return true;
}

std::string keyBytes(const std::string& hostKey)
{
    std::string cp932;
    return host::toCp932(hostKey, &cp932) ? cp932 : hostKey;
}

}  // namespace vgadisc

// Command-line options shared by the vgadisc commands.
#pragma once
#include <string>

#include "tools/vgadisc/archive_writer.h"
#include "tools/vgadisc/commands.h"
#include "tools/vgadisc/disc_image.h"

namespace vgadisc {

struct Options {
    std::string key = kDefaultKey;
    bool store = false;
    std::string outDir;
    std::string labelPrefix = kDefaultLabelPrefix;
    std::vector<std::string> positional;
};

// Which options a command accepts.
enum OptionFlags { kKeyOption = 1, kStoreOption = 2, kOutDirOption = 4, kLabelPrefixOption = 8 };

// Splits args into options and positional words ("--" ends the options). False with *error on an
// option the command does not take or one that lacks its value.
bool parseOptions(const Args& args, int accepted, Options* options, std::string* error);

// The key as the menu holds it: code page 932 bytes (a plain ASCII key is the same either way).
std::string keyBytes(const std::string& hostKey);

}  // namespace vgadisc

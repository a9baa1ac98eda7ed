// vgadisc: picks the command by its word and explains the usage.
#include "tools/vgadisc/commands.h"

namespace vgadisc {

namespace {

const char kUsage[] =
    "usage: vgadisc pack [--key K] [--store] OUT.arc FILE...\n"
    "       vgadisc list [--key K] ARC\n"
    "       vgadisc extract [--key K] ARC [NAME...] -o DIR\n"
    "       vgadisc lint DISC1 [DISC2]\n"
    "       vgadisc master [--label-prefix P] DISC1 DISC2 -o DIR\n"
    "The key defaults to \"kavo\"; --key \"\" leaves the directory unscrambled.\n"
    "master lints the two disc folders and, when they are clean, writes DIR/disc1.iso and\n"
    "DIR/disc2.iso (ISO 9660 with Joliet names, labels P1 and P2, P \"VGAN1_DISC\" unless given;\n"
    "disc 1 gets an autorun.inf unless it has one); it runs xorriso, so only the Linux build does it.\n"
    "Exit codes: 0 done (lint: clean), 1 lint findings (master: nothing written), 2 error.\n";

}  // namespace

int runCommand(const Args& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) {
        err << kUsage;
        return kExitError;
    }
    const std::string& command = args[0];
    Args rest(args.begin() + 1, args.end());
    if (command == "pack") return runPack(rest, out, err);
    if (command == "list") return runList(rest, out, err);
    if (command == "extract") return runExtract(rest, out, err);
    if (command == "lint") return runLint(rest, out, err);
    if (command == "master") return runMaster(rest, out, err);
    if (command == "help" || command == "--help" || command == "-h") {
        out << kUsage;
        return kExitClean;
    }
    err << "vgadisc: unknown command " << command << "\n" << kUsage;
    return kExitError;
}

}  // namespace vgadisc

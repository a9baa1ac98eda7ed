// The commands of vgadisc, the disc authoring tool: pack, list, extract, lint, master.
// Each takes its arguments (after the command word) and answers the process exit code; normal
// output goes to out, messages to err.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace vgadisc {

using Args = std::vector<std::string>;

constexpr int kExitClean = 0;      // done; for lint: no findings
constexpr int kExitFindings = 1;   // lint found something that would go wrong at install time or on an image
constexpr int kExitError = 2;      // bad usage, missing or unreadable input, nothing done

int runPack(const Args& args, std::ostream& out, std::ostream& err);
int runList(const Args& args, std::ostream& out, std::ostream& err);
int runExtract(const Args& args, std::ostream& out, std::ostream& err);
int runLint(const Args& args, std::ostream& out, std::ostream& err);
int runMaster(const Args& args, std::ostream& out, std::ostream& err);

// The whole command line without the program name: the command word, then its arguments.
int runCommand(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace vgadisc

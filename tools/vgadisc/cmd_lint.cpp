// vgadisc lint: reports what would go wrong when the menu installs from the given discs.
#include "tools/vgadisc/commands.h"
#include "tools/vgadisc/lint.h"

namespace vgadisc {

int runLint(const Args& args, std::ostream& out, std::ostream& err)
{
    if (args.empty() || args.size() > 2 || args[0].empty() || args[0][0] == '-') {
        err << "usage: vgadisc lint DISC1 [DISC2]\n";
        return kExitError;
    }
    LintReport report;
    std::string error;
    if (!lintDiscs(args, &report, &error)) {
        err << "vgadisc lint: " << error << "\n";
        return kExitError;
    }
    for (const Finding& finding : report.findings) out << formatFinding(finding) << "\n";
    out << "vgadisc lint: ";
    if (report.findings.empty())
        out << "clean";
    else
        out << report.findings.size() << (report.findings.size() == 1 ? " finding" : " findings");
    out << " (" << report.listsRead << " lists read, " << report.filesChecked << " disc files checked)\n";
    return report.findings.empty() ? kExitClean : kExitFindings;
}

}  // namespace vgadisc

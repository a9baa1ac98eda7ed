// vgadisc master: the two disc folders as ISO 9660 images with Joliet names, once the lint finds
// nothing. Both images are written under temporary names and only renamed into place when both
// are complete, so a failed run leaves the images of an earlier run as they were and no half image.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/vgadisc/commands.h"
#include "tools/vgadisc/disc_image.h"
#include "tools/vgadisc/host_files.h"
#include "tools/vgadisc/lint.h"
#include "tools/vgadisc/list_paths.h"
#include "tools/vgadisc/options.h"

namespace vgadisc {

namespace {

const char kMasterUsage[] = "usage: vgadisc master [--label-prefix P] DISC1 DISC2 -o DIR";
const char kMasterName[] = "vgadisc master: ";

#ifndef _WIN32
bool hasAutorun(const std::string& discRoot)
{
    std::vector<std::string> names;
    if (!host::listDirectory(discRoot, &names)) return false;
    for (const std::string& name : names)
        if (lowered(name) == "autorun.inf") return true;
    return false;
}

// True when folder (made or not) is inside the disc folder or is it: the image would take in itself.
bool isInside(const std::string& folder, const std::string& discRoot)
{
    std::error_code ec1, ec2;
    const std::filesystem::path f = std::filesystem::weakly_canonical(folder, ec1);
    const std::filesystem::path d = std::filesystem::weakly_canonical(discRoot, ec2);
    if (ec1 || ec2) return false;
    auto fi = f.begin();
    for (const std::filesystem::path& part : d) {
        if (fi == f.end() || *fi != part) return false;
        ++fi;
    }
    return true;
}
#endif

// Temporary files of the run, removed unless the run is done with them.
struct Leftovers {
    std::vector<std::string> paths;
    ~Leftovers()
    {
        for (const std::string& p : paths) std::remove(p.c_str());
    }
};

}  // namespace

int runMaster(const Args& args, std::ostream& out, std::ostream& err)
{
    Options options;
    std::string error;
    if (!parseOptions(args, kLabelPrefixOption | kOutDirOption, &options, &error) || options.positional.size() != 2 ||
        options.outDir.empty()) {
        if (!error.empty()) err << kMasterName << error << "\n";
        err << kMasterUsage << "\n";
        return kExitError;
    }
    error = labelPrefixProblem(options.labelPrefix);
    if (!error.empty()) {
        err << kMasterName << error << "\n";
        return kExitError;
    }
#ifdef _WIN32
    (void)out;
    err << kMasterName << "the images are written by the Linux build of vgadisc (it runs xorriso)\n";
    return kExitError;
#else
    const std::vector<std::string>& discs = options.positional;
    LintReport report;
    if (!lintDiscs(discs, &report, &error)) {
        err << kMasterName << error << "\n";
        return kExitError;
    }
    if (!report.findings.empty()) {
        for (const Finding& finding : report.findings) out << formatFinding(finding) << "\n";
        err << kMasterName << report.findings.size() << (report.findings.size() == 1 ? " finding" : " findings")
            << " (see vgadisc lint): no image written\n";
        return kExitFindings;
    }
    for (const std::string& disc : discs) {
        if (isInside(options.outDir, disc)) {
            err << kMasterName << options.outDir << " is inside the disc folder " << disc << "\n";
            return kExitError;
        }
    }
    if (!host::makeDirectories(options.outDir)) {
        err << kMasterName << "cannot make folder " << options.outDir << "\n";
        return kExitError;
    }

    Leftovers leftovers;
    std::vector<std::string> temps, finals, labels;
    for (size_t i = 0; i < discs.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        const std::string finalPath = host::joinPath(options.outDir, "disc" + number + ".iso");
        ImageJob job;
        job.discRoot = discs[i];
        job.label = options.labelPrefix + number;
        job.imagePath = finalPath + ".tmp";
        leftovers.paths.push_back(job.imagePath);
        temps.push_back(job.imagePath);
        if (i == 0 && !hasAutorun(discs[i])) {
            job.autorunFile = finalPath + ".autorun.inf";
            leftovers.paths.push_back(job.autorunFile);
            const std::string text = autorunText();
            if (!host::writeFileReplacing(job.autorunFile, host::Bytes(text.begin(), text.end()), &error)) {
                err << kMasterName << job.autorunFile << ": " << error << "\n";
                return kExitError;
            }
        }
        if (!writeImage(job, &error)) {
            err << kMasterName << error << "\n";
            return kExitError;
        }
        uint64_t size = 0;
        if (!host::fileSize(job.imagePath, &size)) {
            err << kMasterName << "xorriso wrote no image for " << discs[i] << "\n";
            return kExitError;
        }
        if (size > kDvd5Bytes) {
            err << kMasterName << "the image of " << discs[i] << " is " << size << " bytes, more than the "
                << kDvd5Bytes << " bytes of a DVD-5\n";
            return kExitError;
        }
        finals.push_back(finalPath);
        labels.push_back(job.label);
    }
    for (size_t i = 0; i < finals.size(); ++i) {
        if (std::rename(temps[i].c_str(), finals[i].c_str()) != 0) {
            err << kMasterName << "cannot rename the image to " << finals[i] << "\n";
            return kExitError;
        }
    }
    for (size_t i = 0; i < finals.size(); ++i) {
        uint64_t size = 0;
        host::fileSize(finals[i], &size);
        out << finals[i] << ": " << labels[i] << ", " << size << " bytes\n";
    }
    return kExitClean;
#endif
}

}  // namespace vgadisc

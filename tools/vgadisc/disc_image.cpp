// Writing disc images through xorriso. The tool is run with an argument vector (no shell), its
// file names taken as UTF-8 whatever the locale, so the Joliet names are the folder's names in
// UTF-16; the disc lint has made sure beforehand that each has a code page 932 form and fits.
#include "tools/vgadisc/disc_image.h"

#include <cstdio>

#include "tools/vgadisc/host_process.h"

namespace vgadisc {

std::string labelPrefixProblem(const std::string& prefix)
{
    if (prefix.empty() || prefix.size() + 1 > kMaxLabelChars)
        return "the label prefix takes 1 to " + std::to_string(kMaxLabelChars - 1) + " characters";
    for (char c : prefix)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
            return "the label prefix takes only A-Z, 0-9 and _";
    return "";
}

std::string autorunText()
{
    return "[autorun]\r\n"
           "open=vgan1_menu.exe\r\n"
           "icon=varnis_disc1.ico\r\n";
}

bool writeImage(const ImageJob& job, std::string* error)
{
    std::remove(job.imagePath.c_str());   // xorriso would add a session to an image already there
    std::vector<std::string> argv = {
        "xorriso", "-no_rc",
        // Any warning fails the run: it means a file would not be on the image as it is.
        "-abort_on", "FAILURE", "-return_with", "WARNING", "32", "-report_about", "WARNING",
        "-local_charset", "UTF-8",
        "-outdev", "stdio:" + job.imagePath,
        "-volid", job.label,
        // Windows reads the Joliet names; without Rock Ridge every reader sees those.
        "-joliet", "on", "-rockridge", "off",
        "-follow", "link",
        "-map", job.discRoot, "/",
    };
    if (!job.autorunFile.empty()) argv.insert(argv.end(), {"-map", job.autorunFile, "/autorun.inf"});
    argv.push_back("-commit");

    int exitCode = 0;
    std::string output, why;
    if (!host::runProgram(argv, &exitCode, &output, &why)) {
        *error = why == "not found" ? "xorriso is not installed (Debian package xorriso); it writes the images"
                                    : "cannot run xorriso: " + why;
        std::remove(job.imagePath.c_str());
        return false;
    }
    if (exitCode != 0) {
        *error = "xorriso failed (exit " + std::to_string(exitCode) + ") for " + job.discRoot + ":\n" + output;
        std::remove(job.imagePath.c_str());
        return false;
    }
    return true;
}

}  // namespace vgadisc

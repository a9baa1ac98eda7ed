// One disc folder as an ISO 9660 image with Joliet names, written by the image tool xorriso.
#pragma once
#include <cstddef>
#include <string>

namespace vgadisc {

// Disc n gets the label prefix + n ("VGAN1_DISC1").
constexpr const char* kDefaultLabelPrefix = "VGAN1_DISC";
// A Joliet volume label holds 16 characters; ISO 9660 labels take A-Z, 0-9 and '_'.
constexpr size_t kMaxLabelChars = 16;

// Why prefix + a disc number would not be a label that both trees of the image hold as it is;
// "" when it is fine.
std::string labelPrefixProblem(const std::string& prefix);

// The autorun.inf that disc 1 gets when its folder has none: Windows offers to start the menu
// and shows the disc marker as the drive's icon (the menu program carries no icon of its own).
// Code page 932 text with CR LF.
std::string autorunText();

struct ImageJob {
    std::string discRoot;      // host folder: its tree becomes the image's, names and bytes as they are
    std::string label;
    std::string autorunFile;   // host file put at the image's root as autorun.inf; "" for none
    std::string imagePath;     // written anew (an existing file here is removed first)
};

// Runs xorriso. False with *error, which holds xorriso's own messages, when it is not installed,
// failed, or warned (it warns where the image would not hold the folder as it is).
bool writeImage(const ImageJob& job, std::string* error);

}  // namespace vgadisc

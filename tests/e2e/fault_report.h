// Rows of the fault matrix. Each fault test ends by reporting what the player saw and what the
// run left behind; tools/fault-matrix.sh collects the rows into one table. Nothing is written
// unless VGA_FAULT_REPORT names the file the rows go to (a tab-separated line per row).
#pragma once
#include <string>
#include <vector>

namespace e2e {

// caseName: the fault ("full disk during the main copy"); outcome: what the player saw and how
// the run ended ("\"...\" shown, rolled back"); residue: what is left of the product that was not
// there before the test ("none" when nothing; "none (...)" when what is there is meant to be).
void reportFault(const std::string& caseName, const std::string& outcome, const std::string& residue);

// The residue column from two product snapshots: "none", or the lines left behind and gone.
std::string residueOf(const std::vector<std::string>& before, const std::vector<std::string>& after);

}  // namespace e2e

// Running another program from the disc tool: an argument vector handed over as it is, no shell
// between, so names with blanks, quotes or Japanese characters pass unharmed.
#pragma once
#include <string>
#include <vector>

namespace host {

// Runs argv[0] (looked up in PATH) with the arguments argv, its input the null device, its
// output and error output collected in *output. True when it ran, with *exitCode its exit status
// (128 + the signal's number when a signal ended it). False with *error when it could not be
// started ("not found" when there is no such program); on Windows hosts it never runs anything.
bool runProgram(const std::vector<std::string>& argv, int* exitCode, std::string* output, std::string* error);

}  // namespace host

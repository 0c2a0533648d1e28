// SPDX-License-Identifier: MIT
// The whole command: its leading options, then one call, batch mode or help.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace velmora::cli {

// Runs the command given by `words` (the arguments after the program's name,
// in UTF-8) and returns its exit status; batch mode reads `in`.
int run_command(std::vector<std::string> words, std::istream &in, std::ostream &out,
                std::ostream &err);

} // namespace velmora::cli

// SPDX-License-Identifier: MIT
// What differs between hosts at the tool's edges: how the arguments arrive
// and how the standard streams carry bytes.
#pragma once

#include <string>
#include <vector>

namespace velmora::cli {

// The arguments after the program's name, in UTF-8.
std::vector<std::string> utf8_arguments(int argc, char **argv);

// Standard input and output pass bytes unchanged (no line-end translation).
void use_binary_standard_streams();

} // namespace velmora::cli

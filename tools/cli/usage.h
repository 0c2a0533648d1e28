// SPDX-License-Identifier: MIT
// What the tool says about itself: usage lines, --help, help EXPORT.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "exports.h"

namespace velmora::cli {

// "velmora path_push BASE NAME [--size N] [--in-place]"
std::string usage_line(const export_entry &e);

int help(std::ostream &out);
// words: "help" and the export's name.
int help_on(const std::vector<std::string> &words, std::ostream &out, std::ostream &err);

} // namespace velmora::cli

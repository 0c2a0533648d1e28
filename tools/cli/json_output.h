// SPDX-License-Identifier: MIT
// The JSON form of an answer: one object on one line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "call.h"

namespace velmora::cli {

// One call's JSON object: which call, then what it gave; `line` in batch mode.
json json_of(const std::vector<std::string> &words, const answer &a,
             std::optional<std::size_t> line);
std::string dumped(const json &j);

} // namespace velmora::cli

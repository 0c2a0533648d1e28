// SPDX-License-Identifier: MIT
// The tool's options, from option_list.h: what the parser accepts and what
// the help says about them.
#pragma once

#include <string>
#include <string_view>

#include "exports.h"

namespace velmora::cli {

enum class option_id {
#define VELMORA_OPTION(id, ...) id,
#include "option_list.h"
#undef VELMORA_OPTION
};

enum class option_scope { lead, batch, writers, getters, every_export, alone };

struct option_spec {
    option_id id;
    std::string_view word;
    std::string_view other; // a second spelling, or empty
    std::string_view value; // the value's name, or empty for a flag
    option_scope scope;
    std::string_view help;
};

inline constexpr option_spec options[] = {
#define VELMORA_OPTION(id, word, other, value, scope, help, manual)                                \
    {option_id::id, word, other, value, option_scope::scope, help},
#include "option_list.h"
#undef VELMORA_OPTION
};

// The option spelled `word` among those of `scope`, or null.
const option_spec *find_option(std::string_view word, option_scope scope);
// An option that follows an export's name, whichever exports take it.
const option_spec *find_call_option(std::string_view word);
bool applies_to(const option_spec &option, const export_entry &e);

// "--size N": the word and its value's name.
std::string option_synopsis(const option_spec &option);

} // namespace velmora::cli

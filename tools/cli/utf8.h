// SPDX-License-Identifier: MIT
// The tool's texts are UTF-8; the library's are 16-bit units.
#pragma once

#include <string>
#include <string_view>

#include "velmora.h"

namespace velmora::cli {

using text = std::basic_string<velmora_char>;
using text_view = std::basic_string_view<velmora_char>;

enum class decoded { ok, invalid, nul };

// Strict UTF-8 (no overlong forms, surrogates or NUL, which would end the
// library's text early) to 16-bit units.
decoded from_utf8(std::string_view in, text &out);

// Lone surrogates print as U+FFFD.
std::string to_utf8(text_view in);
std::string to_utf8(const velmora_char *in);

} // namespace velmora::cli

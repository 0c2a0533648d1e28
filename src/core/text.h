// SPDX-License-Identifier: MIT
// Views and small helpers over the library's 16-bit text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "velmora.h"

namespace velmora {

using unit = velmora_char;
using text_view = std::basic_string_view<unit>;

inline constexpr std::size_t npos = text_view::npos;

// The platform's limit for long paths, in units: the room of a working text,
// terminator included (the working directory's), and the longest path whose
// prefix get_path_part strips.
inline constexpr std::size_t long_path_max = 32767;

inline constexpr unit backslash = unit{'\\'};
inline constexpr unit slash = unit{'/'};

constexpr bool is_separator(unit c) { return c == backslash || c == slash; }

// `text` without its first `count` units (count at most its length). Unlike
// substr, it has no failure path, which would need the C++ runtime.
constexpr text_view without_first(text_view text, std::size_t count)
{
    return text_view(text.data() + count, text.size() - count);
}

constexpr bool begins_with(text_view text, text_view prefix)
{
    return text.size() >= prefix.size() && text_view(text.data(), prefix.size()) == prefix;
}

// The same for a zero-terminated text, reading no further than the prefix
// (a prefix holds no null, so the terminator stops the comparison).
constexpr bool begins_with(const unit *text, text_view prefix)
{
    if (!text) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (text[i] != prefix[i]) return false;
    return true;
}

// Writes the first `count` units of `from` and a terminator to `to`, which
// overlaps none of those units.
inline void copy_terminated(unit *to, const unit *from, std::size_t count)
{
    std::char_traits<unit>::copy(to, from, count);
    to[count] = 0;
}

// Whether `length` units plus `extra` exceed a caller's size, without wrapping.
constexpr bool exceeds(std::size_t length, std::size_t extra, std::uint32_t size)
{
    return length > size || extra > size - length;
}

} // namespace velmora

// SPDX-License-Identifier: MIT
// Matching one name against one pattern of '*' and '?'.
#pragma once

#include "core/text.h"
#include "host/host.h"

namespace velmora {

inline constexpr unit star = unit{'*'};
inline constexpr unit question_mark = unit{'?'};

// Whether `name` matches `pattern`, ignoring case as the C runtime's towupper
// does, unit by unit. '*' takes any run and '?' any one unit; the unit after a
// star is taken literally when choosing where the star's run ends, so "a*?"
// matches "ab?" but not "abc", and "**" matches "*x" but not "x".
bool wild_match(text_view pattern, text_view name);

// The same, with the locale's mapping taken once by the caller.
bool wild_match(text_view pattern, text_view name, const host::upper_case &upper);

// What one pass over a pattern tells, enough to decide many names without
// matching them.
struct pattern_shape {
    std::size_t length;
    std::size_t first_star; // npos without a star
    std::size_t last_star;  // npos without a star
    bool has_separator;     // a backslash or slash
};

// The shape of a zero-terminated pattern, in one pass that also measures it.
pattern_shape shape_of(const unit *pattern);
pattern_shape shape_of(text_view pattern);

// wild_match with the pattern's shape known: the shape decides or rejects
// first (without a star the lengths must match; the units before the first
// star and after the last must fit the name; the units after the last star must end it), and a
// pattern with one star is answered by those checks alone.
bool wild_match(text_view pattern, const pattern_shape &shape, text_view name,
                const host::upper_case &upper);

// Whether `text` ends as a name matching the pattern must: with the whole
// pattern when it has no star, else with the units after its last star. A
// filter that needs no knowledge of where the name begins: a text that passes
// may still not match.
bool may_end_match(text_view pattern, const pattern_shape &shape, text_view text,
                   const host::upper_case &upper);

} // namespace velmora

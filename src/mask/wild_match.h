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

} // namespace velmora

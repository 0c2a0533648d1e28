// SPDX-License-Identifier: MIT
// Matching one name against one pattern of '*' and '?'.
#pragma once

#include "core/text.h"
#include "host/host.h"
#include "mask/pattern_shape.h"

namespace velmora {

// Whether `name` matches `pattern`, ignoring case as the C runtime's towupper
// does, unit by unit. '*' takes any run and '?' any one unit; the unit after a
// star is taken literally when choosing where the star's run ends, so "a*?"
// matches "ab?" but not "abc", and "**" matches "*x" but not "x".
bool wild_match(text_view pattern, text_view name);

// The same, with the locale's mapping taken once by the caller.
bool wild_match(text_view pattern, text_view name, const host::upper_case &upper);

// wild_match with the pattern's shape known: the shape decides or rejects
// first (without a star the lengths must match; the units before the first
// star and after the last must fit the name, the ones before begin it and the
// ones after end it), and a pattern with one star is answered by those checks.
bool wild_match(text_view pattern, const pattern_shape &shape, text_view name,
                const host::upper_case &upper);

// Whether `pattern` (no stars) matches `name`, both `length` units long, unit
// by unit: '?' takes any unit, the others match ignoring case.
bool same_units(const unit *pattern, const unit *name, std::size_t length,
                const host::upper_case &upper);

// Whether the pattern unit `p` turns down the name unit `n` whatever the
// locale: it is not a '?', and they differ in every locale. The tests on `p`
// come first: a pattern's unit is the same from call to call, where the
// names' units, ASCII or not, come at random. For an ASCII unit other than
// '?', I, i, S and s, what remains is one test of `n` for ASCII and beyond.
inline bool turns_down(unit p, unit n)
{
    if (p < 128 && p != question_mark && !host::may_fold_across_ascii(p))
        return ((p ^ n) & ~0x20u) != 0;
    return p != question_mark && host::differ_in_every_locale(p, n);
}

// Whether `text` ends as a name matching the pattern must: with the whole
// pattern when it has no star, else with the units after its last star. A
// filter that needs no knowledge of where the name begins: a text that passes
// may still not match.
bool may_end_match(text_view pattern, const pattern_shape &shape, text_view text,
                   const host::upper_case &upper);

} // namespace velmora

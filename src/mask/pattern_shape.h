// SPDX-License-Identifier: MIT
// What one pass over a pattern of '*' and '?' tells: enough to decide many
// names without matching them. Inline, so that a call that reads the shape
// keeps it in registers.
#pragma once

#include "scan/scan.h"

namespace velmora {

inline constexpr unit star = unit{'*'};
inline constexpr unit question_mark = unit{'?'};

struct pattern_shape {
    std::size_t length;
    std::size_t first_star; // npos without a star
    std::size_t last_star;  // npos without a star
    bool has_separator;     // a backslash or slash
};

namespace detail {

inline void note_unit(pattern_shape &shape, unit c, std::size_t at)
{
    if (c == star) {
        if (shape.first_star == npos) shape.first_star = at;
        shape.last_star = at;
    }
    shape.has_separator |= is_separator(c);
}

} // namespace detail

inline pattern_shape shape_of(text_view pattern)
{
    pattern_shape shape{pattern.size(), npos, npos, false};
    for (std::size_t i = 0; i < pattern.size(); ++i)
        detail::note_unit(shape, pattern[i], i);
    return shape;
}

#if defined(VELMORA_SSE2)
namespace detail {

// One bit per unit of an aligned block, packed into one mask: the end in the
// low byte, stars and separators in the high byte.
VELMORA_READS_PAST_TERMINATOR inline unsigned end_and_special_bits(const unit *block)
{
    const __m128i units = load_block(block);
    const __m128i specials = _mm_or_si128(
        _mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<short>(star))),
        _mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<short>(backslash))),
                     _mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<short>(slash)))));
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(units, _mm_setzero_si128()), specials)));
}

// One bit per star of an aligned block, in the low byte.
VELMORA_READS_PAST_TERMINATOR inline unsigned star_bits(const unit *block)
{
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(
        _mm_cmpeq_epi16(load_block(block), _mm_set1_epi16(static_cast<short>(star))),
        _mm_setzero_si128())));
}

// The shape of a pattern that runs on past its block `block`, from there on;
// the units outside `kept` are not the pattern's.
pattern_shape shape_with_specials(const unit *pattern, const unit *block, unsigned kept);

} // namespace detail
#endif

// The shape of a zero-terminated pattern, in one pass that also measures it.
// Eight units a step where the processor has SSE2, reading aligned blocks as
// scan.h does: a block without an end, a star or a separator costs one
// test, and so does the end of a pattern with neither. The branches depend on
// the pattern alone, and one pattern is mostly matched against many names.
VELMORA_READS_PAST_TERMINATOR inline pattern_shape shape_of(const unit *pattern)
{
#if defined(VELMORA_SSE2)
    using namespace detail;
    const unit *block = aligned_block(pattern);
    // In the first block, the units before the pattern are masked out.
    unsigned kept = ((0xffu << units_between(block, pattern)) & 0xffu) * 0x0101u;
    for (;; block += 8, kept = 0xffffu) {
        const unsigned bits = end_and_special_bits(block) & kept;
        if (!bits) continue;
        const unsigned end = bits & 0xffu;
        if (!end) return shape_with_specials(pattern, block, kept);
        // A pattern that ends in this block is read off it here.
        const unsigned specials = (bits >> 8) & ((end & (0u - end)) - 1);
        const unsigned stars = specials ? specials & star_bits(block) : 0;
        const auto at = static_cast<std::size_t>(units_between(pattern, block));
        return {at + static_cast<std::size_t>(__builtin_ctz(end)),
                stars ? at + static_cast<std::size_t>(__builtin_ctz(stars)) : npos,
                stars ? at + static_cast<std::size_t>(31 - __builtin_clz(stars)) : npos,
                (specials & ~stars) != 0};
    }
#else
    pattern_shape shape{0, npos, npos, false};
    for (; pattern[shape.length]; ++shape.length)
        detail::note_unit(shape, pattern[shape.length], shape.length);
    return shape;
#endif
}

} // namespace velmora

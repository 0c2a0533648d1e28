// SPDX-License-Identifier: MIT
// What one pass over a pattern of '*' and '?' tells: enough to decide many
// names without matching them. Inline, so that a call that reads the shape
// keeps it in registers.
#pragma once

#include "scan/scan.h"
#include "scan/scan_avx512.h"

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

// The bits of the first block that are the pattern's, for both bytes of
// end_and_special_bits: those of the units from `pattern` on.
inline unsigned first_block_kept(const unit *block, const unit *pattern)
{
    return ((0xffu << units_between(block, pattern)) & 0xffu) * 0x0101u;
}

// The shape of a pattern from its block `block` on; the units outside `kept`
// are not the pattern's.
pattern_shape shape_with_specials(const unit *pattern, const unit *block, unsigned kept);

} // namespace detail
#endif

#if defined(VELMORA_SSE2)
namespace detail {

// One bit per unit of the four blocks from `block`, as scan.h's bits_of_four
// gives them: the ends, the stars and the separators.
struct four_block_shape {
    unsigned ends, stars, separators;
};

VELMORA_READS_PAST_TERMINATOR inline four_block_shape shape_bits_of_four(const unit *block)
{
    const narrowed_four bytes = narrow_four(block);
    const auto equal_to = [&](unit c) {
        const __m128i wanted = _mm_set1_epi8(static_cast<char>(c));
        return byte_bits(_mm_cmpeq_epi8(bytes.low, wanted), _mm_cmpeq_epi8(bytes.high, wanted));
    };
    return {equal_to(0), equal_to(star), equal_to(backslash) | equal_to(slash)};
}

} // namespace detail
#endif

// The shape of a zero-terminated pattern, in one pass that also measures it.
// shape_in_first_step reads the four blocks that hold a pattern's start, in
// one go and inline, as scan.h's measure_with_last does: true, with `shape`
// set, when the pattern ends in them; false leaves the pattern to shape_of,
// for a caller that hands longer patterns to code of its own.
VELMORA_READS_PAST_TERMINATOR inline bool shape_in_first_step([[maybe_unused]] const unit *pattern,
                                                              [[maybe_unused]] pattern_shape &shape)
{
#if defined(VELMORA_SSE2)
    using namespace detail;
    const unit *block = aligned_block(pattern);
    if (!four_blocks_in_page(block)) return false;
    const auto before = static_cast<unsigned>(units_between(block, pattern));
    const four_block_shape bits = shape_bits_of_four(block);
    const unsigned ends = bits.ends >> before;
    if (!ends) return false;
    const unsigned kept = (ends & (0u - ends)) - 1;
    const unsigned stars = (bits.stars >> before) & kept;
    shape = {static_cast<std::size_t>(__builtin_ctz(ends)),
             stars ? static_cast<std::size_t>(__builtin_ctz(stars)) : npos,
             stars ? static_cast<std::size_t>(31 - __builtin_clz(stars)) : npos,
             ((bits.separators >> before) & kept) != 0};
    return true;
#else
    return false;
#endif
}

#if defined(VELMORA_HAS_AVX512_SCANNERS)
namespace avx512 {

// shape_in_first_step for the AVX-512 forms: the first vector alone, from the
// pattern's first unit, where it lies in one page.
VELMORA_AVX512_ENTRY bool shape_in_first_step(const unit *pattern, pattern_shape &shape)
{
    using namespace velmora::avx512::detail;
    if (!in_one_page(pattern, 2 * vector_units)) return false;
    const __m512i v = load_unaligned(pattern);
    const std::uint32_t ends = zero_bits(v);
    if (!ends) return false;
    const std::uint64_t kept = through_first(ends);
    const std::uint64_t stars = equal_bits(v, star) & kept;
    shape = {lowest(ends), stars ? lowest(stars) : npos, stars ? highest(stars) : npos,
             (either::of(backslash, slash)(v) & kept) != 0};
    return true;
}

} // namespace avx512
#else
namespace avx512 {
using velmora::shape_in_first_step;
} // namespace avx512
#endif

// Past the first step, eight units a step where the processor has SSE2,
// reading aligned blocks as scan.h does: a block without an end, a star or a
// separator costs one test.
VELMORA_READS_PAST_TERMINATOR inline pattern_shape shape_of(const unit *pattern)
{
    pattern_shape shape;
    if (shape_in_first_step(pattern, shape)) return shape;
#if defined(VELMORA_SSE2)
    const unit *block = detail::aligned_block(pattern);
    return detail::shape_with_specials(pattern, block, detail::first_block_kept(block, pattern));
#else
    shape = {0, npos, npos, false};
    for (; pattern[shape.length]; ++shape.length)
        detail::note_unit(shape, pattern[shape.length], shape.length);
    return shape;
#endif
}

} // namespace velmora

// SPDX-License-Identifier: MIT
// The matcher walks pattern and name once, remembering only the latest star.
// On a mismatch that star takes one more unit: its run is extended to the next
// position whose unit equals, ignoring case, the pattern unit after the star,
// and matching resumes there. Earlier stars never need revisiting: anything
// they could absorb beyond their current run, the latest star can absorb as
// well, because every later position open to it is open to the later star
// too. So there is no recursion, the extra memory is constant, and the work is
// at most the pattern's length times the name's.
#include "mask/wild_match.h"

#include "core/text_scan.h"

namespace velmora {
namespace {

// The first unit in [from, end) that equals `wanted` ignoring case, or end.
const unit *find_ignoring_case(const unit *from, const unit *end, unit wanted,
                               const host::upper_case &upper)
{
    const std::uint32_t wanted_upper = upper(wanted);
    for (; from != end; ++from)
        if (*from == wanted || upper(*from) == wanted_upper) return from;
    return end;
}

bool same_ignoring_case(unit a, unit b, const host::upper_case &upper)
{
    return a == b || upper(a) == upper(b);
}

// Whether `pattern` (no stars) matches `name` of the same length unit by unit.
bool same_units(const unit *pattern, const unit *name, std::size_t length,
                const host::upper_case &upper)
{
    for (std::size_t i = 0; i < length; ++i)
        if (pattern[i] != question_mark && !same_ignoring_case(pattern[i], name[i], upper))
            return false;
    return true;
}

// Whether the units after the last star end the name: the first of them is
// taken literally, as a star's run ends only where it is met.
bool tail_ends_name(text_view tail, text_view name, const host::upper_case &upper)
{
    const unit *at = name.data() + name.size() - tail.size();
    return same_units(tail.data() + 1, at + 1, tail.size() - 1, upper) &&
           same_ignoring_case(tail[0], at[0], upper);
}

bool walk(text_view pattern, text_view name, const host::upper_case &upper);

} // namespace

bool wild_match(text_view pattern, text_view name) { return wild_match(pattern, name, {}); }

bool wild_match(text_view pattern, text_view name, const host::upper_case &upper)
{
    return wild_match(pattern, shape_of(pattern), name, upper);
}

namespace {

void note_unit(pattern_shape &shape, unit c, std::size_t at)
{
    if (c == star) {
        if (shape.first_star == npos) shape.first_star = at;
        shape.last_star = at;
    }
    shape.has_separator |= is_separator(c);
}

} // namespace

pattern_shape shape_of(text_view pattern)
{
    pattern_shape shape{pattern.size(), npos, npos, false};
    for (std::size_t i = 0; i < pattern.size(); ++i)
        note_unit(shape, pattern[i], i);
    return shape;
}

// Eight units a step where the processor has SSE2, reading aligned blocks as
// text_scan.h does. A block without an end, a star or a separator costs one
// test: the comparisons are packed into one mask, end-or-star in the low byte
// and separators in the high byte, a bit per unit.
VELMORA_READS_PAST_TERMINATOR pattern_shape shape_of(const unit *pattern)
{
#if defined(VELMORA_SSE2)
    using namespace detail;
    const unit *block = aligned_block(pattern);
    const unsigned before = static_cast<unsigned>(units_between(block, pattern));
    // A pattern that ends within four blocks, as most do, is read in one go.
    if (four_blocks_in_page(block)) {
        const four_block_bits separators = bits_of_four(block, backslash, slash);
        if (const unsigned ends = separators.ends >> before) {
            const unsigned before_end = (ends & (0u - ends)) - 1;
            const unsigned stars = (bits_of_four(block, star, star).hits >> before) & before_end;
            return {static_cast<std::size_t>(__builtin_ctz(ends)),
                    stars ? static_cast<std::size_t>(__builtin_ctz(stars)) : npos,
                    stars ? static_cast<std::size_t>(31 - __builtin_clz(stars)) : npos,
                    ((separators.hits >> before) & before_end) != 0};
        }
    }
    const __m128i zero = _mm_setzero_si128();
    // In the first block, the units before the pattern are masked out.
    unsigned kept = ((0xffu << before) & 0xffu) * 0x0101u;
    std::size_t first_star = npos, last_star = npos;
    bool has_separator = false;
    for (;; block += 8, kept = 0xffffu) {
        const __m128i units = load_block(block);
        const __m128i ends = _mm_cmpeq_epi16(units, zero);
        const __m128i ends_or_stars =
            _mm_or_si128(ends, _mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<short>(star))));
        const __m128i separators =
            _mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<short>(backslash))),
                         _mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<short>(slash))));
        const unsigned bits =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(ends_or_stars, separators))) &
            kept;
        if (!bits) continue;
        const unsigned end_bits =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(ends, zero))) & kept;
        const unsigned before_end = end_bits ? (end_bits & (0u - end_bits)) - 1 : 0xffu;
        const unsigned stars = bits & ~end_bits & before_end;
        const std::ptrdiff_t at = units_between(pattern, block);
        if (stars) {
            if (first_star == npos) first_star = static_cast<std::size_t>(at + __builtin_ctz(stars));
            last_star = static_cast<std::size_t>(at + 31 - __builtin_clz(stars));
        }
        has_separator |= ((bits >> 8) & before_end) != 0;
        if (end_bits)
            return {static_cast<std::size_t>(at + __builtin_ctz(end_bits)), first_star, last_star,
                    has_separator};
    }
#else
    pattern_shape shape{0, npos, npos, false};
    for (; pattern[shape.length]; ++shape.length)
        note_unit(shape, pattern[shape.length], shape.length);
    return shape;
#endif
}

bool may_end_match(text_view pattern, const pattern_shape &shape, text_view text,
                   const host::upper_case &upper)
{
    if (shape.first_star == npos)
        return text.size() >= pattern.size() &&
               same_units(pattern.data(), text.data() + text.size() - pattern.size(),
                          pattern.size(), upper);
    const std::size_t tail = shape.last_star + 1;
    if (tail == pattern.size()) return true;
    return text.size() >= pattern.size() - tail &&
           tail_ends_name(without_first(pattern, tail), text, upper);
}

bool wild_match(text_view pattern, const pattern_shape &shape, text_view name,
                const host::upper_case &upper)
{
    if (shape.first_star == npos)
        return name.size() == pattern.size() &&
               same_units(pattern.data(), name.data(), name.size(), upper);
    const std::size_t tail = shape.last_star + 1;
    if (name.size() < shape.first_star + (pattern.size() - tail)) return false;
    if (tail < pattern.size() && !tail_ends_name(without_first(pattern, tail), name, upper)) return false;
    // One star: what is before it must begin the name, and the rest is known to end it.
    if (shape.first_star == shape.last_star)
        return same_units(pattern.data(), name.data(), shape.first_star, upper);
    return walk(pattern, name, upper);
}

namespace {

bool walk(text_view pattern, text_view name, const host::upper_case &upper)
{
    const unit *p = pattern.data();
    const unit *const p_end = p + pattern.size();
    const unit *n = name.data();
    const unit *const n_end = n + name.size();
    const unit *star_next = nullptr; // pattern unit after the latest star
    const unit *star_end = nullptr;  // name unit where that star's run ends now

    for (;;) {
        while (p != p_end && *p != star && n != n_end &&
               (*p == *n || *p == question_mark || upper(*p) == upper(*n))) {
            ++p;
            ++n;
        }
        if (p == p_end && n == n_end) return true;
        if (p != p_end && *p == star) {
            if (++p == p_end) return true;
            n = find_ignoring_case(n, n_end, *p, upper);
            if (n == n_end) return false;
            star_next = p;
            star_end = n;
            continue;
        }
        if (!star_next) return false;
        n = find_ignoring_case(star_end + 1, n_end, *star_next, upper);
        if (n == n_end) return false;
        star_end = n;
        p = star_next;
    }
}

} // namespace
} // namespace velmora

extern "C" int32_t is_mask(const velmora_char *text)
{
    if (!text) return 0;
    return velmora::first_of(text, velmora::star, velmora::question_mark) == velmora::npos ? 0 : 1;
}

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

#include <algorithm>

#include "scan/scan.h"
#include "scan/scan_avx512.h"

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

// Most units that differ are told apart without the locale's mapping.
bool same_ignoring_case(unit a, unit b, const host::upper_case &upper)
{
    return a == b || (!host::differ_in_every_locale(a, b) && upper(a) == upper(b));
}

#if defined(VELMORA_SSE2)
enum class verdict { same, differ, undecided };

// Eight units a step, the last step overlapping the one before (so `length`
// is at least 8): units that are equal, or under a '?', pass at once; ASCII
// units that differ in more than the case bit fail in every locale, without
// its mapping; units that are the two cases of one ASCII letter pass when the
// mapping is the plain one. Units beyond ASCII that differ are left
// undecided, as is every difference under another mapping. All blocks are
// read before one decision, as where a name first differs is what no
// predictor learns.
verdict compare_blocks(const unit *pattern, const unit *name, std::size_t length,
                       const host::upper_case &upper)
{
    const __m128i questions = _mm_set1_epi16(static_cast<short>(question_mark));
    const __m128i case_bit = _mm_set1_epi16(0x20);
    const __m128i beyond_ascii = _mm_set1_epi16(static_cast<short>(0xff80));
    unsigned passed_all = 0xffff, ascii_all = 0xffff, folded_all = 0xffff, failed_any = 0;
    for (std::size_t at = 0;; at = std::min(at + 8, length - 8)) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pattern + at));
        const __m128i n = _mm_loadu_si128(reinterpret_cast<const __m128i *>(name + at));
        const __m128i passed = _mm_or_si128(_mm_cmpeq_epi16(p, n), _mm_cmpeq_epi16(p, questions));
        const __m128i folded = _mm_or_si128(p, case_bit);
        const __m128i same_folded = _mm_cmpeq_epi16(folded, _mm_or_si128(n, case_bit));
        const __m128i letter = _mm_and_si128(_mm_cmpgt_epi16(folded, _mm_set1_epi16('a' - 1)),
                                             _mm_cmplt_epi16(folded, _mm_set1_epi16('z' + 1)));
        const __m128i case_pair = _mm_and_si128(letter, same_folded);
        const __m128i ascii =
            _mm_cmpeq_epi16(_mm_and_si128(_mm_or_si128(p, n), beyond_ascii), _mm_setzero_si128());
        passed_all &= static_cast<unsigned>(_mm_movemask_epi8(passed));
        ascii_all &= static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(passed, ascii)));
        folded_all &= static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(passed, case_pair)));
        failed_any |= static_cast<unsigned>(
            _mm_movemask_epi8(_mm_andnot_si128(_mm_or_si128(passed, same_folded), ascii)));
        if (at + 8 == length) break;
    }
    if (passed_all == 0xffff) return verdict::same;
    if (failed_any) return verdict::differ;
    if (ascii_all != 0xffff || !upper.ascii_is_plain()) return verdict::undecided;
    return folded_all == 0xffff ? verdict::same : verdict::differ;
}
#endif

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

bool same_units(const unit *pattern, const unit *name, std::size_t length,
                const host::upper_case &upper)
{
#if defined(VELMORA_SSE2)
    if (length >= 8) {
        const verdict v = compare_blocks(pattern, name, length, upper);
        if (v != verdict::undecided) return v == verdict::same;
    }
#endif
    for (std::size_t i = 0; i < length; ++i)
        if (pattern[i] != question_mark && !same_ignoring_case(pattern[i], name[i], upper))
            return false;
    return true;
}

bool wild_match(text_view pattern, text_view name) { return wild_match(pattern, name, {}); }

bool wild_match(text_view pattern, text_view name, const host::upper_case &upper)
{
    return wild_match(pattern, shape_of(pattern), name, upper);
}

#if defined(VELMORA_SSE2)
namespace detail {

VELMORA_READS_PAST_TERMINATOR pattern_shape shape_with_specials(const unit *pattern,
                                                                const unit *block, unsigned kept)
{
    std::size_t first_star = npos, last_star = npos;
    bool has_separator = false;
    for (;; block += 8, kept = 0xffffu) {
        const unsigned bits = end_and_special_bits(block) & kept;
        if (!bits) continue;
        const unsigned end = bits & 0xffu;
        const unsigned before_end = end ? (end & (0u - end)) - 1 : 0xffu;
        const unsigned specials = (bits >> 8) & before_end;
        const unsigned stars = specials & detail::star_bits(block);
        const std::ptrdiff_t at = units_between(pattern, block);
        if (stars) {
            if (first_star == npos)
                first_star = static_cast<std::size_t>(at + __builtin_ctz(stars));
            last_star = static_cast<std::size_t>(at + 31 - __builtin_clz(stars));
        }
        has_separator |= (specials & ~stars) != 0;
        if (end)
            return {static_cast<std::size_t>(at + __builtin_ctz(end)), first_star, last_star,
                    has_separator};
    }
}

} // namespace detail
#endif

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
    // What is before the first star must begin the name, and what is after
    // the last must end it: with one star, that is the whole answer.
    if (!same_units(pattern.data(), name.data(), shape.first_star, upper)) return false;
    if (tail < pattern.size() && !tail_ends_name(without_first(pattern, tail), name, upper))
        return false;
    return shape.first_star == shape.last_star || walk(pattern, name, upper);
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

inline int32_t holds_wildcard(std::size_t first) { return first == npos ? 0 : 1; }

// is_mask's body in two forms.
VELMORA_OTHER_FORM int32_t wildcards_in(const unit *text)
{
    return holds_wildcard(first_of(text, star, question_mark));
}
VELMORA_AVX512_FORM int32_t wildcards_in_avx512(const unit *text)
{
    return holds_wildcard(avx512::first_of(text, star, question_mark));
}

} // namespace
} // namespace velmora

extern "C" int32_t is_mask(const velmora_char *text)
{
    using namespace velmora;
    if (!text) return 0;
    return avx512_forms() ? wildcards_in_avx512(text) : wildcards_in(text);
}

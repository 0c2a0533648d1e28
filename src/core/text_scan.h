// One pass over a zero-terminated text that finds its length and the first
// and last places of up to two units, eight units at a time where the
// processor has SSE2.
//
// The wide loop reads aligned 16-byte blocks, which never cross a page, so it
// may read a few units past the terminator but never memory that could fault;
// those reads are hidden from the address and thread sanitizers, which would
// otherwise flag them. Everything it reports lies before the terminator.
#pragma once

#include <cstdint>

#include "core/text.h"

#if defined(__SSE2__) && !defined(VELMORA_NO_SIMD)
#define VELMORA_SSE2 1
#include <emmintrin.h>
#endif

#if defined(__GNUC__) || defined(__clang__)
#define VELMORA_READS_PAST_TERMINATOR __attribute__((no_sanitize("address", "thread")))
#else
#define VELMORA_READS_PAST_TERMINATOR
#endif

namespace velmora {

struct text_scan {
    std::size_t length;
    std::size_t first; // first place of either unit, or npos
    std::size_t last;  // last place of either unit, or npos
};

namespace detail {

#if defined(VELMORA_SSE2)
// Two bits per unit: bits 2i and 2i+1 are set when unit i equals c.
inline unsigned equal_units(__m128i block, unit c)
{
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(c));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(block, wanted)));
}

inline std::size_t lowest_unit(unsigned bits)
{
    return static_cast<std::size_t>(__builtin_ctz(bits)) / 2;
}
inline std::size_t highest_unit(unsigned bits)
{
    return static_cast<std::size_t>(31 - __builtin_clz(bits)) / 2;
}
#endif

inline void note(text_scan &scan, std::size_t at)
{
    if (scan.first == npos) scan.first = at;
    scan.last = at;
}

} // namespace detail

// Length of `text`, and where `a` or `b` first and last occur before its end.
// With `first_only` the scan stops at the first of them: `last` then equals
// `first` and `length` is not known (npos) unless neither occurs.
VELMORA_READS_PAST_TERMINATOR inline text_scan scan_text(const unit *text, unit a, unit b,
                                                         bool first_only = false)
{
    text_scan scan{0, npos, npos};
    const unit *p = text;
#if defined(VELMORA_SSE2)
    for (; reinterpret_cast<std::uintptr_t>(p) % 16 != 0; ++p) {
        if (*p == 0) return scan.length = static_cast<std::size_t>(p - text), scan;
        if (*p == a || *p == b) {
            detail::note(scan, static_cast<std::size_t>(p - text));
            if (first_only) return scan.length = npos, scan;
        }
    }
    // Only the latest block with hits is decoded for `last`, at the end.
    const __m128i zero = _mm_setzero_si128();
    const __m128i want_a = _mm_set1_epi16(static_cast<short>(a));
    const __m128i want_b = _mm_set1_epi16(static_cast<short>(b));
    const unit *last_block = nullptr;
    unsigned last_hits = 0;
    for (;; p += 8) {
        const __m128i block = _mm_load_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i ends_found = _mm_cmpeq_epi16(block, zero);
        const __m128i hits_found =
            _mm_or_si128(_mm_cmpeq_epi16(block, want_a), _mm_cmpeq_epi16(block, want_b));
        if (!_mm_movemask_epi8(_mm_or_si128(ends_found, hits_found))) continue;
        const auto ends = static_cast<unsigned>(_mm_movemask_epi8(ends_found));
        auto hits = static_cast<unsigned>(_mm_movemask_epi8(hits_found));
        if (ends) hits &= (ends & (0u - ends)) - 1; // only hits before the terminator
        if (hits) {
            if (scan.first == npos) {
                scan.first = static_cast<std::size_t>(p - text) + detail::lowest_unit(hits);
                if (first_only) return scan.last = scan.first, scan.length = npos, scan;
            }
            last_block = p;
            last_hits = hits;
        }
        if (ends) {
            if (last_block)
                scan.last =
                    static_cast<std::size_t>(last_block - text) + detail::highest_unit(last_hits);
            scan.length = static_cast<std::size_t>(p - text) + detail::lowest_unit(ends);
            return scan;
        }
    }
#else
    for (; *p; ++p) {
        if (*p == a || *p == b) {
            detail::note(scan, static_cast<std::size_t>(p - text));
            if (first_only) return scan.length = npos, scan;
        }
    }
    scan.length = static_cast<std::size_t>(p - text);
    return scan;
#endif
}

// A view of `text`, measured in one pass; null reads as no text at all.
inline text_view view_of(const unit *text)
{
    return text ? text_view(text, scan_text(text, 0, 0).length) : text_view();
}

// The first place of `a` or `b` in `text`, or npos, reading no further than
// needed.
inline std::size_t first_of(const unit *text, unit a, unit b)
{
    return scan_text(text, a, b, true).first;
}

// The last place of `c` in `text`, or npos; reads nothing outside the view.
inline std::size_t last_of(text_view text, unit c)
{
    std::size_t end = text.size();
#if defined(VELMORA_SSE2)
    for (; end >= 8; end -= 8) {
        const auto block =
            _mm_loadu_si128(reinterpret_cast<const __m128i *>(text.data() + end - 8));
        if (const unsigned hits = detail::equal_units(block, c))
            return end - 8 + detail::highest_unit(hits);
    }
#endif
    while (end-- > 0)
        if (text[end] == c) return end;
    return npos;
}

} // namespace velmora

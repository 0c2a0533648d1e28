// SPDX-License-Identifier: MIT
// The SSE2 scanners: 16 bytes a compare, the baseline of every x86-64
// processor and of the 32-bit Windows build.
#include "scan/kernel_sets.h"

#if defined(VELMORA_HAS_SSE2_SCANNERS)

#include "scan/scan.h"

namespace velmora::scanners {
namespace {

using namespace velmora::detail;

// Four blocks a step, from a 64-byte boundary on, so that no step crosses a page.
VELMORA_READS_PAST_TERMINATOR std::size_t sse2_length(const unit *from)
{
    const unit *p = from;
    for (; reinterpret_cast<std::uintptr_t>(p) % 64 != 0; p += 8)
        if (const unsigned ends = equal_bits(load_block(p), 0))
            return static_cast<std::size_t>(p - from) + lowest_unit(ends);
    const __m128i zero = _mm_setzero_si128();
    for (;; p += 32) {
        const __m128i b0 = load_block(p), b1 = load_block(p + 8), b2 = load_block(p + 16),
                      b3 = load_block(p + 24);
        // No unsigned 16-bit minimum in SSE2: a zero unit makes the OR of
        // the compares with zero non-zero instead.
        const __m128i any =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(b0, zero), _mm_cmpeq_epi16(b1, zero)),
                         _mm_or_si128(_mm_cmpeq_epi16(b2, zero), _mm_cmpeq_epi16(b3, zero)));
        if (_mm_movemask_epi8(any)) break;
    }
    for (;; p += 8)
        if (const unsigned ends = equal_bits(load_block(p), 0))
            return static_cast<std::size_t>(p - from) + lowest_unit(ends);
}

VELMORA_READS_PAST_TERMINATOR std::size_t sse2_first(const unit *from, unit a, unit b)
{
    const unit *p = from;
    for (;; p += 8)
        if (const unsigned found = end_or_either_bits(load_block(p), a, b))
            return static_cast<std::size_t>(p - from) + lowest_unit(found);
}

std::size_t sse2_last(const unit *text, std::size_t length, unit a, unit b)
{
    std::size_t end = length;
    for (; end >= 8; end -= 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + end - 8));
        if (const unsigned hits = equal_bits(block, a) | equal_bits(block, b))
            return end - 8 + highest_unit(hits);
    }
    return detail::last_by_unit(text, end, a, b);
}

} // namespace

const scanner_set sse2{"SSE2", sse2_length, sse2_first, sse2_last};

} // namespace velmora::scanners

#endif

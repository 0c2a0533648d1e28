// SPDX-License-Identifier: MIT
// The AVX-512BW scanners: 64 bytes a compare, straight into a mask register,
// so that no bytes need gathering into a bit mask. A scan's first 128 bytes
// are the shared 256-bit first step (wide_start.h), cheaper on a short text than waking the
// 512-bit unit; only texts that run on are read 64 bytes at a time. Compiled
// for AVX-512 per function, by attribute, and run only once the processor and
// the system are known to support it; each ends with vzeroupper, which the
// compiler adds.
//
// As with the AVX2 set, every vector stays in registers: 64-bit Windows does
// not align the stack for them (tests/inspection/check_no_wide_spills.sh).
#include "scan/kernel_sets.h"

#if defined(VELMORA_HAS_AVX512_SCANNERS)

#include "scan/scan_avx512.h"
#include "scan/wide_start.h"

#define VELMORA_AVX512 VELMORA_AVX512_FORM VELMORA_READS_PAST_TERMINATOR

namespace velmora::scanners {
namespace {

using namespace velmora::avx512::detail;

// The first unit from `from` that `found` marks, after the AVX2 first step
// (`units` and `bytes` mark the same units for it): from its 128-byte
// boundary a vector a step to a 256-byte one, then four a step, which never
// cross a page, with one test each.
template <class Found, class Units, class Bytes>
VELMORA_AVX512 inline std::size_t first_found(const unit *from, Found found, Units units,
                                              Bytes bytes)
{
    using namespace wide_start;
    const unit *p;
    if (const std::size_t at = scan_start(from, units, bytes, p); at != npos) return at;
    for (; !on_boundary(p, 256); p += vector_units)
        if (const std::uint32_t bits = found.bits(load(p)))
            return units_to(from, p, static_cast<unsigned>(__builtin_ctz(bits)));
    while (!found.in_four(p))
        p += 4 * vector_units;
    // Where in the four, without a branch on which vector.
    const std::uint64_t low = pair(found.bits(load(p)), found.bits(load(p + 32)));
    const std::uint64_t high = pair(found.bits(load(p + 64)), found.bits(load(p + 96)));
    return units_to(from, p,
                    static_cast<unsigned>(low ? __builtin_ctzll(low) : 64 + __builtin_ctzll(high)));
}

VELMORA_AVX512 std::size_t avx512_length(const unit *from)
{
    return first_found(from, end_only{}, wide_start::unit_ends{}, wide_start::end_bytes{});
}

VELMORA_AVX512 std::size_t avx512_first(const unit *from, unit a, unit b)
{
    const wide_start::unit_end_or_either units{_mm256_set1_epi16(static_cast<short>(a)),
                                               _mm256_set1_epi16(static_cast<short>(b))};
    return first_found(from, end_or_either::of(a, b), units,
                       wide_start::end_or_either_bytes::of(a, b));
}

// Backwards, 32 units a step, reading only inside the text.
VELMORA_AVX512 std::size_t avx512_last(const unit *text, std::size_t length, unit a, unit b)
{
    return last_between(text, 0, length, either::of(a, b));
}

} // namespace

const scanner_set avx512{"AVX-512BW", avx512_length, avx512_first, avx512_last};

} // namespace velmora::scanners

#endif

// SPDX-License-Identifier: MIT
// The AVX2 scanners: 32 bytes a compare. Their functions, and the shared
// first step of wide_start.h, are compiled for AVX2 per function, by
// attribute, and run only once the processor is known to have it; each ends
// with vzeroupper, which the compiler adds.
//
// On 64-bit Windows the compiler does not realign the stack for 32-byte
// values, so these functions must keep every vector in registers: they are
// leaves with few live values, and the Windows build is checked for 32-byte
// stack stores and loads (tests/inspection/check_no_wide_spills.sh).
#include "scan/kernel_sets.h"

#if defined(VELMORA_HAS_AVX2_SCANNERS)

#include "scan/wide_start.h"

namespace velmora::scanners {
namespace {

using namespace wide_start;

inline std::size_t highest(unsigned bits)
{
    return static_cast<std::size_t>(31 - __builtin_clz(bits)) / 2;
}

// The steps after the first, from a 128-byte boundary, which no step crosses
// a page from: one test a step, of what `any` makes of its four blocks, then
// the step that holds the unit is said where.
template <class Any, class Found>
VELMORA_AVX2 inline std::size_t scan_steps(const unit *from, const unit *p, Any any, Found found)
{
    for (;; p += step_units) {
        const __m256i marks = any(load32(p), load32(p + 16), load32(p + 32), load32(p + 48));
        if (!_mm256_testz_si256(marks, marks))
            return units_to(from, p,
                            static_cast<std::size_t>(__builtin_ctzll(bits_of_step(p, found))));
    }
}

// The first unit from `from` that `units` (two bits a unit, a block at a
// time) and `bytes` (narrowed, a step at a time) mark, with `any` making a
// step's one test of its four blocks.
template <class Units, class Bytes, class Any>
VELMORA_AVX2 inline std::size_t first_marked(const unit *from, Units units, Bytes bytes, Any any)
{
    const unit *p;
    const std::size_t at = scan_start(from, units, bytes, p);
    return at != npos ? at : scan_steps(from, p, any, bytes);
}

// A step's one test for the terminator: the unsigned minimum of four blocks
// has a zero unit exactly when one of them has.
struct least_is_zero {
    VELMORA_AVX2 __m256i operator()(__m256i b0, __m256i b1, __m256i b2, __m256i b3) const
    {
        return _mm256_cmpeq_epi16(
            _mm256_min_epu16(_mm256_min_epu16(b0, b1), _mm256_min_epu16(b2, b3)),
            _mm256_setzero_si256());
    }
};

// A step's one test for the terminator, `a` or `b`: its blocks narrowed to
// bytes in pairs, the unsigned minimum of a byte and its differences from `a`
// and `b` is zero exactly where it is one of the three, at half the work of
// comparing the units.
struct any_end_or_either {
    __m256i a, b; // bytes
    VELMORA_AVX2 __m256i zero_where_found(__m256i bytes) const
    {
        return _mm256_min_epu8(
            bytes, _mm256_min_epu8(_mm256_xor_si256(bytes, a), _mm256_xor_si256(bytes, b)));
    }
    VELMORA_AVX2 __m256i operator()(__m256i b0, __m256i b1, __m256i b2, __m256i b3) const
    {
        return _mm256_cmpeq_epi8(_mm256_min_epu8(zero_where_found(_mm256_packs_epi16(b0, b1)),
                                                 zero_where_found(_mm256_packs_epi16(b2, b3))),
                                 _mm256_setzero_si256());
    }
};

VELMORA_AVX2 std::size_t avx2_length(const unit *from)
{
    return first_marked(from, unit_ends{}, end_bytes{}, least_is_zero{});
}

VELMORA_AVX2 std::size_t avx2_first(const unit *from, unit a, unit b)
{
    const unit_end_or_either units{_mm256_set1_epi16(static_cast<short>(a)),
                                   _mm256_set1_epi16(static_cast<short>(b))};
    const end_or_either_bytes bytes = end_or_either_bytes::of(a, b);
    return first_marked(from, units, bytes, any_end_or_either{bytes.a, bytes.b});
}

// Backwards, 16 units a step, reading only inside the text.
VELMORA_AVX2 std::size_t avx2_last(const unit *text, std::size_t length, unit a, unit b)
{
    const __m256i want_a = _mm256_set1_epi16(static_cast<short>(a));
    const __m256i want_b = _mm256_set1_epi16(static_cast<short>(b));
    std::size_t end = length;
    for (; end >= 16; end -= 16) {
        const __m256i block =
            _mm256_loadu_si256(reinterpret_cast<const __m256i *>(text + end - 16));
        const __m256i hits =
            _mm256_or_si256(_mm256_cmpeq_epi16(block, want_a), _mm256_cmpeq_epi16(block, want_b));
        if (const auto bits = static_cast<unsigned>(_mm256_movemask_epi8(hits)))
            return end - 16 + highest(bits);
    }
    if (end >= 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + end - 8));
        const __m128i hits = _mm_or_si128(_mm_cmpeq_epi16(block, _mm256_castsi256_si128(want_a)),
                                          _mm_cmpeq_epi16(block, _mm256_castsi256_si128(want_b)));
        if (const auto bits = static_cast<unsigned>(_mm_movemask_epi8(hits)))
            return end - 8 + highest(bits);
        end -= 8;
    }
    return detail::last_by_unit(text, end, a, b);
}

} // namespace

const scanner_set avx2{"AVX2", avx2_length, avx2_first, avx2_last};

} // namespace velmora::scanners

#endif

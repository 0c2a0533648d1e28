// SPDX-License-Identifier: MIT
// The AVX2 scanners: 32 bytes a compare. Only this file is compiled for AVX2
// (per function, by attribute), and only once the processor is known to have
// it do its functions run; each ends with vzeroupper, which the compiler adds.
//
// On 64-bit Windows the compiler does not realign the stack for 32-byte
// values, so these functions must keep every vector in registers: they are
// leaves with few live values, and the Windows build is checked for 32-byte
// stack stores and loads (tests/check_no_wide_spills.sh).
#include "core/text_scanners.h"

#if defined(VELMORA_HAS_AVX2_SCANNERS)

#include <immintrin.h>

#include <cstdint>

#include "core/text_scan.h"

#define VELMORA_AVX2 __attribute__((target("avx2"))) VELMORA_READS_PAST_TERMINATOR

namespace velmora::scanners {
namespace {

VELMORA_AVX2 inline __m256i load32(const unit *p)
{
    return _mm256_load_si256(reinterpret_cast<const __m256i *>(p));
}

VELMORA_AVX2 inline unsigned equal_bits32(__m256i block, __m256i wanted)
{
    return static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi16(block, wanted)));
}

inline std::size_t lowest(unsigned bits)
{
    return static_cast<std::size_t>(__builtin_ctz(bits)) / 2;
}
inline std::size_t highest(unsigned bits)
{
    return static_cast<std::size_t>(31 - __builtin_clz(bits)) / 2;
}

inline std::size_t units_from(const unit *from, const unit *p)
{
    return static_cast<std::size_t>(p - from);
}

VELMORA_AVX2 inline __m256i found(__m256i block, __m256i want_a, __m256i want_b)
{
    return _mm256_or_si256(
        _mm256_cmpeq_epi16(block, _mm256_setzero_si256()),
        _mm256_or_si256(_mm256_cmpeq_epi16(block, want_a), _mm256_cmpeq_epi16(block, want_b)));
}

// From a 16-byte boundary to a 128-byte one in 16- and 32-byte blocks, then
// 128 bytes a step, which never crosses a page: the unsigned minimum of the
// four blocks has a zero unit exactly when one of them has.
VELMORA_AVX2 std::size_t avx2_length(const unit *from)
{
    const unit *p = from;
    const __m256i zero = _mm256_setzero_si256();
    if (reinterpret_cast<std::uintptr_t>(p) % 32 != 0) {
        const __m128i block = _mm_load_si128(reinterpret_cast<const __m128i *>(p));
        if (const auto ends = static_cast<unsigned>(
                _mm_movemask_epi8(_mm_cmpeq_epi16(block, _mm_setzero_si128()))))
            return lowest(ends);
        p += 8;
    }
    for (; reinterpret_cast<std::uintptr_t>(p) % 128 != 0; p += 16)
        if (const unsigned ends = equal_bits32(load32(p), zero))
            return units_from(from, p) + lowest(ends);
    for (;; p += 64) {
        const __m256i least = _mm256_min_epu16(_mm256_min_epu16(load32(p), load32(p + 16)),
                                               _mm256_min_epu16(load32(p + 32), load32(p + 48)));
        const __m256i ends = _mm256_cmpeq_epi16(least, zero);
        if (!_mm256_testz_si256(ends, ends)) break;
    }
    for (;; p += 16)
        if (const unsigned ends = equal_bits32(load32(p), zero))
            return units_from(from, p) + lowest(ends);
}

// 64 bytes a step from a 64-byte boundary on.
VELMORA_AVX2 std::size_t avx2_first(const unit *from, unit a, unit b)
{
    const unit *p = from;
    const __m256i want_a = _mm256_set1_epi16(static_cast<short>(a));
    const __m256i want_b = _mm256_set1_epi16(static_cast<short>(b));
    if (reinterpret_cast<std::uintptr_t>(p) % 32 != 0) {
        const __m128i block = _mm_load_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i hits =
            _mm_or_si128(_mm_cmpeq_epi16(block, _mm_setzero_si128()),
                         _mm_or_si128(_mm_cmpeq_epi16(block, _mm256_castsi256_si128(want_a)),
                                      _mm_cmpeq_epi16(block, _mm256_castsi256_si128(want_b))));
        if (const auto bits = static_cast<unsigned>(_mm_movemask_epi8(hits))) return lowest(bits);
        p += 8;
    }
    // To a 128-byte boundary, then four blocks a step with one test; the
    // step that holds the unit is searched again block by block.
    for (; reinterpret_cast<std::uintptr_t>(p) % 128 != 0; p += 16)
        if (const auto bits =
                static_cast<unsigned>(_mm256_movemask_epi8(found(load32(p), want_a, want_b))))
            return units_from(from, p) + lowest(bits);
    for (;; p += 64) {
        const __m256i any = _mm256_or_si256(_mm256_or_si256(found(load32(p), want_a, want_b),
                                                            found(load32(p + 16), want_a, want_b)),
                                            _mm256_or_si256(found(load32(p + 32), want_a, want_b),
                                                            found(load32(p + 48), want_a, want_b)));
        if (!_mm256_testz_si256(any, any)) break;
    }
    for (;; p += 16)
        if (const auto bits =
                static_cast<unsigned>(_mm256_movemask_epi8(found(load32(p), want_a, want_b))))
            return units_from(from, p) + lowest(bits);
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
    while (end-- > 0)
        if (text[end] == a || text[end] == b) return end;
    return npos;
}

} // namespace

const scanner_set avx2{"AVX2", avx2_length, avx2_first, avx2_last};

} // namespace velmora::scanners

#endif

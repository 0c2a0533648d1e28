// SPDX-License-Identifier: MIT
// The 128-byte first step that the AVX2 and AVX-512 scanners share: four
// 32-byte blocks from the 32-byte boundary at or before the place a scan
// starts, said where they hold what is looked for without a branch on which
// block, so that texts of varying length cost no misprediction. Included only
// by files whose functions are compiled for AVX2 or more.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "scan/scan.h"

#define VELMORA_AVX2 __attribute__((target("avx2"))) VELMORA_READS_PAST_TERMINATOR

namespace velmora::scanners::wide_start {

inline constexpr std::size_t step_units = 64; // 128 bytes

VELMORA_AVX2 inline __m256i load32(const unit *p)
{
    return _mm256_load_si256(reinterpret_cast<const __m256i *>(p));
}

template <std::uintptr_t bytes> inline const unit *aligned(const unit *p)
{
    return reinterpret_cast<const unit *>(reinterpret_cast<std::uintptr_t>(p) & ~(bytes - 1));
}

// A step from `p` (32-byte aligned) lies in one page.
inline bool step_in_page(const unit *p)
{
    return (reinterpret_cast<std::uintptr_t>(p) & 4095) <= 4096 - 128;
}

// Units from `from` to `p` plus `at`, where `p` may lie before `from` and the
// place `at` units after `p` does not.
inline std::size_t units_to(const unit *from, const unit *p, std::size_t at)
{
    return static_cast<std::size_t>((p - from) + static_cast<std::ptrdiff_t>(at));
}

// What a step looks for, in blocks narrowed to bytes as scan.h does:
// the terminator, or also `a` or `b` (ASCII units other than 0x7f).
struct end_bytes {
    VELMORA_AVX2 __m256i operator()(__m256i bytes) const
    {
        return _mm256_cmpeq_epi8(bytes, _mm256_setzero_si256());
    }
};
struct end_or_either_bytes {
    __m256i a, b;
    VELMORA_AVX2 __m256i operator()(__m256i bytes) const
    {
        return _mm256_or_si256(
            _mm256_cmpeq_epi8(bytes, _mm256_setzero_si256()),
            _mm256_or_si256(_mm256_cmpeq_epi8(bytes, a), _mm256_cmpeq_epi8(bytes, b)));
    }
    VELMORA_AVX2 static end_or_either_bytes of(unit a, unit b)
    {
        return {_mm256_set1_epi8(static_cast<char>(a)), _mm256_set1_epi8(static_cast<char>(b))};
    }
};

// Units marked with two bits each, for the blocks read one at a time.
struct unit_ends {
    VELMORA_AVX2 __m128i operator()(__m128i block) const
    {
        return _mm_cmpeq_epi16(block, _mm_setzero_si128());
    }
    VELMORA_AVX2 __m256i operator()(__m256i block) const
    {
        return _mm256_cmpeq_epi16(block, _mm256_setzero_si256());
    }
};
struct unit_end_or_either {
    __m256i a, b;
    VELMORA_AVX2 __m128i operator()(__m128i block) const
    {
        return _mm_or_si128(_mm_cmpeq_epi16(block, _mm_setzero_si128()),
                            _mm_or_si128(_mm_cmpeq_epi16(block, _mm256_castsi256_si128(a)),
                                         _mm_cmpeq_epi16(block, _mm256_castsi256_si128(b))));
    }
    VELMORA_AVX2 __m256i operator()(__m256i block) const
    {
        return _mm256_or_si256(
            _mm256_cmpeq_epi16(block, _mm256_setzero_si256()),
            _mm256_or_si256(_mm256_cmpeq_epi16(block, a), _mm256_cmpeq_epi16(block, b)));
    }
};

// One bit per unit of the step from `p`, in order, set where `found` marks
// the unit. The in-lane packing is put back in order by one permutation per
// pair of blocks.
template <class Found> VELMORA_AVX2 inline std::uint64_t bits_of_step(const unit *p, Found found)
{
    std::uint64_t bits = 0;
    for (int half = 0; half < 2; ++half) {
        const __m256i bytes = _mm256_packs_epi16(load32(p + 32 * half), load32(p + 32 * half + 16));
        bits |= std::uint64_t{static_cast<std::uint32_t>(
                    _mm256_movemask_epi8(_mm256_permute4x64_epi64(found(bytes), 0xD8)))}
                << (32 * half);
    }
    return bits;
}

// The first step of a scan from `from` (16-byte aligned): the place of the
// first unit `found` marks, or npos with `next` set where the scan goes on,
// the 128-byte boundary at or before the step's end. A step that would cross
// a page is not read: `next` is then `from` itself.
template <class Found>
VELMORA_AVX2 inline std::size_t first_step(const unit *from, Found found, const unit *&next)
{
    const unit *p = aligned<32>(from);
    next = from;
    if (!step_in_page(p)) return npos;
    const auto skipped = static_cast<unsigned>(from - p);
    if (const std::uint64_t bits = bits_of_step(p, found) >> skipped)
        return static_cast<std::size_t>(__builtin_ctzll(bits));
    next = aligned<128>(p + step_units);
    return npos;
}

// From `from` to the next 128-byte boundary, 16 bytes and then 32 a block,
// where a first step could not be read: the place of the first unit that
// `units` marks (two bits a unit), or npos with `next` on the boundary.
template <class Units>
VELMORA_AVX2 inline std::size_t to_step_boundary(const unit *from, Units units, const unit *&next)
{
    const unit *p = from;
    if (reinterpret_cast<std::uintptr_t>(p) % 32 != 0) {
        const __m128i block = _mm_load_si128(reinterpret_cast<const __m128i *>(p));
        if (const auto bits = static_cast<unsigned>(_mm_movemask_epi8(units(block))))
            return static_cast<std::size_t>(__builtin_ctz(bits)) / 2;
        p += 8;
    }
    for (; reinterpret_cast<std::uintptr_t>(p) % 128 != 0; p += 16)
        if (const auto bits = static_cast<unsigned>(_mm256_movemask_epi8(units(load32(p)))))
            return units_to(from, p, static_cast<std::size_t>(__builtin_ctz(bits)) / 2);
    next = p;
    return npos;
}

// The start every wide scan shares: the first step, or near a page's end the
// blocks to the next 128-byte boundary. The place of the first unit marked
// (`units` two bits a unit, `bytes` narrowed), or npos with `next` on the
// 128-byte boundary where the scan goes on.
template <class Units, class Bytes>
VELMORA_AVX2 inline std::size_t scan_start(const unit *from, Units units, Bytes bytes,
                                           const unit *&next)
{
    const std::size_t at = first_step(from, bytes, next);
    if (at != npos || next != from) return at;
    return to_step_boundary(from, units, next);
}

} // namespace velmora::scanners::wide_start

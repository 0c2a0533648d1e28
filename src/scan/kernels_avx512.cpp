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

#include "scan/wide_start.h"

#define VELMORA_AVX512 __attribute__((target("avx512f,avx512bw"))) VELMORA_READS_PAST_TERMINATOR

namespace velmora::scanners {
namespace {

constexpr std::size_t vector_units = 32;

VELMORA_AVX512 inline __m512i load64(const unit *p)
{
    return _mm512_load_si512(reinterpret_cast<const void *>(p));
}

inline bool on_boundary(const unit *p, std::uintptr_t bytes)
{
    return reinterpret_cast<std::uintptr_t>(p) % bytes == 0;
}

// Units of one vector equal to zero, `a` or `b` (ASCII units other than
// 0x7f), and whether four vectors from `p` hold one, in one test: the vectors
// are narrowed to bytes in pairs as scan.h does, and the unsigned
// minimum of a byte and its differences from `a` and `b` is zero exactly
// where it is one of the three, at half the work of comparing the units.
struct end_or_either {
    __m512i a, b;           // units
    __m512i byte_a, byte_b; // bytes
    VELMORA_AVX512 std::uint32_t operator()(__m512i v) const
    {
        return _mm512_cmpeq_epi16_mask(v, _mm512_setzero_si512()) | _mm512_cmpeq_epi16_mask(v, a) |
               _mm512_cmpeq_epi16_mask(v, b);
    }
    VELMORA_AVX512 __m512i zero_where_found(__m512i bytes) const
    {
        return _mm512_min_epu8(bytes, _mm512_min_epu8(_mm512_xor_si512(bytes, byte_a),
                                                      _mm512_xor_si512(bytes, byte_b)));
    }
    VELMORA_AVX512 bool in_four(const unit *p) const
    {
        const __m512i low = zero_where_found(_mm512_packs_epi16(load64(p), load64(p + 32)));
        const __m512i high = zero_where_found(_mm512_packs_epi16(load64(p + 64), load64(p + 96)));
        return _mm512_cmpeq_epi8_mask(_mm512_min_epu8(low, high), _mm512_setzero_si512()) != 0;
    }
};

// The unsigned minimum of four vectors has a zero unit exactly when one of
// them has.
struct end_only {
    VELMORA_AVX512 std::uint32_t operator()(__m512i v) const
    {
        return _mm512_cmpeq_epi16_mask(v, _mm512_setzero_si512());
    }
    VELMORA_AVX512 bool in_four(const unit *p) const
    {
        const __m512i least = _mm512_min_epu16(_mm512_min_epu16(load64(p), load64(p + 32)),
                                               _mm512_min_epu16(load64(p + 64), load64(p + 96)));
        return _mm512_cmpeq_epi16_mask(least, _mm512_setzero_si512()) != 0;
    }
};

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
        if (const std::uint32_t bits = found(load64(p)))
            return units_to(from, p, static_cast<unsigned>(__builtin_ctz(bits)));
    while (!found.in_four(p))
        p += 4 * vector_units;
    // Where in the four, without a branch on which vector.
    const std::uint64_t low = found(load64(p)) | std::uint64_t{found(load64(p + 32))} << 32;
    const std::uint64_t high = found(load64(p + 64)) | std::uint64_t{found(load64(p + 96))} << 32;
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
    const end_or_either found{
        _mm512_set1_epi16(static_cast<short>(a)), _mm512_set1_epi16(static_cast<short>(b)),
        _mm512_set1_epi8(static_cast<char>(a)), _mm512_set1_epi8(static_cast<char>(b))};
    return first_found(from, found, units, wide_start::end_or_either_bytes::of(a, b));
}

// Backwards, 32 units a step, reading only inside the text: the units left
// at the start are read with the others masked off, which cannot fault, and
// read as zero, which is neither `a` nor `b`.
VELMORA_AVX512 std::size_t avx512_last(const unit *text, std::size_t length, unit a, unit b)
{
    const __m512i want_a = _mm512_set1_epi16(static_cast<short>(a));
    const __m512i want_b = _mm512_set1_epi16(static_cast<short>(b));
    const auto hits = [&](__m512i v) VELMORA_AVX512 {
        return _mm512_cmpeq_epi16_mask(v, want_a) | _mm512_cmpeq_epi16_mask(v, want_b);
    };
    std::size_t end = length;
    for (; end >= vector_units; end -= vector_units)
        if (const std::uint32_t bits = hits(_mm512_loadu_si512(text + end - vector_units)))
            return end - vector_units + static_cast<std::size_t>(31 - __builtin_clz(bits));
    const auto kept = static_cast<__mmask32>((std::uint64_t{1} << end) - 1);
    if (const std::uint32_t bits = hits(_mm512_maskz_loadu_epi16(kept, text)))
        return static_cast<std::size_t>(31 - __builtin_clz(bits));
    return npos;
}

} // namespace

const scanner_set avx512{"AVX-512BW", avx512_length, avx512_first, avx512_last};

} // namespace velmora::scanners

#endif

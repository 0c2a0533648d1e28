// SPDX-License-Identifier: MIT
// The floor of a scan on this processor: a plain vector read of the same
// bytes, whose length is known beforehand, with nothing compared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace velmora_bench {

__attribute__((target("avx2"))) inline std::uint32_t read_avx2(const void *data, std::size_t bytes)
{
    const auto *p = static_cast<const unsigned char *>(data);
    __m256i a = _mm256_setzero_si256(), b = a;
    std::size_t i = 0;
    for (; i + 64 <= bytes; i += 64) {
        a = _mm256_or_si256(a, _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + i)));
        b = _mm256_or_si256(b, _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + i + 32)));
    }
    for (; i + 32 <= bytes; i += 32)
        a = _mm256_or_si256(a, _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + i)));
    std::uint32_t tail = 0;
    for (; i < bytes; ++i)
        tail |= p[i];
    return std::uint32_t(_mm256_movemask_epi8(_mm256_or_si256(a, b))) | tail;
}

__attribute__((target("avx512f,avx512bw"))) inline std::uint32_t read_avx512(const void *data,
                                                                             std::size_t bytes)
{
    const auto *p = static_cast<const unsigned char *>(data);
    __m512i a = _mm512_setzero_si512(), b = a;
    std::size_t i = 0;
    for (; i + 128 <= bytes; i += 128) {
        a = _mm512_or_si512(a, _mm512_loadu_si512(p + i));
        b = _mm512_or_si512(b, _mm512_loadu_si512(p + i + 64));
    }
    for (; i + 64 <= bytes; i += 64)
        a = _mm512_or_si512(a, _mm512_loadu_si512(p + i));
    // The rest in one masked read.
    const __mmask64 rest = bytes - i >= 64 ? ~__mmask64{0} : (__mmask64{1} << (bytes - i)) - 1;
    a = _mm512_or_si512(a, _mm512_maskz_loadu_epi8(rest, p + i));
    return std::uint32_t(_mm512_cmpneq_epi8_mask(_mm512_or_si512(a, b), _mm512_setzero_si512()));
}

inline std::uint32_t read_sse2(const void *data, std::size_t bytes)
{
    const auto *p = static_cast<const unsigned char *>(data);
    __m128i a = _mm_setzero_si128(), b = a;
    std::size_t i = 0;
    for (; i + 32 <= bytes; i += 32) {
        a = _mm_or_si128(a, _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i)));
        b = _mm_or_si128(b, _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i + 16)));
    }
    std::uint32_t tail = 0;
    for (; i < bytes; ++i)
        tail |= p[i];
    return std::uint32_t(_mm_movemask_epi8(_mm_or_si128(a, b))) | tail;
}

// The widest read the processor has.
inline std::uint32_t read_floor(const void *data, std::size_t bytes)
{
    static const bool avx512 = __builtin_cpu_supports("avx512bw");
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx512) return read_avx512(data, bytes);
    return avx2 ? read_avx2(data, bytes) : read_sse2(data, bytes);
}

inline const char *floor_kind()
{
    if (__builtin_cpu_supports("avx512bw")) return "AVX-512";
    return __builtin_cpu_supports("avx2") ? "AVX2" : "SSE2";
}

} // namespace velmora_bench
#endif

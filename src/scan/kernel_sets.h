// SPDX-License-Identifier: MIT
// The scanners behind scan.h, one set per kind of vector unit, and the
// choice among them (dispatch.cpp). Each set gives the same answers; the widest one the
// processor and the system support is chosen once, at the first text that
// runs past the inline blocks.
#pragma once

#include <cstddef>

#include "core/text.h"

namespace velmora::scanners {

struct scanner_set {
    const char *name;
    // Units from `from` (16-byte aligned) to the terminator.
    std::size_t (*length)(const unit *from);
    // Units from `from` (16-byte aligned) to the first `a`, `b` or terminator.
    std::size_t (*first)(const unit *from, unit a, unit b);
    // The last place of `a` or `b` among the first `length` units of `text`,
    // or npos.
    std::size_t (*last)(const unit *text, std::size_t length, unit a, unit b);
};

extern const scanner_set plain;
#if defined(__SSE2__) && !defined(VELMORA_NO_SIMD)
#define VELMORA_HAS_SSE2_SCANNERS 1
extern const scanner_set sse2;
#endif
// Little-endian only, as scan.h's NEON parts are.
#if defined(__aarch64__) && defined(__ARM_NEON) && !defined(VELMORA_NO_SIMD) &&                    \
    defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#define VELMORA_HAS_NEON_SCANNERS 1
extern const scanner_set neon;
#endif
#if defined(__x86_64__) && !defined(VELMORA_NO_SIMD) && (defined(__GNUC__) || defined(__clang__))
#define VELMORA_HAS_AVX2_SCANNERS 1
extern const scanner_set avx2;
#define VELMORA_HAS_AVX512_SCANNERS 1
extern const scanner_set avx512;
#endif

// Whether the processor has AVX2, or AVX-512 with its byte and word
// instructions, and the system saves the registers they use.
bool avx2_usable();
bool avx512_usable();

// The set in use.
const scanner_set &best();

} // namespace velmora::scanners

// SPDX-License-Identifier: MIT
// The scanners behind scan.h, one set per kind of vector unit, and the
// choice among them (dispatch.cpp). Each set gives the same answers; the
// widest one the processor and the system support is chosen once
// (dispatch.cpp says when).
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/text.h"

namespace velmora::scanners {

struct scanner_set {
    const char *name;
    // Units from `from` (16-byte aligned) to the terminator.
    std::size_t (*length)(const unit *from);
    // Units from `from` (16-byte aligned) to the first `a`, `b` or terminator;
    // `a` and `b` ASCII units other than 0 and 0x7f, as the AVX2 and AVX-512
    // sets narrow units to bytes.
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

// The feature words the choice reads: CPUID leaf 1 ECX, leaf 7 (sub-leaf 0)
// EBX, and XCR0, the register state the system saves. A word the processor
// does not give (no leaf 7, or XCR0 without OSXSAVE) reads as 0, as do all
// three off x86.
struct cpu_features {
    std::uint32_t leaf1_ecx;
    std::uint32_t leaf7_ebx;
    std::uint64_t xcr0;
};

// This processor's words.
cpu_features this_processor();

// Whether a processor with `features` has AVX2, or AVX-512 with its byte and
// word instructions (and AVX2, BMI1 and BMI2), and its system saves the
// registers they use.
bool avx2_usable(const cpu_features &features);
bool avx512_usable(const cpu_features &features);

// The widest set of this build that a processor with `features` can run.
const scanner_set &choose_for(const cpu_features &features);

// The set in use: the one chosen for this processor.
const scanner_set &best();

// Puts `set` behind scan.h's entry points and chooses the exports' forms to
// go with it (the AVX-512 forms with the AVX-512 set, scan_avx512.h), as the
// first scan or export that asks does with best(); only benchmarks and tests
// choose another (`set` must be one this processor can run).
void use(const scanner_set &set);

} // namespace velmora::scanners

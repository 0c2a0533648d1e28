// SPDX-License-Identifier: MIT
// The choice of a scanner set, made once, at the first text that runs past the
// inline blocks or, where the build has the exports' AVX-512 forms, at the
// first export that asks which forms to run: the widest set the processor's
// and the system's features allow is installed behind scan.h's entry points
// and, for the AVX-512 set, turns those forms on. Each set lives in a
// file of its own (kernels_*.cpp).
#include "scan/kernel_sets.h"

#include "scan/scan.h"
#include "scan/scan_avx512.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace velmora::scanners {
namespace {

const scanner_set *choose(const cpu_features &features)
{
    (void)features;
#if defined(VELMORA_HAS_AVX512_SCANNERS)
    if (avx512_usable(features)) return &avx512;
#endif
#if defined(VELMORA_HAS_AVX2_SCANNERS)
    if (avx2_usable(features)) return &avx2;
#endif
#if defined(VELMORA_HAS_NEON_SCANNERS)
    return &neon;
#elif defined(VELMORA_HAS_SSE2_SCANNERS)
    return &sse2;
#else
    return &plain;
#endif
}

// The first call of any scanner chooses the set for all three.
std::size_t choose_then_length(const unit *from);
std::size_t choose_then_first(const unit *from, unit a, unit b);
std::size_t choose_then_last(const unit *text, std::size_t length, unit a, unit b);

} // namespace

#if defined(__x86_64__) || defined(__i386__)
namespace {

std::uint64_t read_xcr0()
{
    unsigned low, high;
    __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (std::uint64_t{high} << 32) | low;
}

// XCR0: the vector registers' lower and upper halves (bits 1, 2), and the
// mask registers and the rest of the 512-bit ones (bits 5 to 7).
constexpr std::uint64_t ymm_state = 0x06;
constexpr std::uint64_t zmm_state = 0xe6;

// Whether the processor has AVX and the system saves all of the register
// state that `state` names.
bool saves(const cpu_features &features, std::uint64_t state)
{
    const std::uint32_t needed = bit_OSXSAVE | bit_AVX;
    return (features.leaf1_ecx & needed) == needed && (features.xcr0 & state) == state;
}

} // namespace

cpu_features this_processor()
{
    cpu_features features{0, 0, 0};
    unsigned eax, ebx, ecx, edx;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return features;
    features.leaf1_ecx = ecx;
    // xgetbv faults unless the system has enabled it.
    if (ecx & bit_OSXSAVE) features.xcr0 = read_xcr0();
    if (__get_cpuid_max(0, nullptr) >= 7) {
        __cpuid_count(7, 0, eax, ebx, ecx, edx);
        features.leaf7_ebx = ebx;
    }
    return features;
}

bool avx2_usable(const cpu_features &features)
{
    return saves(features, ymm_state) && (features.leaf7_ebx & bit_AVX2) != 0;
}

bool avx512_usable(const cpu_features &features)
{
    // The AVX-512 scanners start with the AVX2 first step; their bit tests
    // take BMI1 and BMI2, which every processor with AVX-512 has.
    const std::uint32_t wanted = bit_AVX2 | bit_BMI | bit_BMI2 | bit_AVX512F | bit_AVX512BW;
    return saves(features, zmm_state) && (features.leaf7_ebx & wanted) == wanted;
}
#else
cpu_features this_processor() { return {0, 0, 0}; }
bool avx2_usable(const cpu_features &) { return false; }
bool avx512_usable(const cpu_features &) { return false; }
#endif

const scanner_set &choose_for(const cpu_features &features) { return *choose(features); }

const scanner_set &best() { return choose_for(this_processor()); }

void use(const scanner_set &set)
{
    detail::wide_length.store(set.length, std::memory_order_relaxed);
    detail::wide_first.store(set.first, std::memory_order_relaxed);
    detail::wide_last.store(set.last, std::memory_order_relaxed);
#if defined(VELMORA_HAS_AVX512_SCANNERS)
    detail::forms_in_use.store(&set == &avx512 ? detail::forms_avx512 : detail::forms_other,
                               std::memory_order_relaxed);
#endif
}

namespace {

std::size_t choose_then_length(const unit *from)
{
    use(best());
    return best().length(from);
}
std::size_t choose_then_first(const unit *from, unit a, unit b)
{
    use(best());
    return best().first(from, a, b);
}
std::size_t choose_then_last(const unit *text, std::size_t length, unit a, unit b)
{
    use(best());
    return best().last(text, length, a, b);
}

} // namespace
} // namespace velmora::scanners

#if defined(VELMORA_HAS_AVX512_SCANNERS)
namespace velmora::detail {
bool choose_forms()
{
    scanners::use(scanners::best());
    return forms_in_use.load(std::memory_order_relaxed) == forms_avx512;
}
} // namespace velmora::detail
#endif

namespace velmora::detail {
// Constant-initialised: the first call through any of them makes the choice.
std::atomic<length_scanner> wide_length{scanners::choose_then_length};
std::atomic<first_scanner> wide_first{scanners::choose_then_first};
std::atomic<last_scanner> wide_last{scanners::choose_then_last};
#if defined(VELMORA_HAS_AVX512_SCANNERS)
std::atomic<forms> forms_in_use{forms_unchosen};
#endif
} // namespace velmora::detail

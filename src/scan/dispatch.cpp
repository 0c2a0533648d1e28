// SPDX-License-Identifier: MIT
// The choice of a scanner set: the processor's and the system's features are
// read once, at the first text that runs past the inline blocks, and the
// widest set they allow is installed behind scan.h's entry points. Each set
// lives in a file of its own (kernels_*.cpp).
#include "scan/kernel_sets.h"

#include "scan/scan.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace velmora::scanners {
namespace {

const scanner_set *choose()
{
#if defined(VELMORA_HAS_AVX512_SCANNERS)
    if (avx512_usable()) return &avx512;
#endif
#if defined(VELMORA_HAS_AVX2_SCANNERS)
    if (avx2_usable()) return &avx2;
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

namespace {

// The extended-feature bits (CPUID leaf 7, EBX) of a processor whose system
// saves the register state that `xcr0_bits` name (XCR0), or 0.
[[maybe_unused]] unsigned extended_features(unsigned xcr0_bits)
{
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax, ebx, ecx, edx;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return 0;
    if (!(ecx & bit_OSXSAVE) || !(ecx & bit_AVX)) return 0;
    unsigned xcr0_low, xcr0_high;
    __asm__("xgetbv" : "=a"(xcr0_low), "=d"(xcr0_high) : "c"(0));
    if ((xcr0_low & xcr0_bits) != xcr0_bits) return 0;
    if (__get_cpuid_max(0, nullptr) < 7) return 0;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    return ebx;
#else
    (void)xcr0_bits;
    return 0;
#endif
}

// XCR0: the vector registers' lower and upper halves (bits 1, 2), and the
// mask registers and the rest of the 512-bit ones (bits 5 to 7).
constexpr unsigned ymm_state = 0x06;
constexpr unsigned zmm_state = 0xe6;

} // namespace

bool avx2_usable()
{
#if defined(bit_AVX2)
    return (extended_features(ymm_state) & bit_AVX2) != 0;
#else
    return false;
#endif
}

bool avx512_usable()
{
#if defined(bit_AVX512F) && defined(bit_AVX512BW)
    const unsigned wanted = bit_AVX512F | bit_AVX512BW;
    return (extended_features(zmm_state) & wanted) == wanted;
#else
    return false;
#endif
}

const scanner_set &best() { return *choose(); }

namespace {

void install(const scanner_set &set)
{
    detail::wide_length.store(set.length, std::memory_order_relaxed);
    detail::wide_first.store(set.first, std::memory_order_relaxed);
    detail::wide_last.store(set.last, std::memory_order_relaxed);
}

std::size_t choose_then_length(const unit *from)
{
    install(best());
    return best().length(from);
}
std::size_t choose_then_first(const unit *from, unit a, unit b)
{
    install(best());
    return best().first(from, a, b);
}
std::size_t choose_then_last(const unit *text, std::size_t length, unit a, unit b)
{
    install(best());
    return best().last(text, length, a, b);
}

} // namespace
} // namespace velmora::scanners

namespace velmora::detail {
// Constant-initialised: the first call through any of them makes the choice.
std::atomic<length_scanner> wide_length{scanners::choose_then_length};
std::atomic<first_scanner> wide_first{scanners::choose_then_first};
std::atomic<last_scanner> wide_last{scanners::choose_then_last};
} // namespace velmora::detail

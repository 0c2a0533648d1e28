// SPDX-License-Identifier: MIT
// The plain and SSE2 scanners, and the choice of a set. The AVX2 and
// AVX-512 sets live in files of their own, each compiled for its unit alone.
#include "core/text_scanners.h"

#include "core/text_scan.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace velmora::scanners {
namespace {

std::size_t plain_length(const unit *from)
{
    const unit *p = from;
    while (*p)
        ++p;
    return static_cast<std::size_t>(p - from);
}

std::size_t plain_first(const unit *from, unit a, unit b)
{
    const unit *p = from;
    while (*p && *p != a && *p != b)
        ++p;
    return static_cast<std::size_t>(p - from);
}

std::size_t plain_last(const unit *text, std::size_t length, unit a, unit b)
{
    while (length-- > 0)
        if (text[length] == a || text[length] == b) return length;
    return npos;
}

#if defined(VELMORA_HAS_SSE2_SCANNERS)
using namespace velmora::detail;

// Four blocks a step, from a 64-byte boundary on, so that no step crosses a page.
VELMORA_READS_PAST_TERMINATOR std::size_t sse2_length(const unit *from)
{
    const unit *p = from;
    for (; reinterpret_cast<std::uintptr_t>(p) % 64 != 0; p += 8)
        if (const unsigned ends = equal_bits(load_block(p), 0))
            return static_cast<std::size_t>(p - from) + lowest_unit(ends);
    const __m128i zero = _mm_setzero_si128();
    for (;; p += 32) {
        const __m128i b0 = load_block(p), b1 = load_block(p + 8), b2 = load_block(p + 16),
                      b3 = load_block(p + 24);
        // No unsigned 16-bit minimum in SSE2: a zero unit makes the AND of
        // the compares with zero non-zero instead.
        const __m128i any =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(b0, zero), _mm_cmpeq_epi16(b1, zero)),
                         _mm_or_si128(_mm_cmpeq_epi16(b2, zero), _mm_cmpeq_epi16(b3, zero)));
        if (_mm_movemask_epi8(any)) break;
    }
    for (;; p += 8)
        if (const unsigned ends = equal_bits(load_block(p), 0))
            return static_cast<std::size_t>(p - from) + lowest_unit(ends);
}

VELMORA_READS_PAST_TERMINATOR std::size_t sse2_first(const unit *from, unit a, unit b)
{
    const unit *p = from;
    for (;; p += 8)
        if (const unsigned found = end_or_either_bits(load_block(p), a, b))
            return static_cast<std::size_t>(p - from) + lowest_unit(found);
}

std::size_t sse2_last(const unit *text, std::size_t length, unit a, unit b)
{
    std::size_t end = length;
    for (; end >= 8; end -= 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + end - 8));
        if (const unsigned hits = equal_bits(block, a) | equal_bits(block, b))
            return end - 8 + highest_unit(hits);
    }
    return plain_last(text, end, a, b);
}
#endif

const scanner_set *choose()
{
#if defined(VELMORA_HAS_AVX512_SCANNERS)
    if (avx512_usable()) return &avx512;
#endif
#if defined(VELMORA_HAS_AVX2_SCANNERS)
    if (avx2_usable()) return &avx2;
#endif
#if defined(VELMORA_HAS_SSE2_SCANNERS)
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

const scanner_set plain{"plain", plain_length, plain_first, plain_last};
#if defined(VELMORA_HAS_SSE2_SCANNERS)
const scanner_set sse2{"SSE2", sse2_length, sse2_first, sse2_last};
#endif

namespace {

// The extended-feature bits (CPUID leaf 7, EBX) of a processor whose system
// saves the register state that `xcr0_bits` name (XCR0), or 0.
unsigned extended_features(unsigned xcr0_bits)
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

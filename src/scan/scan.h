// SPDX-License-Identifier: MIT
// Scanning zero-terminated texts: their length, the first place of one of two
// units, and the last place of one of two units in a view.
//
// Where the processor has SSE2 the first blocks of a text are scanned here,
// inline, eight units a block (a length takes four blocks in one test where
// they lie in one page), so that a short path costs no call; a text that runs
// on is handed to the widest scanner set the processor has, chosen once
// (kernel_sets.h, dispatch.cpp). On 64-bit ARM the first block is
// scanned here with NEON, and the rest by the NEON scanners. Where the
// AVX-512 set is in use, the exports that scan most take these entry points'
// AVX-512 forms (scan_avx512.h) instead.
//
// Forward scans read aligned blocks of 16 bytes, or steps of several blocks
// (up to 64 bytes in the SSE2 set and here, 128 in the AVX2 set, 256 in the
// AVX-512 set), that never leave the pages holding the text, so they may read
// units before the text or past its terminator but never memory that could
// fault; those reads are hidden from the address and
// thread sanitizers, which would otherwise flag them. Everything they report
// lies inside the text. Backward scans read nothing outside their view.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/text.h"

#if defined(__SSE2__) && !defined(VELMORA_NO_SIMD)
#define VELMORA_SSE2 1
#include <emmintrin.h>
#endif

// NEON is part of every 64-bit ARM processor. The bit masks below read the
// lanes of a vector as one 64-bit number, which is in lane order only on a
// little-endian one.
#if defined(__aarch64__) && defined(__ARM_NEON) && !defined(VELMORA_NO_SIMD) &&                    \
    defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#define VELMORA_NEON 1
#include <arm_neon.h>
#endif

#if defined(__GNUC__) || defined(__clang__)
#define VELMORA_READS_PAST_TERMINATOR __attribute__((no_sanitize("address", "thread")))
#else
#define VELMORA_READS_PAST_TERMINATOR
#endif

namespace velmora {

struct length_and_last {
    std::size_t length;
    std::size_t last; // npos when neither unit occurs
};

namespace detail {

// The scanners of kernel_sets.h, as the set in use gives them. The forward
// ones start at a 16-byte aligned place.
using length_scanner = std::size_t (*)(const unit *from);
using first_scanner = std::size_t (*)(const unit *from, unit a, unit b);
using last_scanner = std::size_t (*)(const unit *text, std::size_t length, unit a, unit b);
extern std::atomic<length_scanner> wide_length;
extern std::atomic<first_scanner> wide_first;
extern std::atomic<last_scanner> wide_last;

#if defined(VELMORA_SSE2) || defined(VELMORA_NEON)
inline const unit *aligned_block(const unit *text)
{
    return reinterpret_cast<const unit *>(reinterpret_cast<std::uintptr_t>(text) &
                                          ~std::uintptr_t{15});
}

// Units from `text` to `block`, which lies at or after it.
// Both are unit-aligned, so the byte difference halves exactly: a shift,
// where a division would round towards zero.
inline std::ptrdiff_t units_between(const unit *text, const unit *block)
{
    static_assert(sizeof(unit) == 2);
    return (reinterpret_cast<std::intptr_t>(block) - reinterpret_cast<std::intptr_t>(text)) >> 1;
}
#endif

#if defined(VELMORA_NEON)
VELMORA_READS_PAST_TERMINATOR inline uint16x8_t load_block(const unit *block)
{
    return vld1q_u16(reinterpret_cast<const std::uint16_t *>(block));
}

// Eight bits per unit, bits 8i to 8i+7 for unit i: the lanes of a compare
// narrowed to bytes and read as one number (NEON has no movemask).
inline std::uint64_t unit_bits(uint16x8_t marks)
{
    return vget_lane_u64(vreinterpret_u64_u8(vshrn_n_u16(marks, 4)), 0);
}

inline std::size_t lowest_unit(std::uint64_t bits)
{
    return static_cast<std::size_t>(__builtin_ctzll(bits)) / 8;
}
inline std::size_t highest_unit(std::uint64_t bits)
{
    return static_cast<std::size_t>(63 - __builtin_clzll(bits)) / 8;
}

// Zero exactly in the lanes that hold the terminator, `a` or `b`: the
// unsigned minimum of a unit and its differences from both.
struct end_or_either {
    uint16x8_t a, b;
    end_or_either(unit want_a, unit want_b)
        : a(vdupq_n_u16(static_cast<std::uint16_t>(want_a))),
          b(vdupq_n_u16(static_cast<std::uint16_t>(want_b)))
    {
    }
    uint16x8_t operator()(uint16x8_t block) const
    {
        return vminq_u16(block, vminq_u16(veorq_u16(block, a), veorq_u16(block, b)));
    }
};

// Bits of the first block that belong to units before `text`, cleared.
inline std::uint64_t from_text_on(std::uint64_t bits, const unit *text)
{
    return bits >> ((reinterpret_cast<std::uintptr_t>(text) & 15) * 4);
}
#endif

#if defined(VELMORA_SSE2)
// How many blocks of eight units the inline part scans before handing over.
inline constexpr int inline_blocks = 4;

VELMORA_READS_PAST_TERMINATOR inline __m128i load_block(const unit *block)
{
    return _mm_load_si128(reinterpret_cast<const __m128i *>(block));
}

// Two bits per unit: bits 2i and 2i+1 are set when unit i equals c.
inline unsigned equal_bits(__m128i block, unit c)
{
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi16(block, _mm_set1_epi16(static_cast<short>(c)))));
}

inline unsigned end_or_either_bits(__m128i block, unit a, unit b)
{
    const __m128i hits =
        _mm_or_si128(_mm_cmpeq_epi16(block, _mm_setzero_si128()),
                     _mm_or_si128(_mm_cmpeq_epi16(block, _mm_set1_epi16(static_cast<short>(a))),
                                  _mm_cmpeq_epi16(block, _mm_set1_epi16(static_cast<short>(b)))));
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
}

inline std::size_t lowest_unit(unsigned bits)
{
    return static_cast<std::size_t>(__builtin_ctz(bits)) / 2;
}
inline std::size_t highest_unit(unsigned bits)
{
    return static_cast<std::size_t>(31 - __builtin_clz(bits)) / 2;
}

// Four blocks from `block` lie in one page, so reading them cannot fault
// wherever in them the text ends.
inline constexpr std::size_t four_blocks = 32; // units
inline bool four_blocks_in_page(const unit *block)
{
    return (reinterpret_cast<std::uintptr_t>(block) & 4095) <= 4096 - 64;
}

// One bit per unit of the four blocks from `block`: bit i set when unit i
// equals zero (`ends`), or either of two units (`hits`).
struct four_block_bits {
    unsigned ends, hits;
};

// The four blocks narrowed to bytes, two blocks a vector, with signed
// saturation: a unit from 1 to 0x7e keeps its value, and no other unit
// becomes zero or one of those values (larger ones become 0x7f, those from
// 0x8000 on 0x80 to 0xff). So bytes compare as the units would, for the terminator
// and for any ASCII unit but 0x7f, at half the compares.
struct narrowed_four {
    __m128i low, high;
};

VELMORA_READS_PAST_TERMINATOR inline narrowed_four narrow_four(const unit *block)
{
    return {_mm_packs_epi16(load_block(block), load_block(block + 8)),
            _mm_packs_epi16(load_block(block + 16), load_block(block + 24))};
}

inline unsigned byte_bits(__m128i low, __m128i high)
{
    return static_cast<unsigned>(_mm_movemask_epi8(low)) |
           static_cast<unsigned>(_mm_movemask_epi8(high)) << 16;
}

VELMORA_READS_PAST_TERMINATOR inline unsigned end_bits_of_four(const unit *block)
{
    const narrowed_four bytes = narrow_four(block);
    const __m128i zero = _mm_setzero_si128();
    return byte_bits(_mm_cmpeq_epi8(bytes.low, zero), _mm_cmpeq_epi8(bytes.high, zero));
}

// `a` and `b` must be ASCII units other than 0 and 0x7f.
VELMORA_READS_PAST_TERMINATOR inline four_block_bits bits_of_four(const unit *block, unit a, unit b)
{
    const narrowed_four bytes = narrow_four(block);
    const __m128i zero = _mm_setzero_si128();
    const __m128i want_a = _mm_set1_epi8(static_cast<char>(a));
    const __m128i want_b = _mm_set1_epi8(static_cast<char>(b));
    const auto either = [&](__m128i v) {
        return _mm_or_si128(_mm_cmpeq_epi8(v, want_a), _mm_cmpeq_epi8(v, want_b));
    };
    return {byte_bits(_mm_cmpeq_epi8(bytes.low, zero), _mm_cmpeq_epi8(bytes.high, zero)),
            byte_bits(either(bytes.low), either(bytes.high))};
}

// Bits of the first block that belong to units before `text`, cleared.
inline unsigned from_text_on(unsigned bits, const unit *text)
{
    return bits >> (reinterpret_cast<std::uintptr_t>(text) & 15);
}
#endif

// The last place of `a` or `b` among the first `end` units of `text`, a unit
// at a time: the tail of a backward scan.
inline std::size_t last_by_unit(const unit *text, std::size_t end, unit a, unit b)
{
    while (end-- > 0)
        if (text[end] == a || text[end] == b) return end;
    return npos;
}

} // namespace detail

// The length of `text`.
VELMORA_READS_PAST_TERMINATOR inline std::size_t length_of(const unit *text)
{
#if defined(VELMORA_SSE2)
    using namespace detail;
    const unit *block = aligned_block(text);
    // Most texts end within four blocks: one test whichever block that is,
    // so the varying lengths of real names and paths cost no misprediction.
    if (four_blocks_in_page(block)) {
        const auto before = static_cast<unsigned>(units_between(block, text));
        if (const unsigned ends = end_bits_of_four(block) >> before)
            return static_cast<std::size_t>(__builtin_ctz(ends));
        block += four_blocks;
        return static_cast<std::size_t>(units_between(text, block)) +
               wide_length.load(std::memory_order_relaxed)(block);
    }
    if (const unsigned ends = from_text_on(equal_bits(load_block(block), 0), text))
        return lowest_unit(ends);
#pragma GCC unroll 4
    for (int i = 1; i < inline_blocks; ++i) {
        block += 8;
        if (const unsigned ends = equal_bits(load_block(block), 0))
            return static_cast<std::size_t>(units_between(text, block)) + lowest_unit(ends);
    }
    block += 8;
    return static_cast<std::size_t>(units_between(text, block)) +
           wide_length.load(std::memory_order_relaxed)(block);
#elif defined(VELMORA_NEON)
    using namespace detail;
    const unit *block = aligned_block(text);
    if (const std::uint64_t ends = from_text_on(unit_bits(vceqzq_u16(load_block(block))), text))
        return lowest_unit(ends);
    block += 8;
    return static_cast<std::size_t>(units_between(text, block)) +
           wide_length.load(std::memory_order_relaxed)(block);
#else
    const unit *p = text;
    while (*p)
        ++p;
    return static_cast<std::size_t>(p - text);
#endif
}

// The first place of `a` or `b` in `text`, or npos, reading no further than
// the aligned block or step (up to 256 bytes) that holds it or the terminator.
VELMORA_READS_PAST_TERMINATOR inline std::size_t first_of(const unit *text, unit a, unit b)
{
#if defined(VELMORA_SSE2)
    using namespace detail;
    const unit *block = aligned_block(text);
    std::size_t at = npos;
    if (const unsigned head = from_text_on(end_or_either_bits(load_block(block), a, b), text)) {
        at = lowest_unit(head);
    } else {
#pragma GCC unroll 4
        for (int i = 1; i < inline_blocks; ++i) {
            block += 8;
            if (const unsigned found = end_or_either_bits(load_block(block), a, b)) {
                at = static_cast<std::size_t>(units_between(text, block)) + lowest_unit(found);
                break;
            }
        }
        if (at == npos) {
            block += 8;
            at = static_cast<std::size_t>(units_between(text, block)) +
                 wide_first.load(std::memory_order_relaxed)(block, a, b);
        }
    }
    return text[at] == 0 ? npos : at;
#elif defined(VELMORA_NEON)
    using namespace detail;
    const unit *block = aligned_block(text);
    const end_or_either found(a, b);
    std::size_t at;
    if (const std::uint64_t head =
            from_text_on(unit_bits(vceqzq_u16(found(load_block(block)))), text)) {
        at = lowest_unit(head);
    } else {
        block += 8;
        at = static_cast<std::size_t>(units_between(text, block)) +
             wide_first.load(std::memory_order_relaxed)(block, a, b);
    }
    return text[at] == 0 ? npos : at;
#else
    for (const unit *p = text; *p; ++p)
        if (*p == a || *p == b) return static_cast<std::size_t>(p - text);
    return npos;
#endif
}

// The last place of `a` or `b` (ASCII units other than 0 and 0x7f) in
// `text`, or npos; reads nothing outside the view. With SSE2 the last 32
// units of a longer text are looked at inline in one test, narrowed to bytes
// as bits_of_four does: a path's last separator mostly lies among them. With
// NEON a text of a block or more goes straight to the scanner set.
inline std::size_t last_of(text_view text, unit a, unit b)
{
    std::size_t end = text.size();
#if defined(VELMORA_SSE2)
    using namespace detail;
    const auto loadu = [&](std::size_t at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i *>(text.data() + at));
    };
    if (end >= four_blocks) {
        const std::size_t from = end - four_blocks;
        const __m128i low = _mm_packs_epi16(loadu(from), loadu(from + 8));
        const __m128i high = _mm_packs_epi16(loadu(from + 16), loadu(from + 24));
        const __m128i want_a = _mm_set1_epi8(static_cast<char>(a));
        const __m128i want_b = _mm_set1_epi8(static_cast<char>(b));
        const auto either = [&](__m128i v) {
            return _mm_or_si128(_mm_cmpeq_epi8(v, want_a), _mm_cmpeq_epi8(v, want_b));
        };
        if (const unsigned hits = byte_bits(either(low), either(high)))
            return from + static_cast<std::size_t>(31 - __builtin_clz(hits));
        if (from < 8)
            end = from;
        else
            return wide_last.load(std::memory_order_relaxed)(text.data(), from, a, b);
    }
    for (; end >= 8; end -= 8) {
        const __m128i block = loadu(end - 8);
        if (const unsigned hits = equal_bits(block, a) | equal_bits(block, b))
            return end - 8 + highest_unit(hits);
    }
#elif defined(VELMORA_NEON)
    if (end >= 8) return detail::wide_last.load(std::memory_order_relaxed)(text.data(), end, a, b);
#endif
    return detail::last_by_unit(text.data(), end, a, b);
}

inline std::size_t last_of(text_view text, unit c) { return last_of(text, c, c); }

// The length of `text` and the last place of `a` or `b` (ASCII units other
// than 0 and 0x7f) in it. A text that ends within four blocks is measured and
// searched in one go, without a branch on where; a longer one is measured
// forwards, then searched backwards from the end, where a path's last
// separator lies (noting separators block by block on the way forward costs a
// branch per block that no predictor learns on real paths).
VELMORA_READS_PAST_TERMINATOR inline length_and_last measure_with_last(const unit *text, unit a,
                                                                       unit b);

// measure_with_last's first step alone, for a caller that hands longer texts
// to code of its own: true, with `measured` set, when `text` ends within it;
// false leaves the text to that code.
VELMORA_READS_PAST_TERMINATOR inline bool
measure_with_last_in_first_step([[maybe_unused]] const unit *text, [[maybe_unused]] unit a,
                                [[maybe_unused]] unit b, [[maybe_unused]] length_and_last &measured)
{
#if defined(VELMORA_SSE2)
    using namespace detail;
    const unit *block = aligned_block(text);
    if (!four_blocks_in_page(block)) return false;
    const auto before = static_cast<unsigned>(units_between(block, text));
    const four_block_bits bits = bits_of_four(block, a, b);
    const unsigned ends = bits.ends >> before;
    if (!ends) return false;
    const unsigned hits = (bits.hits >> before) & ((ends & (0u - ends)) - 1);
    measured = {static_cast<std::size_t>(__builtin_ctz(ends)),
                hits ? static_cast<std::size_t>(31 - __builtin_clz(hits)) : npos};
    return true;
#else
    return false;
#endif
}

VELMORA_READS_PAST_TERMINATOR inline length_and_last measure_with_last(const unit *text, unit a,
                                                                       unit b)
{
    length_and_last measured;
    if (measure_with_last_in_first_step(text, a, b, measured)) return measured;
    const text_view whole(text, length_of(text));
    return {whole.size(), last_of(whole, a, b)};
}

// A view of `text`, measured in one pass; null reads as no text at all.
inline text_view view_of(const unit *text)
{
    return text ? text_view(text, length_of(text)) : text_view();
}

} // namespace velmora

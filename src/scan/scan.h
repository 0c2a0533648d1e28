// SPDX-License-Identifier: MIT
// Scanning zero-terminated texts: their length, the first place of one of two
// units, and the last place of one of two units in a view.
//
// Where the processor has SSE2 the first blocks of a text are scanned here,
// inline, eight units at a time, so that a short path costs no call; a text
// that runs on is handed to the widest scanner set the processor has, chosen
// once (kernel_sets.h, dispatch.cpp).
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

// The scanners of kernel_sets.h, as the processor's best set gives them. The
// forward ones start at a 16-byte aligned place.
using length_scanner = std::size_t (*)(const unit *from);
using first_scanner = std::size_t (*)(const unit *from, unit a, unit b);
using last_scanner = std::size_t (*)(const unit *text, std::size_t length, unit a, unit b);
extern std::atomic<length_scanner> wide_length;
extern std::atomic<first_scanner> wide_first;
extern std::atomic<last_scanner> wide_last;

#if defined(VELMORA_SSE2)
// How many blocks of eight units the inline part scans before handing over.
inline constexpr int inline_blocks = 4;

inline const unit *aligned_block(const unit *text)
{
    return reinterpret_cast<const unit *>(reinterpret_cast<std::uintptr_t>(text) &
                                          ~std::uintptr_t{15});
}

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

// Units from `text` to `block` (which may lie up to seven units before it).
// Both are unit-aligned, so the byte difference halves exactly: a shift,
// where a division would round towards zero.
inline std::ptrdiff_t units_between(const unit *text, const unit *block)
{
    static_assert(sizeof(unit) == 2);
    return (reinterpret_cast<std::intptr_t>(block) - reinterpret_cast<std::intptr_t>(text)) >> 1;
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
// 0x8000 on 0x80). So bytes compare as the units would, for the terminator
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
#else
    for (const unit *p = text; *p; ++p)
        if (*p == a || *p == b) return static_cast<std::size_t>(p - text);
    return npos;
#endif
}

// The last place of `a` or `b` (ASCII units other than 0 and 0x7f) in
// `text`, or npos; reads nothing outside the view. The last 32 units of a
// longer text are looked at inline in one test, narrowed to bytes as
// bits_of_four does: a path's last separator mostly lies among them.
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
#endif
    while (end-- > 0)
        if (text[end] == a || text[end] == b) return end;
    return npos;
}

inline std::size_t last_of(text_view text, unit c) { return last_of(text, c, c); }

// The length of `text` and the last place of `a` or `b` (ASCII units other
// than 0 and 0x7f) in it. A text that ends within four blocks is measured and
// searched in one go, without a branch on where; a longer one is measured
// forwards, then searched backwards from the end, where a path's last
// separator lies (noting separators block by block on the way forward costs a
// branch per block that no predictor learns on real paths).
VELMORA_READS_PAST_TERMINATOR inline length_and_last measure_with_last(const unit *text, unit a,
                                                                       unit b)
{
#if defined(VELMORA_SSE2)
    using namespace detail;
    const unit *block = aligned_block(text);
    if (four_blocks_in_page(block)) {
        const auto before = static_cast<unsigned>(units_between(block, text));
        const four_block_bits bits = bits_of_four(block, a, b);
        if (const unsigned ends = bits.ends >> before) {
            const unsigned hits = (bits.hits >> before) & ((ends & (0u - ends)) - 1);
            return {static_cast<std::size_t>(__builtin_ctz(ends)),
                    hits ? static_cast<std::size_t>(31 - __builtin_clz(hits)) : npos};
        }
    }
#endif
    const text_view whole(text, length_of(text));
    return {whole.size(), last_of(whole, a, b)};
}

// A view of `text`, measured in one pass; null reads as no text at all.
inline text_view view_of(const unit *text)
{
    return text ? text_view(text, length_of(text)) : text_view();
}

} // namespace velmora

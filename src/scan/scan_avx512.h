// SPDX-License-Identifier: MIT
// scan.h's entry points in AVX-512BW, for the AVX-512 forms of the exports
// that scan (VELMORA_AVX512_FORM functions), and the copy path_pop makes from
// what its scan read: a whole text 32 units a vector, from the text's first
// unit on, inline in the export, with the bits straight in mask registers
// (units compared, or for first_of narrowed to bytes and, where the two units
// allow it, looked up in a table). A short text then costs one or two
// compares and no call, where the inline SSE2 blocks must narrow and gather
// their bits and a longer one must call into a scanner set.
//
// The first three vectors are read unaligned from the text's start, where they
// lie in one page; reading nothing before the text keeps a scan clear of the
// caller's latest writes just before it (an overlapping read waits for them).
// Beyond those, and near a page's end, reads are aligned vectors, which never
// cross a page. As in scan.h, forward scans may read past the terminator but
// never memory that could fault, and backward scans read nothing outside their
// view.
//
// Where the build has no AVX-512 scanners, the names below are scan.h's and
// text.h's own and VELMORA_AVX512_FORM adds nothing: the forms are never
// chosen there.
#pragma once

#include "scan/kernel_sets.h"
#include "scan/scan.h"

#if defined(VELMORA_HAS_AVX512_SCANNERS)

#include <immintrin.h>

#define VELMORA_AVX512_FORM __attribute__((target("avx512f,avx512bw,bmi,bmi2")))
// The other form of an export's body, kept out of line beside its AVX-512
// form, so that the export costs no frame for the form it does not take.
#define VELMORA_OTHER_FORM __attribute__((noinline))
#define VELMORA_AVX512_INLINE                                                                      \
    VELMORA_AVX512_FORM __attribute__((always_inline)) VELMORA_READS_PAST_TERMINATOR inline

// The entry points below read past the terminator, which the sanitizers must
// not see: in a sanitized build they stay calls, whose own attribute hides
// those reads (inlined, they would take the checks of the function they land
// in); elsewhere they are always inlined.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VELMORA_SANITIZED_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define VELMORA_SANITIZED_BUILD 1
#endif
#endif
#if defined(VELMORA_SANITIZED_BUILD)
#define VELMORA_AVX512_ENTRY VELMORA_AVX512_FORM VELMORA_READS_PAST_TERMINATOR inline
#else
#define VELMORA_AVX512_ENTRY VELMORA_AVX512_INLINE
#endif

namespace velmora {

namespace detail {
// Which forms the exports run: set with the scanner set in use
// (scanners::use), the AVX-512 forms only with the AVX-512 set, so only where
// the processor and the system support them. Until a set is chosen, the first
// export that asks chooses it: loading the library does no work.
enum forms : unsigned char { forms_unchosen, forms_other, forms_avx512 };
extern std::atomic<forms> forms_in_use;
bool choose_forms();
} // namespace detail

// Whether the exports run their AVX-512 forms.
inline bool avx512_forms()
{
    const detail::forms in_use = detail::forms_in_use.load(std::memory_order_relaxed);
    if (__builtin_expect(in_use == detail::forms_unchosen, 0)) return detail::choose_forms();
    return in_use == detail::forms_avx512;
}

namespace avx512 {
namespace detail {

inline constexpr std::size_t vector_units = 32;
// The unaligned head: three vectors from the text's start.
inline constexpr std::size_t head_units = 3 * vector_units;
// The longest text copy_terminated copies itself.
inline constexpr std::size_t inline_copy_units = 16 * vector_units;

inline bool in_one_page(const unit *p, std::size_t bytes)
{
    return (reinterpret_cast<std::uintptr_t>(p) & 4095) <= 4096 - bytes;
}

inline const unit *aligned_vector(const unit *p)
{
    return reinterpret_cast<const unit *>(reinterpret_cast<std::uintptr_t>(p) &
                                          ~std::uintptr_t{63});
}

inline bool on_boundary(const unit *p, std::uintptr_t bytes)
{
    return reinterpret_cast<std::uintptr_t>(p) % bytes == 0;
}

VELMORA_AVX512_INLINE __m512i load(const unit *p)
{
    return _mm512_load_si512(reinterpret_cast<const void *>(p));
}
VELMORA_AVX512_INLINE __m512i load_unaligned(const unit *p)
{
    return _mm512_loadu_si512(reinterpret_cast<const void *>(p));
}

// Stores the first `count` units of `v` (all of them from 32 on) at `to`,
// touching no memory past them.
VELMORA_AVX512_INLINE void store_units(unit *to, __m512i v, std::size_t count)
{
    const auto units = _cvtu32_mask32(_bzhi_u32(~0u, static_cast<unsigned>(count)));
    _mm512_mask_storeu_epi16(to, units, v);
}

VELMORA_AVX512_INLINE std::uint32_t zero_bits(__m512i v)
{
    return _cvtmask32_u32(_mm512_testn_epi16_mask(v, v));
}
VELMORA_AVX512_INLINE std::uint32_t equal_bits(__m512i v, unit c)
{
    return _cvtmask32_u32(_mm512_cmpeq_epi16_mask(v, _mm512_set1_epi16(static_cast<short>(c))));
}

// Two vectors' bits as one number, the first vector's in the low half.
inline std::uint64_t pair(std::uint32_t low, std::uint32_t high)
{
    return low | std::uint64_t{high} << 32;
}

// The bits up to the lowest set bit of `ends` and that bit (all of them when it
// has none): the units before a text's terminator and the terminator, which is
// never a unit looked for, so this bounds the hits as well. One instruction
// (blsmsk).
inline std::uint64_t through_first(std::uint64_t ends) { return ends ^ (ends - 1); }

inline std::size_t lowest(std::uint64_t bits)
{
    return static_cast<std::size_t>(__builtin_ctzll(bits));
}
inline std::size_t highest(std::uint64_t bits)
{
    return static_cast<std::size_t>(63 - __builtin_clzll(bits));
}

// Units from `text` to `p`, which lies at or after it.
inline std::size_t units_to(const unit *text, const unit *p)
{
    return static_cast<std::size_t>(p - text);
}

// Units equal to `a` or `b`.
struct either {
    __m512i a, b;
    VELMORA_AVX512_INLINE static either of(unit a, unit b)
    {
        return {_mm512_set1_epi16(static_cast<short>(a)), _mm512_set1_epi16(static_cast<short>(b))};
    }
    VELMORA_AVX512_INLINE std::uint32_t operator()(__m512i v) const
    {
        return _cvtmask32_u32(
            _kor_mask32(_mm512_cmpeq_epi16_mask(v, a), _mm512_cmpeq_epi16_mask(v, b)));
    }
};

// What the forward scans look for: the units of one vector that are marked
// (`bits`), and whether two or four vectors from `p` hold one, in one test.
//
// The terminator alone: the unsigned minimum of vectors has a zero unit
// exactly when one of them has.
struct end_only {
    VELMORA_AVX512_INLINE std::uint32_t bits(__m512i v) const { return zero_bits(v); }
    VELMORA_AVX512_INLINE std::uint64_t bits(__m512i low, __m512i high) const
    {
        return pair(zero_bits(low), zero_bits(high));
    }
    VELMORA_AVX512_INLINE bool in_two(const unit *p) const
    {
        return zero_bits(_mm512_min_epu16(load(p), load(p + vector_units))) != 0;
    }
    VELMORA_AVX512_INLINE bool in_four(const unit *p) const
    {
        const __m512i least = _mm512_min_epu16(_mm512_min_epu16(load(p), load(p + 32)),
                                               _mm512_min_epu16(load(p + 64), load(p + 96)));
        return zero_bits(least) != 0;
    }
};

// The terminator, `a` or `b` (ASCII units other than 0x7f). Vectors are
// narrowed to bytes in pairs as scan.h does, and the unsigned minimum of a
// byte and its differences from `a` and `b` is zero exactly where it is one of
// the three: half the work of comparing the units.
struct end_or_either {
    __m512i a, b;           // units
    __m512i byte_a, byte_b; // bytes
    VELMORA_AVX512_INLINE static end_or_either of(unit a, unit b)
    {
        return {_mm512_set1_epi16(static_cast<short>(a)), _mm512_set1_epi16(static_cast<short>(b)),
                _mm512_set1_epi8(static_cast<char>(a)), _mm512_set1_epi8(static_cast<char>(b))};
    }
    // Each compare only where the one before found no match: no mask
    // register operations between them.
    VELMORA_AVX512_INLINE std::uint32_t bits(__m512i v) const
    {
        const __mmask32 none = _mm512_mask_cmpneq_epi16_mask(
            _mm512_mask_cmpneq_epi16_mask(_mm512_test_epi16_mask(v, v), v, a), v, b);
        return ~_cvtmask32_u32(none);
    }
    VELMORA_AVX512_INLINE std::uint64_t bits(__m512i low, __m512i high) const
    {
        return pair(bits(low), bits(high));
    }
    VELMORA_AVX512_INLINE __m512i zero_where_found(__m512i bytes) const
    {
        return _mm512_min_epu8(bytes, _mm512_min_epu8(_mm512_xor_si512(bytes, byte_a),
                                                      _mm512_xor_si512(bytes, byte_b)));
    }
    VELMORA_AVX512_INLINE bool in_two(const unit *p) const
    {
        const __m512i bytes = zero_where_found(_mm512_packs_epi16(load(p), load(p + vector_units)));
        return _mm512_testn_epi8_mask(bytes, bytes) != 0;
    }
    VELMORA_AVX512_INLINE bool in_four(const unit *p) const
    {
        const __m512i low = zero_where_found(_mm512_packs_epi16(load(p), load(p + 32)));
        const __m512i high = zero_where_found(_mm512_packs_epi16(load(p + 64), load(p + 96)));
        return _mm512_cmpeq_epi8_mask(_mm512_min_epu8(low, high), _mm512_setzero_si512()) != 0;
    }
};

// The terminator, `a` or `b` as end_or_either finds them, with the narrowed
// bytes looked up where `a` and `b` allow it (`fits`): a byte below 0x80
// picks an entry of a 16-byte table by its low four bits and equals that
// entry exactly when it is the terminator, `a` or `b`, which sit at entries
// 0, a & 15 and b & 15 (the other entries hold 0x80, which no such byte is;
// bytes from 0x80 on look up zero, which they are not). One shuffle and one
// compare for two vectors, where the differences take four operations and a
// test, and the units compared take three compares a vector.
//
// Narrowing interleaves two vectors' units 16-byte lane by lane, so a vector's
// bits in unit order are every other eight of the lookup's (pext, which is
// fast wherever AVX-512 is).
struct end_or_either_looked_up {
    __m512i table;
    static bool fits(unit a, unit b)
    {
        const unsigned low_a = a & 15u, low_b = b & 15u;
        return low_a != 0 && low_b != 0 && (low_a != low_b || a == b);
    }
    VELMORA_AVX512_INLINE static end_or_either_looked_up of(unit a, unit b)
    {
        // Made in general registers, so that units the caller names fold into
        // a constant table.
        entries made{0x8080808080808000, 0x8080808080808080};
        made.enter(a);
        made.enter(b);
        const auto low = static_cast<long long>(made.low);
        const auto high = static_cast<long long>(made.high);
        return {_mm512_set4_epi64(high, low, high, low)};
    }
    struct entries {
        std::uint64_t low, high; // entries 0 to 7, 8 to 15
        void enter(unit c)
        {
            std::uint64_t &half = (c & 8u) ? high : low;
            const unsigned at = 8 * (c & 7u);
            half = (half & ~(std::uint64_t{0xff} << at)) | std::uint64_t{c} << at;
        }
    };
    static constexpr std::uint64_t first_vector_bits = 0x00ff00ff00ff00ff;

    VELMORA_AVX512_INLINE std::uint64_t found_in(__m512i low, __m512i high) const
    {
        const __m512i bytes = _mm512_packs_epi16(low, high);
        return _cvtmask64_u64(_mm512_cmpeq_epi8_mask(_mm512_shuffle_epi8(table, bytes), bytes));
    }
    VELMORA_AVX512_INLINE std::uint32_t bits(__m512i v) const
    {
        return static_cast<std::uint32_t>(_pext_u64(found_in(v, v), first_vector_bits));
    }
    VELMORA_AVX512_INLINE std::uint64_t bits(__m512i low, __m512i high) const
    {
        const std::uint64_t found = found_in(low, high);
        return pair(static_cast<std::uint32_t>(_pext_u64(found, first_vector_bits)),
                    static_cast<std::uint32_t>(_pext_u64(found, ~first_vector_bits)));
    }
    VELMORA_AVX512_INLINE bool in_two(const unit *p) const
    {
        return found_in(load(p), load(p + vector_units)) != 0;
    }
};

// From `p` (64-byte aligned) on, the first vector that holds a unit `found`
// marks, set in `p` and `v`, and those units' bits: single vectors to a
// 128-byte boundary, then two a step, which never cross a page, with one
// test each.
template <class Found>
VELMORA_AVX512_INLINE std::uint32_t find_marked(const unit *&p, __m512i &v, Found found)
{
    for (; !on_boundary(p, 128); p += vector_units) {
        v = load(p);
        if (const std::uint32_t bits = found.bits(v)) return bits;
    }
    for (;; p += 2 * vector_units) {
        if (!found.in_two(p)) continue;
        v = load(p);
        if (const std::uint32_t bits = found.bits(v)) return bits;
        p += vector_units;
        v = load(p);
        return found.bits(v);
    }
}

// The last place of `a` or `b` among units `begin` to `end` of `text`,
// backwards a vector at a time; the units left at `begin` are read with the
// others masked off, which cannot fault.
VELMORA_AVX512_INLINE std::size_t last_between(const unit *text, std::size_t begin, std::size_t end,
                                               const either &found)
{
    for (; end - begin >= vector_units; end -= vector_units)
        if (const std::uint32_t bits = found(load_unaligned(text + end - vector_units)))
            return end - vector_units + highest(bits);
    const auto kept = static_cast<__mmask32>((std::uint64_t{1} << (end - begin)) - 1);
    if (const std::uint32_t bits = found(_mm512_maskz_loadu_epi16(kept, text + begin)))
        return begin + highest(bits);
    return npos;
}

} // namespace detail

// scan.h's measure_with_last: the length of `text` and the last place of `a`
// or `b` in it. A text that ends within the head is measured and searched in
// it; a longer one is measured, then searched backwards from its end.
VELMORA_AVX512_ENTRY length_and_last measure_with_last(const unit *text, unit a, unit b)
{
    using namespace detail;
    const either found = either::of(a, b);
    const unit *p;
    if (in_one_page(text, 2 * head_units)) {
        const __m512i v0 = load_unaligned(text);
        if (const std::uint32_t ends = zero_bits(v0)) {
            const std::uint64_t hits = found(v0) & through_first(ends);
            return {lowest(ends), hits ? highest(hits) : npos};
        }
        const __m512i v1 = load_unaligned(text + vector_units);
        const __m512i v2 = load_unaligned(text + 2 * vector_units);
        if (const std::uint64_t ends = pair(zero_bits(v1), zero_bits(v2))) {
            const std::uint64_t hits = pair(found(v1), found(v2)) & through_first(ends);
            if (hits) return {vector_units + lowest(ends), vector_units + highest(hits)};
            const std::uint32_t first_hits = found(v0);
            return {vector_units + lowest(ends), first_hits ? highest(first_hits) : npos};
        }
        p = aligned_vector(text + head_units);
    } else {
        // Near a page's end: the aligned vector that holds the text's start,
        // without the units before it.
        p = aligned_vector(text);
        const auto before = static_cast<unsigned>(units_to(p, text));
        if (const std::uint32_t ends = zero_bits(load(p)) >> before) {
            const std::uint64_t hits = (found(load(p)) >> before) & through_first(ends);
            return {lowest(ends), hits ? highest(hits) : npos};
        }
        p += vector_units;
    }
    __m512i v;
    const std::uint32_t ends = find_marked(p, v, end_only{});
    const std::size_t length = units_to(text, p) + lowest(ends);
    if (const std::uint64_t hits = found(v) & through_first(ends))
        return {length, units_to(text, p) + highest(hits)};
    return {length, last_between(text, 0, units_to(text, p), found)};
}

// text.h's copy_terminated. A text cut within the head, where the head lies
// in one page, is stored from the three vectors that its measure read, masked
// to the units kept; one of up to 16 vectors is copied a vector at a time and
// its rest masked, without a call; a longer one goes to the C library's copy.
VELMORA_AVX512_ENTRY void copy_terminated(unit *to, const unit *from, std::size_t count)
{
    using namespace detail;
    if (count < head_units && in_one_page(from, 2 * head_units)) {
        const __m512i v0 = load_unaligned(from);
        const __m512i v1 = load_unaligned(from + vector_units);
        const __m512i v2 = load_unaligned(from + 2 * vector_units);
        store_units(to, v0, count);
        if (count > vector_units) store_units(to + vector_units, v1, count - vector_units);
        if (count > 2 * vector_units)
            store_units(to + 2 * vector_units, v2, count - 2 * vector_units);
    } else if (count <= inline_copy_units) {
        std::size_t done = 0;
        for (; count - done >= vector_units; done += vector_units)
            _mm512_storeu_si512(to + done, load_unaligned(from + done));
        const auto units = _cvtu32_mask32(_bzhi_u32(~0u, static_cast<unsigned>(count - done)));
        _mm512_mask_storeu_epi16(to + done, units, _mm512_maskz_loadu_epi16(units, from + done));
    } else {
        velmora::copy_terminated(to, from, count);
        return;
    }
    to[count] = 0;
}

// scan.h's measure_with_last_in_first_step: the first vector alone, from the
// text's first unit, where it lies in one page.
VELMORA_AVX512_ENTRY bool measure_with_last_in_first_step(const unit *text, unit a, unit b,
                                                          length_and_last &measured)
{
    using namespace detail;
    if (!in_one_page(text, 2 * vector_units)) return false;
    const __m512i v = load_unaligned(text);
    const std::uint32_t ends = zero_bits(v);
    if (!ends) return false;
    const std::uint64_t hits = either::of(a, b)(v) & through_first(ends);
    measured = {lowest(ends), hits ? highest(hits) : npos};
    return true;
}

namespace detail {

// The place of the first unit in `text` that `found` marks, the terminator
// being one.
template <class Found> VELMORA_AVX512_INLINE std::size_t first_marked(const unit *text, Found found)
{
    const unit *p;
    if (in_one_page(text, 2 * head_units)) {
        if (const std::uint32_t head = found.bits(load_unaligned(text))) return lowest(head);
        if (const std::uint64_t next = found.bits(load_unaligned(text + vector_units),
                                                  load_unaligned(text + 2 * vector_units)))
            return vector_units + lowest(next);
        p = aligned_vector(text + head_units);
    } else {
        p = aligned_vector(text);
        const auto before = static_cast<unsigned>(units_to(p, text));
        if (const std::uint32_t head = found.bits(load(p)) >> before) return lowest(head);
        p += vector_units;
    }
    __m512i v;
    const std::uint32_t marked = find_marked(p, v, found); // moves p on
    return units_to(text, p) + lowest(marked);
}

template <class Found> VELMORA_AVX512_INLINE std::size_t first_found(const unit *text, Found found)
{
    const std::size_t at = first_marked(text, found);
    return text[at] == 0 ? npos : at;
}

} // namespace detail

// scan.h's first_of: the first place of `a` or `b` (ASCII units other than 0
// and 0x7f) in `text`, or npos.
VELMORA_AVX512_ENTRY std::size_t first_of(const unit *text, unit a, unit b)
{
    using namespace detail;
    if (end_or_either_looked_up::fits(a, b))
        return first_found(text, end_or_either_looked_up::of(a, b));
    return first_found(text, end_or_either::of(a, b));
}

// scan.h's length_of.
VELMORA_AVX512_ENTRY std::size_t length_of(const unit *text)
{
    return detail::first_marked(text, detail::end_only{});
}

} // namespace avx512
} // namespace velmora

#else

#define VELMORA_AVX512_FORM
#define VELMORA_AVX512_INLINE inline
#define VELMORA_OTHER_FORM inline

namespace velmora {

inline constexpr bool avx512_forms() { return false; }

namespace avx512 {
using velmora::copy_terminated;
using velmora::first_of;
using velmora::length_of;
using velmora::measure_with_last;
using velmora::measure_with_last_in_first_step;
} // namespace avx512
} // namespace velmora

#endif

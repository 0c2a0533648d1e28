// SPDX-License-Identifier: MIT
// The NEON scanners: 16 bytes a compare, the baseline of every 64-bit ARM
// processor, so they are chosen without asking the processor.
#include "scan/kernel_sets.h"

#if defined(VELMORA_HAS_NEON_SCANNERS)

#include "scan/scan.h"

namespace velmora::scanners {
namespace {

using namespace velmora::detail;

inline std::size_t units_to(const unit *from, const unit *p, std::size_t at)
{
    return static_cast<std::size_t>(p - from) + at;
}

// The first unit from `from` (16-byte aligned) that `look` marks: block by
// block to a 64-byte boundary, then four blocks a step, which no step
// crosses a page from, with one test; the step that holds the unit is then
// looked at block by block. A step's test may also pass where no unit is
// marked (`look.step` may say so of units it confuses); the blocks after
// it then go on one by one, which is slower but gives the same answer.
template <class Look>
VELMORA_READS_PAST_TERMINATOR inline std::size_t first_marked(const unit *from, Look look)
{
    const unit *p = from;
    for (; reinterpret_cast<std::uintptr_t>(p) % 64 != 0; p += 8)
        if (const std::uint64_t bits = unit_bits(look.block(load_block(p))))
            return units_to(from, p, lowest_unit(bits));
    while (!look.step(load_block(p), load_block(p + 8), load_block(p + 16), load_block(p + 24)))
        p += 32;
    for (;; p += 8)
        if (const std::uint64_t bits = unit_bits(look.block(load_block(p))))
            return units_to(from, p, lowest_unit(bits));
}

// The terminator: the unsigned minimum of four blocks has a zero unit
// exactly when one of them has.
struct look_for_end {
    uint16x8_t block(uint16x8_t units) const { return vceqzq_u16(units); }
    bool step(uint16x8_t b0, uint16x8_t b1, uint16x8_t b2, uint16x8_t b3) const
    {
        return vminvq_u16(vminq_u16(vminq_u16(b0, b1), vminq_u16(b2, b3))) == 0;
    }
};

// The terminator, `a` or `b`. A step narrows its blocks to bytes with
// unsigned saturation, so that every unit from 0xff on becomes 0xff and the
// rest keep their value, and looks for zero, `a` or `b` among the bytes at
// half the work of the units: where `a` or `b` is 0xff or more, units that
// only share its byte pass the test too, and the blocks sort them out.
struct look_for_end_or_either {
    end_or_either units;
    uint8x16_t a, b;
    look_for_end_or_either(unit want_a, unit want_b)
        : units(want_a, want_b), a(vdupq_n_u8(saturated(want_a))), b(vdupq_n_u8(saturated(want_b)))
    {
    }
    static std::uint8_t saturated(unit c) { return c < 0xff ? static_cast<std::uint8_t>(c) : 0xff; }
    uint16x8_t block(uint16x8_t block_units) const { return vceqzq_u16(units(block_units)); }
    uint8x16_t zero_where_found(uint8x16_t bytes) const
    {
        return vminq_u8(bytes, vminq_u8(veorq_u8(bytes, a), veorq_u8(bytes, b)));
    }
    bool step(uint16x8_t b0, uint16x8_t b1, uint16x8_t b2, uint16x8_t b3) const
    {
        const uint8x16_t low = vqmovn_high_u16(vqmovn_u16(b0), b1);
        const uint8x16_t high = vqmovn_high_u16(vqmovn_u16(b2), b3);
        return vminvq_u8(vminq_u8(zero_where_found(low), zero_where_found(high))) == 0;
    }
};

VELMORA_READS_PAST_TERMINATOR std::size_t neon_length(const unit *from)
{
    return first_marked(from, look_for_end{});
}

VELMORA_READS_PAST_TERMINATOR std::size_t neon_first(const unit *from, unit a, unit b)
{
    return first_marked(from, look_for_end_or_either(a, b));
}

// Backwards, four blocks a step with one test, then block by block from the
// end of the step that holds the place; reads only inside the text.
std::size_t neon_last(const unit *text, std::size_t length, unit a, unit b)
{
    const uint16x8_t want_a = vdupq_n_u16(static_cast<std::uint16_t>(a));
    const uint16x8_t want_b = vdupq_n_u16(static_cast<std::uint16_t>(b));
    const auto hits = [&](std::size_t at) {
        const uint16x8_t block = load_block(text + at);
        return vorrq_u16(vceqq_u16(block, want_a), vceqq_u16(block, want_b));
    };
    std::size_t end = length;
    for (; end >= 32; end -= 32)
        if (unit_bits(vorrq_u16(vorrq_u16(hits(end - 8), hits(end - 16)),
                                vorrq_u16(hits(end - 24), hits(end - 32)))))
            break;
    for (; end >= 8; end -= 8)
        if (const std::uint64_t bits = unit_bits(hits(end - 8)))
            return end - 8 + highest_unit(bits);
    while (end-- > 0)
        if (text[end] == a || text[end] == b) return end;
    return npos;
}

} // namespace

const scanner_set neon{"NEON", neon_length, neon_first, neon_last};

} // namespace velmora::scanners

#endif

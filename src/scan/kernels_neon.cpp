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

// The first unit from `from` (16-byte aligned) that `zero` makes zero: block
// by block to a 64-byte boundary, then four blocks a step, which no step
// crosses a page from, with one test of their unsigned minimum; the step
// that holds the unit is then looked at block by block.
template <class Zero>
VELMORA_READS_PAST_TERMINATOR inline std::size_t first_zero(const unit *from, Zero zero)
{
    const unit *p = from;
    for (; reinterpret_cast<std::uintptr_t>(p) % 64 != 0; p += 8)
        if (const std::uint64_t bits = unit_bits(vceqzq_u16(zero(load_block(p)))))
            return units_to(from, p, lowest_unit(bits));
    for (;; p += 32) {
        const uint16x8_t least =
            vminq_u16(vminq_u16(zero(load_block(p)), zero(load_block(p + 8))),
                      vminq_u16(zero(load_block(p + 16)), zero(load_block(p + 24))));
        if (unit_bits(vceqzq_u16(least))) break;
    }
    for (;; p += 8)
        if (const std::uint64_t bits = unit_bits(vceqzq_u16(zero(load_block(p)))))
            return units_to(from, p, lowest_unit(bits));
}

struct itself {
    uint16x8_t operator()(uint16x8_t block) const { return block; }
};

VELMORA_READS_PAST_TERMINATOR std::size_t neon_length(const unit *from)
{
    return first_zero(from, itself{});
}

VELMORA_READS_PAST_TERMINATOR std::size_t neon_first(const unit *from, unit a, unit b)
{
    return first_zero(from, end_or_either(a, b));
}

// Backwards, two blocks a step with one test, reading only inside the text.
std::size_t neon_last(const unit *text, std::size_t length, unit a, unit b)
{
    const uint16x8_t want_a = vdupq_n_u16(static_cast<std::uint16_t>(a));
    const uint16x8_t want_b = vdupq_n_u16(static_cast<std::uint16_t>(b));
    const auto hits = [&](std::size_t at) {
        const uint16x8_t block = load_block(text + at);
        return unit_bits(vorrq_u16(vceqq_u16(block, want_a), vceqq_u16(block, want_b)));
    };
    std::size_t end = length;
    for (; end >= 16; end -= 16) {
        const std::uint64_t high = hits(end - 8), low = hits(end - 16);
        if (high | low) return high ? end - 8 + highest_unit(high) : end - 16 + highest_unit(low);
    }
    if (end >= 8) {
        if (const std::uint64_t bits = hits(end - 8)) return end - 8 + highest_unit(bits);
        end -= 8;
    }
    while (end-- > 0)
        if (text[end] == a || text[end] == b) return end;
    return npos;
}

} // namespace

const scanner_set neon{"NEON", neon_length, neon_first, neon_last};

} // namespace velmora::scanners

#endif

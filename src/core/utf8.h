// SPDX-License-Identifier: MIT
// The one conversion between UTF-8 and the library's 16-bit text: the POSIX
// host spells file names with it, and the tool and the tests convert through
// it too. It writes into the caller's room alone and allocates nothing.
//
// Two policies, chosen by the caller:
// - strict: the input must be well formed. In UTF-8 that rules out bytes that
//   begin no sequence, sequences cut short, overlong forms, encoded
//   surrogates, code points above U+10FFFF and NUL; in 16-bit text, lone
//   surrogates and NUL. The conversion stops at the first fault and names it.
//   The tool takes its arguments this way (a NUL would end the library's text
//   early), and the host its file names (a lone surrogate names no file).
// - lenient: every byte that does not begin a well-formed sequence becomes
//   U+FFFD and the conversion goes on at the next byte; every lone surrogate
//   becomes U+FFFD; NUL is kept. The host reads the working directory this
//   way (whatever bytes the system holds, the path still reaches the masks),
//   and the tool prints this way.
#pragma once

#include <cstddef>

#include "core/text.h"

namespace velmora::utf8 {

enum class policy { strict, lenient };

enum class fault {
    none,
    malformed,      // UTF-8 that is not well formed
    nul,            // a NUL, which strict input may not hold
    lone_surrogate, // a surrogate of 16-bit text without its partner
};

// What a conversion made: its whole length in units or bytes (as far as the
// fault where it stopped), of which only the first `room` were written, and
// the fault that stopped it, if any.
struct outcome {
    std::size_t length;
    fault stopped;
};

namespace detail {

inline constexpr char32_t replacement = 0xFFFD;

constexpr bool is_surrogate(char32_t c) { return c >= 0xD800 && c < 0xE000; }
constexpr bool is_high_surrogate(char32_t c) { return c >= 0xD800 && c < 0xDC00; }
constexpr bool is_low_surrogate(char32_t c) { return c >= 0xDC00 && c < 0xE000; }

// The code point of the well-formed sequence at in[at], and its length in
// bytes; a length of 0 means none begins there.
struct decoded {
    char32_t code;
    std::size_t length;
};

constexpr decoded decode_one(const char *in, std::size_t size, std::size_t at)
{
    const auto byte = [in](std::size_t i) { return static_cast<unsigned char>(in[i]); };
    const unsigned lead = byte(at);
    if (lead < 0x80) return {lead, 1};
    const std::size_t trailing = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (trailing == 0 || lead > 0xF4 || size - at <= trailing) return {0, 0};
    char32_t code = lead & (0x3Fu >> trailing);
    for (std::size_t k = 1; k <= trailing; ++k) {
        const unsigned next = byte(at + k);
        if ((next & 0xC0) != 0x80) return {0, 0};
        code = (code << 6) | (next & 0x3Fu);
    }
    constexpr char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    if (code < smallest[trailing] || code > 0x10FFFF || is_surrogate(code)) return {0, 0};
    return {code, trailing + 1};
}

// Writes while the room lasts and counts all the same.
template <class T> struct sink {
    T *out;
    std::size_t room;
    std::size_t length = 0;

    constexpr void put(char32_t value)
    {
        if (length < room) out[length] = static_cast<T>(value);
        ++length;
    }
};

constexpr void put_utf16(sink<unit> &to, char32_t code)
{
    if (code < 0x10000) {
        to.put(code);
    } else {
        to.put(0xD800 + ((code - 0x10000) >> 10));
        to.put(0xDC00 + ((code - 0x10000) & 0x3FF));
    }
}

constexpr void put_utf8(sink<char> &to, char32_t code)
{
    if (code < 0x80) {
        to.put(code);
    } else if (code < 0x800) {
        to.put(0xC0 | (code >> 6));
        to.put(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        to.put(0xE0 | (code >> 12));
        to.put(0x80 | ((code >> 6) & 0x3F));
        to.put(0x80 | (code & 0x3F));
    } else {
        to.put(0xF0 | (code >> 18));
        to.put(0x80 | ((code >> 12) & 0x3F));
        to.put(0x80 | ((code >> 6) & 0x3F));
        to.put(0x80 | (code & 0x3F));
    }
}

} // namespace detail

// UTF-8 (`size` bytes at `in`) to 16-bit text in `out`.
constexpr outcome to_utf16(const char *in, std::size_t size, unit *out, std::size_t room,
                           policy how)
{
    detail::sink<unit> to{out, room};
    for (std::size_t at = 0; at < size;) {
        const detail::decoded one = detail::decode_one(in, size, at);
        if (how == policy::strict) {
            if (one.length == 0) return {to.length, fault::malformed};
            if (one.code == 0) return {to.length, fault::nul};
        }
        detail::put_utf16(to, one.length ? one.code : detail::replacement);
        at += one.length ? one.length : 1;
    }
    return {to.length, fault::none};
}

// 16-bit text (`size` units at `in`) to UTF-8 in `out`.
constexpr outcome to_utf8(const unit *in, std::size_t size, char *out, std::size_t room, policy how)
{
    detail::sink<char> to{out, room};
    for (std::size_t at = 0; at < size; ++at) {
        char32_t code = in[at];
        if (detail::is_high_surrogate(code) && at + 1 < size &&
            detail::is_low_surrogate(in[at + 1])) {
            code = 0x10000 + ((code - 0xD800) << 10) + (in[++at] - 0xDC00u);
        } else if (detail::is_surrogate(code)) {
            if (how == policy::strict) return {to.length, fault::lone_surrogate};
            code = detail::replacement;
        } else if (code == 0 && how == policy::strict) {
            return {to.length, fault::nul};
        }
        detail::put_utf8(to, code);
    }
    return {to.length, fault::none};
}

} // namespace velmora::utf8

// SPDX-License-Identifier: MIT
// Shared helpers for the tests: literals, printing and buffer checks.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#if defined(_WIN32)
#include <windows.h> // the attribute record's layout
#endif
#include "test_text.h"

#define T(s) VELMORA_TEXT(s)

namespace velmora_test {

// ASCII as it is, anything else as \uXXXX, so failures print readably.
inline std::string show(view v)
{
    std::string out;
    for (velmora_char c : v) {
        const auto code = static_cast<unsigned>(c);
        if (code >= 0x20 && code < 0x7F) {
            out += static_cast<char>(code);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", code & 0xFFFFu);
            out += escaped;
        }
    }
    return out;
}

inline std::string show(const velmora_char *p) { return p ? show(view(p)) : "(null)"; }

inline text guarded(std::size_t units) { return text(units, guard); }

// `count` copies of `piece`.
inline text repeat(view piece, std::size_t count)
{
    text out;
    out.reserve(piece.size() * count);
    for (std::size_t i = 0; i < count; ++i)
        out += piece;
    return out;
}

} // namespace velmora_test

namespace velmora_test {

// Which units a successful writer sets to null after its result.
enum class null_fill {
    terminator_only, // the terminator, nothing further
    through_size,    // every unit from the result's end through position size - 1
};

// Runs `write(dst)` on a guarded buffer and checks the outcome: with an
// expected text, result 1, that text, the nulls `fill` says and no other unit
// touched; with none, result 0, `code` stored and the buffer untouched.
template <class Write>
void check_writer(Write write, std::uint32_t size, const velmora_char *expected, null_fill fill,
                  std::int32_t code = err_buffer_small)
{
    // Huge sizes are for writers that fill nothing: the guard only needs to
    // reach past what they write.
    const text before = guarded(std::min<std::size_t>(size, 4096) + 8);
    text buffer = before;
    prime_error_slot();
    const std::int32_t result = write(buffer.data());
    if (!expected) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(get_err_code(), code);
        EXPECT_TRUE(buffer == before) << "a failing writer touched dst";
        return;
    }
    EXPECT_EQ(result, 1);
    EXPECT_EQ(get_err_code(), untouched_code) << "a success stored a code";
    const view want(expected);
    EXPECT_EQ(show(view(buffer.data(), want.size())), show(want));
    std::size_t nulls_end = want.size() + 1;
    if (fill == null_fill::through_size) nulls_end = std::max<std::size_t>(nulls_end, size);
    for (std::size_t i = want.size(); i < nulls_end; ++i)
        EXPECT_EQ(buffer[i], 0) << "expected null at " << i;
    for (std::size_t i = nulls_end; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], guard) << "unit " << i << " touched";
}

} // namespace velmora_test

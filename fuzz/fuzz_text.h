// SPDX-License-Identifier: MIT
// Turns fuzz input into 16-bit texts: mostly units from an alphabet that
// reaches the interesting branches, now and then any unit at all.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>
#include <locale.h>

#include <string>
#include <string_view>

#include "test_text.h"

namespace velmora_fuzz {

using velmora_test::guard;
using velmora_test::prime_error_slot;
using velmora_test::text;
using velmora_test::untouched_code;
using velmora_test::view;

inline bool is_separator(velmora_char c) { return c == '\\' || c == '/'; }

inline bool begins(const text &t, const char *prefix)
{
    for (std::size_t i = 0; prefix[i]; ++i)
        if (i >= t.size() || t[i] != static_cast<velmora_char>(prefix[i])) return false;
    return true;
}

inline text take_text(FuzzedDataProvider &input, view alphabet, std::size_t max_length)
{
    const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, max_length);
    text out;
    while (out.size() < length && input.remaining_bytes() > 0) {
        const auto pick = input.ConsumeIntegral<std::uint8_t>();
        if (pick < 240) {
            out += alphabet[pick % alphabet.size()];
        } else {
            const auto any = input.ConsumeIntegral<std::uint16_t>();
            if (any != 0) out += static_cast<velmora_char>(any);
        }
    }
    return out;
}

// Puts the C locale or C.UTF-8 in force in this thread, as the input picks:
// beyond ASCII only the second folds (é and É, ı and I, ſ and S), and the
// library and the references follow the thread's locale alike. Where the
// system has no C.UTF-8, every run is in C.
inline void pick_locale(FuzzedDataProvider &input)
{
    static const locale_t utf8 = newlocale(LC_ALL_MASK, "C.UTF-8", nullptr);
    const bool folding = input.ConsumeBool() && utf8;
    uselocale(folding ? utf8 : LC_GLOBAL_LOCALE);
}

inline std::size_t count_of(view t, velmora_char c)
{
    std::size_t n = 0;
    for (velmora_char u : t)
        n += u == c;
    return n;
}

} // namespace velmora_fuzz

// SPDX-License-Identifier: MIT
#include <string>

#include "core/utf8.h"
#include "support.h"

namespace velmora_test {
namespace {

using velmora::utf8::fault;
using velmora::utf8::outcome;
using velmora::utf8::policy;

// Bytes as hex pairs, so failures show what the codec made.
std::string hex(std::string_view bytes)
{
    std::string out;
    for (char c : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X ",
                      static_cast<unsigned>(static_cast<unsigned char>(c)));
        out += pair;
    }
    return out;
}

const char *name_of(fault f)
{
    switch (f) {
    case fault::none:
        return "none";
    case fault::malformed:
        return "malformed";
    case fault::nul:
        return "nul";
    case fault::lone_surrogate:
        return "lone_surrogate";
    }
    return "?";
}

// One UTF-8 input and what each policy makes of it: strict stops at its
// fault after the units before it, lenient always reaches the end.
struct from_utf8_row {
    const char *name;
    std::string_view utf8;
    view strict;
    fault strict_fault;
    view lenient;
};

constexpr velmora_char fffd = 0xFFFD;

text units(std::initializer_list<unsigned> list)
{
    text out;
    for (unsigned u : list)
        out += static_cast<velmora_char>(u);
    return out;
}

TEST(Utf8Codec, FromUtf8ByPolicy)
{
    using namespace std::string_view_literals;
    const text pair = units({0xD83D, 0xDE00});
    const text largest = units({0xDBFF, 0xDFFF});
    const text four_fffd = units({fffd, fffd, fffd, fffd});
    const text three_fffd = units({fffd, fffd, fffd});
    const text a_fffd_b = units({'a', fffd, 'b'});
    const text a_fffd_fffd = units({'a', fffd, fffd});
    const text fffd_fffd_a = units({fffd, fffd, 'a'});
    const text a_nul_b = units({'a', 0, 'b'});
    const text two_fffd = units({fffd, fffd});
    const text fffd_nul = units({fffd, 0});
    const from_utf8_row rows[] = {
        {"ascii", "ab"sv, T("ab"), fault::none, T("ab")},
        {"empty", ""sv, T(""), fault::none, T("")},
        {"two bytes, smallest", "\xC2\x80"sv, T("\u0080"), fault::none, T("\u0080")},
        {"two bytes", "\xC3\xB6"sv, T("\u00F6"), fault::none, T("\u00F6")},
        {"three bytes, smallest", "\xE0\xA0\x80"sv, T("\u0800"), fault::none, T("\u0800")},
        {"three bytes", "\xE7\x9B\xAE"sv, T("\u76EE"), fault::none, T("\u76EE")},
        {"three bytes, largest", "\xEF\xBF\xBF"sv, T("\uFFFF"), fault::none, T("\uFFFF")},
        {"four bytes, a surrogate pair", "\xF0\x9F\x98\x80"sv, pair, fault::none, pair},
        {"four bytes, U+10FFFF", "\xF4\x8F\xBF\xBF"sv, largest, fault::none, largest},
        {"above U+10FFFF", "\xF4\x90\x80\x80"sv, T(""), fault::malformed, four_fffd},
        {"overlong two bytes", "\xC0\xAF"sv, T(""), fault::malformed, two_fffd},
        {"overlong three bytes", "\xE0\x80\xAF"sv, T(""), fault::malformed, three_fffd},
        {"overlong four bytes", "\xF0\x8F\xBF\xBF"sv, T(""), fault::malformed, four_fffd},
        {"encoded high surrogate", "\xED\xA0\x80"sv, T(""), fault::malformed, three_fffd},
        {"encoded low surrogate", "\xED\xBF\xBF"sv, T(""), fault::malformed, three_fffd},
        {"lone continuation byte",
         "a\x80"
         "b"sv,
         T("a"), fault::malformed, a_fffd_b},
        {"lead byte F5",
         "a\xF5"
         "b"sv,
         T("a"), fault::malformed, a_fffd_b},
        {"byte FF",
         "a\xFF"
         "b"sv,
         T("a"), fault::malformed, a_fffd_b},
        {"cut short by the end", "a\xE7\x9B"sv, T("a"), fault::malformed, a_fffd_fffd},
        // The bytes beyond the input's end would complete the sequence.
        {"cut short by the size", std::string_view("a\xE7\x9B\xAE", 3), T("a"), fault::malformed,
         a_fffd_fffd},
        {"cut short by ASCII",
         "\xE7\x9B"
         "a"sv,
         T(""), fault::malformed, fffd_fffd_a},
        {"NUL", "a\0b"sv, T("a"), fault::nul, a_nul_b},
        {"NUL after a fault", "\x80\0"sv, T(""), fault::malformed, fffd_nul},
    };
    for (const auto &row : rows) {
        text out(16, guard);
        const outcome strict = velmora::utf8::to_utf16(row.utf8.data(), row.utf8.size(), out.data(),
                                                       out.size(), policy::strict);
        EXPECT_EQ(name_of(strict.stopped), std::string(name_of(row.strict_fault))) << row.name;
        EXPECT_EQ(show(view(out.data(), strict.length)), show(row.strict)) << row.name;

        out.assign(16, guard);
        const outcome lenient = velmora::utf8::to_utf16(row.utf8.data(), row.utf8.size(),
                                                        out.data(), out.size(), policy::lenient);
        EXPECT_EQ(lenient.stopped, fault::none) << row.name;
        EXPECT_EQ(show(view(out.data(), lenient.length)), show(row.lenient)) << row.name;
    }
}

struct to_utf8_row {
    const char *name;
    text utf16;
    std::string_view strict;
    fault strict_fault;
    std::string_view lenient;
};

TEST(Utf8Codec, ToUtf8ByPolicy)
{
    using namespace std::string_view_literals;
    const to_utf8_row rows[] = {
        {"ascii", T("ab"), "ab"sv, fault::none, "ab"sv},
        {"U+007F", units({0x7F}), "\x7F"sv, fault::none, "\x7F"sv},
        {"U+0080", units({0x80}), "\xC2\x80"sv, fault::none, "\xC2\x80"sv},
        {"U+07FF", units({0x7FF}), "\xDF\xBF"sv, fault::none, "\xDF\xBF"sv},
        {"U+0800", units({0x800}), "\xE0\xA0\x80"sv, fault::none, "\xE0\xA0\x80"sv},
        {"U+FFFF", units({0xFFFF}), "\xEF\xBF\xBF"sv, fault::none, "\xEF\xBF\xBF"sv},
        {"a surrogate pair", units({0xD83D, 0xDE00}), "\xF0\x9F\x98\x80"sv, fault::none,
         "\xF0\x9F\x98\x80"sv},
        {"U+10FFFF", units({0xDBFF, 0xDFFF}), "\xF4\x8F\xBF\xBF"sv, fault::none,
         "\xF4\x8F\xBF\xBF"sv},
        {"high surrogate at the end", units({'a', 0xD800}), "a"sv, fault::lone_surrogate,
         "a\xEF\xBF\xBD"sv},
        {"high surrogate before ASCII", units({0xD800, 'b'}), ""sv, fault::lone_surrogate,
         "\xEF\xBF\xBD"
         "b"sv},
        {"two high surrogates", units({0xD800, 0xDBFF, 0xDC00}), ""sv, fault::lone_surrogate,
         "\xEF\xBF\xBD\xF4\x8F\xB0\x80"sv},
        {"lone low surrogate", units({'a', 0xDC00, 'b'}), "a"sv, fault::lone_surrogate,
         "a\xEF\xBF\xBD"
         "b"sv},
        {"low before high", units({0xDC00, 0xD800}), ""sv, fault::lone_surrogate,
         "\xEF\xBF\xBD\xEF\xBF\xBD"sv},
        {"NUL", units({'a', 0, 'b'}), "a"sv, fault::nul, "a\0b"sv},
    };
    for (const auto &row : rows) {
        std::string out(16, '\x5A');
        const outcome strict = velmora::utf8::to_utf8(row.utf16.data(), row.utf16.size(),
                                                      out.data(), out.size(), policy::strict);
        EXPECT_EQ(name_of(strict.stopped), std::string(name_of(row.strict_fault))) << row.name;
        EXPECT_EQ(hex(std::string_view(out.data(), strict.length)), hex(row.strict)) << row.name;

        out.assign(16, '\x5A');
        const outcome lenient = velmora::utf8::to_utf8(row.utf16.data(), row.utf16.size(),
                                                       out.data(), out.size(), policy::lenient);
        EXPECT_EQ(lenient.stopped, fault::none) << row.name;
        EXPECT_EQ(hex(std::string_view(out.data(), lenient.length)), hex(row.lenient)) << row.name;
    }
}

// With too little room a conversion writes what fits, nothing beyond, and
// still reports the length of the whole result, so a caller can size a
// buffer by asking with none.
TEST(Utf8Codec, WritesOnlyItsRoomAndReportsTheWhole)
{
    const std::string_view utf8 = "a\xC3\xB6\xF0\x9F\x98\x80"; // a, U+00F6, one pair
    const text utf16 = units({'a', 0xF6, 0xD83D, 0xDE00});
    for (std::size_t room = 0; room <= utf16.size(); ++room) {
        text out(utf16.size() + 2, guard);
        const outcome made =
            velmora::utf8::to_utf16(utf8.data(), utf8.size(), out.data(), room, policy::strict);
        EXPECT_EQ(made.length, utf16.size()) << "room " << room;
        EXPECT_EQ(show(view(out.data(), room)), show(view(utf16.data(), room))) << "room " << room;
        for (std::size_t i = room; i < out.size(); ++i)
            EXPECT_EQ(out[i], guard) << "room " << room << ": unit " << i << " written";
    }
    for (std::size_t room = 0; room <= utf8.size(); ++room) {
        std::string out(utf8.size() + 2, '\x5A');
        const outcome made =
            velmora::utf8::to_utf8(utf16.data(), utf16.size(), out.data(), room, policy::strict);
        EXPECT_EQ(made.length, utf8.size()) << "room " << room;
        EXPECT_EQ(hex(std::string_view(out.data(), room)), hex(utf8.substr(0, room)))
            << "room " << room;
        for (std::size_t i = room; i < out.size(); ++i)
            EXPECT_EQ(out[i], '\x5A') << "room " << room << ": byte " << i << " written";
    }
}

// Every code point but the surrogates goes to UTF-8 and back unchanged
// under the strict policy, and nothing goes to the replacement.
TEST(Utf8Codec, EveryCodePointGoesThereAndBack)
{
    std::size_t differing = 0;
    for (char32_t code = 1; code <= 0x10FFFF; code = code < 0x10000 ? code + 1 : code + 0x3F) {
        if (code >= 0xD800 && code < 0xE000) continue;
        const text one =
            code < 0x10000
                ? units({static_cast<unsigned>(code)})
                : units({0xD800 + ((code - 0x10000) >> 10), 0xDC00 + ((code - 0x10000) & 0x3FF)});
        char bytes[4];
        const outcome there =
            velmora::utf8::to_utf8(one.data(), one.size(), bytes, sizeof bytes, policy::strict);
        velmora_char back[2];
        const outcome again =
            velmora::utf8::to_utf16(bytes, there.length, back, std::size(back), policy::strict);
        if (there.stopped != fault::none || again.stopped != fault::none ||
            view(back, again.length) != one) {
            if (++differing <= 5) ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(code);
        }
    }
    EXPECT_EQ(differing, 0u);
}

} // namespace
} // namespace velmora_test

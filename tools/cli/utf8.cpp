// SPDX-License-Identifier: MIT
// The one conversion between the tool's UTF-8 and the library's 16-bit units.
#include "utf8.h"

#include <cstddef>

namespace velmora::cli {

decoded from_utf8(std::string_view in, text &out)
{
    static constexpr unsigned char lead_bits[] = {0x7F, 0x1F, 0x0F, 0x07};
    static constexpr char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    out.clear();
    for (std::size_t i = 0; i < in.size();) {
        const auto lead = static_cast<unsigned char>(in[i++]);
        if (lead == 0) return decoded::nul;
        const int trailing = lead < 0x80   ? 0
                             : lead < 0xC2 ? -1
                             : lead < 0xE0 ? 1
                             : lead < 0xF0 ? 2
                             : lead < 0xF5 ? 3
                                           : -1;
        if (trailing < 0 || in.size() - i < std::size_t(trailing)) return decoded::invalid;
        char32_t code = lead & lead_bits[trailing];
        for (int k = 0; k < trailing; ++k) {
            const auto next = static_cast<unsigned char>(in[i++]);
            if ((next & 0xC0) != 0x80) return decoded::invalid;
            code = (code << 6) | (next & 0x3Fu);
        }
        if (code < smallest[trailing] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000))
            return decoded::invalid;
        if (code < 0x10000) {
            out += static_cast<velmora_char>(code);
        } else {
            out += static_cast<velmora_char>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<velmora_char>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    }
    return decoded::ok;
}

std::string to_utf8(text_view in)
{
    std::string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        auto code = static_cast<char32_t>(in[i]);
        const bool high = code >= 0xD800 && code < 0xDC00;
        if (high && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] < 0xE000)
            code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<char32_t>(in[++i]) - 0xDC00);
        else if (code >= 0xD800 && code < 0xE000)
            code = 0xFFFD;
        const auto put = [&](char32_t byte) { out += static_cast<char>(byte); };
        if (code < 0x80) {
            put(code);
        } else if (code < 0x800) {
            put(0xC0 | (code >> 6)), put(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            put(0xE0 | (code >> 12)), put(0x80 | ((code >> 6) & 0x3F)), put(0x80 | (code & 0x3F));
        } else {
            put(0xF0 | (code >> 18)), put(0x80 | ((code >> 12) & 0x3F));
            put(0x80 | ((code >> 6) & 0x3F)), put(0x80 | (code & 0x3F));
        }
    }
    return out;
}

std::string to_utf8(const velmora_char *in) { return to_utf8(text_view(in)); }

} // namespace velmora::cli

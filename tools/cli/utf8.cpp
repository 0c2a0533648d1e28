// SPDX-License-Identifier: MIT
// The tool's side of the library's one codec (core/utf8.h): strict for what
// the tool is given, lenient for what it prints.
#include "utf8.h"

#include "core/utf8.h"

namespace velmora::cli {

decoded from_utf8(std::string_view in, text &out)
{
    namespace utf8 = velmora::utf8;
    out.clear();
    const utf8::outcome measured =
        utf8::to_utf16(in.data(), in.size(), nullptr, 0, utf8::policy::strict);
    if (measured.stopped == utf8::fault::nul) return decoded::nul;
    if (measured.stopped != utf8::fault::none) return decoded::invalid;
    out.resize(measured.length);
    utf8::to_utf16(in.data(), in.size(), out.data(), out.size(), utf8::policy::strict);
    return decoded::ok;
}

std::string to_utf8(text_view in)
{
    namespace utf8 = velmora::utf8;
    std::string out(utf8::to_utf8(in.data(), in.size(), nullptr, 0, utf8::policy::lenient).length,
                    '\0');
    utf8::to_utf8(in.data(), in.size(), out.data(), out.size(), utf8::policy::lenient);
    return out;
}

std::string to_utf8(const velmora_char *in) { return to_utf8(text_view(in)); }

} // namespace velmora::cli

// The host layer on POSIX systems: C runtime calls, and stand-ins for the
// Windows calls that reproduce their answers.
#include <cerrno>
#include <cstdlib>
#include <cwctype>
#include <memory>

#include <langinfo.h>
#include <unistd.h>

#include "host/host.h"

namespace velmora::host {
namespace {

constexpr char32_t replacement_character = 0xFFFD;

struct free_deleter {
    void operator()(char *p) const { std::free(p); }
};

// Decodes one UTF-8 sequence at `text`, advancing it; a malformed sequence
// gives U+FFFD for its first byte.
char32_t decode_utf8(const unsigned char *&text)
{
    const unsigned lead = *text++;
    if (lead < 0x80) return lead;
    int trailing = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (trailing < 0 || lead > 0xF4) return replacement_character;
    char32_t code = lead & (0x3Fu >> trailing);
    const unsigned char *p = text;
    for (int i = 0; i < trailing; ++i, ++p) {
        if ((*p & 0xC0) != 0x80) return replacement_character;
        code = (code << 6) | (*p & 0x3Fu);
    }
    static constexpr char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    if (code < smallest[trailing] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000))
        return replacement_character;
    text = p;
    return code;
}

// Converts UTF-8 to UTF-16, writing only while the room lasts; gives the
// length of the whole conversion.
std::size_t utf8_to_utf16(const char *utf8, unit *out, std::size_t room)
{
    std::size_t length = 0;
    const auto put = [&](char32_t u) {
        if (length < room) out[length] = static_cast<unit>(u);
        ++length;
    };
    for (auto text = reinterpret_cast<const unsigned char *>(utf8); *text;) {
        const char32_t code = decode_utf8(text);
        if (code < 0x10000) {
            put(code);
        } else {
            put(0xD800 + ((code - 0x10000) >> 10));
            put(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    }
    return length;
}

} // namespace

bool is_alpha(unit c) { return std::iswalpha(static_cast<std::wint_t>(c)) != 0; }

std::uint32_t to_upper(unit c)
{
    return static_cast<std::uint32_t>(std::towupper(static_cast<std::wint_t>(c)));
}

// Which upper-case table is in force in the calling thread's locale: a
// pointer into the locale's own data, so it changes whenever the mapping can.
const void *current_upper_case_table()
{
#if defined(__GLIBC__)
    return nl_langinfo(_NL_CTYPE_TOUPPER);
#else
    return reinterpret_cast<const void *>(std::wctrans("toupper"));
#endif
}

void upper_case::take_ascii_table() const
{
    thread_local struct {
        const void *table = nullptr;
        std::uint32_t upper[128];
    } ascii;
    taken_ = true;
    const void *table = current_upper_case_table();
    if (!table) return;
    if (table != ascii.table) {
        for (unit c = 0; c < 128; ++c)
            ascii.upper[c] = to_upper(c);
        ascii.table = table;
    }
    ascii_ = ascii.upper;
}

std::size_t platform_working_directory(unit *out, std::size_t room)
{
    char inline_room[4096];
    const char *directory = getcwd(inline_room, sizeof inline_room);
    std::unique_ptr<char, free_deleter> large;
    if (!directory && errno == ERANGE) {
        large.reset(getcwd(nullptr, 0));
        directory = large.get();
    }
    return directory ? utf8_to_utf16(directory, out, room) : 0;
}

} // namespace velmora::host

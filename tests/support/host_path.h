// SPDX-License-Identifier: MIT
// Paths of the host as the library's 16-bit text and back, and a folder of
// its own for each test. POSIX hosts spell names in UTF-8, so a path goes
// through UTF-16 code point by code point; Windows paths are 16-bit already.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include "support.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace velmora_test {

namespace fs = std::filesystem;

// UTF-8 to UTF-16. The tests only ever hand it names they made or the host
// gave, so a malformed byte is kept as a unit of its own, which a comparison
// then shows.
inline text utf16_of_utf8(std::string_view utf8)
{
    text out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (lead < 0xC0 || i + length > utf8.size()) {
            out += static_cast<velmora_char>(lead);
            ++i;
            continue;
        }
        char32_t code = lead & (0xFFu >> (length + 1));
        for (std::size_t k = 1; k < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        if (code >= 0x10000) {
            out += static_cast<velmora_char>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<velmora_char>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            out += static_cast<velmora_char>(code);
        }
        i += length;
    }
    return out;
}

// UTF-16 to UTF-8; surrogate pairs become one four-byte sequence.
inline std::string utf8_of_utf16(view utf16)
{
    std::string out;
    const auto put = [&out](unsigned value) { out += static_cast<char>(value); };
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t code = utf16[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] < 0xE000)
            code = 0x10000 + ((code - 0xD800) << 10) + (utf16[++i] - 0xDC00u);
        if (code < 0x80) {
            put(code);
        } else if (code < 0x800) {
            put(0xC0 | (code >> 6));
            put(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            put(0xE0 | (code >> 12));
            put(0x80 | ((code >> 6) & 0x3F));
            put(0x80 | (code & 0x3F));
        } else {
            put(0xF0 | (code >> 18));
            put(0x80 | ((code >> 12) & 0x3F));
            put(0x80 | ((code >> 6) & 0x3F));
            put(0x80 | (code & 0x3F));
        }
    }
    return out;
}

// A host path as the library's text.
inline text host_text(const fs::path &path)
{
#if defined(_WIN32)
    return text(path.native().begin(), path.native().end());
#else
    return utf16_of_utf8(path.native());
#endif
}

// The library's text as a host path.
inline fs::path host_path(view path)
{
#if defined(_WIN32)
    return fs::path(std::wstring(path.begin(), path.end()));
#else
    return fs::path(utf8_of_utf16(path));
#endif
}

// A new, empty folder that no other test or run shares, under VELMORA_TEST_TREE
// when the build names one (under Wine a Z: path), else under the temporary
// folder; removed with everything in it at the end of the scope.
class temporary_folder {
  public:
    temporary_folder()
    {
        const char *tree = std::getenv("VELMORA_TEST_TREE");
        const fs::path base = tree ? fs::path(tree) : fs::temp_directory_path();
        fs::create_directories(base);
#if defined(_WIN32)
        std::random_device seed;
        std::mt19937_64 random(seed());
        for (;;) {
            path_ = base / ("velmora-" + std::to_string(random()));
            if (fs::create_directory(path_)) break;
        }
#else
        std::string name = (base / "velmora-XXXXXX").native();
        if (!mkdtemp(name.data()))
            throw fs::filesystem_error("mkdtemp", base,
                                       std::error_code(errno, std::generic_category()));
        path_ = name;
#endif
    }
    ~temporary_folder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    temporary_folder(const temporary_folder &) = delete;
    temporary_folder &operator=(const temporary_folder &) = delete;

    const fs::path &path() const { return path_; }

  private:
    fs::path path_;
};

} // namespace velmora_test

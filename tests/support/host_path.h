// SPDX-License-Identifier: MIT
// Paths of the host as the library's 16-bit text and back, and a folder of
// its own for each test. POSIX hosts spell names in UTF-8, so a path goes
// through the library's codec; Windows paths are 16-bit already.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include "core/utf8.h"
#include "support.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace velmora_test {

namespace fs = std::filesystem;

// UTF-8 to UTF-16 and back as the host converts a working directory: by
// the library's codec, leniently, so that a malformed byte shows as U+FFFD.
inline text utf16_of_utf8(std::string_view utf8)
{
    namespace codec = velmora::utf8;
    text out(codec::to_utf16(utf8.data(), utf8.size(), nullptr, 0, codec::policy::lenient).length,
             velmora_char{});
    codec::to_utf16(utf8.data(), utf8.size(), out.data(), out.size(), codec::policy::lenient);
    return out;
}

inline std::string utf8_of_utf16(view utf16)
{
    namespace codec = velmora::utf8;
    std::string out(
        codec::to_utf8(utf16.data(), utf16.size(), nullptr, 0, codec::policy::lenient).length,
        '\0');
    codec::to_utf8(utf16.data(), utf16.size(), out.data(), out.size(), codec::policy::lenient);
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

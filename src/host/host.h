// SPDX-License-Identifier: MIT
// The one interface between the library and the system it runs on. Each host
// has one implementation file, chosen by the build; nothing above this layer
// knows which host it is.
#pragma once

#include <cstdint>

#include "core/text.h"

namespace velmora::host {

// The C runtime's alphabetic test and upper-case mapping, applied to one
// 16-bit unit in the process's current locale.
bool runtime_is_alpha(unit c);
std::uint32_t to_upper(unit c);

// The alphabetic test. Every locale counts exactly A to Z and a to z as
// alphabetic among the ASCII units (the rest are digits, punctuation, space
// and controls, which no locale may class as letters), so only other units
// need the runtime.
inline bool is_alpha(unit c)
{
    if (c < 128) return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return runtime_is_alpha(c);
}

// Whether two units differ ignoring case in every locale, without asking the
// locale. Two ASCII units do when they are unequal and do not differ in the
// case bit alone, as the two cases of one letter do: among the ASCII units
// only letters have a case (as above), and no locale maps two letters that are
// not one letter's cases onto one unit. An ASCII unit and one beyond ASCII do
// unless the ASCII one is I, i, S or s: no locale upper-cases a unit beyond
// ASCII into ASCII but the dotless i (U+0131) and the long s (U+017F), onto I
// and S, nor an ASCII unit beyond it but i (onto U+0130, in Turkic locales).
// Units that pass may still differ. may_fold_across_ascii names those four.
inline bool may_fold_across_ascii(unit ascii)
{
    const unit folded = ascii | 0x20;
    return folded == 'i' || folded == 's';
}

inline bool differ_in_every_locale(unit a, unit b)
{
    if ((a | b) < 128) return (a | 0x20) != (b | 0x20);
    const unit ascii = a < 128 ? a : b;
    return ascii < 128 && !may_fold_across_ascii(ascii);
}

// The ASCII part of one locale's upper-case mapping, and whether it is the
// plain one (a to z onto A to Z, every other unit onto itself), which lets a
// caller compare ASCII text many units at a time.
struct ascii_fold {
    std::uint32_t upper[128];
    bool plain;
};

// The upper-case mapping of the current locale for the span of one call.
// The host keeps the ASCII part as a table, found at the first unit that needs
// mapping (fold_tables.h) by a key that names the mapping in force, so that
// common units are mapped without a call into the runtime; units beyond ASCII
// always ask the runtime. Where the key changes with the locale (glibc's
// table, msvcrt's locale handle), a locale changed between calls is seen at
// the next call. Where it does not (another C library, whose
// wctrans("toupper") is the same for every locale, as musl's is), the ASCII
// table made in the first locale met stays in force.
class upper_case {
  public:
    std::uint32_t operator()(unit c) const
    {
        if (c >= 128) return to_upper(c);
        const ascii_fold *fold = ascii();
        return fold ? fold->upper[c] : to_upper(c);
    }

    // Whether ASCII units map as in the C locale.
    bool ascii_is_plain() const
    {
        const ascii_fold *fold = ascii();
        return fold && fold->plain;
    }

  private:
    const ascii_fold *ascii() const
    {
        if (!taken_) take_ascii_table();
        return ascii_;
    }
    void take_ascii_table() const;

    mutable const ascii_fold *ascii_ = nullptr;
    mutable bool taken_ = false;
};

// Writes the process's current working directory, as the platform reports it,
// to `out` and gives its length. A result of `room` or more asks for more
// room: that many units and a terminator are enough (`out` then holds nothing
// usable). 0 means it cannot be had.
std::size_t working_directory(unit *out, std::size_t room);

// The platform's own answer, which working_directory() gives in the library.
std::size_t platform_working_directory(unit *out, std::size_t room);

// Windows error numbers, as GetLastError() gives them; other hosts report the
// same numbers in the same situations.
namespace os_error {
inline constexpr std::uint32_t file_not_found = 2;
inline constexpr std::uint32_t path_not_found = 3;
inline constexpr std::uint32_t access_denied = 5;
inline constexpr std::uint32_t invalid_name = 123;
inline constexpr std::uint32_t filename_exced_range = 206;
} // namespace os_error

// Attribute bits of the record, as Windows defines them.
namespace file_attribute {
inline constexpr std::uint32_t readonly = 0x01;
inline constexpr std::uint32_t directory = 0x10;
inline constexpr std::uint32_t normal = 0x80;
} // namespace file_attribute

// Room for the attribute record, laid out as the platform's own, which the
// public header leaves incomplete on Windows (each host checks the layout).
struct attribute_record {
    std::uint32_t dwFileAttributes;
    std::uint32_t times[6];
    std::uint32_t nFileSizeHigh;
    std::uint32_t nFileSizeLow;

    velmora_file_attributes *platform()
    {
        return reinterpret_cast<velmora_file_attributes *>(this);
    }
};

// GetFileAttributesExW at the standard information level: true only when the
// platform reports success. On failure last_error() tells why.
bool get_file_attributes(const unit *path, velmora_file_attributes *record);

// An open file, as open_existing_file() gives it.
struct file_handle {
    std::intptr_t value;
};

// CreateFileW(path, 0, FILE_SHARE_READ, no security, OPEN_EXISTING,
// FILE_ATTRIBUTE_NORMAL, no template): opens an existing file without asking
// for any access; a directory does not open (access denied). On failure
// last_error() tells why.
bool open_existing_file(const unit *path, file_handle &handle);
void close_file(file_handle handle);

// The platform error of the calling thread's last failed call above.
std::uint32_t last_error();

} // namespace velmora::host

// SPDX-License-Identifier: MIT
// The mask comparison as first written: every text copied into a fixed
// working text of 32,767 units, the matcher recursive. Kept to measure the
// library against; inputs must fit the working texts.
#pragma once

#include <cstring>

#include "reference.h"

namespace velmora_literal {

using unit = velmora_char;
constexpr std::size_t long_path_max = 32767;

inline std::size_t length(const unit *t)
{
    std::size_t n = 0;
    while (t[n])
        ++n;
    return n;
}

inline void copy(unit *dst, const unit *src)
{
    std::memcpy(dst, src, (length(src) + 1) * sizeof(unit));
}

inline bool is_separator(unit c) { return c == '\\' || c == '/'; }

inline int wild_match(const unit *pattern, const unit *name)
{
    return velmora_reference::wild_match(pattern, name);
}

inline void mask_full_path(unit *mask, unit *out, const unit *working_directory)
{
    unit result[long_path_max];
    result[0] = 0;
    copy(result, working_directory);
    const std::size_t n = length(mask);
    if ((n > 1 && mask[1] == ':') || (n > 5 && mask[5] == ':')) {
        copy(out, mask);
        return;
    }
    for (;;) {
        if (mask[0] == '.' && mask[1] == '.' && is_separator(mask[2])) {
            unit *last = nullptr;
            for (unit *p = result; *p; ++p)
                if (*p == '\\') last = p;
            if (last && last != result) *last = 0;
            std::memmove(mask, mask + 3, (length(mask + 3) + 1) * sizeof(unit));
        } else if (mask[0] == '.' && is_separator(mask[1])) {
            std::memmove(mask, mask + 2, (length(mask + 2) + 1) * sizeof(unit));
        } else {
            break;
        }
    }
    std::size_t end = length(result);
    if (end > 0 && !is_separator(result[end - 1])) result[end++] = '\\';
    copy(result + end, mask);
    copy(out, result);
}

inline int mask_cmp_name(const unit *path, const unit *mask)
{
    unit buf[long_path_max];
    buf[0] = 0;
    copy(buf, path);
    const unit *name = buf;
    for (const unit *p = buf; *p; ++p)
        if (*p == '\\') name = p + 1;
    return wild_match(mask, name);
}

// The next component at *cursor, zero-terminated in place; null when none.
inline unit *next_component(unit *&cursor)
{
    while (*cursor && is_separator(*cursor))
        ++cursor;
    if (!*cursor) return nullptr;
    unit *start = cursor;
    while (*cursor && !is_separator(*cursor))
        ++cursor;
    if (*cursor) *cursor++ = 0;
    return start;
}

inline int mask_cmp_parts(const unit *path, const unit *mask)
{
    unit buf_p[long_path_max];
    buf_p[0] = 0;
    unit buf_m[long_path_max];
    buf_m[0] = 0;
    if (length(path) >= 3) copy(buf_p, path + 3);
    if (length(mask) >= 3) copy(buf_m, mask + 3);
    unit *p = buf_p;
    unit *m = buf_m;
    int result = 1;
    for (;;) {
        unit *mask_part = next_component(m);
        unit *path_part = next_component(p);
        if (mask_part && path_part) result &= wild_match(mask_part, path_part);
        if (!mask_part) return result;
        if (!path_part) return 0;
    }
}

inline int path_mask_cmp(const unit *path, const unit *mask, const unit *working_directory)
{
    unit mask1[long_path_max];
    mask1[0] = 0;
    unit model[long_path_max];
    model[0] = 0;
    copy(mask1, mask);
    bool has_separator = false;
    for (const unit *p = mask1; *p; ++p)
        has_separator |= is_separator(*p);
    if (!has_separator) {
        copy(model, mask1);
        return mask_cmp_name(path, model);
    }
    mask_full_path(mask1, model, working_directory);
    return mask_cmp_parts(path, model);
}

} // namespace velmora_literal

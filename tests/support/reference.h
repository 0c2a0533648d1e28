// SPDX-License-Identifier: MIT
// The matcher and the mask comparison written literally, step by step, with
// the recursion and the copied working texts (grown as needed instead of
// fixed, so long inputs have an answer too). The library must answer as these
// do.
#pragma once

#include <string>
#include <vector>

#include "host/host.h"
#include "velmora.h"

namespace velmora_reference {

using unit = velmora_char;
using text = std::basic_string<unit>;

inline bool same(unit a, unit b)
{
    return velmora::host::to_upper(a) == velmora::host::to_upper(b);
}

inline int wild_match(const unit *pattern, const unit *name)
{
    for (;;) {
        if (!*pattern && !*name) return 1;
        if (*pattern == '*') {
            ++pattern;
            if (!*pattern) return 1;
            for (; *name; ++name)
                if (same(*name, *pattern) && wild_match(pattern, name)) return 1;
            return 0;
        }
        if (*pattern == '?') {
            if (!*name) return 0;
        } else if (!same(*pattern, *name)) {
            return 0;
        }
        ++pattern;
        ++name;
    }
}

inline bool begins_with(const text &t, const unit *prefix) { return t.rfind(prefix, 0) == 0; }

inline bool is_separator(unit c) { return c == '\\' || c == '/'; }

inline text mask_full_path(text mask, text result)
{
    if ((mask.size() > 1 && mask[1] == ':') || (mask.size() > 5 && mask[5] == ':')) return mask;
    for (;;) {
        if (begins_with(mask, VELMORA_TEXT("..\\")) || begins_with(mask, VELMORA_TEXT("../"))) {
            const std::size_t cut = result.rfind(unit{'\\'});
            if (cut != text::npos && cut != 0) result.resize(cut);
            mask.erase(0, 3);
        } else if (begins_with(mask, VELMORA_TEXT(".\\")) ||
                   begins_with(mask, VELMORA_TEXT("./"))) {
            mask.erase(0, 2);
        } else {
            break;
        }
    }
    if (!result.empty() && !is_separator(result.back())) result += unit{'\\'};
    return result + mask;
}

inline int mask_cmp_name(const text &path, const text &mask)
{
    text buf = path;
    const std::size_t last = buf.rfind(unit{'\\'});
    if (last != text::npos) buf.erase(0, last + 1);
    return wild_match(mask.c_str(), buf.c_str());
}

inline std::vector<text> split(const text &t)
{
    std::vector<text> parts;
    text part;
    for (unit c : t) {
        if (is_separator(c)) {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

inline int mask_cmp_parts(const text &path, const text &mask)
{
    const std::vector<text> buf_p = split(path.size() >= 3 ? path.substr(3) : text());
    const std::vector<text> buf_m = split(mask.size() >= 3 ? mask.substr(3) : text());
    int result = 1;
    for (std::size_t i = 0;; ++i) {
        const bool have_mask = i < buf_m.size();
        const bool have_path = i < buf_p.size();
        if (have_mask && have_path) result &= wild_match(buf_m[i].c_str(), buf_p[i].c_str());
        if (!have_mask) return result;
        if (!have_path) return 0;
    }
}

// The whole comparison with `working_directory` as the platform's answer.
inline int path_mask_cmp(const text &path, const text &mask, const text &working_directory)
{
    if (mask.find_first_of(VELMORA_TEXT("\\/")) == text::npos) return mask_cmp_name(path, mask);
    return mask_cmp_parts(path, mask_full_path(mask, working_directory));
}

} // namespace velmora_reference

// SPDX-License-Identifier: MIT
// The long-path and UNC prefixes, shared by the prefix writers and the
// component getters.
#pragma once

#include "core/text.h"

namespace velmora {

inline constexpr text_view long_path_prefix = VELMORA_TEXT("\\\\?\\");
inline constexpr text_view long_unc_prefix = VELMORA_TEXT("\\\\?\\UNC\\");
inline constexpr text_view bare_unc_prefix = VELMORA_TEXT("UNC\\");
inline constexpr text_view network_prefix = VELMORA_TEXT("\\\\");

// The tests behind has_NTFS_path_prefix and is_UNC_path, inline so that the
// getters take them without a call through the exports.
inline bool has_long_path_prefix(const unit *path) { return begins_with(path, long_path_prefix); }

// "\\?\UNC\" begins with "\\" too, so two tests cover all three prefixes. Most
// paths begin with neither prefix's first unit: they fall through both tests
// without a taken branch.
inline bool has_unc_prefix(const unit *path)
{
    if (!path) return false;
    if (__builtin_expect(path[0] == network_prefix[0], 0)) return begins_with(path, network_prefix);
    if (__builtin_expect(path[0] == bare_unc_prefix[0], 0))
        return begins_with(path, bare_unc_prefix);
    return false;
}

// How many leading units rem_UNC_path_prefix drops from `path`: the first of
// "\\?\UNC\", "UNC\" and "\\" that it begins with, except that a long-path
// text which is not a UNC one keeps everything.
inline std::size_t unc_prefix_length(const unit *path)
{
    if (begins_with(path, long_unc_prefix)) return long_unc_prefix.size();
    if (begins_with(path, bare_unc_prefix)) return bare_unc_prefix.size();
    if (begins_with(path, network_prefix) && !has_long_path_prefix(path))
        return network_prefix.size();
    return 0;
}

} // namespace velmora

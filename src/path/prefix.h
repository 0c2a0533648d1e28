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

// How many leading units rem_UNC_path_prefix drops from `path`: the first of
// "\\?\UNC\", "UNC\" and "\\" that it begins with, except that a long-path
// text which is not a UNC one keeps everything.
std::size_t unc_prefix_length(const unit *path);

} // namespace velmora

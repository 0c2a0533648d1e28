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

// The test behind has_NTFS_path_prefix, inline so that get_path_part takes it
// without a call through the export.
inline bool has_long_path_prefix(const unit *path) { return begins_with(path, long_path_prefix); }

} // namespace velmora

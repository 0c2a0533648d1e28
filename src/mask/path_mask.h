// SPDX-License-Identifier: MIT
// Comparing whole paths with masks, on views of the caller's texts.
#pragma once

#include <array>

#include "core/text.h"
#include "host/host.h"
#include "mask/wild_match.h"

namespace velmora {

// A mask completed from the working directory, kept as three pieces rather
// than copied into one text: what is left of the directory, a backslash when
// it needs one, and the rest of the mask. No component spans two pieces.
struct full_mask {
    text_view directory;
    text_view separator;
    text_view rest;

    std::array<text_view, 3> pieces() const { return {directory, separator, rest}; }
};

// Whether the mask names a drive itself: a colon as its second unit (C:\...)
// or its sixth (\\?\C:\...). Such masks are used unchanged.
bool is_drive_mask(text_view mask);

// Completes `mask` from `working_directory`: leading "..\" (or "../") cut the
// directory at its last backslash unless that is its first unit, leading ".\"
// (or "./") go, and the rest follows the directory, after a backslash unless
// the directory is empty or ends with a separator.
full_mask mask_full_path(text_view mask, text_view working_directory);

// Whether `path` matches `mask` component by component, after dropping the
// first three units of each. A path deeper than the mask matches when its
// leading components do; a shallower one does not.
bool mask_cmp_parts(text_view path, const full_mask &mask, const host::upper_case &upper = {});

} // namespace velmora

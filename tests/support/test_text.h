// SPDX-License-Identifier: MIT
// What the tests and the fuzz targets share without GoogleTest: their text
// types, the guard unit and the error code that no export stores.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/error.h"
#include "velmora.h"

namespace velmora_test {

using text = std::basic_string<velmora_char>;
using view = std::basic_string_view<velmora_char>;

// A unit that no writer produces, to see which units a call touched.
inline constexpr velmora_char guard = static_cast<velmora_char>(0xA5A5);

// A code no export stores, put in the error slot so a test sees whether a call
// stored one.
inline constexpr std::int32_t untouched_code = -7;

inline void prime_error_slot() { velmora::set_err_code(untouched_code); }

} // namespace velmora_test

// The one interface between the library and the system it runs on. Each host
// has one implementation file, chosen by the build; nothing above this layer
// knows which host it is.
#pragma once

#include <cstdint>

#include "core/text.h"

namespace velmora::host {

// The C runtime's alphabetic test and upper-case mapping, applied to one
// 16-bit unit in the process's current locale.
bool is_alpha(unit c);
std::uint32_t to_upper(unit c);

} // namespace velmora::host

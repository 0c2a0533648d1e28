// SPDX-License-Identifier: MIT
// The process-wide error slot shared by every export.
#pragma once

#include <cstdint>

namespace velmora {

// Stores `code` as the last error. An operation calls it at most once, just
// before it returns: on a failure, and on the one answer that carries a code
// although it succeeds (file_exist's "does not exist").
void set_err_code(std::int32_t code);

// Stores `code` and gives the 0 that a failing export returns.
inline std::int32_t fail(std::int32_t code)
{
    set_err_code(code);
    return 0;
}

} // namespace velmora

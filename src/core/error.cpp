// SPDX-License-Identifier: MIT
#include "core/error.h"

#include <atomic>
#include <iterator>

#include "core/text.h"

namespace velmora {
namespace {

// One value for the whole process, not per thread: concurrent failures
// overwrite one another, so relaxed single accesses are all that is promised.
std::atomic<std::int32_t> last_error{err_none};

#define VELMORA_ERROR_TEXT(name, code, text) VELMORA_TEXT(text),
constexpr const unit *error_texts[] = {VELMORA_ERROR_MAP(VELMORA_ERROR_TEXT)};
#undef VELMORA_ERROR_TEXT

// The lookup goes by position, so each code must stand at its own.
#define VELMORA_ERROR_CODE(name, code, text) code,
constexpr int error_codes[] = {VELMORA_ERROR_MAP(VELMORA_ERROR_CODE)};
#undef VELMORA_ERROR_CODE

constexpr bool codes_are_positions()
{
    for (int i = 0; i < static_cast<int>(std::size(error_codes)); ++i)
        if (error_codes[i] != i) return false;
    return std::size(error_codes) == velmora_error_count;
}
static_assert(codes_are_positions(), "VELMORA_ERROR_MAP must number its codes 0, 1, 2, ...");

} // namespace

void set_err_code(std::int32_t code) { last_error.store(code, std::memory_order_relaxed); }

} // namespace velmora

using namespace velmora;

extern "C" {

int32_t get_err_code(void) { return last_error.load(std::memory_order_relaxed); }

const velmora_char *get_error_text(int32_t code)
{
    constexpr auto rows = static_cast<int32_t>(std::size(error_texts));
    return code >= 0 && code < rows ? error_texts[code] : nullptr;
}

} // extern "C"

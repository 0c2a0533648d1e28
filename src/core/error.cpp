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

constexpr const unit *error_texts[] = {
    VELMORA_TEXT("No error"),
    VELMORA_TEXT("The string is not conformed path"),
    VELMORA_TEXT("Buffer is too small"),
    VELMORA_TEXT("The error code is undefined"),
    VELMORA_TEXT("File not found"),
};

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

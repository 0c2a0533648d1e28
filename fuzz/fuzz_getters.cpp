// SPDX-License-Identifier: MIT
// The pointer getters and the text tests: every pointer lies inside the
// caller's string, exactly where a plain model of each getter puts it.
#include "core/error.h"
#include "fuzz_text.h"
#include "host/host.h"

namespace {

using namespace velmora_fuzz;

constexpr std::size_t none = text::npos;

std::size_t drive_part(const text &t)
{
    const std::size_t colon = t.find(velmora_char{':'});
    if (colon == none || colon == 0) return none;
    return velmora::host::is_alpha(t[colon - 1]) ? colon - 1 : none;
}

std::size_t file_part(const text &t)
{
    for (std::size_t i = t.size(); i-- > 0;)
        if (is_separator(t[i])) return i + 1;
    return none;
}

std::size_t path_part(const text &t)
{
    std::size_t stripped;
    if (begins(t, "\\\\?\\"))
        stripped = 4;
    else if (begins(t, "UNC\\"))
        stripped = 4;
    else if (begins(t, "\\\\"))
        stripped = 2;
    else
        return none;
    if (t.size() > 32767) return none;
    for (std::size_t i = stripped; i < t.size(); ++i)
        if (is_separator(t[i])) return i + 1;
    return none;
}

// Where `p` points into `t`, trapping when it points anywhere else.
std::size_t position(const text &t, const velmora_char *p)
{
    if (!p) return none;
    if (p < t.c_str() || p > t.c_str() + t.size()) __builtin_trap();
    return static_cast<std::size_t>(p - t.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const text path = take_text(input, VELMORA_TEXT("\\/?:UNCa1."), 40000);
    const velmora_char *p = path.c_str();

    prime_error_slot();
    if (position(path, get_drive_part(p)) != drive_part(path)) __builtin_trap();
    if (is_absolute(p) != (drive_part(path) != none ? 1 : 0)) __builtin_trap();
    if (position(path, get_file_part(p)) != file_part(path)) __builtin_trap();
    if (has_NTFS_path_prefix(p) != (begins(path, "\\\\?\\") ? 1 : 0)) __builtin_trap();
    const bool unc = begins(path, "\\\\") || begins(path, "\\\\?\\UNC\\") || begins(path, "UNC\\");
    if (is_UNC_path(p) != (unc ? 1 : 0)) __builtin_trap();
    if (is_mask(p) != (path.find_first_of(VELMORA_TEXT("*?")) != none ? 1 : 0)) __builtin_trap();
    if (get_err_code() != untouched_code) __builtin_trap();

    // Only a prefixed path too long to strip stores a code.
    const bool too_long = (unc || begins(path, "\\\\?\\")) && path.size() > 32767;
    if (position(path, get_path_part(p)) != path_part(path)) __builtin_trap();
    if (get_err_code() != (too_long ? err_buffer_small : untouched_code)) __builtin_trap();
    return 0;
}

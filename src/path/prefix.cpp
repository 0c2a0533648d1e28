// SPDX-License-Identifier: MIT
#include "path/prefix.h"

#include <algorithm>

#include "core/error.h"
#include "scan/scan.h"

namespace velmora {
namespace {

using traits = std::char_traits<unit>;

// Writes `result` to the start of dst, then nulls from its end through
// position size - 1 (at least the terminator). In the in-place form the result
// lies further along the same buffer, so a forward move is safe.
void bounded_copy(text_view result, unit *dst, std::uint32_t size)
{
    traits::move(dst, result.data(), result.size());
    const std::size_t fill_end = std::max<std::size_t>(size, result.size() + 1);
    std::fill(dst + result.size(), dst + fill_end, unit{0});
}

// How many leading units rem_UNC_path_prefix drops from `path`: the first of
// "\\?\UNC\", "UNC\" and "\\" that it begins with, except that a long-path
// text which is not a UNC one keeps everything.
std::size_t unc_prefix_length(const unit *path)
{
    if (begins_with(path, long_unc_prefix)) return long_unc_prefix.size();
    if (begins_with(path, bare_unc_prefix)) return bare_unc_prefix.size();
    if (begins_with(path, network_prefix) && !has_long_path_prefix(path))
        return network_prefix.size();
    return 0;
}

} // namespace

} // namespace velmora

using namespace velmora;

extern "C" {

int32_t has_NTFS_path_prefix(const velmora_char *path) { return has_long_path_prefix(path); }

int32_t is_UNC_path(const velmora_char *path)
{
    // "\\?\UNC\" begins with "\\" too, so two tests cover all three prefixes.
    // Most paths begin with neither prefix's first unit: they fall through
    // both tests without a taken branch.
    if (!path) return 0;
    if (__builtin_expect(path[0] == network_prefix[0], 0)) return begins_with(path, network_prefix);
    if (__builtin_expect(path[0] == bare_unc_prefix[0], 0))
        return begins_with(path, bare_unc_prefix);
    return 0;
}

int32_t rem_NTFS_path_prefix(const velmora_char *path, velmora_char *dst, uint32_t size)
{
    if (!path || !dst) return fail(err_not_path);
    const text_view text = view_of(path);
    if (text.size() > size) return fail(err_buffer_small);
    const std::size_t skip = has_long_path_prefix(path) ? long_path_prefix.size() : 0;
    bounded_copy(without_first(text, skip), dst, size);
    return 1;
}

int32_t rem_UNC_path_prefix(const velmora_char *path, velmora_char *dst, uint32_t size)
{
    if (!path || !dst) return fail(err_not_path);
    const text_view text = view_of(path);
    // The whole input counts, although the result may be shorter.
    if (text.size() > size) return fail(err_buffer_small);
    bounded_copy(without_first(text, unc_prefix_length(path)), dst, size);
    return 1;
}

int32_t add_NTFS_path_prefix(const velmora_char *path, velmora_char *dst, uint32_t size)
{
    if (!path || !dst) return fail(err_not_path);
    const text_view text = view_of(path);
    // The prefix counts even when the path already has it.
    if (exceeds(text.size(), long_path_prefix.size(), size)) return fail(err_buffer_small);
    if (has_long_path_prefix(path)) {
        bounded_copy(text, dst, size);
        return 1;
    }
    // Moving the text first makes the in-place form work for any length.
    traits::move(dst + long_path_prefix.size(), text.data(), text.size());
    traits::copy(dst, long_path_prefix.data(), long_path_prefix.size());
    dst[long_path_prefix.size() + text.size()] = 0;
    return 1;
}

} // extern "C"

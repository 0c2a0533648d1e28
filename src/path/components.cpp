// SPDX-License-Identifier: MIT
#include "core/error.h"
#include "host/host.h"
#include "path/prefix.h"
#include "scan/scan.h"
#include "scan/scan_avx512.h"

namespace velmora {
namespace {

using traits = std::char_traits<unit>;

// How many leading units get_path_part strips before looking for the first
// component, or npos when the path has no long-path or UNC prefix: the
// long-path prefix, else what rem_UNC_path_prefix would strip ("\\?\UNC\"
// begins with the long-path prefix, so "UNC\" or "\\" is left).
std::size_t stripped_prefix_length(const unit *path)
{
    if (has_long_path_prefix(path)) return long_path_prefix.size();
    if (begins_with(path, bare_unc_prefix)) return bare_unc_prefix.size();
    if (begins_with(path, network_prefix)) return network_prefix.size();
    return npos;
}

// The place of a path's last separator, where path_pop cuts it and the file
// part follows it, or npos.
inline std::size_t last_separator(const unit *path)
{
    return measure_with_last(path, backslash, slash).last;
}
VELMORA_AVX512_INLINE std::size_t last_separator_avx512(const unit *path)
{
    return avx512::measure_with_last(path, backslash, slash).last;
}

inline const unit *file_part_after(const unit *path, std::size_t separator)
{
    return separator == npos ? nullptr : path + separator + 1;
}

inline std::int32_t pop_at(unit *path, std::size_t kept)
{
    if (kept == npos) return fail(err_not_path);
    path[kept] = 0;
    return 1;
}

// path_pop into another buffer: whether a cut at `kept` can be written into a
// buffer of `size` units and a terminator, storing the failure's code if not.
inline bool pop_fits(std::size_t kept, std::uint32_t size)
{
    if (kept == npos) return fail(err_not_path);
    if (kept > size) return fail(err_buffer_small);
    return true;
}

// The exports' bodies in two forms each; path_pop into another buffer out of
// line in both, so that popping in place, the common use, keeps only the path
// across the scan.
VELMORA_OTHER_FORM const unit *file_part(const unit *path)
{
    return file_part_after(path, last_separator(path));
}
VELMORA_AVX512_FORM const unit *file_part_avx512(const unit *path)
{
    return file_part_after(path, last_separator_avx512(path));
}
// get_path_part past the prefix: stripping goes through a text of
// long_path_max units, which a longer path does not fit, and that is the
// prefix removal's size failure.
inline const unit *part_after(const unit *path, std::size_t stripped, std::size_t length,
                              std::size_t separator)
{
    if (length > long_path_max) {
        set_err_code(err_buffer_small);
        return nullptr;
    }
    return separator == npos ? nullptr : path + stripped + separator + 1;
}
VELMORA_OTHER_FORM const unit *path_part(const unit *path, std::size_t stripped)
{
    return part_after(path, stripped, length_of(path), first_of(path + stripped, backslash, slash));
}
VELMORA_AVX512_FORM const unit *path_part_avx512(const unit *path, std::size_t stripped)
{
    return part_after(path, stripped, avx512::length_of(path),
                      avx512::first_of(path + stripped, backslash, slash));
}
VELMORA_OTHER_FORM std::int32_t pop_in_place(unit *path)
{
    if (!path) return fail(err_not_path);
    return pop_at(path, last_separator(path));
}
VELMORA_AVX512_FORM std::int32_t pop_in_place_avx512(unit *path)
{
    if (!path) return fail(err_not_path);
    return pop_at(path, last_separator_avx512(path));
}
__attribute__((noinline)) std::int32_t pop_into(const unit *path, unit *dst, std::uint32_t size)
{
    if (!path || !dst) return fail(err_not_path);
    const std::size_t kept = last_separator(path);
    if (!pop_fits(kept, size)) return 0;
    copy_terminated(dst, path, kept);
    return 1;
}
VELMORA_AVX512_FORM std::int32_t pop_into_avx512(const unit *path, unit *dst, std::uint32_t size)
{
    if (!path || !dst) return fail(err_not_path);
    const std::size_t kept = last_separator_avx512(path);
    if (!pop_fits(kept, size)) return 0;
    avx512::copy_terminated(dst, path, kept);
    return 1;
}
// Chosen out of line, so that popping in place keeps no frame for the size.
__attribute__((noinline)) std::int32_t pop_into_chosen(const unit *path, unit *dst,
                                                       std::uint32_t size)
{
    return avx512_forms() ? pop_into_avx512(path, dst, size) : pop_into(path, dst, size);
}

} // namespace
} // namespace velmora

using namespace velmora;

extern "C" {

const velmora_char *get_drive_part(const velmora_char *path)
{
    if (!path) return nullptr;
    // Only the first colon counts, and any alphabetic unit before it qualifies.
    const std::size_t colon = first_of(path, unit{':'}, unit{':'});
    if (colon == npos || colon == 0) return nullptr;
    return host::is_alpha(path[colon - 1]) ? path + colon - 1 : nullptr;
}

int32_t is_absolute(const velmora_char *path) { return get_drive_part(path) ? 1 : 0; }

const velmora_char *get_file_part(const velmora_char *path)
{
    if (!path) return nullptr;
    return avx512_forms() ? file_part_avx512(path) : file_part(path);
}

const velmora_char *get_path_part(const velmora_char *path)
{
    const std::size_t stripped = stripped_prefix_length(path);
    if (stripped == npos) return nullptr;
    return avx512_forms() ? path_part_avx512(path, stripped) : path_part(path, stripped);
}

int32_t path_pop(const velmora_char *path, velmora_char *dst, uint32_t size)
{
    // Popping in place, the common use, is the straight path.
    if (__builtin_expect(dst == path, 1))
        return avx512_forms() ? pop_in_place_avx512(dst) : pop_in_place(dst);
    return pop_into_chosen(path, dst, size);
}

int32_t path_push(const velmora_char *base, const velmora_char *name, velmora_char *dst,
                  uint32_t size)
{
    if (!base || !name || !dst) return fail(err_not_path);
    const text_view head = view_of(base);
    const text_view tail = view_of(name);
    // Room for one separator and the terminator, even when no separator is added.
    if (exceeds(head.size(), tail.size() + 2, size)) return fail(err_buffer_small);
    if (dst != base) traits::copy(dst, head.data(), head.size());
    std::size_t end = head.size();
    if (!head.empty() && !is_separator(head.back())) dst[end++] = backslash;
    traits::move(dst + end, tail.data(), tail.size());
    dst[end + tail.size()] = 0;
    return 1;
}

} // extern "C"

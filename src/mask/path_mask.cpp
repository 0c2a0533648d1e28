// SPDX-License-Identifier: MIT
#include "mask/path_mask.h"

#include <cstdlib>
#include <memory>

#include "mask/wild_match.h"
#include "scan/scan.h"
#include "scan/scan_avx512.h"

namespace velmora {
namespace {

// The first three units of both texts are dropped unseen: the root of a drive
// path ("C:\"), so drive letters are never compared.
constexpr std::size_t unseen_units = 3;

constexpr text_view backslash_text = VELMORA_TEXT("\\");

// Non-empty components of a text held in pieces, split at backslashes and
// slashes; the pieces are cut so that no component spans two of them.
class component_walker {
  public:
    component_walker(std::array<text_view, 3> pieces, std::size_t skip) : pieces_(pieces)
    {
        for (text_view &piece : pieces_) {
            const std::size_t dropped = std::min(skip, piece.size());
            piece.remove_prefix(dropped);
            skip -= dropped;
        }
    }

    bool next(text_view &component)
    {
        for (; current_ < pieces_.size(); ++current_) {
            text_view &piece = pieces_[current_];
            std::size_t start = 0;
            while (start < piece.size() && is_separator(piece[start]))
                ++start;
            if (start == piece.size()) continue;
            std::size_t end = start;
            while (end < piece.size() && !is_separator(piece[end]))
                ++end;
            component = text_view(piece.data() + start, end - start);
            piece.remove_prefix(end);
            return true;
        }
        return false;
    }

  private:
    std::array<text_view, 3> pieces_;
    std::size_t current_ = 0;
};

// The working directory as the host reports it. Real directories fit the
// inline room; a longer one costs an allocation for the call (and the POSIX
// host's own for one past its room), and one that cannot be had reads as
// empty.
class working_directory {
  public:
    working_directory()
    {
        const std::size_t length = host::working_directory(inline_, std::size(inline_));
        if (length < std::size(inline_)) {
            text_ = text_view(inline_, length);
            return;
        }
        large_.reset(static_cast<unit *>(std::malloc((length + 1) * sizeof(unit))));
        if (!large_) return;
        const std::size_t again = host::working_directory(large_.get(), length + 1);
        if (again <= length) text_ = text_view(large_.get(), again);
    }

    text_view text() const { return text_; }

  private:
    // The C runtime's allocator: the library carries no C++ runtime.
    struct free_units {
        void operator()(unit *p) const { std::free(p); }
    };

    unit inline_[1024];
    std::unique_ptr<unit, free_units> large_;
    text_view text_;
};

// The comparison of whole paths, out of line so that the common name mask
// pays neither its frame (the working directory's room) nor its set-up.
__attribute__((noinline)) std::int32_t mask_cmp_whole_path(const unit *path, text_view mask)
{
    const host::upper_case upper;
    const text_view path_text = view_of(path);
    if (is_drive_mask(mask)) return mask_cmp_parts(path_text, {{}, {}, mask}, upper);
    const working_directory directory;
    return mask_cmp_parts(path_text, mask_full_path(mask, directory.text()), upper);
}

bool begins_with_either(text_view text, text_view a, text_view b)
{
    return begins_with(text, a) || begins_with(text, b);
}

} // namespace

bool is_drive_mask(text_view mask)
{
    const unit colon{':'};
    return (mask.size() > 1 && mask[1] == colon) || (mask.size() > 5 && mask[5] == colon);
}

full_mask mask_full_path(text_view mask, text_view working_directory)
{
    if (is_drive_mask(mask)) return {{}, {}, mask};
    text_view directory = working_directory;
    // Once the directory cannot be cut, no later "..\" cuts it either.
    bool can_cut = true;
    for (;;) {
        if (begins_with_either(mask, VELMORA_TEXT("..\\"), VELMORA_TEXT("../"))) {
            if (can_cut) {
                const std::size_t cut = directory.rfind(backslash);
                can_cut = cut != npos && cut != 0;
                if (can_cut) directory = text_view(directory.data(), cut);
            }
            mask.remove_prefix(3);
        } else if (begins_with_either(mask, VELMORA_TEXT(".\\"), VELMORA_TEXT("./"))) {
            mask.remove_prefix(2);
        } else {
            break;
        }
    }
    // A directory that cannot be had leaves the mask on its own.
    const bool needs_separator = !directory.empty() && !is_separator(directory.back());
    return {directory, needs_separator ? backslash_text : text_view(), mask};
}

namespace {

// A name mask is compared in two parts: what turns most names down, inline in
// the export for a path and a mask that end within their first step, and the
// rest out of line, each part reached by a tail call. So the export keeps no
// frame for the names it turns down itself. The parts take a mask whole, and
// its stars' places for its shape; they return the export's result.

// Only backslashes end a directory here: slashes stay in the name compared.
inline text_view name_after(text_view path, std::size_t last_backslash)
{
    return without_first(path, last_backslash == npos ? 0 : last_backslash + 1);
}

inline pattern_shape name_mask_shape(text_view mask, std::size_t first_star, std::size_t last_star)
{
    return {mask.size(), first_star, last_star, false};
}

// Without a star the name is the path's last units, as many as the mask's: the
// unit before them must be a backslash, if there is one, and none of them may
// be one ('?' would take it).
__attribute__((noinline)) std::int32_t starless_name_rest(text_view mask, text_view name)
{
    return same_units(mask.data(), name.data(), mask.size(), {}) &&
           last_of(name, backslash) == npos;
}

inline std::int32_t starless_name_matches(text_view path, text_view mask)
{
    // One branch for both tests, as names' lengths vary: the unit read when
    // the name is the whole path, or the path too short, is the terminator.
    const std::size_t size = path.size(), count = mask.size();
    const std::size_t before = size > count ? size - count - 1 : size;
    if (!((size == count) | (path.data()[before] == backslash))) return 0;
    const text_view name = without_first(path, size - count);
    // Names mostly differ in their last unit, the extension's, which turns
    // them down without the locale's mapping.
    if (count != 0 && turns_down(mask.back(), name.back())) return 0;
    return starless_name_rest(mask, name);
}

// A mask that begins with a star: most paths are turned down from their end
// alone, before the search for where their name begins.
__attribute__((noinline)) std::int32_t name_from_star_rest(text_view path, text_view mask,
                                                           std::size_t last_star)
{
    const host::upper_case upper;
    const pattern_shape shape = name_mask_shape(mask, 0, last_star);
    if (!may_end_match(mask, shape, path, upper)) return 0;
    const text_view name = name_after(path, last_of(path, backslash));
    // With that star alone, the units after it end the path, as they must end
    // the name: they do when the name is long enough to hold them.
    if (last_star == 0) return name.size() >= mask.size() - 1;
    return wild_match(mask, shape, name, upper);
}

inline std::int32_t name_matches_from_star(text_view path, text_view mask, std::size_t last_star)
{
    // The units after the last star end the path; its last unit is theirs.
    const std::size_t tail = last_star + 1;
    if (tail < mask.size() &&
        (path.size() < mask.size() - tail || turns_down(mask.back(), path.back())))
        return 0;
    return name_from_star_rest(path, mask, last_star);
}

// A mask with units before its first star: those turn most names down at
// their start.
__attribute__((noinline)) std::int32_t name_after_head_rest(text_view mask, std::size_t first_star,
                                                            std::size_t last_star, text_view name)
{
    return wild_match(mask, name_mask_shape(mask, first_star, last_star), name, {});
}

// A mask whose one star ends it (`IMG_2024*`): the name begins with the rest.
__attribute__((noinline)) std::int32_t name_begins_with_head_rest(text_view mask, text_view name)
{
    const std::size_t head = mask.size() - 1;
    return name.size() >= head && same_units(mask.data(), name.data(), head, {});
}

inline std::int32_t name_matches_after_head(text_view path, std::size_t last_backslash,
                                            text_view mask, std::size_t first_star,
                                            std::size_t last_star)
{
    const text_view name = name_after(path, last_backslash);
    // The name's first unit, or its terminator when it is empty.
    if (turns_down(mask[0], name.data()[0])) return 0;
    if (first_star == last_star && last_star + 1 == mask.size())
        return name_begins_with_head_rest(mask, name);
    return name_after_head_rest(mask, first_star, last_star, name);
}

// Whether the name at the end of `path` matches a name mask;
// `last_backslash`, the place of the path's last backslash, is read only for
// a mask with a head.
inline std::int32_t name_matches(text_view path, std::size_t last_backslash, text_view mask,
                                 std::size_t first_star, std::size_t last_star)
{
    if (first_star == npos) return starless_name_matches(path, mask);
    if (first_star == 0) return name_matches_from_star(path, mask, last_star);
    return name_matches_after_head(path, last_backslash, mask, first_star, last_star);
}

// A path longer than the first step: only a mask with a head needs the last
// backslash before the comparison, and is measured with it.
__attribute__((noinline)) std::int32_t name_matches_in_long_path(const unit *path, text_view mask,
                                                                 std::size_t first_star,
                                                                 std::size_t last_star)
{
    if (first_star == npos || first_star == 0)
        return name_matches(view_of(path), npos, mask, first_star, last_star);
    const length_and_last measured = measure_with_last(path, backslash, backslash);
    return name_matches({path, measured.length}, measured.last, mask, first_star, last_star);
}

inline std::int32_t mask_cmp(const unit *path, text_view mask, const pattern_shape &shape)
{
    if (shape.has_separator) return mask_cmp_whole_path(path, mask);
    length_and_last measured;
    if (!measure_with_last_in_first_step(path, backslash, backslash, measured))
        return name_matches_in_long_path(path, mask, shape.first_star, shape.last_star);
    return name_matches({path, measured.length}, measured.last, mask, shape.first_star,
                        shape.last_star);
}

// A mask longer than the shape's first step.
__attribute__((noinline)) std::int32_t mask_cmp_long_mask(const unit *path, const unit *mask)
{
    const pattern_shape shape = shape_of(mask);
    return mask_cmp(path, text_view(mask, shape.length), shape);
}

// The export's body past its checks of the arguments, with the first steps
// that `Steps` reads.
template <class Steps>
__attribute__((always_inline)) inline std::int32_t mask_cmp_by(const unit *path, const unit *mask)
{
    pattern_shape shape;
    if (!Steps::shape(mask, shape)) return mask_cmp_long_mask(path, mask);
    const text_view mask_text(mask, shape.length);
    if (shape.has_separator) return mask_cmp_whole_path(path, mask_text);
    length_and_last measured;
    if (!Steps::measure(path, measured))
        return name_matches_in_long_path(path, mask_text, shape.first_star, shape.last_star);
    return name_matches({path, measured.length}, measured.last, mask_text, shape.first_star,
                        shape.last_star);
}

struct first_steps {
    static bool shape(const unit *mask, pattern_shape &shape)
    {
        return shape_in_first_step(mask, shape);
    }
    static bool measure(const unit *path, length_and_last &measured)
    {
        return measure_with_last_in_first_step(path, backslash, backslash, measured);
    }
};

// Reached only from the AVX-512 form. Not forced inline: the body's instance
// is compiled for no particular processor and cannot take AVX-512 code; the
// compiler inlines them once the body is inline in the form.
struct avx512_first_steps {
    VELMORA_AVX512_FORM static bool shape(const unit *mask, pattern_shape &shape)
    {
        return avx512::shape_in_first_step(mask, shape);
    }
    VELMORA_AVX512_FORM static bool measure(const unit *path, length_and_last &measured)
    {
        return avx512::measure_with_last_in_first_step(path, backslash, backslash, measured);
    }
};

// The export's two forms.
VELMORA_OTHER_FORM std::int32_t mask_cmp_other(const unit *path, const unit *mask)
{
    return mask_cmp_by<first_steps>(path, mask);
}
VELMORA_AVX512_FORM std::int32_t mask_cmp_avx512(const unit *path, const unit *mask)
{
    return mask_cmp_by<avx512_first_steps>(path, mask);
}

} // namespace

bool mask_cmp_parts(text_view path, const full_mask &mask, const host::upper_case &upper)
{
    component_walker path_parts({path, {}, {}}, unseen_units);
    component_walker mask_parts(mask.pieces(), unseen_units);
    text_view path_part;
    text_view mask_part;
    for (;;) {
        const bool have_mask_part = mask_parts.next(mask_part);
        const bool have_path_part = path_parts.next(path_part);
        if (!have_mask_part) return true;
        if (!have_path_part) return false;
        // A mismatch is final: the result never becomes 1 again.
        if (!wild_match(mask_part, path_part, upper)) return false;
    }
}

} // namespace velmora

using namespace velmora;

extern "C" int32_t path_mask_cmp(const velmora_char *path, const velmora_char *mask)
{
    if (!path || !mask) return 0;
    // A lone star matches every name.
    if (mask[0] == star && mask[1] == 0) return 1;
    return avx512_forms() ? mask_cmp_avx512(path, mask) : mask_cmp_other(path, mask);
}

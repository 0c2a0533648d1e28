// SPDX-License-Identifier: MIT
#include "mask/path_mask.h"

#include <cstdlib>
#include <memory>

#include "mask/wild_match.h"
#include "scan/scan.h"

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
__attribute__((noinline)) bool mask_cmp_whole_path(const unit *path, text_view mask)
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

// Without a star the name is the path's last units, as many as the mask's:
// the unit before them must be a backslash, if there is one, and none of them
// may be one ('?' would take it).
bool starless_name_matches(text_view path, text_view mask, const host::upper_case &upper)
{
    // One branch for both tests, as names' lengths vary: the unit read when
    // the name is the whole path, or the path too short, is the terminator.
    const std::size_t size = path.size(), count = mask.size();
    const std::size_t before = size > count ? size - count - 1 : size;
    if (!((size == count) | (path.data()[before] == backslash))) return false;
    const text_view name = without_first(path, size - count);
    // Names mostly differ in their last unit, the extension's, which turns
    // them down without the locale's mapping.
    if (count != 0 && turns_down(mask.back(), name.back())) return false;
    return same_units(mask.data(), name.data(), count, upper) && last_of(name, backslash) == npos;
}

// Whether the part of `path` after its last backslash matches `mask`. Inline
// into the export, which then keeps the shape in registers.
inline bool name_matches(const unit *path, text_view mask, const pattern_shape &shape,
                         const host::upper_case &upper)
{
    // Only backslashes end a directory here: slashes stay in the name compared.
    const auto name_after = [](text_view whole, std::size_t last_backslash) {
        return without_first(whole, last_backslash == npos ? 0 : last_backslash + 1);
    };
    if (shape.first_star != 0 && shape.first_star != npos) {
        // The units before the star turn most names down at their start,
        // found in the pass that measures the path.
        const length_and_last measured = measure_with_last(path, backslash, backslash);
        const text_view name = name_after({path, measured.length}, measured.last);
        // The name's first unit, or its terminator when it is empty.
        if (turns_down(mask[0], name.data()[0])) return false;
        return wild_match(mask, shape, name, upper);
    }
    const text_view whole = view_of(path);
    if (shape.first_star == npos) return starless_name_matches(whole, mask, upper);
    // Most paths are turned down from their end alone, before the search for
    // where their name begins.
    if (!may_end_match(mask, shape, whole, upper)) return false;
    return wild_match(mask, shape, name_after(whole, last_of(whole, backslash)), upper);
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
    const pattern_shape shape = shape_of(mask);
    const text_view mask_text(mask, shape.length);
    if (!shape.has_separator) return name_matches(path, mask_text, shape, {});
    return mask_cmp_whole_path(path, mask_text);
}

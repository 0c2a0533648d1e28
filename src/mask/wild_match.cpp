// The matcher walks pattern and name once, remembering only the latest star.
// On a mismatch that star takes one more unit: its run is extended to the next
// position whose unit equals, ignoring case, the pattern unit after the star,
// and matching resumes there. Earlier stars never need revisiting: anything
// they could absorb beyond their current run, the latest star can absorb as
// well, because every later position open to it is open to the later star
// too. So there is no recursion, the extra memory is constant, and the work is
// at most the pattern's length times the name's.
#include "mask/wild_match.h"

#include "core/text_scan.h"

namespace velmora {
namespace {

// The first unit in [from, end) that equals `wanted` ignoring case, or end.
const unit *find_ignoring_case(const unit *from, const unit *end, unit wanted,
                               const host::upper_case &upper)
{
    const std::uint32_t wanted_upper = upper(wanted);
    for (; from != end; ++from)
        if (*from == wanted || upper(*from) == wanted_upper) return from;
    return end;
}

} // namespace

bool wild_match(text_view pattern, text_view name) { return wild_match(pattern, name, {}); }

bool wild_match(text_view pattern, text_view name, const host::upper_case &upper)
{
    const unit *p = pattern.data();
    const unit *const p_end = p + pattern.size();
    const unit *n = name.data();
    const unit *const n_end = n + name.size();
    const unit *star_next = nullptr; // pattern unit after the latest star
    const unit *star_end = nullptr;  // name unit where that star's run ends now

    for (;;) {
        while (p != p_end && *p != star && n != n_end &&
               (*p == *n || *p == question_mark || upper(*p) == upper(*n))) {
            ++p;
            ++n;
        }
        if (p == p_end && n == n_end) return true;
        if (p != p_end && *p == star) {
            if (++p == p_end) return true;
            n = find_ignoring_case(n, n_end, *p, upper);
            if (n == n_end) return false;
            star_next = p;
            star_end = n;
            continue;
        }
        if (!star_next) return false;
        n = find_ignoring_case(star_end + 1, n_end, *star_next, upper);
        if (n == n_end) return false;
        star_end = n;
        p = star_next;
    }
}

} // namespace velmora

extern "C" int32_t is_mask(const velmora_char *text)
{
    if (!text) return 0;
    return velmora::first_of(text, velmora::star, velmora::question_mark) == velmora::npos ? 0 : 1;
}

// The host layer on POSIX systems: C runtime calls, and stand-ins for the
// Windows calls that reproduce their answers.
#include <cwctype>

#include "host/host.h"

namespace velmora::host {

bool is_alpha(unit c) { return std::iswalpha(static_cast<std::wint_t>(c)) != 0; }

std::uint32_t to_upper(unit c)
{
    return static_cast<std::uint32_t>(std::towupper(static_cast<std::wint_t>(c)));
}

} // namespace velmora::host

// SPDX-License-Identifier: MIT
// The working directory the library sees is the platform's own; the tests'
// archive links a seam in place of this file.
#include "host/host.h"

namespace velmora::host {

std::size_t working_directory(unit *out, std::size_t room)
{
    return platform_working_directory(out, room);
}

} // namespace velmora::host

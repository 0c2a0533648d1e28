// SPDX-License-Identifier: MIT
// The plain scanners: a unit at a time. They are the choice where the build
// has no vector set, though scan.h's entry points there are loops of their
// own and never call them; tests and benchmarks put them in use elsewhere.
#include "scan/kernel_sets.h"

#include "scan/scan.h"

namespace velmora::scanners {
namespace {

std::size_t plain_length(const unit *from)
{
    const unit *p = from;
    while (*p)
        ++p;
    return static_cast<std::size_t>(p - from);
}

std::size_t plain_first(const unit *from, unit a, unit b)
{
    const unit *p = from;
    while (*p && *p != a && *p != b)
        ++p;
    return static_cast<std::size_t>(p - from);
}

std::size_t plain_last(const unit *text, std::size_t length, unit a, unit b)
{
    return detail::last_by_unit(text, length, a, b);
}

} // namespace

const scanner_set plain{"plain", plain_length, plain_first, plain_last};

} // namespace velmora::scanners

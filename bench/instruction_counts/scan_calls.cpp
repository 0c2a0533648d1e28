// SPDX-License-Identifier: MIT
// Calls one scan CALLS times on a 64-byte aligned text of UNITS units that
// holds neither unit looked for, so that every call runs to the text's end.
// Usage: scan_calls length|first|last plain|neon|entry UNITS CALLS
// ("entry" calls scan.h's entry points, which a build without SIMD makes
// plain loops).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "scan/kernel_sets.h"
#include "scan/scan.h"

namespace {

using velmora::unit;
using velmora::scanners::scanner_set;

alignas(64) unit storage[4096];

const scanner_set *set_named(const char *name)
{
    if (!std::strcmp(name, "plain")) return &velmora::scanners::plain;
#if defined(VELMORA_HAS_NEON_SCANNERS)
    if (!std::strcmp(name, "neon")) return &velmora::scanners::neon;
#endif
    return nullptr;
}

enum class scan_kind { length, first, last };

scan_kind kind_named(const char *name)
{
    if (!std::strcmp(name, "length")) return scan_kind::length;
    return !std::strcmp(name, "first") ? scan_kind::first : scan_kind::last;
}

std::size_t scan(scan_kind kind, const scanner_set *set, const unit *text, std::size_t units)
{
    const unit a = u'\\', b = u'/';
    switch (kind) {
    case scan_kind::length:
        return set ? set->length(text) : velmora::length_of(text);
    case scan_kind::first:
        return set ? set->first(text, a, b) : velmora::first_of(text, a, b);
    case scan_kind::last:
        break;
    }
    return set ? set->last(text, units, a, b) : velmora::last_of({text, units}, a, b);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5) return 2;
    const std::size_t units = std::strtoul(argv[3], nullptr, 10);
    const long calls = std::strtol(argv[4], nullptr, 10);
    if (units >= std::size(storage)) return 2;
    for (std::size_t i = 0; i < units; ++i)
        storage[i] = u'a';
    storage[units] = 0;
    const scan_kind kind = kind_named(argv[1]);
    const scanner_set *set = set_named(argv[2]);
    std::size_t sink = 0;
    for (long i = 0; i < calls; ++i) {
        // Each call reads the text afresh.
        asm volatile("" ::: "memory");
        sink += scan(kind, set, storage, units);
    }
    std::printf("%zu\n", sink);
    return 0;
}

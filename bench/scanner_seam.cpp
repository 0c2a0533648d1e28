// SPDX-License-Identifier: MIT
// The seam of the benchmarks' copy of the library: the same objects as the
// shipped one, plus this entry, through which a benchmark puts any scanner
// set this processor can run behind the scans, to time each set in turn. The
// shipped library has no such entry and reads no setting.
#include <cctype>

#include "scan/kernel_sets.h"
#include "scanner_sets.h"

namespace {

using namespace velmora::scanners;

// Whether `wanted` names `name`: letters and digits alone, in any case, and
// a leading part will do ("avx512" for "AVX-512BW").
bool names(const char *wanted, const char *name)
{
    for (;; ++name) {
        while (*wanted && !std::isalnum(static_cast<unsigned char>(*wanted)))
            ++wanted;
        while (*name && !std::isalnum(static_cast<unsigned char>(*name)))
            ++name;
        if (!*wanted) return true;
        if (std::tolower(static_cast<unsigned char>(*wanted++)) !=
            std::tolower(static_cast<unsigned char>(*name)))
            return false;
    }
}

const scanner_set *runnable(const char *name)
{
    for (const scanner_set *set : velmora_test::runnable_sets())
        if (names(name, set->name)) return set;
    return nullptr;
}

} // namespace

// Puts the set named `name` (any letter case) in use and gives its name; null
// when this processor cannot run it. With null, gives the set the library
// would choose by itself.
extern "C" __attribute__((visibility("default"))) const char *
velmora_bench_use_scanner_set(const char *name)
{
    if (!name) return best().name;
    const scanner_set *set = runnable(name);
    if (!set) return nullptr;
    use(*set);
    return set->name;
}

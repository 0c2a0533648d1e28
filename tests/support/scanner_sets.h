// SPDX-License-Identifier: MIT
// The scanner sets of this build that this processor can run, narrowest
// first: the tests run each, and the benchmarks' copy of the library can put
// any of them in use. No allocation, as that copy links no C++ runtime.
#pragma once

#include <cstddef>

#include "scan/kernel_sets.h"

namespace velmora_test {

struct scanner_sets {
    const velmora::scanners::scanner_set *sets[5];
    std::size_t count;

    const velmora::scanners::scanner_set *const *begin() const { return sets; }
    const velmora::scanners::scanner_set *const *end() const { return sets + count; }
};

inline scanner_sets runnable_sets()
{
    using namespace velmora::scanners;
    [[maybe_unused]] const cpu_features here = this_processor();
    scanner_sets runnable{{&plain}, 1};
    [[maybe_unused]] const auto add = [&](const scanner_set &set) {
        runnable.sets[runnable.count++] = &set;
    };
#if defined(VELMORA_HAS_SSE2_SCANNERS)
    add(sse2);
#endif
#if defined(VELMORA_HAS_NEON_SCANNERS)
    add(neon);
#endif
#if defined(VELMORA_HAS_AVX2_SCANNERS)
    if (avx2_usable(here)) add(avx2);
#endif
#if defined(VELMORA_HAS_AVX512_SCANNERS)
    if (avx512_usable(here)) add(avx512);
#endif
    return runnable;
}

} // namespace velmora_test

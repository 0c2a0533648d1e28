// SPDX-License-Identifier: MIT
// What the Linux benchmarks share to reach the library as callers do: a
// shared object opened with dlopen, the exports they time bound from it,
// their texts in its units, and the process pinned to one processor.
#pragma once

#include <dlfcn.h>
#include <sched.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "velmora.h"

namespace velmora_bench {

// The exports, as a shared object gives them.
struct library {
    decltype(&::path_mask_cmp) path_mask_cmp;
    decltype(&::get_file_part) get_file_part;
    decltype(&::get_path_part) get_path_part;
    decltype(&::path_pop) path_pop;
    decltype(&::is_mask) is_mask;
};

// UTF-8 to the library's units, through the standard library's conversion.
inline std::u16string utf16_of(const std::string &utf8)
{
    return std::filesystem::path(utf8).u16string();
}

// Opens `path` with its own copy of the library's state (RTLD_LOCAL), or
// ends the program saying why.
inline void *open_shared_object(const std::string &path)
{
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "%s\n", dlerror());
        std::exit(2);
    }
    return handle;
}

template <class F> void bind(void *handle, F &f, const char *name)
{
    f = reinterpret_cast<F>(dlsym(handle, name));
    if (!f) {
        std::fprintf(stderr, "%s missing from the library\n", name);
        std::exit(2);
    }
}

inline library bind_library(void *handle)
{
    library lib{};
    bind(handle, lib.path_mask_cmp, "path_mask_cmp");
    bind(handle, lib.get_file_part, "get_file_part");
    bind(handle, lib.get_path_part, "get_path_part");
    bind(handle, lib.path_pop, "path_pop");
    bind(handle, lib.is_mask, "is_mask");
    return lib;
}

// Puts the scanner set named `wanted` in use in a benchmarks' copy of the
// library (libvelmora_bench_sets.so, whose seam the shipped library lacks)
// and gives its name; with null, gives the set the copy chooses itself. Ends
// the program, saying why, when the copy has no seam or this processor cannot
// run the set.
inline const char *use_scanner_set(void *handle, const char *wanted, const char *program)
{
    using use_set = const char *(*)(const char *);
    const auto use = reinterpret_cast<use_set>(dlsym(handle, "velmora_bench_use_scanner_set"));
    if (!use) {
        std::fprintf(stderr, "%s: not a benchmarks' copy of the library (no scanner seam)\n",
                     program);
        std::exit(2);
    }
    const char *in_use = use(wanted);
    if (!in_use) {
        std::fprintf(stderr, "%s: this processor cannot run the %s set\n", program, wanted);
        std::exit(2);
    }
    return in_use;
}

// The last processor this process may run on; VELMORA_BENCH_CPU picks another.
inline int pin_to_one_cpu()
{
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    sched_getaffinity(0, sizeof allowed, &allowed);
    int cpu = -1;
    for (int i = 0; i < CPU_SETSIZE; ++i)
        if (CPU_ISSET(i, &allowed)) cpu = i;
    if (const char *wanted = std::getenv("VELMORA_BENCH_CPU")) cpu = std::atoi(wanted);
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpu, &one);
    if (sched_setaffinity(0, sizeof one, &one) != 0) return -1;
    return cpu;
}

} // namespace velmora_bench

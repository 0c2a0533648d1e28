// SPDX-License-Identifier: MIT
// Which processor a table was measured on, in one line: the kinds our
// machines come in differ where it matters (an Intel Xeon runs 512-bit
// operations whole; AMD's Zen 4 splits them into two 256-bit halves; Zen 5
// has its own timings again), so AMD's generation is named.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace velmora_bench {

inline std::string processor_line()
{
    std::string line;
    if (std::FILE *info = std::fopen("/proc/cpuinfo", "r")) {
        char row[512];
        while (std::fgets(row, sizeof row, info))
            if (std::strncmp(row, "model name", 10) == 0) {
                const char *colon = std::strchr(row, ':');
                line = colon ? colon + 2 : row;
                line.erase(line.find_last_not_of("\n ") + 1);
                break;
            }
        std::fclose(info);
    }
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax, ebx, ecx, edx;
    if (__get_cpuid(0, &eax, &ebx, &ecx, &edx)) {
        char vendor[13] = {};
        std::memcpy(vendor, &ebx, 4);
        std::memcpy(vendor + 4, &edx, 4);
        std::memcpy(vendor + 8, &ecx, 4);
        __get_cpuid(1, &eax, &ebx, &ecx, &edx);
        const unsigned family = ((eax >> 8) & 0xf) + ((eax >> 20) & 0xff);
        const unsigned model = ((eax >> 4) & 0xf) | ((eax >> 12) & 0xf0);
        char ids[96];
        std::snprintf(ids, sizeof ids, "%s%s family %#x model %#x", line.empty() ? "" : "; ",
                      vendor, family, model);
        line += ids;
        // In family 0x19 only Zen 4 has AVX-512 (Zen 3 has none); family
        // 0x1a is Zen 5.
        if (std::strcmp(vendor, "AuthenticAMD") == 0) {
            if (family == 0x19 && __builtin_cpu_supports("avx512f"))
                line += " (Zen 4: 512-bit operations in two halves)";
            else if (family == 0x1a)
                line += " (Zen 5)";
        }
    }
    line += "; AVX2 ";
    line += __builtin_cpu_supports("avx2") ? "yes" : "no";
    line += ", AVX-512BW ";
    line += __builtin_cpu_supports("avx512bw") ? "yes" : "no";
#endif
    return line;
}

} // namespace velmora_bench

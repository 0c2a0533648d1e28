// SPDX-License-Identifier: MIT
// Two builds of the shared object against each other, in one process. Where
// timings drift between runs (a shared virtual machine moves a whole run by a
// fifth), separate runs of linux_peers cannot tell a change of a few per
// cent; rounds that turn between the two builds can. Each build is loaded
// with its own state, and a row is timed only where both answer alike on
// every input.
//
//   compare_builds BEFORE.so AFTER.so
//
// With VELMORA_BENCH_SET, both must be the benchmarks' copies of the library
// (libvelmora_bench_sets.so), and that scanner set is put in use in each.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "inputs.h"
#include "peer_table.h"
#include "processor.h"
#include "shared_object.h"

namespace {

using namespace velmora_bench;
using text = std::u16string;

void scan_rows(const library &before, const library &after, peer_table &table)
{
    for (const std::size_t length : path_lengths) {
        std::vector<text> paths;
        std::vector<std::size_t> last_separator;
        for (const std::string &p : realistic_paths(length, "", '\\')) {
            paths.emplace_back(p.begin(), p.end());
            last_separator.push_back(p.rfind('\\'));
        }
        const std::string label = std::to_string(length) + " units";
        const std::size_t n = paths.size();
        bool agree = true;
        // Each build writes into buffers of its own.
        std::vector<text> before_out(n, text(length + 1, u'\0'));
        std::vector<text> after_out(n, text(length + 1, u'\0'));
        const auto size = static_cast<std::uint32_t>(length);
        for (std::size_t i = 0; i < n; ++i) {
            const text &p = paths[i];
            agree &= before.get_file_part(p.c_str()) == after.get_file_part(p.c_str()) &&
                     before.is_mask(p.c_str()) == after.is_mask(p.c_str());
            text a = p, b = p;
            agree &=
                before.path_pop(a.data(), a.data(), 0) == after.path_pop(b.data(), b.data(), 0) &&
                a == b;
            agree &= before.path_pop(p.c_str(), before_out[i].data(), size) ==
                         after.path_pop(p.c_str(), after_out[i].data(), size) &&
                     before_out[i] == after_out[i];
        }
        if (!agree) {
            table.skip("scans", label, "answers differ");
            continue;
        }
        const auto file_part = [&](const library &lib) {
            return [&] {
                for (const text &p : paths)
                    keep(lib.get_file_part(p.c_str()));
            };
        };
        const auto is_mask = [&](const library &lib) {
            return [&] {
                for (const text &p : paths)
                    keep(lib.is_mask(p.c_str()));
            };
        };
        // In place, the separator put back after each call.
        const auto pop = [&](const library &lib) {
            return [&] {
                for (std::size_t i = 0; i < n; ++i) {
                    keep(lib.path_pop(paths[i].data(), paths[i].data(), 0));
                    paths[i][last_separator[i]] = u'\\';
                }
            };
        };
        const auto pop_into = [&](const library &lib, std::vector<text> &out) {
            return [&] {
                for (std::size_t i = 0; i < n; ++i)
                    keep(lib.path_pop(paths[i].c_str(), out[i].data(), size));
            };
        };
        table.add("get_file_part", label, time_pair(file_part(after), file_part(before), n));
        table.add("is_mask", label, time_pair(is_mask(after), is_mask(before), n));
        table.add("path_pop", label, time_pair(pop(after), pop(before), n));
        table.add("path_pop into another buffer", label,
                  time_pair(pop_into(after, after_out), pop_into(before, before_out), n));
    }
}

void mask_rows(const library &before, const library &after, peer_table &table,
               const std::string &set_label, const std::vector<std::string> &names,
               const std::vector<const char *> &masks)
{
    std::vector<text> converted;
    for (const std::string &name : names)
        converted.push_back(utf16_of(name));
    const packed_texts<velmora_char> wide(converted);
    for (const char *mask : masks) {
        const text wide_mask = utf16_of(mask);
        const std::string label = set_label + ", mask " + mask;
        bool agree = true;
        for (const velmora_char *name : wide)
            agree &= before.path_mask_cmp(name, wide_mask.c_str()) ==
                     after.path_mask_cmp(name, wide_mask.c_str());
        if (!agree) {
            table.skip("path_mask_cmp", label, "answers differ");
            continue;
        }
        const auto pass = [&](const library &lib) {
            return [&] {
                for (const velmora_char *name : wide)
                    keep(lib.path_mask_cmp(name, wide_mask.c_str()));
            };
        };
        table.add("path_mask_cmp", label, time_pair(pass(after), pass(before), wide.size()));
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: compare_builds BEFORE.so AFTER.so\n");
        return 2;
    }
    std::printf("processor: %s\n", processor_line().c_str());
    std::printf("pinned to cpu %d; %d rounds a row, the two builds back to back, the order "
                "turning\n",
                pin_to_one_cpu(), rounds);
    void *const before_handle = open_shared_object(argv[1]);
    void *const after_handle = open_shared_object(argv[2]);
    std::printf("before: %s\nafter: %s\n", argv[1], argv[2]);
    const char *wanted = std::getenv("VELMORA_BENCH_SET");
    if (wanted && *wanted) {
        use_scanner_set(before_handle, wanted, "compare_builds");
        std::printf("scanner set in both: %s (VELMORA_BENCH_SET)\n",
                    use_scanner_set(after_handle, wanted, "compare_builds"));
    }
    std::printf("\n");
    const library before = bind_library(before_handle);
    const library after = bind_library(after_handle);
    peer_table table("before", "before / after", "after");
    scan_rows(before, after, table);
    const std::vector<const char *> masks(std::begin(name_masks), std::end(name_masks));
    mask_rows(before, after, table, "20,000 names", realistic_names(), masks);
    for (const name_shape &shape : other_name_shapes())
        mask_rows(before, after, table, shape.label, shape.names, shape.masks);
    std::printf("Ratio above 1: the second build is faster.\n\n");
    table.print();
    return 0;
}

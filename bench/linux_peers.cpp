// SPDX-License-Identifier: MIT
// velmora against what a Linux programmer has at hand: glibc's fnmatch,
// basename and dirname, on the same texts in UTF-8. Our functions are reached
// through the built shared object, loaded with dlopen as callers load it, and
// the program runs pinned to one processor. A row is timed only where both
// sides answer alike on every input.
#include <dlfcn.h>
#include <fnmatch.h>
#include <libgen.h>
#include <unistd.h>

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "floor.h"
#include "inputs.h"
#include "peer_table.h"
#include "processor.h"
#include "shared_object.h"
#include "velmora.h"

#if defined(VELMORA_BENCH_ICU)
#include <unicode/ustring.h>
#endif

namespace {

using namespace velmora_bench;
using text = std::u16string;

constexpr int fnmatch_flags = FNM_CASEFOLD | FNM_NOESCAPE;

text widen(const std::string &ascii) { return text(ascii.begin(), ascii.end()); }

void *open_library(const std::string &file)
{
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) std::exit(2);
    self[n] = 0;
    const std::string path = std::string(dirname(self)) + "/../lib/" + file;
    void *handle = open_shared_object(path);
    std::printf("library: %s\n", path.c_str());
    return handle;
}

// The shipped library, or with VELMORA_BENCH_SET the benchmarks' copy of it
// with that scanner set put in use. Either way the set in use is said.
library load_library()
{
    const char *wanted = std::getenv("VELMORA_BENCH_SET");
    void *seam = open_library("libvelmora_bench_sets.so");
    if (wanted && *wanted) {
        std::printf("scanner set: %s (VELMORA_BENCH_SET)\n",
                    use_scanner_set(seam, wanted, "linux_peers"));
        return bind_library(seam);
    }
    std::printf("scanner set: %s (the library's own choice)\n",
                use_scanner_set(seam, nullptr, "linux_peers"));
    return bind_library(open_library("libvelmora.so.1"));
}

void name_rows(const library &lib, peer_table &table, const std::string &set_label,
               const std::vector<std::string> &names, const std::vector<const char *> &masks,
               const char *locale)
{
    std::vector<text> converted;
    for (const std::string &name : names)
        converted.push_back(utf16_of(name));
    const packed_texts<velmora_char> wide(converted);
    const packed_texts<char> narrow(names);
    for (const char *mask : masks) {
        const text wide_mask = utf16_of(mask);
        const std::string label = set_label + ", mask " + mask + ", " + locale;
        std::size_t differ = 0, matched = 0;
        for (std::size_t i = 0; i < names.size(); ++i) {
            const bool ours = lib.path_mask_cmp(wide[i], wide_mask.c_str()) == 1;
            differ += ours != (fnmatch(mask, narrow[i], fnmatch_flags) == 0);
            matched += ours;
        }
        if (differ) {
            table.skip("path_mask_cmp ~ fnmatch", label,
                       std::to_string(differ) + " answers differ");
            continue;
        }
        table.add("path_mask_cmp ~ fnmatch", label + " (" + std::to_string(matched) + " match)",
                  time_pair(
                      [&] {
                          for (const velmora_char *name : wide)
                              keep(lib.path_mask_cmp(name, wide_mask.c_str()));
                      },
                      [&] {
                          for (const char *name : narrow)
                              keep(fnmatch(mask, name, fnmatch_flags));
                      },
                      names.size()));
    }
}

// Every name set in one locale: the realistic mix, then the other shapes.
void name_rows(const library &lib, peer_table &table, const char *locale)
{
    const std::vector<const char *> masks(std::begin(name_masks), std::end(name_masks));
    name_rows(lib, table, "20,000 names", realistic_names(), masks, locale);
    for (const name_shape &shape : other_name_shapes())
        name_rows(lib, table, shape.label, shape.names, shape.masks, locale);
}

void pathological_rows(const library &lib, peer_table &table)
{
    const std::string sixty_a(60, 'a');
    const text wide_a = widen(sixty_a);
    for (int k : {5, 15, 30}) {
        std::string mask;
        for (int i = 0; i < k; ++i)
            mask += "*a";
        mask += "b";
        const text wide_mask = widen(mask);
        const std::string label = "\"*a\" x " + std::to_string(k) + " + \"b\", 60 a's";
        if (lib.path_mask_cmp(wide_a.c_str(), wide_mask.c_str()) != 0 ||
            fnmatch(mask.c_str(), sixty_a.c_str(), fnmatch_flags) == 0) {
            table.skip("path_mask_cmp ~ fnmatch", label, "answers differ");
            continue;
        }
        table.add("path_mask_cmp ~ fnmatch", label,
                  time_pair([&] { keep(lib.path_mask_cmp(wide_a.c_str(), wide_mask.c_str())); },
                            [&] { keep(fnmatch(mask.c_str(), sixty_a.c_str(), fnmatch_flags)); },
                            1));
    }
}

// One length's paths, narrow and wide, each placed as placed_texts says, with
// the place of each last slash.
struct path_set {
    std::vector<std::string> strings;
    placed_texts<char> narrow;
    placed_texts<velmora_char> wide;
    std::vector<std::size_t> last_slash;

    explicit path_set(std::size_t length)
        : strings(realistic_paths(length, "", '/')), narrow(strings), wide(widened(strings))
    {
        for (const std::string &p : strings)
            last_slash.push_back(p.rfind('/'));
    }

    static std::vector<text> widened(const std::vector<std::string> &strings)
    {
        std::vector<text> wide;
        for (const std::string &p : strings)
            wide.push_back(widen(p));
        return wide;
    }
};

void component_rows(const library &lib, peer_table &table, peer_table &floor)
{
    for (const std::size_t length : path_lengths) {
        path_set set(length);
        const std::string label = std::to_string(length) + " units";
        const std::size_t n = set.strings.size();

        bool agree = true;
        for (std::size_t i = 0; i < n; ++i) {
            const velmora_char *ours = lib.get_file_part(set.wide[i]);
            agree &= ours && widen(basename(set.narrow[i])) == ours;
        }
        if (agree)
            table.add("get_file_part ~ basename", label,
                      time_pair(
                          [&] {
                              for (const velmora_char *p : set.wide)
                                  keep(lib.get_file_part(p));
                          },
                          [&] {
                              for (char *p : set.narrow)
                                  keep(basename(p));
                          },
                          n));
        else
            table.skip("get_file_part ~ basename", label, "answers differ");

        // Both work in place; each call's terminator is undone after it.
        agree = true;
        for (std::size_t i = 0; i < n; ++i) {
            std::string theirs = set.narrow[i];
            text ours = set.wide[i];
            agree &= lib.path_pop(ours.data(), ours.data(), 0) == 1 &&
                     widen(dirname(theirs.data())) == text(ours.c_str());
        }
        if (agree)
            table.add("path_pop ~ dirname", label,
                      time_pair(
                          [&] {
                              for (std::size_t i = 0; i < n; ++i) {
                                  velmora_char *p = set.wide[i];
                                  keep(lib.path_pop(p, p, 0));
                                  p[set.last_slash[i]] = u'/';
                              }
                          },
                          [&] {
                              for (std::size_t i = 0; i < n; ++i) {
                                  char *p = set.narrow[i];
                                  keep(dirname(p));
                                  p[set.last_slash[i]] = '/';
                              }
                          },
                          n));
        else
            table.skip("path_pop ~ dirname", label, "answers differ");

        // Into another buffer: a caller whose path must stay whole copies it
        // for dirname, where path_pop writes the directory part itself.
        const placed_texts<velmora_char> wide_out(std::vector<text>(n, text(length, u'x')));
        const placed_texts<char> narrow_out(std::vector<std::string>(n, std::string(length, 'x')));
        agree = true;
        for (std::size_t i = 0; i < n; ++i) {
            std::string theirs = set.narrow[i];
            agree &= lib.path_pop(set.wide[i], wide_out[i],
                                  static_cast<std::uint32_t>(length + 1)) == 1 &&
                     widen(dirname(theirs.data())) == text(wide_out[i]);
        }
        if (agree)
            table.add("path_pop into another buffer ~ copy, dirname", label,
                      time_pair(
                          [&] {
                              for (std::size_t i = 0; i < n; ++i)
                                  keep(lib.path_pop(set.wide[i], wide_out[i],
                                                    static_cast<std::uint32_t>(length + 1)));
                          },
                          [&] {
                              for (std::size_t i = 0; i < n; ++i) {
                                  std::memcpy(narrow_out[i], set.narrow[i], length + 1);
                                  keep(dirname(narrow_out[i]));
                              }
                          },
                          n));
        else
            table.skip("path_pop into another buffer ~ copy, dirname", label, "answers differ");

        // The scanners beside the plain read of the same bytes.
        const auto floor_pass = [&] {
            for (std::size_t i = 0; i < n; ++i)
                keep(read_floor(set.wide[i], (set.strings[i].size() + 1) * sizeof(velmora_char)));
        };
        floor.add("get_file_part: length and last separator", label,
                  time_pair(
                      floor_pass,
                      [&] {
                          for (const velmora_char *p : set.wide)
                              keep(lib.get_file_part(p));
                      },
                      n));
        floor.add("is_mask: first of two units, to the end", label,
                  time_pair(
                      floor_pass,
                      [&] {
                          for (const velmora_char *p : set.wide)
                              keep(lib.is_mask(p));
                      },
                      n));

        // get_path_part reads a UNC path to its end too: a path too long to
        // strip is a failure.
        const std::string server = "\\\\server";
        const placed_texts<velmora_char> unc(
            path_set::widened(realistic_paths(length, server, '\\')));
        agree = true;
        for (std::size_t i = 0; i < n; ++i)
            agree &= lib.get_path_part(unc[i]) == unc[i] + server.size() + 1;
        if (agree)
            floor.add("get_path_part: a UNC path's length and first separator", label,
                      time_pair(
                          [&] {
                              for (std::size_t i = 0; i < n; ++i)
                                  keep(read_floor(unc[i], (length + 1) * sizeof(velmora_char)));
                          },
                          [&] {
                              for (std::size_t i = 0; i < n; ++i)
                                  keep(lib.get_path_part(unc[i]));
                          },
                          n));
        else
            floor.skip("get_path_part: a UNC path's length and first separator", label,
                       "answers differ");
    }
}

// What a program that holds UTF-16 on Linux would call instead: ICU's string
// functions and std::u16string_view. They show what 16-bit text costs
// elsewhere; glibc stays the row to beat. ICU's u_strrchr looks for the slash
// alone (the paths have no backslash), where ours and find_last_of look for
// both separators.
void sixteen_bit_rows(const library &lib, peer_table &table)
{
    for (const std::size_t length : path_lengths) {
        path_set set(length);
        const std::string label = std::to_string(length) + " units";
        const std::size_t n = set.strings.size();
        const auto ours_file_part = [&] {
            for (const velmora_char *p : set.wide)
                keep(lib.get_file_part(p));
        };
        const auto ours_is_mask = [&] {
            for (const velmora_char *p : set.wide)
                keep(lib.is_mask(p));
        };
        bool agree = true;
        for (const velmora_char *p : set.wide)
            agree &= std::u16string_view(p).find_last_of(u"\\/") + 1 ==
                         std::size_t(lib.get_file_part(p) - p) &&
                     std::u16string_view(p).find_first_of(u"*?") == std::u16string_view::npos &&
                     lib.is_mask(p) == 0;
#if defined(VELMORA_BENCH_ICU)
        for (const velmora_char *p : set.wide)
            agree &=
                u_strrchr(p, u'/') + 1 == lib.get_file_part(p) && u_strpbrk(p, u"*?") == nullptr;
#endif
        if (!agree) {
            table.skip("16-bit peers", label, "answers differ");
            continue;
        }
        table.add("get_file_part ~ u16string_view::find_last_of", label,
                  time_pair(
                      ours_file_part,
                      [&] {
                          for (const velmora_char *p : set.wide)
                              keep(std::u16string_view(p).find_last_of(u"\\/"));
                      },
                      n));
        table.add("is_mask ~ u16string_view::find_first_of", label,
                  time_pair(
                      ours_is_mask,
                      [&] {
                          for (const velmora_char *p : set.wide)
                              keep(std::u16string_view(p).find_first_of(u"*?"));
                      },
                      n));
#if defined(VELMORA_BENCH_ICU)
        table.add("get_file_part ~ ICU u_strrchr", label,
                  time_pair(
                      ours_file_part,
                      [&] {
                          for (const velmora_char *p : set.wide)
                              keep(u_strrchr(p, u'/'));
                      },
                      n));
        table.add("is_mask ~ ICU u_strpbrk", label,
                  time_pair(
                      ours_is_mask,
                      [&] {
                          for (const velmora_char *p : set.wide)
                              keep(u_strpbrk(p, u"*?"));
                      },
                      n));
#endif
    }
}

// Whether the rows named `part` are wanted: all of them, or with
// VELMORA_BENCH_ONLY one part (names, pathological, components, sixteen).
bool wanted(const char *part)
{
    const char *only = std::getenv("VELMORA_BENCH_ONLY");
    return !only || !*only || std::strcmp(only, part) == 0;
}

} // namespace

int main()
{
    std::printf("processor: %s\n", processor_line().c_str());
    const int cpu = pin_to_one_cpu();
    std::printf("pinned to cpu %d; %d rounds a row, each ours and the peer back to back, "
                "the order turning\n",
                cpu, rounds);
    const library lib = load_library();
    peer_table glibc("glibc", "glibc / ours");
    // The floor is time_pair's first side, so its column comes first.
    peer_table floor("velmora", "ours / floor", std::string("floor (") + floor_kind() + " read)");
    if (wanted("names")) {
        name_rows(lib, glibc, "C");
        if (std::setlocale(LC_ALL, "C.UTF-8")) {
            name_rows(lib, glibc, "C.UTF-8");
            std::setlocale(LC_ALL, "C");
        }
    }
    if (wanted("pathological")) pathological_rows(lib, glibc);
    if (wanted("components")) component_rows(lib, glibc, floor);
    peer_table sixteen("peer", "peer / ours");
    if (wanted("sixteen")) sixteen_bit_rows(lib, sixteen);
    std::printf("\nAgainst glibc (fnmatch with FNM_CASEFOLD | FNM_NOESCAPE, basename, dirname); "
                "ratio above 1: ours is faster:\n\n");
    glibc.print();
    std::printf("\nThe scanners against the floor, a plain vector read of the same bytes (%zu "
                "paths a pass); ratio: how many times the floor's time ours takes:\n\n",
                paths_per_length);
    floor.print();
    std::printf("\nAgainst 16-bit peers (ICU, std::u16string_view), for what UTF-16 costs "
                "elsewhere; ratio above 1: ours is faster:\n\n");
    sixteen.print();
    return 0;
}

// SPDX-License-Identifier: MIT
// Our matcher against the literal recursion and glibc's fnmatch, and
// path_mask_cmp against the literal comparison with fixed working texts.
#include <benchmark/benchmark.h>

#include <fnmatch.h>

#include <chrono>
#include <clocale>
#include <string>
#include <vector>

#include "literal_mask.h"
#include "mask/wild_match.h"
#include "working_directory_seam.h"

namespace {

using text = std::basic_string<velmora_char>;

text widen(const std::string &ascii) { return text(ascii.begin(), ascii.end()); }

struct name_set {
    const char *label;
    std::string mask;
    std::vector<std::string> names;
};

const std::vector<name_set> typical = {
    {"star_ext",
     "*.txt",
     {"annual_report.txt", "readme.md", "NOTES.TXT", "2024-01-15_backup.tar.gz"}},
    {"question", "file?.log", {"file1.log", "file12.log", "FILE7.LOG", "profile.log"}},
    {"three_stars",
     "*report*2024*.csv",
     {"Q3_report_final_2024_v2.csv", "report-2023.csv", "sales_report_march_2024.xlsx",
      "weekly-REPORT-2024-11.CSV"}},
    {"literal", "readme.md", {"README.md", "readme.txt", "readme.md", "changelog.md"}},
};

constexpr int fnmatch_flags = FNM_CASEFOLD | FNM_NOESCAPE;

// Runs a benchmark in the C.UTF-8 locale, where most systems' programs run
// and fnmatch must convert its texts to wide characters first.
template <void (*Run)(benchmark::State &, const name_set &)>
void in_utf8_locale(benchmark::State &state, const name_set &set)
{
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "C.UTF-8")) {
        state.SkipWithError("no C.UTF-8 locale");
        return;
    }
    Run(state, set);
    std::setlocale(LC_ALL, before.c_str());
}

bool our_match(const text &mask, const text &name) { return velmora::wild_match(mask, name); }

bool recursive_match(const text &mask, const text &name)
{
    return velmora_reference::wild_match(mask.c_str(), name.c_str()) == 1;
}

// Times `match` on every name of the set, in UTF-16.
template <bool (*Match)(const text &, const text &)>
void wide_matcher(benchmark::State &state, const name_set &set)
{
    const text mask = widen(set.mask);
    std::vector<text> names;
    for (const auto &name : set.names)
        names.push_back(widen(name));
    for (auto _ : state)
        for (const text &name : names)
            benchmark::DoNotOptimize(Match(mask, name));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(names.size()));
}

constexpr auto ours = wide_matcher<our_match>;
constexpr auto recursion = wide_matcher<recursive_match>;

void glibc_fnmatch(benchmark::State &state, const name_set &set)
{
    for (const auto &name : set.names) {
        const bool theirs = fnmatch(set.mask.c_str(), name.c_str(), fnmatch_flags) == 0;
        if (theirs != velmora::wild_match(widen(set.mask), widen(name))) {
            state.SkipWithError("fnmatch disagrees on this set");
            return;
        }
    }
    for (auto _ : state)
        for (const auto &name : set.names)
            benchmark::DoNotOptimize(fnmatch(set.mask.c_str(), name.c_str(), fnmatch_flags));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(set.names.size()));
}

std::string many_stars(int k)
{
    std::string mask;
    for (int i = 0; i < k; ++i)
        mask += "*a";
    return mask + "b";
}

const std::string sixty_a(60, 'a');

void pathological_ours(benchmark::State &state)
{
    const text mask = widen(many_stars(static_cast<int>(state.range(0))));
    const text name = widen(sixty_a);
    for (auto _ : state)
        benchmark::DoNotOptimize(velmora::wild_match(mask, name));
}

void pathological_recursion(benchmark::State &state)
{
    const text mask = widen(many_stars(static_cast<int>(state.range(0))));
    const text name = widen(sixty_a);
    for (auto _ : state)
        benchmark::DoNotOptimize(velmora_reference::wild_match(mask.c_str(), name.c_str()));
}

void pathological_fnmatch(benchmark::State &state)
{
    const std::string mask = many_stars(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(fnmatch(mask.c_str(), sixty_a.c_str(), fnmatch_flags));
}

// Realistic paths against name masks and whole-path masks.
struct path_case {
    const char *label;
    std::string path;
    std::string mask;
};

const std::string working_directory = "C:\\Users\\alice\\Documents";

const std::vector<path_case> path_cases = {
    {"name_mask", "C:\\Users\\alice\\Documents\\reports\\annual_report_2024.txt", "*.TXT"},
    {"drive_mask", "C:\\Users\\alice\\Documents\\reports\\annual_report_2024.txt",
     "C:\\Users\\*\\Documents\\*\\*.txt"},
    {"relative_mask", "C:\\Users\\alice\\Documents\\reports\\annual_report_2024.txt",
     "reports\\*2024*"},
    {"parent_mask", "C:\\Users\\alice\\Music\\track01.mp3", "..\\Music\\track??.mp3"},
};

void path_ours(benchmark::State &state, const path_case &c)
{
    const text path = widen(c.path), mask = widen(c.mask), directory = widen(working_directory);
    velmora::host::override_working_directory(directory.c_str());
    for (auto _ : state)
        benchmark::DoNotOptimize(path_mask_cmp(path.c_str(), mask.c_str()));
    velmora::host::override_working_directory(nullptr);
}

void path_literal(benchmark::State &state, const path_case &c)
{
    const text path = widen(c.path), mask = widen(c.mask), directory = widen(working_directory);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            velmora_literal::path_mask_cmp(path.c_str(), mask.c_str(), directory.c_str()));
}

int register_all()
{
    for (const name_set &set : typical) {
        benchmark::RegisterBenchmark((std::string("typical/") + set.label + "/ours").c_str(), ours,
                                     set);
        benchmark::RegisterBenchmark((std::string("typical/") + set.label + "/recursion").c_str(),
                                     recursion, set);
        benchmark::RegisterBenchmark((std::string("typical/") + set.label + "/fnmatch").c_str(),
                                     glibc_fnmatch, set);
        benchmark::RegisterBenchmark((std::string("typical_utf8/") + set.label + "/ours").c_str(),
                                     in_utf8_locale<ours>, set);
        benchmark::RegisterBenchmark(
            (std::string("typical_utf8/") + set.label + "/fnmatch").c_str(),
            in_utf8_locale<glibc_fnmatch>, set);
    }
    benchmark::RegisterBenchmark("pathological/ours", pathological_ours)->DenseRange(5, 30, 5);
    // The recursion grows exponentially: beyond these it does not finish.
    benchmark::RegisterBenchmark("pathological/recursion", pathological_recursion)
        ->DenseRange(5, 7, 1);
    benchmark::RegisterBenchmark("pathological/fnmatch", pathological_fnmatch)
        ->DenseRange(5, 30, 5);
    for (const path_case &c : path_cases) {
        benchmark::RegisterBenchmark((std::string("path_mask_cmp/") + c.label + "/ours").c_str(),
                                     path_ours, c);
        benchmark::RegisterBenchmark((std::string("path_mask_cmp/") + c.label + "/literal").c_str(),
                                     path_literal, c);
    }
    return 0;
}

[[maybe_unused]] const int registered = register_all();

} // namespace

BENCHMARK_MAIN();

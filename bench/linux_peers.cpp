// velmora against what a Linux programmer has at hand (glibc's fnmatch,
// basename and dirname, on the same texts in UTF-8) and against the literal
// algorithms (the recursive matcher, the comparison with fixed working texts),
// timed in one process. A row is reported only where both answer alike.
#include <fnmatch.h>
#include <libgen.h>

#include <clocale>
#include <cstring>
#include <string>
#include <vector>

#include "host/host.h"
#include "literal_mask.h"
#include "peer_table.h"
#include "velmora.h"

namespace {

using velmora_bench::keep;
using velmora_bench::ns_per_call;
using text = std::u16string;

constexpr int fnmatch_flags = FNM_CASEFOLD | FNM_NOESCAPE;

text widen(const std::string &ascii) { return text(ascii.begin(), ascii.end()); }

struct name_set {
    std::string mask;
    std::vector<std::string> names;
};

const name_set sets[] = {
    {"*.txt", {"annual_report.txt", "readme.md", "NOTES.TXT", "2024-01-15_backup.tar.gz"}},
    {"*.LOG", {"app.log", "server-2024-11-30.log", "app.log.1", "LOGBOOK.DOC"}},
    {"file?.log", {"file1.log", "file12.log", "FILE7.LOG", "profile.log"}},
    {"*report*2024*.csv",
     {"Q3_report_final_2024_v2.csv", "report-2023.csv", "sales_report_march_2024.xlsx",
      "weekly-REPORT-2024-11.CSV"}},
    {"readme.md", {"README.md", "readme.txt", "readme.md", "changelog.md"}},
};

void name_masks(velmora_bench::peer_table &fnmatch_table, velmora_bench::peer_table &literal_table,
                const char *locale)
{
    for (const name_set &set : sets) {
        const text mask = widen(set.mask);
        std::vector<text> names;
        bool agree = true;
        for (const std::string &name : set.names) {
            names.push_back(widen(name));
            agree &= (path_mask_cmp(names.back().c_str(), mask.c_str()) == 1) ==
                     (fnmatch(set.mask.c_str(), name.c_str(), fnmatch_flags) == 0);
        }
        const std::string label = "names, mask " + set.mask + ", " + locale + " locale";
        const double n = double(names.size());
        const double ours = ns_per_call([&] {
                                for (const text &name : names)
                                    keep(path_mask_cmp(name.c_str(), mask.c_str()));
                            }) /
                            n;
        if (agree)
            fnmatch_table.add("path_mask_cmp ~ fnmatch", label, ours,
                              ns_per_call([&] {
                                  for (const std::string &name : set.names)
                                      keep(fnmatch(set.mask.c_str(), name.c_str(), fnmatch_flags));
                              }) / n);
        else
            fnmatch_table.skip("path_mask_cmp ~ fnmatch", label, "answers differ");
        literal_table.add(
            "path_mask_cmp ~ literal", label, ours,
            ns_per_call([&] {
                for (const text &name : names)
                    keep(velmora_literal::path_mask_cmp(name.c_str(), mask.c_str(), u""));
            }) / n);
    }
}

void pathological(velmora_bench::peer_table &fnmatch_table,
                  velmora_bench::peer_table &literal_table)
{
    const std::string sixty_a(60, 'a');
    const text wide_a = widen(sixty_a);
    for (int k = 5; k <= 30; k += 5) {
        std::string mask;
        for (int i = 0; i < k; ++i)
            mask += "*a";
        mask += "b";
        const text wide_mask = widen(mask);
        const std::string label = "\"*a\" x " + std::to_string(k) + " + \"b\", 60 a's";
        const double ours =
            ns_per_call([&] { keep(path_mask_cmp(wide_a.c_str(), wide_mask.c_str())); });
        fnmatch_table.add("path_mask_cmp ~ fnmatch", label, ours, ns_per_call([&] {
                              keep(fnmatch(mask.c_str(), sixty_a.c_str(), fnmatch_flags));
                          }));
        // The recursion takes seconds a call from k = 7 on.
        if (k <= 5)
            literal_table.add(
                "path_mask_cmp ~ literal", label, ours, ns_per_call([&] {
                    keep(velmora_literal::path_mask_cmp(wide_a.c_str(), wide_mask.c_str(), u""));
                }));
        else
            literal_table.skip("path_mask_cmp ~ literal", label,
                               "the recursion does not finish in time");
    }
}

void whole_path_masks(velmora_bench::peer_table &literal_table)
{
    const text directory = u"C:\\Users\\alice\\Documents";
    const struct {
        const char *label;
        text path, mask;
    } cases[] = {
        {"drive mask", u"C:\\Users\\alice\\Documents\\reports\\annual_report_2024.txt",
         u"C:\\Users\\*\\Documents\\*\\*.txt"},
        {"relative mask", u"C:\\Users\\alice\\Documents\\reports\\annual_report_2024.txt",
         u"reports\\*2024*"},
        {"parent mask", u"C:\\Users\\alice\\Music\\track01.mp3", u"..\\Music\\track??.mp3"},
    };
    velmora::host::override_working_directory(directory.c_str());
    for (const auto &c : cases) {
        const int ours = path_mask_cmp(c.path.c_str(), c.mask.c_str());
        const int theirs =
            velmora_literal::path_mask_cmp(c.path.c_str(), c.mask.c_str(), directory.c_str());
        if (ours != theirs) {
            literal_table.skip("path_mask_cmp ~ literal", c.label, "answers differ");
            continue;
        }
        literal_table.add("path_mask_cmp ~ literal", c.label,
                          ns_per_call([&] { keep(path_mask_cmp(c.path.c_str(), c.mask.c_str())); }),
                          ns_per_call([&] {
                              keep(velmora_literal::path_mask_cmp(c.path.c_str(), c.mask.c_str(),
                                                                  directory.c_str()));
                          }));
    }
    velmora::host::override_working_directory(nullptr);
}

// "/folder0/folder1/.../rrr.txt" of exactly `length` bytes.
std::string slash_path(std::size_t length)
{
    std::string path;
    for (int i = 0; path.size() + 8 + 6 < length; ++i)
        path += "/folder" + std::to_string(i % 10);
    return path + "/" + std::string(length - path.size() - 1 - 4, 'r') + ".txt";
}

void components(velmora_bench::peer_table &table)
{
    for (const std::size_t length : {20u, 80u, 1000u, 30000u}) {
        const std::string label = std::to_string(length) + " units";
        std::string narrow = slash_path(length);
        const text wide = widen(narrow);

        // basename changes its argument only for a trailing slash, which
        // these paths lack.
        const std::string theirs_name = basename(narrow.data());
        const velmora_char *ours_name = get_file_part(wide.c_str());
        if (ours_name && widen(theirs_name) == ours_name)
            table.add("get_file_part ~ basename", label,
                      ns_per_call([&] { keep(get_file_part(wide.c_str())); }),
                      ns_per_call([&] { keep(basename(narrow.data())); }));
        else
            table.skip("get_file_part ~ basename", label, "answers differ");

        std::vector<char> narrow_work(narrow.size() + 1);
        std::vector<velmora_char> wide_work(wide.size() + 1);
        const auto reset_narrow = [&] {
            std::memcpy(narrow_work.data(), narrow.c_str(), narrow.size() + 1);
            return narrow_work.data();
        };
        const auto reset_wide = [&] {
            std::memcpy(wide_work.data(), wide.c_str(), (wide.size() + 1) * sizeof(velmora_char));
            return wide_work.data();
        };
        const std::string theirs_dir = dirname(reset_narrow());
        velmora_char *ours_dir = reset_wide();
        path_pop(ours_dir, ours_dir, 0);
        if (widen(theirs_dir) == text(ours_dir))
            table.add("path_pop ~ dirname", label, ns_per_call([&] {
                          velmora_char *b = reset_wide();
                          keep(path_pop(b, b, 0));
                      }),
                      ns_per_call([&] { keep(dirname(reset_narrow())); }));
        else
            table.skip("path_pop ~ dirname", label, "answers differ");
    }
}

} // namespace

int main()
{
    velmora_bench::peer_table glibc("glibc");
    velmora_bench::peer_table literal("literal");
    name_masks(glibc, literal, "C");
    if (std::setlocale(LC_ALL, "C.UTF-8")) {
        name_masks(glibc, literal, "C.UTF-8");
        std::setlocale(LC_ALL, "C");
    }
    pathological(glibc, literal);
    whole_path_masks(literal);
    components(glibc);
    std::printf(
        "\nAgainst glibc (fnmatch with FNM_CASEFOLD | FNM_NOESCAPE, basename, dirname):\n\n");
    glibc.print();
    std::printf("\nAgainst the literal algorithms (recursive matcher, fixed working texts):\n\n");
    literal.print();
    return 0;
}

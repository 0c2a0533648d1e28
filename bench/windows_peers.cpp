// velmora against the Windows path functions that a Windows programmer would
// otherwise call, timed in one process on the same inputs. A row is reported
// only where both give the same answer on its inputs.
#include <windows.h>

#include <pathcch.h>
#include <shlwapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "peer_table.h"
#include "velmora.h"

namespace {

using velmora_bench::keep;
using velmora_bench::ns_per_call;
using text = std::wstring;

struct input_class {
    const char *label;
    std::size_t length;
};

const input_class classes[] = {
    {"short (20)", 20}, {"typical (80)", 80}, {"long (1000)", 1000}, {"long (30000)", 30000}};

// "C:\folder0\folder1\...\rrr.txt" of exactly `length` units.
text drive_path(std::size_t length, const text &root = L"C:")
{
    text path = root;
    for (int i = 0; path.size() + 9 + 6 < length; ++i)
        path += L"\\folder" + std::to_wstring(i % 10);
    const std::size_t name = length - path.size() - 1 - 4;
    return path + L"\\" + text(name, L'r') + L".txt";
}

// Copies `from` into `work` (with its terminator) before each call of an
// in-place function, the same for both sides.
struct in_place_buffer {
    std::vector<wchar_t> work;
    const text &from;
    in_place_buffer(const text &source, std::size_t room) : work(room + 1), from(source) {}
    wchar_t *reset()
    {
        std::memcpy(work.data(), from.c_str(), (from.size() + 1) * sizeof(wchar_t));
        return work.data();
    }
};

void name_masks(velmora_bench::peer_table &table)
{
    const struct {
        const wchar_t *mask;
        std::vector<text> names;
    } sets[] = {
        {L"*.txt", {L"annual_report.txt", L"readme.md", L"NOTES.TXT", L"2024-01-15_backup.tar.gz"}},
        {L"*.LOG", {L"app.log", L"server-2024-11-30.log", L"app.log.1", L"LOGBOOK.DOC"}},
        {L"file?.log", {L"file1.log", L"file12.log", L"FILE7.LOG", L"profile.log"}},
        {L"*report*2024*.csv",
         {L"Q3_report_final_2024_v2.csv", L"report-2023.csv", L"sales_report_march_2024.xlsx",
          L"weekly-REPORT-2024-11.CSV"}},
        {L"readme.md", {L"README.md", L"readme.txt", L"readme.md", L"changelog.md"}},
    };
    for (const auto &set : sets) {
        bool agree = true;
        for (const text &name : set.names)
            agree &= (path_mask_cmp(name.c_str(), set.mask) == 1) ==
                     (PathMatchSpecW(name.c_str(), set.mask) != FALSE);
        char label[64];
        std::snprintf(label, sizeof label, "names, mask %ls", set.mask);
        if (!agree) {
            table.skip("path_mask_cmp ~ PathMatchSpecW", label, "answers differ");
            continue;
        }
        const double n = double(set.names.size());
        table.add("path_mask_cmp ~ PathMatchSpecW", label,
                  ns_per_call([&] {
                      for (const text &name : set.names)
                          keep(path_mask_cmp(name.c_str(), set.mask));
                  }) / n,
                  ns_per_call([&] {
                      for (const text &name : set.names)
                          keep(PathMatchSpecW(name.c_str(), set.mask));
                  }) / n);
    }

    // "*a" k times then "b" against 60 a's: up to where the peer stops
    // answering within a second.
    const text sixty_a(60, L'a');
    for (int k = 4; k <= 30; ++k) {
        text mask;
        for (int i = 0; i < k; ++i)
            mask += L"*a";
        mask += L"b";
        const auto start = std::chrono::steady_clock::now();
        const BOOL theirs = PathMatchSpecW(sixty_a.c_str(), mask.c_str());
        const std::chrono::duration<double> once = std::chrono::steady_clock::now() - start;
        char label[64];
        std::snprintf(label, sizeof label, "\"*a\" x %d + \"b\", 60 a's", k);
        if (theirs != FALSE || path_mask_cmp(sixty_a.c_str(), mask.c_str()) != 0) {
            table.skip("path_mask_cmp ~ PathMatchSpecW", label, "answers differ");
            continue;
        }
        const double ours =
            ns_per_call([&] { keep(path_mask_cmp(sixty_a.c_str(), mask.c_str())); });
        if (once.count() > 1.0) {
            table.add("path_mask_cmp ~ PathMatchSpecW", label, ours, once.count() * 1e9);
            table.skip("path_mask_cmp ~ PathMatchSpecW", "longer star masks",
                       "the peer takes over a second");
            break;
        }
        const double theirs_ns = once.count() > 0.05 ? once.count() * 1e9 : ns_per_call([&] {
            keep(PathMatchSpecW(sixty_a.c_str(), mask.c_str()));
        });
        table.add("path_mask_cmp ~ PathMatchSpecW", label, ours, theirs_ns);
    }
}

void components(velmora_bench::peer_table &table)
{
    for (const input_class &c : classes) {
        const text path = drive_path(c.length);
        const text prefixed = drive_path(c.length, L"\\\\?\\C:");
        const text unc = drive_path(c.length, L"\\\\server\\share");

        if (get_file_part(path.c_str()) == PathFindFileNameW(path.c_str()))
            table.add("get_file_part ~ PathFindFileNameW", c.label,
                      ns_per_call([&] { keep(get_file_part(path.c_str())); }),
                      ns_per_call([&] { keep(PathFindFileNameW(path.c_str())); }));
        else
            table.skip("get_file_part ~ PathFindFileNameW", c.label, "answers differ");

        {
            in_place_buffer ours(path, path.size()), theirs(path, path.size());
            path_pop(ours.reset(), ours.work.data(), 0);
            PathRemoveFileSpecW(theirs.reset());
            if (text(ours.work.data()) == text(theirs.work.data()))
                table.add("path_pop ~ PathRemoveFileSpecW", c.label, ns_per_call([&] {
                              wchar_t *b = ours.reset();
                              keep(path_pop(b, b, 0));
                          }),
                          ns_per_call([&] { keep(PathRemoveFileSpecW(theirs.reset())); }));
            else
                table.skip("path_pop ~ PathRemoveFileSpecW", c.label, "answers differ");
        }
        {
            const std::size_t room = path.size() + 16;
            in_place_buffer ours(path, room), theirs(path, room);
            const wchar_t *name = L"notes.txt";
            path_push(ours.reset(), name, ours.work.data(), std::uint32_t(room));
            const HRESULT appended =
                PathCchAppendEx(theirs.reset(), room, name, PATHCCH_ALLOW_LONG_PATHS);
            if (SUCCEEDED(appended) && text(ours.work.data()) == text(theirs.work.data()))
                table.add(
                    "path_push ~ PathCchAppendEx", c.label, ns_per_call([&] {
                        wchar_t *b = ours.reset();
                        keep(path_push(b, name, b, std::uint32_t(room)));
                    }),
                    ns_per_call([&] {
                        keep(PathCchAppendEx(theirs.reset(), room, name, PATHCCH_ALLOW_LONG_PATHS));
                    }));
            else
                table.skip("path_push ~ PathCchAppendEx", c.label, "answers differ");
        }
        if ((is_UNC_path(unc.c_str()) != 0) == (PathIsUNCW(unc.c_str()) != FALSE))
            table.add("is_UNC_path ~ PathIsUNCW", c.label,
                      ns_per_call([&] { keep(is_UNC_path(unc.c_str())); }),
                      ns_per_call([&] { keep(PathIsUNCW(unc.c_str())); }));
        else
            table.skip("is_UNC_path ~ PathIsUNCW", c.label, "answers differ");
        {
            in_place_buffer ours(prefixed, prefixed.size()), theirs(prefixed, prefixed.size());
            rem_NTFS_path_prefix(ours.reset(), ours.work.data(), std::uint32_t(prefixed.size()));
            const HRESULT stripped = PathCchStripPrefix(theirs.reset(), prefixed.size() + 1);
            if (SUCCEEDED(stripped) && text(ours.work.data()) == text(theirs.work.data()))
                table.add("rem_NTFS_path_prefix ~ PathCchStripPrefix", c.label, ns_per_call([&] {
                              wchar_t *b = ours.reset();
                              keep(rem_NTFS_path_prefix(b, b, std::uint32_t(prefixed.size())));
                          }),
                          ns_per_call([&] {
                              keep(PathCchStripPrefix(theirs.reset(), prefixed.size() + 1));
                          }));
            else
                table.skip("rem_NTFS_path_prefix ~ PathCchStripPrefix", c.label, "answers differ");
        }
        if ((get_drive_part(path.c_str()) != nullptr) == (PathGetDriveNumberW(path.c_str()) >= 0))
            table.add("get_drive_part ~ PathGetDriveNumberW", c.label,
                      ns_per_call([&] { keep(get_drive_part(path.c_str())); }),
                      ns_per_call([&] { keep(PathGetDriveNumberW(path.c_str())); }));
        else
            table.skip("get_drive_part ~ PathGetDriveNumberW", c.label, "answers differ");
    }
}

} // namespace

int main()
{
    velmora_bench::peer_table table("Windows");
    name_masks(table);
    components(table);
    table.print();
    return 0;
}

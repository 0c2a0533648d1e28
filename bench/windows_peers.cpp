// SPDX-License-Identifier: MIT
// velmora against the Windows path functions that a Windows programmer would
// otherwise call, on the same inputs, in one process pinned to one processor.
// Our functions are reached through the DLL's import library, as callers
// link them. A row is timed only where both sides answer alike on every input.
#include <windows.h>

#include <pathcch.h>
#include <shlwapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "inputs.h"
#include "peer_table.h"
#include "velmora.h"

namespace {

using namespace velmora_bench;
using text = std::wstring;

text widen(const std::string &ascii) { return text(ascii.begin(), ascii.end()); }

int pin_to_one_cpu()
{
    DWORD_PTR process_mask = 0, system_mask = 0;
    GetProcessAffinityMask(GetCurrentProcess(), &process_mask, &system_mask);
    int cpu = -1;
    for (int i = 0; i < int(sizeof(DWORD_PTR) * 8); ++i)
        if (process_mask & (DWORD_PTR(1) << i)) cpu = i;
    if (cpu < 0 || !SetThreadAffinityMask(GetCurrentThread(), DWORD_PTR(1) << cpu)) return -1;
    return cpu;
}

void name_rows(peer_table &table)
{
    std::vector<text> names;
    for (const std::string &name : realistic_names())
        names.push_back(widen(name));
    for (const char *narrow_mask : name_masks) {
        const text mask = widen(narrow_mask);
        const std::string label = std::string("20,000 names, mask ") + narrow_mask;
        std::size_t differ = 0, matched = 0;
        for (const text &name : names) {
            const bool ours = path_mask_cmp(name.c_str(), mask.c_str()) == 1;
            differ += ours != (PathMatchSpecW(name.c_str(), mask.c_str()) != FALSE);
            matched += ours;
        }
        if (differ) {
            table.skip("path_mask_cmp ~ PathMatchSpecW", label,
                       std::to_string(differ) + " answers differ");
            continue;
        }
        table.add("path_mask_cmp ~ PathMatchSpecW",
                  label + " (" + std::to_string(matched) + " match)",
                  time_pair(
                      [&] {
                          for (const text &name : names)
                              keep(path_mask_cmp(name.c_str(), mask.c_str()));
                      },
                      [&] {
                          for (const text &name : names)
                              keep(PathMatchSpecW(name.c_str(), mask.c_str()));
                      },
                      names.size()));
    }
}

// One length's paths with the place of each last backslash.
struct path_set {
    std::vector<text> paths;
    std::vector<std::size_t> last_separator;

    path_set(std::size_t length, const std::string &root)
    {
        for (const std::string &p : realistic_paths(length, root, '\\')) {
            paths.push_back(widen(p));
            last_separator.push_back(p.rfind('\\'));
        }
    }
};

void component_rows(peer_table &table)
{
    for (const std::size_t length : path_lengths) {
        const std::string label = std::to_string(length) + " units";
        path_set set(length, "C:");
        path_set prefixed(length, "\\\\?\\C:");
        path_set unc(length, "\\\\server\\share");
        const std::size_t n = set.paths.size();

        bool agree = true;
        for (const text &p : set.paths)
            agree &= get_file_part(p.c_str()) == PathFindFileNameW(p.c_str());
        if (agree)
            table.add("get_file_part ~ PathFindFileNameW", label,
                      time_pair(
                          [&] {
                              for (const text &p : set.paths)
                                  keep(get_file_part(p.c_str()));
                          },
                          [&] {
                              for (const text &p : set.paths)
                                  keep(PathFindFileNameW(p.c_str()));
                          },
                          n));
        else
            table.skip("get_file_part ~ PathFindFileNameW", label, "answers differ");

        // In place on both sides; each call's terminator is undone after it.
        agree = true;
        for (const text &p : set.paths) {
            text ours = p, theirs = p;
            agree &= path_pop(ours.data(), ours.data(), 0) == 1 &&
                     PathRemoveFileSpecW(theirs.data()) != FALSE &&
                     text(ours.c_str()) == text(theirs.c_str());
        }
        if (agree)
            table.add("path_pop ~ PathRemoveFileSpecW", label,
                      time_pair(
                          [&] {
                              for (std::size_t i = 0; i < n; ++i) {
                                  wchar_t *p = set.paths[i].data();
                                  keep(path_pop(p, p, 0));
                                  p[set.last_separator[i]] = L'\\';
                              }
                          },
                          [&] {
                              for (std::size_t i = 0; i < n; ++i) {
                                  wchar_t *p = set.paths[i].data();
                                  keep(PathRemoveFileSpecW(p));
                                  p[set.last_separator[i]] = L'\\';
                              }
                          },
                          n));
        else
            table.skip("path_pop ~ PathRemoveFileSpecW", label, "answers differ");

        // Appending in place, the base's terminator put back after each call.
        const wchar_t *name = L"notes.txt";
        std::vector<std::vector<wchar_t>> buffers;
        for (const text &p : set.paths) {
            buffers.emplace_back(p.begin(), p.end());
            buffers.back().resize(p.size() + 16, 0);
        }
        agree = true;
        for (std::size_t i = 0; i < n; ++i) {
            std::vector<wchar_t> ours = buffers[i], theirs = buffers[i];
            agree &= path_push(ours.data(), name, ours.data(), std::uint32_t(ours.size())) == 1 &&
                     SUCCEEDED(PathCchAppendEx(theirs.data(), theirs.size(), name,
                                               PATHCCH_ALLOW_LONG_PATHS)) &&
                     text(ours.data()) == text(theirs.data());
        }
        if (agree)
            table.add("path_push ~ PathCchAppendEx", label,
                      time_pair(
                          [&] {
                              for (std::size_t i = 0; i < n; ++i) {
                                  std::vector<wchar_t> &b = buffers[i];
                                  keep(
                                      path_push(b.data(), name, b.data(), std::uint32_t(b.size())));
                                  b[length] = 0;
                              }
                          },
                          [&] {
                              for (std::size_t i = 0; i < n; ++i) {
                                  std::vector<wchar_t> &b = buffers[i];
                                  keep(PathCchAppendEx(b.data(), b.size(), name,
                                                       PATHCCH_ALLOW_LONG_PATHS));
                                  b[length] = 0;
                              }
                          },
                          n));
        else
            table.skip("path_push ~ PathCchAppendEx", label, "answers differ");

        agree = true;
        for (const text &p : unc.paths)
            agree &= (is_UNC_path(p.c_str()) != 0) == (PathIsUNCW(p.c_str()) != FALSE);
        if (agree)
            table.add("is_UNC_path ~ PathIsUNCW", label,
                      time_pair(
                          [&] {
                              for (const text &p : unc.paths)
                                  keep(is_UNC_path(p.c_str()));
                          },
                          [&] {
                              for (const text &p : unc.paths)
                                  keep(PathIsUNCW(p.c_str()));
                          },
                          n));
        else
            table.skip("is_UNC_path ~ PathIsUNCW", label, "answers differ");

        // The prefix removal moves the text: both sides start from a fresh copy.
        agree = true;
        for (const text &p : prefixed.paths) {
            text ours = p, theirs = p;
            agree &= rem_NTFS_path_prefix(ours.data(), ours.data(), std::uint32_t(p.size())) == 1 &&
                     SUCCEEDED(PathCchStripPrefix(theirs.data(), p.size() + 1)) &&
                     text(ours.c_str()) == text(theirs.c_str());
        }
        std::vector<wchar_t> work(length + 8);
        const auto fresh = [&](const text &p) {
            std::memcpy(work.data(), p.c_str(), (p.size() + 1) * sizeof(wchar_t));
            return work.data();
        };
        if (agree)
            table.add("rem_NTFS_path_prefix ~ PathCchStripPrefix", label,
                      time_pair(
                          [&] {
                              for (const text &p : prefixed.paths)
                                  keep(rem_NTFS_path_prefix(fresh(p), work.data(),
                                                            std::uint32_t(p.size())));
                          },
                          [&] {
                              for (const text &p : prefixed.paths)
                                  keep(PathCchStripPrefix(fresh(p), p.size() + 1));
                          },
                          n));
        else
            table.skip("rem_NTFS_path_prefix ~ PathCchStripPrefix", label, "answers differ");

        agree = true;
        for (const text &p : set.paths)
            agree &=
                (get_drive_part(p.c_str()) != nullptr) == (PathGetDriveNumberW(p.c_str()) >= 0);
        if (agree)
            table.add("get_drive_part ~ PathGetDriveNumberW", label,
                      time_pair(
                          [&] {
                              for (const text &p : set.paths)
                                  keep(get_drive_part(p.c_str()));
                          },
                          [&] {
                              for (const text &p : set.paths)
                                  keep(PathGetDriveNumberW(p.c_str()));
                          },
                          n));
        else
            table.skip("get_drive_part ~ PathGetDriveNumberW", label, "answers differ");
    }
}

} // namespace

int main()
{
    const int cpu = pin_to_one_cpu();
    std::printf("pinned to cpu %d; %d rounds a row, each ours and the peer back to back, "
                "the order turning; %d-bit\n",
                cpu, rounds, int(sizeof(void *) * 8));
    peer_table table("Windows", "Windows / ours");
    name_rows(table);
    component_rows(table);
    std::printf("\nRatio above 1: ours is faster.\n\n");
    table.print();
    return 0;
}

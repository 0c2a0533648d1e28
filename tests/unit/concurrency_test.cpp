// SPDX-License-Identifier: MIT
// Many threads calling every family at once: each answer stays right, and
// every code a thread reads back is one that some call stored.
#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "host_path.h"

namespace velmora_test {
namespace {

constexpr int thread_count = 8;
constexpr int calls_per_thread = 200000;
constexpr int file_system_every = 1200; // a multiple of the 12 kinds of call

struct tree {
    text file, missing, in_missing_directory;
};

// One call chosen by `i`, checked on the spot; false when its answer is wrong.
bool call_and_check(int i, const tree &files)
{
    velmora_char out[64];
    std::int32_t flag = -1;
    velmora_file_attributes record;
    switch (i % 12) {
    case 0:
        return path_push(T("C:\\dir"), T("file"), out, 11) == 0;
    case 1:
        return path_push(T("C:\\dir"), T("file"), out, 64) == 1 &&
               view(out) == view(T("C:\\dir\\file"));
    case 2:
        return rem_UNC_path_prefix(T("\\\\srv\\share"), out, 20) == 1 &&
               view(out) == view(T("srv\\share"));
    case 3:
        return add_NTFS_path_prefix(T("C:\\a"), out, 7) == 0;
    case 4:
        return path_pop(T("file"), out, 20) == 0;
    case 5: {
        const velmora_char *path = T("C:\\dir\\file.txt");
        return get_file_part(path) == path + 7 && get_drive_part(path) == path &&
               is_absolute(path) == 1;
    }
    case 6: {
        const velmora_char *path = T("\\\\?\\UNC\\srv\\share");
        return get_path_part(path) == path + 8 && is_UNC_path(path) == 1;
    }
    case 7:
        return path_mask_cmp(T("C:\\logs\\APP.LOG"), T("*.log")) == 1 && is_mask(T("*.log")) == 1;
    case 8:
        return path_mask_cmp(T("C:\\data\\x.txt"), T("D:\\data\\*.txt")) == 1 &&
               path_mask_cmp(T("C:\\data"), T("C:\\data\\*")) == 0;
    case 9:
        // The file system is slow next to the rest (under Wine, a server round
        // trip a query): ask it now and then.
        if (i % file_system_every != 9) return true;
        return file_exist(files.file.c_str(), &flag) == 1 && flag == 1 &&
               file_exist(files.missing.c_str(), &flag) == 1 && flag == 0;
    case 10:
        if (i % file_system_every != 10) return true;
        return get_file_attr(files.in_missing_directory.c_str(), &record) == 0 &&
               is_directory(files.file.c_str(), &flag) == 1 && flag == 0;
    default: {
        const std::int32_t code = get_err_code();
        return code >= err_none && code <= err_file_not_found;
    }
    }
}

TEST(Concurrency, ThreadsMixingEveryFamilyAgree)
{
    const temporary_folder folder;
    const fs::path &root = folder.path();
    std::ofstream(root / "file.txt") << "x";
    const tree files{host_text(root / "file.txt"), host_text(root / "missing.txt"),
                     host_text(root / "nodir" / "x.txt")};

    std::atomic<int> wrong{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < thread_count; ++t) {
        threads.emplace_back([&, t] {
            while (!go.load())
                std::this_thread::yield();
            for (int i = 0; i < calls_per_thread; ++i)
                if (!call_and_check(i + t, files)) wrong.fetch_add(1);
        });
    }
    go.store(true);
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

} // namespace
} // namespace velmora_test

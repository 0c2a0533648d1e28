// SPDX-License-Identifier: MIT
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "host_path.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velmora_test {
namespace {

constexpr char file_content[] = "hello velmora\n";
constexpr std::int32_t untouched_out = 77;

// A tree made fresh for each test in a folder of its own.
class FileQuery : public testing::Test {
  protected:
    void SetUp() override
    {
        fs::create_directories(root_ / "dir");
        std::ofstream(root_ / "file.txt", std::ios::binary) << file_content;
        written_at_ = std::chrono::system_clock::now();
    }

    // The tree's root joined with `relative` in the host's own spelling.
    text path(const char *relative) const { return host_text(root_ / relative); }

    temporary_folder folder_;
    const fs::path root_ = folder_.path();
    std::chrono::system_clock::time_point written_at_;
};

// FILETIME: 100 ns units since 1601-01-01.
std::int64_t filetime_seconds_since_1970(const velmora_file_attributes &record)
{
    const std::uint64_t ticks = (std::uint64_t{record.ftLastWriteTime.dwHighDateTime} << 32) |
                                record.ftLastWriteTime.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10000000) - 11644473600;
}

struct query_row {
    const char *relative; // null: the empty path
    std::int32_t result;
    std::int32_t out;  // the out-parameter afterwards
    std::int32_t code; // the code stored, or untouched_code
};

TEST_F(FileQuery, FileExistClassifiesEveryAnswer)
{
    const query_row rows[] = {
        {"file.txt", 1, 1, untouched_code},        {"missing.txt", 1, 0, err_file_not_found},
        {"nodir/x.txt", 1, 0, err_file_not_found}, {"file.txt/x", 1, 0, err_file_not_found},
        {nullptr, 1, 0, err_file_not_found},       {"dir", 0, untouched_out, err_undefined},
    };
    for (const auto &row : rows) {
        const text p = row.relative ? path(row.relative) : text();
        std::int32_t exists = untouched_out;
        prime_error_slot();
        EXPECT_EQ(file_exist(p.c_str(), &exists), row.result) << show(p);
        EXPECT_EQ(exists, row.out) << show(p);
        EXPECT_EQ(get_err_code(), row.code) << show(p);
    }
}

TEST_F(FileQuery, GetFileAttrTellsMissingFileFromMissingDirectory)
{
    const query_row rows[] = {
        {"missing.txt", 0, 0, err_file_not_found},
        {"nodir/x.txt", 0, 0, err_undefined},
        {"file.txt/x", 0, 0, err_undefined},
        {nullptr, 0, 0, err_undefined},
    };
    for (const auto &row : rows) {
        const text p = row.relative ? path(row.relative) : text();
        velmora_file_attributes record{};
        prime_error_slot();
        EXPECT_EQ(get_file_attr(p.c_str(), &record), row.result) << show(p);
        EXPECT_EQ(get_err_code(), row.code) << show(p);
    }
}

TEST_F(FileQuery, GetFileAttrDescribesTheFile)
{
    velmora_file_attributes record{};
    prime_error_slot();
    ASSERT_EQ(get_file_attr(path("file.txt").c_str(), &record), 1);
    EXPECT_EQ(get_err_code(), untouched_code);
    EXPECT_EQ(record.nFileSizeHigh, 0u);
    EXPECT_EQ(record.nFileSizeLow, sizeof file_content - 1);
    EXPECT_EQ(record.dwFileAttributes & 0x10u, 0u);
    const std::int64_t written =
        std::chrono::duration_cast<std::chrono::seconds>(written_at_.time_since_epoch()).count();
    EXPECT_NEAR(static_cast<double>(filetime_seconds_since_1970(record)),
                static_cast<double>(written), 5.0);

    ASSERT_EQ(get_file_attr(path("dir").c_str(), &record), 1);
    EXPECT_EQ(record.dwFileAttributes & 0x10u, 0x10u);
}

TEST_F(FileQuery, IsDirectoryStoresSixteenOrZero)
{
    const query_row rows[] = {
        {"dir", 1, 16, untouched_code},
        {"file.txt", 1, 0, untouched_code},
        {"missing.txt", 0, untouched_out, err_file_not_found},
        {"nodir/x.txt", 0, untouched_out, err_undefined},
    };
    for (const auto &row : rows) {
        const text p = path(row.relative);
        std::int32_t is_dir = untouched_out;
        prime_error_slot();
        EXPECT_EQ(is_directory(p.c_str(), &is_dir), row.result) << show(p);
        EXPECT_EQ(is_dir, row.out) << show(p);
        EXPECT_EQ(get_err_code(), row.code) << show(p);
    }
}

TEST_F(FileQuery, NullArgumentsFailWithNotPath)
{
    velmora_file_attributes record{};
    std::int32_t out = untouched_out;
    const text file = path("file.txt");
    const auto expect_not_path = [](std::int32_t result) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(get_err_code(), err_not_path);
        prime_error_slot();
    };
    prime_error_slot();
    expect_not_path(file_exist(nullptr, &out));
    expect_not_path(file_exist(file.c_str(), nullptr));
    expect_not_path(get_file_attr(nullptr, &record));
    expect_not_path(get_file_attr(file.c_str(), nullptr));
    expect_not_path(is_directory(nullptr, &out));
    expect_not_path(is_directory(file.c_str(), nullptr));
    EXPECT_EQ(out, untouched_out);
}

#if defined(_WIN32)
// The handles the process holds, by the documented count.
std::optional<std::size_t> counted_handles()
{
    DWORD count = 0;
    if (!GetProcessHandleCount(GetCurrentProcess(), &count)) return std::nullopt;
    return count;
}

// The handles the process holds, from the system's list of every process's
// handles: Wine keeps that list, though its count above is always 0.
std::optional<std::size_t> listed_handles()
{
    struct entry {
        void *object;
        ULONG_PTR process, handle;
        ULONG access;
        USHORT creator, type;
        ULONG attributes, reserved;
    };
    struct list {
        ULONG_PTR count, reserved;
        entry entries[1];
    };
    using query = LONG(WINAPI *)(ULONG, void *, ULONG, ULONG *);
    constexpr ULONG extended_handle_information = 64;
    constexpr LONG too_small = static_cast<LONG>(0xC0000004);
    const auto ask = reinterpret_cast<query>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!ask) return std::nullopt;
    std::vector<ULONG_PTR> room(1 << 14);
    LONG status;
    ULONG needed = 0;
    while ((status = ask(extended_handle_information, room.data(),
                         static_cast<ULONG>(room.size() * sizeof(ULONG_PTR)), &needed)) ==
           too_small)
        room.resize(room.size() * 2);
    if (status != 0) return std::nullopt;
    const auto *handles = reinterpret_cast<const list *>(room.data());
    std::size_t count = 0;
    for (ULONG_PTR i = 0; i < handles->count; ++i)
        count += handles->entries[i].process == GetCurrentProcessId();
    return count;
}
#else
// The descriptors the process holds.
std::optional<std::size_t> listed_descriptors()
{
    std::error_code error;
    std::size_t count = 0;
    for (fs::directory_iterator it("/proc/self/fd", error), end; !error && it != end;
         it.increment(error))
        ++count;
    if (error) return std::nullopt;
    return count;
}
#endif

using descriptor_counter = std::optional<std::size_t> (*)();

// The first way of counting what the process holds that sees a file opened
// and closed again, or null.
descriptor_counter working_counter(const fs::path &file)
{
#if defined(_WIN32)
    const descriptor_counter counters[] = {counted_handles, listed_handles};
#else
    const descriptor_counter counters[] = {listed_descriptors};
#endif
    for (const descriptor_counter count : counters) {
        const std::optional<std::size_t> before = count();
        std::FILE *opened = std::fopen(file.string().c_str(), "rb");
        const std::optional<std::size_t> during = count();
        if (opened) std::fclose(opened);
        if (opened && before && during && *during == *before + 1 && count() == before) return count;
    }
    return nullptr;
}

// Every query, many times on each kind of path, leaves the process holding
// what it held before.
TEST_F(FileQuery, QueriesHoldNoDescriptorsAfterwards)
{
    const descriptor_counter open_descriptors = working_counter(root_ / "file.txt");
    if (!open_descriptors)
        GTEST_SKIP() << "NOT RUN: no way here of counting the descriptors (handles) a process "
                        "holds sees a file opened";
    for (const char *relative : {"file.txt", "missing.txt", "nodir/x.txt", "dir"}) {
        const text p = path(relative);
        const std::optional<std::size_t> before = open_descriptors();
        for (int i = 0; i < 100; ++i) {
            std::int32_t out = 0;
            velmora_file_attributes record{};
            file_exist(p.c_str(), &out);
            get_file_attr(p.c_str(), &record);
            is_directory(p.c_str(), &out);
        }
        EXPECT_EQ(open_descriptors(), before) << relative;
    }
}

#if !defined(_WIN32)
// POSIX stand-ins for what Windows answers of its own.
TEST_F(FileQuery, PosixHostAnswersAsWindowsWould)
{
    // Opening asks for no access, so a file nobody may read still exists.
    fs::permissions(root_ / "file.txt", fs::perms::none);
    std::int32_t exists = untouched_out;
    EXPECT_EQ(file_exist(path("file.txt").c_str(), &exists), 1);
    EXPECT_EQ(exists, 1);

    velmora_file_attributes record{};
    if (geteuid() != 0) {
        fs::permissions(root_ / "dir", fs::perms::none);
        prime_error_slot();
        EXPECT_EQ(get_file_attr(path("dir/x").c_str(), &record), 0);
        EXPECT_EQ(get_err_code(), err_undefined) << "access denied";
        fs::permissions(root_ / "dir", fs::perms::owner_all);
    }
}

// Read-only when nobody may write: the owner, the group or the others.
TEST_F(FileQuery, ReadOnlyWhenNoModeBitAllowsWriting)
{
    const struct {
        const char *relative;
        unsigned mode;
        std::uint32_t attributes;
    } rows[] = {
        {"file.txt", 0000, 0x01}, {"file.txt", 0444, 0x01}, {"file.txt", 0555, 0x01},
        {"file.txt", 0200, 0x80}, {"file.txt", 0020, 0x80}, {"file.txt", 0002, 0x80},
        {"file.txt", 0644, 0x80}, {"dir", 0555, 0x11},      {"dir", 0575, 0x10},
        {"dir", 0757, 0x10},      {"dir", 0755, 0x10},
    };
    for (const auto &row : rows) {
        fs::permissions(root_ / row.relative, static_cast<fs::perms>(row.mode));
        velmora_file_attributes record{};
        ASSERT_EQ(get_file_attr(path(row.relative).c_str(), &record), 1) << row.relative;
        EXPECT_EQ(record.dwFileAttributes, row.attributes)
            << row.relative << " with mode 0" << std::oct << row.mode;
    }
    fs::permissions(root_ / "dir", fs::perms::owner_all);
}
#endif

// Names of 2-, 3- and 4-byte UTF-8 characters (the last a surrogate pair in
// 16-bit text), in the name and in a folder on the way.
TEST_F(FileQuery, NamesBeyondAscii)
{
    const velmora_char *names[] = {T("j\u00F6rg.txt"), T("\u76EE\u5F55"), T("\U0001F600.txt"),
                                   T("\u00DF-\u76EE-\U0001F600\\\U0001F600\u00E9")};
    for (const velmora_char *name : names) {
        const text file = host_text(root_) + T("\\") + name;
        fs::create_directories(host_path(file).parent_path());
        std::ofstream(host_path(file), std::ios::binary) << file_content;
        std::int32_t out = untouched_out;
        prime_error_slot();
        EXPECT_EQ(file_exist(file.c_str(), &out), 1) << show(file);
        EXPECT_EQ(out, 1) << show(file);
        velmora_file_attributes record{};
        EXPECT_EQ(get_file_attr(file.c_str(), &record), 1) << show(file);
        EXPECT_EQ(record.nFileSizeLow, sizeof file_content - 1) << show(file);
        EXPECT_EQ(get_err_code(), untouched_code) << show(file);

        // A missing name next to it is a missing file, not a missing folder.
        const text missing = file + T("\u00E9");
        EXPECT_EQ(file_exist(missing.c_str(), &out), 1) << show(missing);
        EXPECT_EQ(out, 0) << show(missing);
        EXPECT_EQ(get_file_attr(missing.c_str(), &record), 0) << show(missing);
        EXPECT_EQ(get_err_code(), err_file_not_found) << show(missing);
    }
}

// What the platform cannot answer for: file_exist gives no answer (0, code
// 3, out untouched) instead of "missing", and the attribute query fails with
// code 3.
[[maybe_unused]] void expect_cannot_tell(const text &path)
{
    std::int32_t out = untouched_out;
    prime_error_slot();
    EXPECT_EQ(file_exist(path.c_str(), &out), 0) << show(path.substr(0, 60));
    EXPECT_EQ(out, untouched_out) << show(path.substr(0, 60));
    EXPECT_EQ(get_err_code(), err_undefined) << show(path.substr(0, 60));
    velmora_file_attributes record{};
    prime_error_slot();
    EXPECT_EQ(get_file_attr(path.c_str(), &record), 0) << show(path.substr(0, 60));
    EXPECT_EQ(get_err_code(), err_undefined) << show(path.substr(0, 60));
    prime_error_slot();
    EXPECT_EQ(is_directory(path.c_str(), &out), 0) << show(path.substr(0, 60));
    EXPECT_EQ(out, untouched_out) << show(path.substr(0, 60));
    EXPECT_EQ(get_err_code(), err_undefined) << show(path.substr(0, 60));
}

#if !defined(_WIN32)
// POSIX host only: Wine answers "file not found" for a name its file system
// cannot hold, where Windows itself does not.
TEST_F(FileQuery, NamesLongerThanTheFileSystemAllowsCannotTell)
{
    // One name of 300 units, where file systems stop at 255.
    expect_cannot_tell(path("dir") + T("\\") + text(300, T('n')));
    // A whole path beyond the host's limit, made of names that each fit.
    expect_cannot_tell(path("dir") + repeat(T("/") + text(200, T('n')), 25));
}

// A lone surrogate has no UTF-8 spelling, so on a UTF-8 host it names
// nothing that could be there or missing, wherever in the path it stands.
TEST_F(FileQuery, LoneSurrogatesCannotTell)
{
    constexpr velmora_char high = 0xD800, low = 0xDC00, last_high = 0xDBFF, last_low = 0xDFFF;
    const text names[] = {
        {T('x'), high},        {T('x'), low},
        {low, T('x')},         {high, T('x')},
        {low, high},           {high, T('\\'), T('x')},
        {low, T('/'), T('x')}, {last_high, last_high, last_low},
    };
    for (const text &name : names)
        expect_cannot_tell(host_text(root_) + T("/") + name);
}

TEST_F(FileQuery, SymbolicLinkLoopCannotTell)
{
    fs::create_symlink("loop-b", root_ / "loop-a");
    fs::create_symlink("loop-a", root_ / "loop-b");
    expect_cannot_tell(path("loop-a"));
    expect_cannot_tell(path("loop-a/x"));
}

// Run as an unprivileged user (the CTest entry file_query_unprivileged): root
// may enter any folder.
TEST(FileQueryAsUser, AccessDeniedCannotTell)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root passes every access check: see file_query_unprivileged";
    const temporary_folder folder;
    const fs::path closed = folder.path() / "closed";
    fs::create_directories(closed / "inner");
    std::ofstream(closed / "file.txt") << "x";
    fs::permissions(closed, fs::perms::none);
    expect_cannot_tell(host_text(closed / "file.txt"));
    expect_cannot_tell(host_text(closed / "inner"));
    expect_cannot_tell(host_text(closed / "missing.txt"));
    fs::permissions(closed, fs::perms::owner_all);
}

// 100 ns ticks since 1601-01-01 UTC, as FILETIME has them.
std::uint64_t ticks(const velmora_filetime &time)
{
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// Sets a file's access and write times; false when the file system stored
// something else (ext4 keeps nothing before 1901, tmpfs keeps any time).
bool set_times(const fs::path &file, timespec access, timespec write)
{
    const timespec times[2] = {access, write};
    struct stat status;
    return utimensat(AT_FDCWD, file.c_str(), times, 0) == 0 && stat(file.c_str(), &status) == 0 &&
           status.st_mtim.tv_sec == write.tv_sec && status.st_mtim.tv_nsec == write.tv_nsec &&
           status.st_atim.tv_sec == access.tv_sec && status.st_atim.tv_nsec == access.tv_nsec;
}

TEST_F(FileQuery, TimesInHundredNanosecondTicks)
{
    constexpr std::int64_t seconds_1601_to_1970 = 11644473600;
    constexpr std::uint64_t ticks_1970 = 116444736000000000;
    const struct {
        timespec time;
        std::uint64_t ticks;
    } rows[] = {
        {{1600000000, 123456789}, ticks_1970 + 16000000001234567},
        {{0, 999}, ticks_1970 + 9},
        {{0, 99}, ticks_1970},
        {{-1, 999999900}, ticks_1970 - 1},
        {{-seconds_1601_to_1970, 100}, 1},
        {{-seconds_1601_to_1970, 0}, 0},
        // Before 1601 a FILETIME has no value: the record reads 1601 itself.
        {{-seconds_1601_to_1970 - 1, 999999900}, 0},
        {{-14831769600, 0}, 0}, // 1500-01-01
    };
    const fs::path file = root_ / "file.txt";
    const fs::path shared_memory = "/dev/shm";
    const temporary_folder folder;
    for (const auto &row : rows) {
        const std::string when =
            std::to_string(row.time.tv_sec) + " s " + std::to_string(row.time.tv_nsec) + " ns";
        fs::path at = file;
        if (!set_times(at, row.time, row.time)) {
            // The test tree's file system cannot keep this time; tmpfs can.
            at = folder.path() / "file.txt";
            if (fs::is_directory(shared_memory)) at = shared_memory / folder.path().filename();
            std::ofstream(at) << "x";
            if (!set_times(at, row.time, row.time)) {
                fs::remove(at);
                ADD_FAILURE() << "NOT RUN: no file system here keeps " << when;
                continue;
            }
        }
        velmora_file_attributes record{};
        ASSERT_EQ(get_file_attr(host_text(at).c_str(), &record), 1) << when;
        EXPECT_EQ(ticks(record.ftLastWriteTime), row.ticks) << "write time " << when;
        EXPECT_EQ(ticks(record.ftLastAccessTime), row.ticks) << "access time " << when;
        if (at != file) fs::remove(at);
    }
}
#endif

TEST(FileRecord, HasThePlatformLayout)
{
    EXPECT_EQ(sizeof(velmora_file_attributes), 36u);
    EXPECT_EQ(offsetof(velmora_file_attributes, ftCreationTime), 4u);
    EXPECT_EQ(offsetof(velmora_file_attributes, ftLastWriteTime), 20u);
    EXPECT_EQ(offsetof(velmora_file_attributes, nFileSizeLow), 32u);
}

} // namespace
} // namespace velmora_test

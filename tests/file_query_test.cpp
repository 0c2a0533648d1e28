#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace velmora_test {
namespace {

namespace fs = std::filesystem;

constexpr char file_content[] = "hello velmora\n";
constexpr std::int32_t untouched_out = 77;

// A tree made fresh for each test, at the place the build chose (under Wine,
// a Z: path to the same folder as the Linux tests use), else in the temporary
// folder.
class FileQuery : public testing::Test {
  protected:
    void SetUp() override
    {
        const char *root = std::getenv("VELMORA_TEST_TREE");
        root_ = root ? fs::path(root) : fs::temp_directory_path() / "velmora_file_query";
        fs::remove_all(root_);
        fs::create_directories(root_ / "dir");
        std::ofstream(root_ / "file.txt", std::ios::binary) << file_content;
        written_at_ = std::chrono::system_clock::now();
    }

    // The tree's root joined with `relative` in the host's own spelling.
    text path(const char *relative) const
    {
        const fs::path joined = root_ / relative;
        text out;
        for (const auto c : joined.native())
            out += static_cast<velmora_char>(c);
        return out;
    }

    fs::path root_;
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
    ASSERT_EQ(get_file_attr(path("file.txt").c_str(), &record), 1);
    EXPECT_EQ(record.dwFileAttributes, 0x01u) << "read-only, nothing else";
    fs::permissions(root_ / "file.txt", fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(get_file_attr(path("file.txt").c_str(), &record), 1);
    EXPECT_EQ(record.dwFileAttributes, 0x80u) << "a plain file is normal";

    // A lone surrogate names nothing on a UTF-8 host.
    text lone = path("x");
    lone.back() = static_cast<velmora_char>(0xD800);
    prime_error_slot();
    EXPECT_EQ(file_exist(lone.c_str(), &exists), 0);
    EXPECT_EQ(get_err_code(), err_undefined);

    if (geteuid() != 0) {
        fs::permissions(root_ / "dir", fs::perms::none);
        prime_error_slot();
        EXPECT_EQ(get_file_attr(path("dir/x").c_str(), &record), 0);
        EXPECT_EQ(get_err_code(), err_undefined) << "access denied";
        fs::permissions(root_ / "dir", fs::perms::owner_all);
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

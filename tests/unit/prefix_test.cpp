// SPDX-License-Identifier: MIT
#include "support.h"

namespace velmora_test {
namespace {

struct truth_row {
    const velmora_char *path;
    std::int32_t expected;
};

TEST(HasNtfsPathPrefix, MatchesTheFourUnitsExactly)
{
    const truth_row rows[] = {
        {T("\\\\?\\C:\\x"), 1}, {T("\\\\?\\"), 1},      {T("\\\\?"), 0},  {T(""), 0},
        {T("//?/C:/x"), 0},     {T("\\\\.\\C:\\x"), 0}, {T("\\?\\C"), 0}, {nullptr, 0},
    };
    for (const auto &row : rows)
        EXPECT_EQ(has_NTFS_path_prefix(row.path), row.expected) << show(row.path);
}

TEST(IsUncPath, AnyOfTheThreePrefixes)
{
    const truth_row rows[] = {
        {T("\\\\server\\share"), 1},
        {T("\\\\?\\UNC\\server\\share"), 1},
        {T("UNC\\server\\share"), 1},
        {T("\\\\?\\C:\\dir"), 1},
        {T("\\\\"), 1},
        {T("unc\\server"), 0},
        {T("UNC"), 0},
        {T("//server/share"), 0},
        {T("C:\\dir"), 0},
        {T("\\dir"), 0},
        {T(""), 0},
        {nullptr, 0},
    };
    for (const auto &row : rows)
        EXPECT_EQ(is_UNC_path(row.path), row.expected) << show(row.path);
}

using writer = std::int32_t (*)(const velmora_char *, velmora_char *, std::uint32_t);

struct writer_row {
    const char *name;
    writer write;
    const velmora_char *path;
    std::uint32_t size;
    const velmora_char *expected; // null: fails with code 2
};

void check_rows(const writer_row *rows, std::size_t count, null_fill fill)
{
    for (std::size_t i = 0; i < count; ++i) {
        const writer_row &row = rows[i];
        SCOPED_TRACE(testing::Message()
                     << row.name << "(" << show(row.path) << ", " << row.size << ")");
        check_writer([&](velmora_char *dst) { return row.write(row.path, dst, row.size); },
                     row.size, row.expected, fill);
    }
}

TEST(Removers, ResultsAndNullFilling)
{
    const writer_row rows[] = {
        {"rem_NTFS", rem_NTFS_path_prefix, T("\\\\?\\C:\\dir"), 20, T("C:\\dir")},
        {"rem_NTFS", rem_NTFS_path_prefix, T("\\\\?\\UNC\\server\\share"), 20,
         T("UNC\\server\\share")},
        {"rem_NTFS", rem_NTFS_path_prefix, T("C:\\dir"), 6, T("C:\\dir")},
        {"rem_NTFS", rem_NTFS_path_prefix, T("\\\\?\\"), 4, T("")},
        {"rem_NTFS", rem_NTFS_path_prefix, T(""), 0, T("")},
        {"rem_UNC", rem_UNC_path_prefix, T("\\\\?\\UNC\\server\\share"), 30, T("server\\share")},
        {"rem_UNC", rem_UNC_path_prefix, T("UNC\\server\\share"), 30, T("server\\share")},
        {"rem_UNC", rem_UNC_path_prefix, T("\\\\server\\share"), 30, T("server\\share")},
        {"rem_UNC", rem_UNC_path_prefix, T("\\\\?\\C:\\dir"), 30, T("\\\\?\\C:\\dir")},
        {"rem_UNC", rem_UNC_path_prefix, T("C:\\dir"), 30, T("C:\\dir")},
        {"rem_UNC", rem_UNC_path_prefix, T("\\\\"), 2, T("")},
        {"rem_UNC", rem_UNC_path_prefix, T("abc"), 6, T("abc")},
    };
    check_rows(rows, std::size(rows), null_fill::through_size);
}

TEST(Removers, SizeCountsTheWholeInput)
{
    const writer_row rows[] = {
        {"rem_NTFS", rem_NTFS_path_prefix, T("C:\\dir\\abc"), 10, T("C:\\dir\\abc")},
        {"rem_NTFS", rem_NTFS_path_prefix, T("C:\\dir\\abc"), 9, nullptr},
        {"rem_NTFS", rem_NTFS_path_prefix, T("\\\\?\\C:\\dir"), 10, T("C:\\dir")},
        {"rem_NTFS", rem_NTFS_path_prefix, T("\\\\?\\C:\\dir"), 9, nullptr},
        {"rem_UNC", rem_UNC_path_prefix, T("C:\\dir\\abc"), 10, T("C:\\dir\\abc")},
        {"rem_UNC", rem_UNC_path_prefix, T("C:\\dir\\abc"), 9, nullptr},
        {"rem_UNC", rem_UNC_path_prefix, T("\\\\srv\\a"), 7, T("srv\\a")},
        {"rem_UNC", rem_UNC_path_prefix, T("\\\\srv\\a"), 6, nullptr},
        {"rem_UNC", rem_UNC_path_prefix, T("x"), 0, nullptr},
    };
    check_rows(rows, std::size(rows), null_fill::through_size);
}

TEST(AddNtfsPathPrefix, CountsThePrefixEvenWhenPresent)
{
    const writer_row adds[] = {
        {"add_NTFS", add_NTFS_path_prefix, T("C:\\a"), 8, T("\\\\?\\C:\\a")},
        {"add_NTFS", add_NTFS_path_prefix, T("C:\\a"), 7, nullptr},
        {"add_NTFS", add_NTFS_path_prefix, T("C:\\a"), 30, T("\\\\?\\C:\\a")},
        {"add_NTFS", add_NTFS_path_prefix, T(""), 4, T("\\\\?\\")},
        {"add_NTFS", add_NTFS_path_prefix, T(""), 3, nullptr},
        {"add_NTFS", add_NTFS_path_prefix, T("C:\\a"), UINT32_MAX, T("\\\\?\\C:\\a")},
        {"add_NTFS", add_NTFS_path_prefix, T("\\\\?\\C:\\a"), 8, nullptr},
    };
    check_rows(adds, std::size(adds), null_fill::terminator_only);

    // An already prefixed path is copied unchanged, with the removers' filling.
    const writer_row copies[] = {
        {"add_NTFS", add_NTFS_path_prefix, T("\\\\?\\C:\\a"), 12, T("\\\\?\\C:\\a")},
        {"add_NTFS", add_NTFS_path_prefix, T("\\\\?\\C:\\a"), 20, T("\\\\?\\C:\\a")},
    };
    check_rows(copies, std::size(copies), null_fill::through_size);
}

TEST(Writers, InPlaceRoundTrip)
{
    text buffer = guarded(16);
    const text path = T("C:\\dir");
    std::copy(path.begin(), path.end() + 1, buffer.begin());

    ASSERT_EQ(add_NTFS_path_prefix(buffer.data(), buffer.data(), 10), 1);
    EXPECT_EQ(show(buffer.data()), "\\\\?\\C:\\dir");
    ASSERT_EQ(rem_NTFS_path_prefix(buffer.data(), buffer.data(), 10), 1);
    EXPECT_EQ(show(buffer.data()), "C:\\dir");
    for (std::size_t i = path.size(); i < 10; ++i)
        EXPECT_EQ(buffer[i], 0) << i;

    std::copy_n(T("\\\\?\\UNC\\srv\\x"), 14, buffer.begin());
    ASSERT_EQ(rem_UNC_path_prefix(buffer.data(), buffer.data(), 13), 1);
    EXPECT_EQ(show(buffer.data()), "srv\\x");
}

TEST(Writers, InPlacePrefixingIsNotLimitedToLongPathMax)
{
    const std::size_t length = 40000;
    text buffer = repeat(T("d\\"), length / 2);
    buffer.resize(length + 5, guard);
    buffer[length] = 0;
    ASSERT_EQ(add_NTFS_path_prefix(buffer.data(), buffer.data(), length + 4), 1);
    EXPECT_EQ(view(buffer.data(), 6), view(T("\\\\?\\d\\")));
    EXPECT_EQ(buffer[length + 3], T('\\'));
    EXPECT_EQ(buffer[length + 4], 0);
}

TEST(Writers, NullArgumentsFailWithNotPath)
{
    velmora_char out[8] = {};
    for (writer write : {add_NTFS_path_prefix, rem_NTFS_path_prefix, rem_UNC_path_prefix}) {
        prime_error_slot();
        EXPECT_EQ(write(nullptr, out, 7), 0);
        EXPECT_EQ(get_err_code(), err_not_path);
        prime_error_slot();
        EXPECT_EQ(write(T("C:"), nullptr, 7), 0);
        EXPECT_EQ(get_err_code(), err_not_path);
    }
}

} // namespace
} // namespace velmora_test

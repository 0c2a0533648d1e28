// SPDX-License-Identifier: MIT
#include <iterator>

#include "support.h"

namespace velmora_test {
namespace {

TEST(ErrorState, ReadsZeroBeforeAnyFailure) { EXPECT_EQ(get_err_code(), err_none); }

// The library's texts are made from the header's list: each code's text is
// the list's, at the code's own place.
TEST(ErrorState, TextsByCode)
{
#define VELMORA_TEST_ROW(name, code, text) {#name, code, T(text)},
    const struct {
        const char *name;
        std::int32_t code;
        const velmora_char *text;
    } rows[] = {VELMORA_ERROR_MAP(VELMORA_TEST_ROW)};
#undef VELMORA_TEST_ROW
    for (const auto &row : rows)
        EXPECT_EQ(show(get_error_text(row.code)), show(row.text)) << row.name;
    EXPECT_EQ(std::size(rows), std::size_t{velmora_error_count});
}

// The code just past the last one comes first: the sanitizer builds flag a
// read of the entry after the table.
TEST(ErrorState, NoTextOutsideTheTable)
{
    const auto past_the_last = std::int32_t{velmora_error_count};
    for (std::int32_t code : {past_the_last, past_the_last + 1, -1, INT32_MIN, INT32_MAX})
        EXPECT_EQ(get_error_text(code), nullptr) << code;
}

TEST(ErrorState, TextsAreStatic)
{
    EXPECT_EQ(get_error_text(err_buffer_small), get_error_text(err_buffer_small));
}

TEST(ErrorState, SuccessKeepsTheLastCode)
{
    velmora_char out[32];
    ASSERT_EQ(path_push(T("C:\\dir"), T("file"), out, 4), 0);
    EXPECT_EQ(get_err_code(), err_buffer_small);
    ASSERT_EQ(path_push(T("C:\\dir"), T("file"), out, 32), 1);
    EXPECT_EQ(get_err_code(), err_buffer_small);
    EXPECT_EQ(get_err_code(), err_buffer_small) << "reading the code changed it";
}

TEST(ErrorState, TextQueriesStoreNothing)
{
    prime_error_slot();
    has_NTFS_path_prefix(T("\\\\?\\C:"));
    is_UNC_path(T("x"));
    get_drive_part(T("1:"));
    is_absolute(T("dir"));
    get_file_part(T("file"));
    get_path_part(T("C:\\dir"));
    get_error_text(99);
    EXPECT_EQ(get_err_code(), untouched_code);
}

} // namespace
} // namespace velmora_test

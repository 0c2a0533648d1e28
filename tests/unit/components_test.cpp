// SPDX-License-Identifier: MIT
#include <cwctype>
#include <memory>

#include "locales.h"
#include "support.h"

namespace velmora_test {
namespace {

constexpr std::ptrdiff_t none = -1;

using getter = const velmora_char *(*)(const velmora_char *);

struct getter_row {
    const velmora_char *path;
    std::ptrdiff_t offset; // where the result points into path, or none
};

// A getter's pointer always lies inside the caller's string.
void check_getter(getter get, const getter_row *rows, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const getter_row &row = rows[i];
        const velmora_char *result = get(row.path);
        const std::ptrdiff_t offset = result ? result - row.path : none;
        EXPECT_EQ(offset, row.offset) << show(row.path) << " gave " << show(result);
    }
}

TEST(GetDrivePart, TheUnitBeforeTheFirstColon)
{
    const getter_row rows[] = {
        {T("C:\\dir"), 0},  {T("\\\\?\\C:\\dir"), 4},
        {T("file:x"), 3},   {T("c:"), 0},
        {T("C:\\a:b"), 0},  {T("1:\\x"), none},
        {T(":x"), none},    {T("\\\\server\\share"), none},
        {T("\\:C:"), none}, {T(""), none},
        {nullptr, none},
    };
    check_getter(get_drive_part, rows, std::size(rows));
}

// The ends of both letter ranges, and the units just outside them.
TEST(GetDrivePart, EveryAsciiLetterAndNoNeighbour)
{
    const getter_row rows[] = {
        {T("A:"), 0},    {T("Z:"), 0},    {T("a:"), 0},    {T("z:"), 0},     {T("@:"), none},
        {T("[:"), none}, {T("`:"), none}, {T("{:"), none}, {T("x/:"), none}, {T("\x7F:"), none},
    };
    check_getter(get_drive_part, rows, std::size(rows));
}

// Beyond ASCII the C runtime's classification in the current locale decides:
// in C no such unit is a letter, in a locale that knows them some are.
TEST(GetDrivePart, UnitsBeyondAsciiAsTheLocaleClassesThem)
{
    const struct {
        const velmora_char *path;
        bool letter_in_latin_locale;
    } rows[] = {
        {T("\u00E9:"), true},  {T("\u00C0:"), true},  {T("\u00FF:"), true},  {T("\u00D7:"), false},
        {T("\u00F7:"), false}, {T("\u0080:"), false}, {T("\u00A0:"), false},
    };
    const auto check = [&](const char *locale, bool in_latin) {
        for (const auto &row : rows) {
            const bool letter = std::iswalpha(row.path[0]) != 0;
            if (in_latin) {
                EXPECT_EQ(letter, row.letter_in_latin_locale) << show(row.path) << " in " << locale;
            }
            EXPECT_EQ(get_drive_part(row.path), letter ? row.path : nullptr)
                << show(row.path) << " in " << locale;
        }
    };
    check("C", false);
    const scoped_locale latin = latin_locale();
    if (!latin.name()) GTEST_SKIP() << "no locale beyond C classes U+00E9 as a letter here";
    check(latin.name(), true);
    latin.restore();
    check("C again", false);
}

// A colon as the first unit has nothing before it, whatever lies before the
// text in memory.
TEST(GetDrivePart, AColonFirstLooksNoFurtherBack)
{
    const velmora_char letter_then_text[] = T("a:x");
    EXPECT_EQ(get_drive_part(letter_then_text + 1), nullptr);
    const velmora_char two_colons[] = T("Z::");
    EXPECT_EQ(get_drive_part(two_colons + 1), nullptr);
    // On its own allocation, where AddressSanitizer sees a read before it.
    const auto alone = std::make_unique<velmora_char[]>(3);
    alone[0] = T(':');
    alone[1] = T('x');
    EXPECT_EQ(get_drive_part(alone.get()), nullptr);
}

TEST(IsAbsolute, WhenThereIsADrivePart)
{
    const struct {
        const velmora_char *path;
        std::int32_t expected;
    } rows[] = {
        {T("C:\\dir"), 1}, {T("c:"), 1},        {T("\\\\?\\C:\\dir"), 1},
        {T("\\dir"), 0},   {T("dir\\file"), 0}, {T("\\\\server\\share"), 0},
        {nullptr, 0},
    };
    for (const auto &row : rows)
        EXPECT_EQ(is_absolute(row.path), row.expected) << show(row.path);
}

TEST(GetFilePart, AfterTheLastSeparatorOfEitherKind)
{
    const getter_row rows[] = {
        {T("C:\\dir\\file.txt"), 7},
        {T("C:/dir\\sub/file"), 11},
        {T("C:\\dir\\"), 7},
        {T("a\\b/c"), 4},
        {T("a/b\\c"), 4},
        {T("\\"), 1},
        {T("file.txt"), none},
        {T(""), none},
        {nullptr, none},
    };
    check_getter(get_file_part, rows, std::size(rows));
}

TEST(GetPathPart, BelowTheFirstComponentOfPrefixedPaths)
{
    const getter_row rows[] = {
        {T("\\\\?\\C:\\dir\\file"), 7},
        {T("\\\\server\\share\\dir"), 9},
        {T("UNC\\server\\share"), 11},
        {T("\\\\?\\UNC\\server\\share\\d"), 8},
        {T("\\\\server/share\\x"), 9},
        {T("\\\\server\\"), 9},
        {T("\\\\?\\C:"), none},
        {T("\\\\server"), none},
        {T("C:\\dir\\file"), none},
        {T("dir\\file"), none},
        {T(""), none},
        {nullptr, none},
    };
    check_getter(get_path_part, rows, std::size(rows));
}

TEST(GetPathPart, StoresNothingForUnprefixedPaths)
{
    prime_error_slot();
    EXPECT_EQ(get_path_part(T("C:\\dir\\file")), nullptr);
    EXPECT_EQ(get_path_part(T("\\\\server")), nullptr);
    EXPECT_EQ(get_err_code(), untouched_code);
}

TEST(GetPathPart, PrefixedPathsBeyondLongPathMaxFailWithBufferSmall)
{
    for (const view prefix :
         {view(T("\\\\?\\C:\\")), view(T("\\\\srv\\")), view(T("UNC\\srv\\"))}) {
        text path = text(prefix) + text(32767 - prefix.size(), T('x'));
        prime_error_slot();
        EXPECT_EQ(get_path_part(path.c_str()), path.c_str() + prefix.size()) << show(prefix);
        EXPECT_EQ(get_err_code(), untouched_code);

        path += T('x');
        EXPECT_EQ(get_path_part(path.c_str()), nullptr) << show(prefix);
        EXPECT_EQ(get_err_code(), err_buffer_small);
    }
}

struct pop_row {
    const velmora_char *path;
    std::uint32_t size;
    const velmora_char *expected; // null: fails with code 2
};

const pop_row pop_rows[] = {
    {T("C:\\dir\\file"), 20, T("C:\\dir")},
    {T("C:\\file"), 20, T("C:")},
    {T("C:\\dir\\"), 20, T("C:\\dir")},
    {T("\\\\server\\share"), 20, T("\\\\server")},
    {T("a/b\\c"), 20, T("a/b")},
    {T("a\\b/c"), 20, T("a\\b")},
    {T("C:/dir/file"), 20, T("C:/dir")},
    {T("C:\\a-folder-name-beyond-the-inline-blocks/file"), 50,
     T("C:\\a-folder-name-beyond-the-inline-blocks")},
    {T("\\x"), 0, T("")},
    {T("C:\\dir\\file"), 6, T("C:\\dir")},
    {T("C:\\dir\\file"), 5, nullptr},
};

TEST(PathPop, DropsTheLastSeparatorAndWhatFollows)
{
    for (const auto &row : pop_rows) {
        SCOPED_TRACE(testing::Message()
                     << "path_pop(" << show(row.path) << ", " << row.size << ")");
        check_writer([&](velmora_char *dst) { return path_pop(row.path, dst, row.size); }, row.size,
                     row.expected, null_fill::terminator_only);
    }
}

// In place the size is not consulted: each path pops as with room to spare,
// and only the terminator is written.
TEST(PathPop, InPlaceIgnoresTheSize)
{
    for (const auto &row : pop_rows) {
        if (!row.expected) continue; // the same path pops with room elsewhere in the table
        text buffer = row.path;
        const text before = buffer;
        ASSERT_EQ(path_pop(buffer.data(), buffer.data(), 0), 1) << show(row.path);
        const std::size_t kept = view(row.expected).size();
        EXPECT_EQ(show(buffer.data()), show(row.expected)) << show(row.path);
        EXPECT_EQ(show(buffer.substr(kept + 1)), show(before.substr(kept + 1))) << show(row.path);
    }
}

TEST(PathPop, WithoutSeparatorFailsWithNotPath)
{
    SCOPED_TRACE("separate buffer");
    check_writer([](velmora_char *dst) { return path_pop(T("file"), dst, 20); }, 20, nullptr,
                 null_fill::terminator_only, err_not_path);

    text buffer = T("file");
    prime_error_slot();
    EXPECT_EQ(path_pop(buffer.data(), buffer.data(), 20), 0);
    EXPECT_EQ(get_err_code(), err_not_path);
    EXPECT_EQ(show(buffer.data()), "file");
}

struct push_row {
    const velmora_char *base;
    const velmora_char *name;
    std::uint32_t size;
    const velmora_char *expected; // null: fails with code 2
};

TEST(PathPush, JoinsWithABackslashWhereNeeded)
{
    const push_row rows[] = {
        {T("C:\\dir"), T("file"), 12, T("C:\\dir\\file")},
        {T("C:\\dir"), T("file"), 11, nullptr},
        {T("C:\\dir\\"), T("file"), 13, T("C:\\dir\\file")},
        {T("C:\\dir\\"), T("file"), 12, nullptr},
        {T("C:/dir"), T("x"), 20, T("C:/dir\\x")},
        {T("C:/dir/"), T("x"), 20, T("C:/dir/x")},
        {T("C:\\dir"), T(""), 20, T("C:\\dir\\")},
        {T("C:\\dir"), T("\\x"), 20, T("C:\\dir\\\\x")},
        {T(""), T("name"), 6, T("name")},
        {T(""), T("name"), 5, nullptr},
        {T(""), T(""), 2, T("")},
        {T("a"), T("b"), UINT32_MAX, T("a\\b")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "path_push(" << show(row.base) << ", " << show(row.name)
                                        << ", " << row.size << ")");
        check_writer(
            [&](velmora_char *dst) { return path_push(row.base, row.name, dst, row.size); },
            row.size, row.expected, null_fill::terminator_only);
    }
}

TEST(PathPush, InPlaceAppendsToTheBase)
{
    text buffer = T("C:\\dir");
    buffer += velmora_char{0};
    buffer.resize(16, guard);
    ASSERT_EQ(path_push(buffer.data(), T("file"), buffer.data(), 16), 1);
    EXPECT_EQ(show(buffer.data()), "C:\\dir\\file");
    EXPECT_EQ(buffer[12], guard);
}

TEST(PathWriters, NullArgumentsFailWithNotPath)
{
    velmora_char out[8] = {};
    const auto expect_not_path = [](std::int32_t result) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(get_err_code(), err_not_path);
        prime_error_slot();
    };
    prime_error_slot();
    expect_not_path(path_pop(nullptr, out, 7));
    expect_not_path(path_pop(T("a\\b"), nullptr, 7));
    expect_not_path(path_push(nullptr, T("x"), out, 8));
    expect_not_path(path_push(T("a"), nullptr, out, 8));
    expect_not_path(path_push(T("a"), T("x"), nullptr, 8));
}

} // namespace
} // namespace velmora_test

// SPDX-License-Identifier: MIT
#include <random>

#include "host_path.h"
#include "mask/path_mask.h"
#include "reference.h"
#include "scanner_sets.h"
#include "support.h"
#include "working_directory_seam.h"

#if defined(_WIN32)
#include <direct.h>
#include <windows.h>
#else
#include <unistd.h>

#include <cstdlib>
#include <memory>
#endif

namespace velmora_test {
namespace {

// Makes the library see `directory` as the working directory while in scope.
class scoped_working_directory {
  public:
    explicit scoped_working_directory(text directory) : directory_(std::move(directory))
    {
        velmora::host::override_working_directory(directory_.c_str());
    }
    ~scoped_working_directory() { velmora::host::override_working_directory(nullptr); }
    scoped_working_directory(const scoped_working_directory &) = delete;
    scoped_working_directory &operator=(const scoped_working_directory &) = delete;

  private:
    text directory_;
};

struct mask_row {
    const velmora_char *path;
    const velmora_char *mask;
    std::int32_t expected;
};

void check_rows(const mask_row *rows, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        EXPECT_EQ(path_mask_cmp(rows[i].path, rows[i].mask), rows[i].expected)
            << "(" << show(rows[i].path) << ", " << show(rows[i].mask) << ")";
}

TEST(PathMaskCmp, NameMasksSeeOnlyWhatFollowsTheLastBackslash)
{
    const mask_row rows[] = {
        {T("C:\\data\\logs\\app.log"), T("*.LOG"), 1},
        {T("C:\\data\\logs\\app.log"), T("app.*"), 1},
        {T("C:/data/logs/app.log"), T("app.*"), 0},
        {T("C:/data/logs/app.log"), T("C:*.log"), 1},
        {T("C:\\data\\"), T("*"), 1},
        {T("C:\\data\\"), T("?*"), 0},
        {T("app.log"), T("APP.LOG"), 1},
        // Without a star the name is the path's end, after a backslash, and
        // a '?' takes no backslash.
        {T("x\\abXcdefgh"), T("ab?cdefgh"), 1},
        {T("x\\ab\\cdefgh"), T("ab?cdefgh"), 0},
        {T("ab\\cdefgh"), T("AB?CDEFGH"), 0},
        {T("\\abcdefghi"), T("ABCDEFGHI"), 1},
        {T("x/abcdefghi"), T("abcdefghi"), 0},
        {T("bcdefghi"), T("abcdefghi"), 0},
        {T(""), T("abcdefghi"), 0},
        // After a leading star, the name must hold the units after it: a '?'
        // among them takes no backslash either.
        {T("ax\\c"), T("*x?c"), 0},
        {T("d\\axyc"), T("*x?c"), 1},
        {T("d\\xyc"), T("*X?C"), 1},
    };
    check_rows(rows, std::size(rows));
}

TEST(PathMaskCmp, WholePathMasksFromTheWorkingDirectory)
{
    const scoped_working_directory data(T("C:\\data"));
    const mask_row rows[] = {
        {T("C:\\data\\logs\\app.log"), T("logs\\*.log"), 1},
        {T("C:\\data\\logs\\app.log"), T("C:\\data\\*"), 1},
        {T("C:\\data"), T("C:\\data\\logs\\*"), 0},
        {T("C:\\data\\x.txt"), T("D:\\data\\*.txt"), 1},
        {T("C:\\data\\x.txt"), T("\\\\?\\C:\\data\\*.txt"), 0},
        {T("C:\\x.txt"), T("..\\x.txt"), 1},
        {T("C:\\x.txt"), T("../..\\x.txt"), 1},
        {T("C:\\data\\x.txt"), T(".\\.\\x.txt"), 1},
        {T("C:\\data\\x.txt"), T("./x.txt"), 1},
        {T("C:\\data\\logs\\x"), T("logs\\\\x"), 1},
        {T("C:\\data\\logs\\x"), T("\\logs\\*"), 1},
        {T("C:\\logs\\x"), T("\\logs\\*"), 0},
        {T("\\\\server\\share\\x"), T("\\\\server\\share\\*"), 0},
        {T("C:\\data\\x.txt"), T("\\:"), 1},
        {T("anything"), T("\\:"), 1},
        {T("C:\\data\\sub\\x"), T("sub/x"), 1},
        {T("C:\\data\\sub\\x"), T("sub/y"), 0},
        {T("C:\\data\\a.b\\x"), T("..\\data\\a.b\\x"), 1},
    };
    check_rows(rows, std::size(rows));
}

TEST(PathMaskCmp, GoingUpFromARootKeepsTheRoot)
{
    const scoped_working_directory root(T("C:\\"));
    const mask_row rows[] = {
        {T("C:\\x.txt"), T("..\\x.txt"), 1},
        {T("C:\\x.txt"), T("..\\..\\x.txt"), 1},
        {T("C:\\x.txt"), T("x.txt\\"), 1},
    };
    check_rows(rows, std::size(rows));
}

// A directory that ends with a separator, as a root does, gets no second one.
TEST(MaskFullPath, AddsABackslashOnlyWhereTheDirectoryLacksOne)
{
    const struct {
        const velmora_char *directory;
        const char *separator;
    } rows[] = {
        {T("C:\\"), ""},       {T("/"), ""},         {T("C:/"), ""},  {T("\\\\srv\\s\\"), ""},
        {T("C:\\data"), "\\"}, {T("/home/u"), "\\"}, {T("C:"), "\\"}, {T(""), ""},
    };
    for (const auto &row : rows)
        EXPECT_EQ(show(velmora::mask_full_path(T("x\\*"), row.directory).separator), row.separator)
            << show(row.directory);
}

// From the POSIX root the first three units dropped are "/ab": a backslash
// added after "/" would shift what is compared.
TEST(PathMaskCmp, FromTheRootOfAPosixHost)
{
    const scoped_working_directory root(T("/"));
    const mask_row rows[] = {
        {T("/ab/x"), T("ab\\*"), 1},
        {T("/ab/x"), T("ab\\y"), 0},
        {T("/ab/x"), T("./ab\\x"), 1},
        {T("/ab/x/y"), T("ab\\?"), 1},
    };
    check_rows(rows, std::size(rows));
}

TEST(PathMaskCmp, NullArgumentsDoNotMatch)
{
    prime_error_slot();
    EXPECT_EQ(path_mask_cmp(nullptr, T("*")), 0);
    EXPECT_EQ(path_mask_cmp(T("x"), nullptr), 0);
    EXPECT_EQ(path_mask_cmp(T("C:\\x"), T("zz\\*")), 0);
    EXPECT_EQ(get_err_code(), untouched_code) << "path_mask_cmp stores no code";
}

TEST(MaskFullPath, CompletesWithoutCopying)
{
    const text mask = T("..\\..\\.\\logs\\*.log");
    const velmora::full_mask full = velmora::mask_full_path(mask, T("C:\\a\\b\\c"));
    EXPECT_EQ(show(full.directory), "C:\\a");
    EXPECT_EQ(show(full.separator), "\\");
    EXPECT_EQ(show(full.rest), "logs\\*.log");
    EXPECT_EQ(full.rest.data(), mask.data() + 8) << "the rest is a view of the mask";

    const velmora::full_mask drive = velmora::mask_full_path(T("D:\\x"), T("C:\\a"));
    EXPECT_TRUE(drive.directory.empty() && drive.separator.empty());
    EXPECT_EQ(show(drive.rest), "D:\\x");
}

// Random paths, masks and working directories built from pieces that reach
// every branch, compared with the literal algorithm.
TEST(PathMaskCmp, AgreesWithTheLiteralAlgorithm)
{
    const view pieces[] = {T("C:"),    T("D:"),    T("\\\\?\\"), T("\\\\"), T(".."), T("."),
                           T("\\"),    T("/"),     T("data"),    T("logs"), T("*"),  T("?"),
                           T("x.txt"), T("*.TXT"), T("a"),       T("A"),    T(":"),  T("UNC")};
    const view directories[] = {T("C:\\data"), T("C:\\"),       T("C:\\a\\b"), T("/home/u"),
                                T(""),         T("\\\\srv\\s"), T("\\"),       T("C:\\data\\")};
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<std::size_t> count(0, 7);
    const auto random_text = [&] {
        text out;
        for (std::size_t n = count(random); n > 0; --n)
            out += pieces[piece(random)];
        return out;
    };
    // Under each scanner set, so that both forms of the export are met.
    for (const auto *set : runnable_sets()) {
        velmora::scanners::use(*set);
        SCOPED_TRACE(set->name);
        for (const view directory : directories) {
            const scoped_working_directory cwd{text(directory)};
            for (int i = 0; i < 20000; ++i) {
                const text path = random_text();
                const text mask = random_text();
                const int expected = velmora_reference::path_mask_cmp(path, mask, text(directory));
                ASSERT_EQ(path_mask_cmp(path.c_str(), mask.c_str()), expected)
                    << "(" << show(path) << ", " << show(mask) << ") in " << show(directory);
            }
        }
    }
    velmora::scanners::use(velmora::scanners::best());
}

TEST(PathMaskCmp, TextsLongerThanAnyWorkingTextAreNotCut)
{
    for (const std::size_t length : {40000u, 100000u}) {
        const text deep_directory = T("C:") + repeat(T("\\d"), length / 2);
        const text deep_path = deep_directory + T("\\x.txt");
        const text long_name = T("C:\\") + text(length, T('n'));
        const struct {
            text directory, path, mask;
        } cases[] = {
            {deep_directory, deep_path, T("*.txt")},
            {deep_directory, deep_path, T("x.txt")},
            {deep_directory, deep_path, T(".\\x.txt")},
            {deep_directory, deep_path, T(".\\y.txt")},
            {deep_directory, T("C:\\d\\x.txt"), repeat(T("..\\"), length / 2 - 1) + T("x.txt")},
            {deep_directory, deep_path, repeat(T("*\\"), length / 2) + T("x.txt")},
            {T("C:\\data"), long_name, T("C:\\") + text(length, T('?'))},
            {T("C:\\data"), long_name, T("C:\\") + text(length + 1, T('?'))},
            {T("C:\\data"), deep_path, deep_path},
        };
        for (const auto &c : cases) {
            const scoped_working_directory cwd(c.directory);
            EXPECT_EQ(path_mask_cmp(c.path.c_str(), c.mask.c_str()),
                      velmora_reference::path_mask_cmp(c.path, c.mask, c.directory))
                << length << ": " << show(c.mask.substr(0, 40));
        }
    }
}

// The host's own working directory, not the test seam.
TEST(PathMaskCmp, UsesThePlatformWorkingDirectory)
{
#if defined(_WIN32)
    CreateDirectoryW(L"C:\\data", nullptr);
    ASSERT_EQ(_wchdir(L"C:\\data"), 0);
    const mask_row rows[] = {
        {T("C:\\data\\logs\\app.log"), T("logs\\*.log"), 1},
        {T("C:\\x.txt"), T("..\\x.txt"), 1},
        {T("C:\\data\\logs\\x"), T("\\logs\\*"), 1},
        {T("C:\\logs\\x"), T("\\logs\\*"), 0},
        {T("\\\\server\\share\\x"), T("\\\\server\\share\\*"), 0},
    };
    check_rows(rows, std::size(rows));
#else
    // A POSIX directory holds no backslash, so "..\" never cuts it.
    const text directory = host_text(fs::current_path());
    const text path = directory + T("/sub/file.txt");
    EXPECT_EQ(path_mask_cmp(path.c_str(), T("sub\\*.txt")), 1) << show(path);
    EXPECT_EQ(path_mask_cmp(path.c_str(), T("..\\sub\\*.txt")), 1) << show(path);
    EXPECT_EQ(path_mask_cmp(path.c_str(), T("other\\*.txt")), 0) << show(path);
#endif
}

// Changes the process's working directory while in scope.
class scoped_current_path {
  public:
    explicit scoped_current_path(const fs::path &to) : before_(fs::current_path())
    {
        fs::current_path(to);
    }
    ~scoped_current_path() { fs::current_path(before_); }
    scoped_current_path(const scoped_current_path &) = delete;
    scoped_current_path &operator=(const scoped_current_path &) = delete;

  private:
    fs::path before_;
};

// The root of the host's own working directory ends with a separator.
TEST(PathMaskCmp, FromThePlatformRoot)
{
    const fs::path root = fs::current_path().root_path();
    const scoped_current_path at_root(root);
    const text path = host_text(root) + T("ab\\x");
    const mask_row rows[] = {
        {path.c_str(), T("ab\\*"), 1},
        {path.c_str(), T("ab\\y"), 0},
    };
    check_rows(rows, std::size(rows));
}

// Directory names of 2-, 3- and 4-byte UTF-8 characters (the last a surrogate
// pair in 16-bit text) reach the masks as the same units.
TEST(PathMaskCmp, WorkingDirectoriesBeyondAscii)
{
    const velmora_char *names[] = {T("j\u00F6rg"), T("\u76EE\u5F55"), T("\U0001F600"),
                                   T("\u00DF-\u76EE-\U0001F600")};
    const temporary_folder folder;
    for (const velmora_char *name : names) {
        const fs::path directory = folder.path() / host_path(name);
        fs::create_directories(directory / "sub");
        const scoped_current_path inside(directory);
        const text file = host_text(folder.path()) + T("\\") + name + T("\\sub\\file.txt");
        const mask_row rows[] = {
            {file.c_str(), T("sub\\*.txt"), 1},
            {file.c_str(), T(".\\sub\\file.txt"), 1},
            {file.c_str(), T("sub\\other.txt"), 0},
        };
        check_rows(rows, std::size(rows));
    }
}

#if !defined(_WIN32)
// A working directory whose name is not UTF-8 still reaches the mask whole:
// each byte that begins no character reads as U+FFFD, and what follows it
// is kept.
TEST(PathMaskCmp, WorkingDirectoryThatIsNotUtf8)
{
    const temporary_folder folder;
    const fs::path directory = folder.path() / std::string("a\xFF"
                                                           "b\xC3");
    fs::create_directories(directory);
    const scoped_current_path inside(directory);
    const text file = host_text(folder.path()) + T("/a\uFFFDb\uFFFD/x.txt");
    const mask_row rows[] = {
        {file.c_str(), T(".\\x.txt"), 1},
        {file.c_str(), T(".\\y.txt"), 0},
    };
    check_rows(rows, std::size(rows));
}

bool platform_can_name_working_directory()
{
    const std::unique_ptr<char, void (*)(void *)> name(getcwd(nullptr, 0), std::free);
    return name != nullptr;
}

// A working directory of more than 4,096 bytes and 1,024 units: the host asks
// again with room enough, and the mask sees all of it.
TEST(PathMaskCmp, WorkingDirectoryLongerThanAPage)
{
    const text name16 = repeat(T("\u76EE"), 80); // 240 bytes, within a name's limit
    const fs::path name = host_path(name16);
    constexpr int depth = 20;
    const temporary_folder folder;
    const scoped_current_path inside(folder.path());
    text deepest = host_text(folder.path());
    for (int level = 0; level < depth; ++level) {
        fs::create_directory(name);
        fs::current_path(name);
        deepest += T("/") + name16;
    }
    ASSERT_GT(utf8_of_utf16(deepest).size(), 4096u);
    // The C library names a directory this deep by walking up from it, which
    // fails under QEMU user emulation with a path prefix (-L): there the
    // platform itself cannot name it, so neither can the library.
    if (!platform_can_name_working_directory())
        GTEST_SKIP() << "getcwd cannot name a working directory this deep here";
    const text file = deepest + T("/x.txt");
    const mask_row rows[] = {
        {file.c_str(), T(".\\x.txt"), 1},
        {file.c_str(), T(".\\y.txt"), 0},
    };
    check_rows(rows, std::size(rows));
    // A path this long is beyond what one call may name: leave it level by level.
    for (int level = 0; level < depth; ++level) {
        fs::current_path("..");
        fs::remove(name);
    }
}
#endif

} // namespace
} // namespace velmora_test

#include <random>

#include "mask/path_mask.h"
#include "reference.h"
#include "support.h"

#if defined(_WIN32)
#include <direct.h>
#include <windows.h>
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
    char buffer[4096];
    ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
    text directory;
    for (const char *c = buffer; *c; ++c)
        directory += static_cast<velmora_char>(*c);
    const text path = directory + T("/sub/file.txt");
    EXPECT_EQ(path_mask_cmp(path.c_str(), T("sub\\*.txt")), 1) << show(path);
    EXPECT_EQ(path_mask_cmp(path.c_str(), T("..\\sub\\*.txt")), 1) << show(path);
    EXPECT_EQ(path_mask_cmp(path.c_str(), T("other\\*.txt")), 0) << show(path);
#endif
}

} // namespace
} // namespace velmora_test

// SPDX-License-Identifier: MIT
// The README's "Coming from another path API" table: each row is the answer
// velmora gives where other path APIs give another, and names the README row
// it pins. The README's rows and these are checked against each other.
#include <fstream>
#include <set>

#include "support.h"

namespace velmora_test {
namespace {

// An answer as the row states it: a text, "(null)", or a number.
using answer = std::string (*)();

std::string number(std::int32_t value) { return std::to_string(value); }

// A writer's text in a buffer of ample size, or its failure.
template <class Write> std::string written(Write write)
{
    velmora_char out[64] = {};
    return write(out, 63) ? show(out) : "failed with code " + number(get_err_code());
}

std::string popped(const velmora_char *path)
{
    return written(
        [&](velmora_char *out, std::uint32_t size) { return path_pop(path, out, size); });
}

std::string pushed(const velmora_char *base, const velmora_char *name)
{
    return written(
        [&](velmora_char *out, std::uint32_t size) { return path_push(base, name, out, size); });
}

std::string without_unc(const velmora_char *path)
{
    return written([&](velmora_char *out, std::uint32_t size) {
        return rem_UNC_path_prefix(path, out, size);
    });
}

std::string prefixed(const velmora_char *path)
{
    return written([&](velmora_char *out, std::uint32_t size) {
        return add_NTFS_path_prefix(path, out, size);
    });
}

struct difference {
    const char *readme_row;
    answer given;
    const char *expected;
};

const difference differences[] = {
    {"file part of a bare name", [] { return show(get_file_part(T("file.txt"))); }, "(null)"},
    {"popping to the root", [] { return popped(T("C:\\a")); }, "C:"},
    {"popping to the root", [] { return popped(T("\\\\server\\share")); }, "\\\\server"},
    {"pushing `..`", [] { return pushed(T("C:\\a"), T("..\\b")); }, "C:\\a\\..\\b"},
    {"pushing a rooted name", [] { return pushed(T("C:\\a"), T("\\b")); }, "C:\\a\\\\b"},
    {"pushing a rooted name", [] { return pushed(T("C:\\a"), T("D:\\b")); }, "C:\\a\\D:\\b"},
    {"slashes in a prefix", [] { return number(has_NTFS_path_prefix(T("//?/C:/a"))); }, "0"},
    {"slashes in a prefix", [] { return number(is_UNC_path(T("//server/share"))); }, "0"},
    {"long paths as UNC", [] { return number(is_UNC_path(T("\\\\?\\C:\\dir"))); }, "1"},
    {"long paths as UNC", [] { return number(is_UNC_path(T("UNC\\srv"))); }, "1"},
    {"the case of `UNC`", [] { return without_unc(T("\\\\?\\unc\\srv\\x")); },
     "\\\\?\\unc\\srv\\x"},
    {"what absolute means", [] { return number(is_absolute(T("\\foo"))); }, "0"},
    {"what absolute means", [] { return number(is_absolute(T("\\\\server\\share"))); }, "0"},
    {"what absolute means", [] { return number(is_absolute(T("C:foo"))); }, "1"},
    {"what absolute means", [] { return number(is_absolute(T("http://x"))); }, "1"},
    {"a mask without a separator",
     [] { return number(path_mask_cmp(T("C:\\app\\x.txt"), T("app*"))); }, "0"},
    {"a mask without a separator",
     [] { return number(path_mask_cmp(T("C:/data/app.log"), T("app.log"))); }, "0"},
    {"a star before `?` or `*`", [] { return number(path_mask_cmp(T("C:\\dir\\ab"), T("*?"))); },
     "0"},
    {"the long-path prefix of a UNC path", [] { return prefixed(T("\\\\server\\share")); },
     "\\\\?\\\\\\server\\share"},
    {"mask syntax", [] { return number(path_mask_cmp(T("C:\\a.txt"), T("*.txt;*.log"))); }, "0"},
    {"mask syntax", [] { return number(path_mask_cmp(T("C:\\a.txt"), T("[a].txt"))); }, "0"},
    {"mask syntax", [] { return number(path_mask_cmp(T("C:\\[a].txt"), T("[a].txt"))); }, "1"},
};

TEST(ComingFromAnotherPathApi, VelmoraAnswersAsTheReadmeSays)
{
    for (const difference &row : differences)
        EXPECT_EQ(row.given(), row.expected) << "README row: " << row.readme_row;
}

#if defined(VELMORA_README)
// The first cells of the rows under "| case | velmora | the others |".
std::set<std::string> readme_rows()
{
    std::ifstream readme(VELMORA_README);
    std::set<std::string> rows;
    bool in_table = false;
    for (std::string line; std::getline(readme, line);) {
        if (!in_table) {
            in_table = line == "| case | velmora | the others |";
            continue;
        }
        if (line.empty() || line[0] != '|') break;
        if (line.rfind("|---", 0) == 0) continue;
        rows.insert(line.substr(2, line.find(" |", 2) - 2));
    }
    return rows;
}

TEST(ComingFromAnotherPathApi, EveryReadmeRowIsPinned)
{
    std::set<std::string> pinned;
    for (const difference &row : differences)
        pinned.insert(row.readme_row);
    const std::set<std::string> readme = readme_rows();
    for (const std::string &row : readme)
        EXPECT_TRUE(pinned.count(row)) << "README row without a test: " << row;
    for (const std::string &row : pinned)
        EXPECT_TRUE(readme.count(row)) << "no README row: " << row;
}
#endif

} // namespace
} // namespace velmora_test

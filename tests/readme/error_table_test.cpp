// SPDX-License-Identifier: MIT
// The README's table of error codes against the header's list, which the
// library's own texts are made from: every code, name and text, in order.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "velmora.h"

namespace {

struct error_row {
    std::string code, name, text;
};

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> cells(const std::string &line)
{
    std::vector<std::string> found;
    std::stringstream stream(line.substr(1));
    for (std::string cell; std::getline(stream, cell, '|');)
        found.push_back(trimmed(cell));
    return found;
}

std::string without_backticks(std::string text)
{
    if (text.size() >= 2 && text.front() == '`' && text.back() == '`')
        return text.substr(1, text.size() - 2);
    return text;
}

// The rows of the README's table whose head is "| Code | Name | Text | ...".
std::vector<error_row> readme_error_rows()
{
    std::ifstream readme(VELMORA_README);
    std::vector<error_row> rows;
    bool in_table = false;
    for (std::string line; std::getline(readme, line);) {
        if (!in_table) {
            in_table = line.rfind("| Code | Name | Text |", 0) == 0;
            continue;
        }
        if (line.empty() || line[0] != '|') break;
        if (line.rfind("|---", 0) == 0) continue;
        const std::vector<std::string> row = cells(line);
        if (row.size() < 3) break;
        rows.push_back({row[0], without_backticks(row[1]), row[2]});
    }
    return rows;
}

TEST(ReadmeErrorTable, IsTheHeadersList)
{
#define VELMORA_HEADER_ROW(name, code, text) {#code, #name, text},
    const error_row header[] = {VELMORA_ERROR_MAP(VELMORA_HEADER_ROW)};
#undef VELMORA_HEADER_ROW
    const std::vector<error_row> readme = readme_error_rows();
    ASSERT_EQ(readme.size(), std::size(header)) << "rows in README.md's error table";
    for (std::size_t i = 0; i < readme.size(); ++i) {
        EXPECT_EQ(readme[i].code, header[i].code) << "row " << i;
        EXPECT_EQ(readme[i].name, header[i].name) << "row " << i;
        EXPECT_EQ(readme[i].text, header[i].text) << header[i].name;
    }
}

} // namespace

// SPDX-License-Identifier: MIT
// The command-line tool, run in this process: arguments and standard input
// in, exit status, standard output and standard error out. What only a real
// process shows (its command line, its streams, its locale from the
// environment) is tool_process_test.sh's.
#include <gtest/gtest.h>

#include <clocale>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "command.h"
#include "exports.h"
#include "options.h"

namespace {

using velmora::cli::run_command;

struct outcome {
    int status;
    std::string out;
    std::string err;
};

outcome tool(const std::vector<std::string> &words, const std::string &input = "")
{
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = run_command(words, in, out, err);
    return {status, out.str(), err.str()};
}

std::string shown(const std::vector<std::string> &words)
{
    std::string line = "velmora";
    for (const std::string &word : words)
        line += " '" + word.substr(0, 60) + "'";
    return line;
}

const std::string long_prefixed = "\\\\?\\C:\\" + std::string(33000, '0');

// One call: its words, then its exit status, its exact standard output and a
// part of its standard error (empty: standard error stays empty).
struct call_row {
    std::vector<std::string> words;
    int status;
    std::string out;
    std::string message;
};

const call_row call_rows[] = {
    // Each kind of export, answering and failing.
    {{"get_file_part", "C:\\dir\\file.txt"}, 0, "file.txt\n", ""},
    {{"get_file_part", "C:\\dir\\file.txt", "--offset"}, 0, "7\tfile.txt\n", ""},
    {{"get_file_part", "file.txt"}, 1, "", "velmora: get_file_part: no such part\n"},
    {{"get_drive_part", "\\\\?\\C:\\dir"}, 0, "C:\\dir\n", ""},
    {{"get_path_part", "\\\\server\\share\\dir"}, 0, "share\\dir\n", ""},
    {{"get_path_part", long_prefixed},
     1,
     "\n",
     "velmora: get_path_part failed: code 2: Buffer is too small\n"},
    {{"path_mask_cmp", "C:\\data\\app.log", "*.LOG"}, 0, "1\n", ""},
    {{"path_mask_cmp", "C:\\data\\app.log", "*.txt"}, 1, "0\n", ""},
    {{"is_UNC_path", "\\\\server\\share"}, 0, "1\n", ""},
    {{"has_NTFS_path_prefix", "C:\\dir"}, 1, "0\n", ""},
    {{"is_mask", "C:\\dir\\*.txt"}, 0, "1\n", ""},
    {{"add_NTFS_path_prefix", "C:\\a"}, 0, "\\\\?\\C:\\a\n", ""},
    {{"add_NTFS_path_prefix", "C:\\a", "--in-place"}, 0, "\\\\?\\C:\\a\n", ""},
    {{"rem_NTFS_path_prefix", "\\\\?\\C:\\a"}, 0, "C:\\a\n", ""},
    {{"rem_UNC_path_prefix", "\\\\?\\UNC\\server\\share"}, 0, "server\\share\n", ""},
    {{"path_pop", "C:\\dir\\file", "--in-place"}, 0, "C:\\dir\n", ""},
    {{"path_push", "C:\\dir", "x"}, 0, "C:\\dir\\x\n", ""},
    {{"path_push", "C:\\dir", "x", "--size", "8"}, 1, "\n", "code 2: Buffer is too small"},
    {{"path_pop", "file"}, 1, "\n", "code 1: The string is not conformed path"},
    {{"get_error_text", "2"}, 0, "Buffer is too small\n", ""},
    {{"get_error_text", "9"}, 1, "", "no text for code 9"},
    {{"path_pop", "Ünïcødé\\日本\\x"}, 0, "Ünïcødé\\日本\n", ""},
    {{"get_file_attr", "no_such_file_here"}, 1, "\n", "code 4: File not found"},
    // Names, options and numbers.
    {{"GET_File_Part", "C:\\dir\\file.txt"}, 0, "file.txt\n", ""},
    {{"get_fiel_part", "x"},
     2,
     "",
     "velmora: unknown export 'get_fiel_part'; did you mean get_file_part?\n"},
    {{"ismask", "x"}, 2, "", "did you mean is_mask?"},
    {{}, 2, "", "no export named; see velmora --help"},
    {{"path_push", "C:\\dir"}, 2, "", "takes 2 argument(s), not 1"},
    {{"is_mask", "--", "--size*"}, 0, "1\n", ""},
    {{"path_push", "C:\\dir", "--size", "20", "--", "--offset"}, 0, "C:\\dir\\--offset\n", ""},
    {{"is_mask", "--size*"}, 2, "", "unknown option '--size*' (-- ends the options)"},
    {{"is_mask", "--json"}, 2, "", "unknown option '--json'"},
    {{"is_mask", "x", "--size", "5", "--in-place"},
     2,
     "",
     "--size does not apply to is_mask; usage: velmora is_mask TEXT\n"},
    {{"get_file_part", "x", "--in-place"}, 2, "", "--in-place does not apply to get_file_part"},
    {{"path_pop", "C:\\a\\b", "--offset"}, 2, "", "--offset does not apply to path_pop"},
    {{"path_pop", "C:\\a", "--size", " -1"}, 2, "", "--size ' -1': not a decimal number"},
    {{"path_pop", "C:\\a", "--size", "+3"}, 2, "", "--size '+3': not a decimal"},
    {{"path_pop", "C:\\a", "--size", "4294967296"},
     2,
     "",
     "--size '4294967296': not a decimal number from 0 to 4294967295"},
    {{"path_pop", "C:\\a", "--size", "x"}, 2, "", "--size 'x'"},
    {{"path_pop", "C:\\a", "--size"}, 2, "", "--size needs a number"},
    {{"path_pop", "C:\\a\\b", "--size", "4294967295"}, 0, "C:\\a\n", ""},
    {{"get_error_text", "--", "-1"}, 2, "", "CODE '-1': not a decimal number"},
    {{"get_error_text", " 2"}, 2, "", "CODE ' 2'"},
    {{"get_file_part", "C:\\\xff"}, 2, "", "argument 1 is not valid UTF-8"},
    {{"help", "path_pusj"}, 2, "", "unknown export 'path_pusj'; did you mean path_push?"},
    {{"-0", "is_mask", "x"}, 2, "", "-0 goes with -"},
    {{"-", "x"}, 2, "", "- takes no arguments"},
    // One call as JSON.
    {{"--json", "path_push", "C:\\dir", "x", "--size", "3"},
     1,
     R"({"call":"path_push","args":["C:\\dir","x"],"result":0,"ok":false,"code":2,"error":"Buffer is too small"})"
     "\n",
     ""},
    {{"--json", "get_file_part", "C:\\d\\f"},
     0,
     R"({"call":"get_file_part","args":["C:\\d\\f"],"result":5,"part":"f","offset":5,"ok":true})"
     "\n",
     ""},
    {{"--json", "is_mask", "x", "--offset"},
     2,
     R"({"call":"is_mask","ok":false,"usage":"--offset does not apply to is_mask; usage: velmora is_mask TEXT"})"
     "\n",
     ""},
};

TEST(ToolCall, EachRowGivesItsStatusOutputAndMessage)
{
    for (const call_row &row : call_rows) {
        const outcome got = tool(row.words);
        EXPECT_EQ(got.status, row.status) << shown(row.words);
        EXPECT_EQ(got.out, row.out) << shown(row.words);
        if (row.message.empty())
            EXPECT_EQ(got.err, "") << shown(row.words);
        else
            EXPECT_NE(got.err.find(row.message), std::string::npos)
                << shown(row.words) << "\n  stderr: " << got.err << "  want: " << row.message;
    }
}

// ---- Batch mode ----------------------------------------------------------------

// Each row: an input line and the exact JSON answer to it.
struct batch_row {
    std::string line;
    std::string answer;
};

const batch_row json_batch[] = {
    {"get_file_part C:\\dir\\f.txt",
     R"({"line":1,"call":"get_file_part","args":["C:\\dir\\f.txt"],"result":7,"part":"f.txt","offset":7,"ok":true})"},
    {"path_push C:\\dir x --size 3",
     R"({"line":2,"call":"path_push","args":["C:\\dir","x"],"result":0,"ok":false,"code":2,"error":"Buffer is too small"})"},
    {"get_path_part " + long_prefixed,
     R"({"line":3,"call":"get_path_part","args":[")" + std::string("\\\\\\\\?\\\\C:\\\\") +
         std::string(33000, '0') +
         R"("],"result":null,"ok":false,"code":2,"error":"Buffer is too small"})"},
    {"get_file_part nosep",
     R"({"line":4,"call":"get_file_part","args":["nosep"],"result":null,"found":false,"ok":true})"},
    {"", R"({"line":5,"ok":false,"usage":"a blank line names no export"})"},
    {"is_mask x --size 5 --in-place",
     R"({"line":6,"call":"is_mask","ok":false,"usage":"--size does not apply to is_mask; usage: velmora is_mask TEXT"})"},
    {"path_pop C:\\a --size \" -1\"",
     R"({"line":7,"call":"path_pop","ok":false,"usage":"--size ' -1': not a decimal number from 0 to 4294967295"})"},
    {"PATH_MASK_CMP C:\\data\\app.log *.LOG",
     R"({"line":8,"call":"path_mask_cmp","args":["C:\\data\\app.log","*.LOG"],"result":1,"ok":true})"},
    {"is_maks x",
     R"({"line":9,"ok":false,"usage":"unknown export 'is_maks'; did you mean is_mask?"})"},
    {"is_mask -- --offset",
     R"({"line":10,"call":"is_mask","args":["--offset"],"result":0,"ok":true})"},
    {"path_push \"C:\\my dir\" \"a b\"",
     R"({"line":11,"call":"path_push","args":["C:\\my dir","a b"],"result":1,"text":"C:\\my dir\\a b","ok":true})"},
    {"is_mask a\x01"
     "b",
     R"({"line":12,"call":"is_mask","args":["a\u0001b"],"result":0,"ok":true})"},
    {"get_file_part C:\\\xff",
     R"({"line":13,"call":"get_file_part","ok":false,"usage":"argument 1 is not valid UTF-8"})"},
    {"get_error_text 9",
     R"({"line":14,"call":"get_error_text","args":["9"],"result":null,"ok":true})"},
    {"file_exist no_such_file_here",
     R"({"line":15,"call":"file_exist","args":["no_such_file_here"],"result":1,"exists":0,"ok":true,"code":4,"error":"File not found"})"},
    // The code the line before stored, read back.
    {"get_err_code", R"({"line":16,"call":"get_err_code","args":[],"result":4,"ok":true})"},
    {"path_pop C:\\dir\\file --in-place",
     R"({"line":17,"call":"path_pop","args":["C:\\dir\\file"],"result":1,"text":"C:\\dir","ok":true})"},
    {"path_pop C:\\a\\b --size 4294967296",
     R"({"line":18,"call":"path_pop","ok":false,"usage":"--size '4294967296': not a decimal number from 0 to 4294967295"})"},
    {"path_push C:\\dir",
     R"({"line":19,"call":"path_push","ok":false,"usage":"path_push takes 2 argument(s), not 1; usage: velmora path_push BASE NAME [--size N] [--in-place]"})"},
    {"get_file_attr no_such_file_here",
     R"({"line":20,"call":"get_file_attr","args":["no_such_file_here"],"result":0,"ok":false,"code":4,"error":"File not found"})"},
    // A NUL byte inside a line: a usage error of its own, not bad UTF-8.
    {std::string("is_mask a\0b", 11),
     R"json({"line":21,"ok":false,"usage":"the line holds a NUL byte (-0 reads NUL-separated records)"})json"},
};

std::vector<std::string> lines_of(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(ToolBatch, JsonGivesOneExactObjectPerLine)
{
    std::string input;
    for (const batch_row &row : json_batch)
        input += row.line + "\n";
    const outcome got = tool({"--json", "-"}, input);
    EXPECT_EQ(got.status, 2) << "a usage error among the lines";
    EXPECT_EQ(got.err, "");
    const std::vector<std::string> answers = lines_of(got.out);
    ASSERT_EQ(answers.size(), std::size(json_batch));
    for (std::size_t i = 0; i < answers.size(); ++i)
        EXPECT_EQ(answers[i], json_batch[i].answer)
            << "line " << i + 1 << ": " << json_batch[i].line.substr(0, 60);
}

TEST(ToolBatch, PlainGivesOneAnswerLinePerLineAndNumbersTheMessages)
{
    const outcome got = tool({"-"}, "get_file_part C:\\d\\f\n\npath_push C:\\dir x --size 3\n"
                                    "get_file_part x\nis_mask \"a b*\"\n"
                                    "path_push C:\\dir \"my file\"\n");
    EXPECT_EQ(got.status, 2);
    EXPECT_EQ(got.out, "f\n\n\n\n1\nC:\\dir\\my file\n");
    EXPECT_EQ(got.err, "velmora: line 2: a blank line names no export\n"
                       "velmora: line 3: path_push failed: code 2: Buffer is too small\n"
                       "velmora: line 4: get_file_part: no such part\n");
}

TEST(ToolBatch, StatusIsTheWorstLine)
{
    EXPECT_EQ(tool({"-"}, "is_mask x*\nget_file_part C:\\a\n").status, 0);
    EXPECT_EQ(tool({"-"}, "is_mask x\nget_file_part C:\\a\n").status, 1);
    EXPECT_EQ(tool({"-"}, "is_mask x\nis_mask\nis_mask y*\n").status, 2);
    EXPECT_EQ(tool({"-"}, "").status, 0) << "no lines";
}

// Records, each ended by a NUL byte.
std::string nul_ended(const std::vector<std::string> &records)
{
    std::string joined;
    for (const std::string &record : records)
        joined += record + '\0';
    return joined;
}

TEST(ToolBatch, NulSeparatedRecordsAndAnswers)
{
    const outcome got = tool(
        {"-0", "-"}, nul_ended({"is_mask \"a*\"", "get_file_part \"C:\\a\\b\nc\"", "path_pop x"}));
    EXPECT_EQ(got.out, nul_ended({"1", "b\nc", ""}));
    EXPECT_EQ(got.err,
              "velmora: line 3: path_pop failed: code 1: The string is not conformed path\n");
    const outcome json =
        tool({"--json", "--null", "-"}, nul_ended({"get_file_part \"C:\\a\\b\nc\"", "is_mask x"}));
    EXPECT_EQ(json.out,
              "{\"line\":1,\"call\":\"get_file_part\",\"args\":[\"C:\\\\a\\\\b\\nc\"],\"result\":5,"
              "\"part\":\"b\\nc\",\"offset\":5,\"ok\":true}\n"
              "{\"line\":2,\"call\":\"is_mask\",\"args\":[\"x\"],\"result\":0,\"ok\":true}\n");
}

// ---- Locale: the library follows whatever the program set ------------------------

class ToolLocale : public testing::Test {
  protected:
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
    // A UTF-8 locale where the host has one: Linux's C.UTF-8, or the Windows
    // user's locale (every one of which folds beyond ASCII).
    static bool set_folding_locale()
    {
#if defined(_WIN32)
        return std::setlocale(LC_ALL, "") != nullptr;
#else
        return std::setlocale(LC_ALL, "C.UTF-8") || std::setlocale(LC_ALL, "en_US.UTF-8");
#endif
    }
};

TEST_F(ToolLocale, FoldsAndFindsDriveLettersBeyondAsciiWhereTheLocaleDoes)
{
    if (!set_folding_locale()) GTEST_SKIP() << "no UTF-8 locale here";
    EXPECT_EQ(tool({"path_mask_cmp", "C:\\Daten\\ÄPFEL.log", "äpfel.*"}).out, "1\n");
    EXPECT_EQ(tool({"get_drive_part", "Ä:\\x"}).out, "Ä:\\x\n");
}

#if !defined(_WIN32)
TEST_F(ToolLocale, TheCLocaleFoldsAsciiAlone)
{
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(tool({"path_mask_cmp", "C:\\Daten\\ÄPFEL.log", "äpfel.*"}).out, "0\n");
    EXPECT_EQ(tool({"path_mask_cmp", "C:\\Daten\\APFEL.log", "apfel.*"}).out, "1\n");
    EXPECT_EQ(tool({"get_drive_part", "Ä:\\x"}).status, 1);
}
#endif

// ---- Help: the list and each export's contract, as the header states it ----------

TEST(ToolHelp, ListsEveryExportInTheListsOrder)
{
    const outcome got = tool({"--help"});
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(
        got.out.rfind(
            "usage: velmora [--json] EXPORT ARGUMENT... [--size N] [--in-place] [--offset] [--]\n"
            "       velmora [--json] [-0] -    one call a line (a record) from standard input\n"
            "       velmora help EXPORT        the export's contract\n"
            "       velmora --help | --version\n\n",
            0),
        0u)
        << got.out;
    EXPECT_NE(got.out.find("\n  -0, --null   batch records end with NUL bytes, and so do plain "
                           "answers\n  --size N     writers:"),
              std::string::npos)
        << "an option's line, and the next one";
    EXPECT_NE(got.out.find("setlocale(LC_ALL, \"\")"), std::string::npos) << "names the locale";
    EXPECT_NE(
        got.out.find(
            "\n\nExit status: 0 for success or true, 1 for failure, false or no such part, 2 for\n"
            "a usage error. Batch mode: 0 when every line succeeded, 1 when any line failed\n"
            "or answered false and none was a usage error, 2 when any line was a usage error.\n\n"),
        std::string::npos)
        << "the exit statuses, wrapped to 80 columns";
    const std::string listed = got.out.substr(got.out.find("\nexports:\n") + 10);
    std::vector<std::string> names;
    for (const std::string &line : lines_of(listed))
        names.push_back(line.substr(2, line.find(' ', 2) - 2));
    ASSERT_EQ(names.size(), velmora::cli::exports.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(names[i], velmora::cli::exports[i].name);
    EXPECT_EQ(tool({"-h"}).out, got.out);
}

// Each option on a line of its own with its help text, or, for those that
// are the whole command, in the last usage line.
TEST(ToolHelp, GivesEveryOption)
{
    const std::vector<std::string> lines = lines_of(tool({"--help"}).out);
    const std::string alone_line = lines.at(3);
    for (const velmora::cli::option_spec &option : velmora::cli::options) {
        const std::string word(option.word), help(option.help);
        if (option.scope == velmora::cli::option_scope::alone) {
            EXPECT_NE((alone_line + " ").find(" " + word + " "), std::string::npos) << word;
            continue;
        }
        bool listed = false;
        for (const std::string &line : lines)
            listed = listed || (line.rfind("  " + word, 0) == 0 && line.size() > help.size() &&
                                line.compare(line.size() - help.size(), help.size(), help) == 0);
        EXPECT_TRUE(listed) << word << ": " << help;
    }
}

TEST(ToolHelp, GivesEachExportsContractUsageAndARunExample)
{
    for (const velmora::cli::export_entry &e : velmora::cli::exports) {
        const std::string name(e.name);
        const outcome got = tool({"help", name});
        EXPECT_EQ(got.status, 0) << name;
        const velmora::cli::contract *c = velmora::cli::contract_of(e.name);
        ASSERT_NE(c, nullptr) << name << " has no contract in the header";
        EXPECT_EQ(got.out.rfind(std::string(c->declaration) + "\n\n" + std::string(c->comment), 0),
                  0u)
            << name;
        EXPECT_NE(got.out.find("\nusage: velmora " + name), std::string::npos) << name;
        EXPECT_NE(got.out.find("\nexample: velmora " + name), std::string::npos) << name;
        const bool ran = got.out.find("(exit status 0)\n") != std::string::npos ||
                         got.out.find("(exit status 1)\n") != std::string::npos;
        EXPECT_TRUE(ran) << name << ":\n" << got.out;
    }
    const std::string pop = tool({"help", "get_path_part"}).out;
    EXPECT_EQ(pop.rfind("const velmora_char *get_path_part(const velmora_char *path);\n\n", 0), 0u);
    EXPECT_NE(pop.find("Stores err_buffer_small (and returns null)"), std::string::npos);
    const std::string push = tool({"help", "path_push"}).out;
    EXPECT_NE(push.find("length(base) + length(name) + 2 exceeds size"), std::string::npos);
    EXPECT_NE(push.find("\nusage: velmora path_push BASE NAME [--size N] [--in-place]\n"),
              std::string::npos);
}

// Every comment line of the header's exports reaches some contract: the
// script that takes them from the header loses none.
TEST(ToolHelp, TheContractsHoldEveryCommentLineOfTheHeadersExports)
{
    std::ifstream file(VELMORA_HEADER_FILE);
    ASSERT_TRUE(file) << VELMORA_HEADER_FILE;
    const std::string header((std::istreambuf_iterator<char>(file)), {});
    std::string contracts;
    for (const velmora::cli::contract &c : velmora::cli::contracts)
        contracts += std::string(c.comment) + "\n";
    std::size_t checked = 0;
    for (std::string line : lines_of(header.substr(header.find("/* ---- Error state")))) {
        if (line.rfind("/* ", 0) != 0 && line.rfind(" * ", 0) != 0) continue;
        line = line.substr(3);
        if (line.size() >= 3 && line.compare(line.size() - 3, 3, " */") == 0)
            line.resize(line.size() - 3);
        if (line.rfind("----", 0) == 0) continue;
        EXPECT_NE(contracts.find(line), std::string::npos) << "not in any contract: " << line;
        ++checked;
    }
    EXPECT_GT(checked, velmora::cli::exports.size());
}

} // namespace

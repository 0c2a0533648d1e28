// SPDX-License-Identifier: MIT
#include "command.h"

#include <algorithm>
#include <optional>

#include "call.h"
#include "json_output.h"
#include "library_info.h"
#include "options.h"
#include "usage.h"

namespace velmora::cli {

namespace {

struct output_mode {
    bool json = false;
    char end = '\n'; // what ends a plain answer in batch mode
};

int single_call(const std::vector<std::string> &words, const output_mode &mode, std::ostream &out,
                std::ostream &err)
{
    const answer a = call(words);
    if (mode.json) {
        out << dumped(json_of(call_words(words), a, std::nullopt)) << '\n';
    } else {
        if (a.has_out) out << a.out << '\n';
        if (!a.message.empty()) err << "velmora: " << a.message << '\n';
    }
    out.flush();
    return a.status;
}

// Splits a record at spaces, tabs and line ends; double quotes group words
// with spaces.
std::vector<std::string> split_record(const std::string &record)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, in_word = false;
    for (char c : record) {
        if (c == '"') {
            quoted = !quoted;
            in_word = true;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
            if (in_word) words.push_back(word);
            word.clear();
            in_word = false;
        } else {
            word += c;
            in_word = true;
        }
    }
    if (in_word) words.push_back(word);
    return words;
}

// Batch mode: exactly one answer per record, in order, and the highest
// status of any record.
static_assert(exit_true < exit_false && exit_false < exit_usage,
              "batch mode's status ranks a usage error above a failure");
int run_records(const output_mode &mode, char separator, std::istream &in, std::ostream &out,
                std::ostream &err)
{
    int status = exit_true;
    std::string record;
    for (std::size_t line = 1; std::getline(in, record, separator); ++line) {
        std::vector<std::string> words;
        answer a;
        if (separator == '\n' && record.find('\0') != std::string::npos) {
            a = usage("the line holds a NUL byte (-0 reads NUL-separated records)");
        } else {
            words = split_record(record);
            a = words.empty() ? usage("a blank line names no export") : call(words);
        }
        if (mode.json) {
            out << dumped(json_of(call_words(words), a, line)) << '\n';
        } else {
            out << a.out << mode.end;
            if (!a.message.empty()) err << "velmora: line " << line << ": " << a.message << '\n';
        }
        out.flush();
        status = std::max(status, a.status);
    }
    return status;
}

} // namespace

int run_command(std::vector<std::string> words, std::istream &in, std::ostream &out,
                std::ostream &err)
{
    output_mode mode;
    bool records = false;
    std::size_t first = 0;
    for (; first < words.size(); ++first) {
        const option_spec *lead = find_option(words[first], option_scope::lead);
        if (!lead) lead = find_option(words[first], option_scope::batch);
        if (lead && lead->id == option_id::json_output)
            mode.json = true;
        else if (lead && lead->id == option_id::null_records)
            records = true;
        else
            break;
    }
    words.erase(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(first));
    if (!words.empty() && words[0] == "-") {
        if (words.size() > 1) {
            err << "velmora: - takes no arguments\n";
            return exit_usage;
        }
        if (records) mode.end = '\0';
        return run_records(mode, records ? '\0' : '\n', in, out, err);
    }
    if (records) {
        err << "velmora: -0 goes with - (batch mode)\n";
        return exit_usage;
    }
    const option_spec *alone = words.empty() ? nullptr : find_option(words[0], option_scope::alone);
    if (alone && alone->id == option_id::show_help) return help(out);
    if (alone && alone->id == option_id::show_version) {
        out << "velmora " VELMORA_VERSION_STRING "\n"
            << "library " << loaded_library() << "\n"
            << "scanners " << scanner_set() << "\n";
        return exit_true;
    }
    if (!words.empty() && words[0] == "help") return help_on(words, out, err);
    return single_call(words, mode, out, err);
}

} // namespace velmora::cli

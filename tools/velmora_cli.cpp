// SPDX-License-Identifier: MIT
// velmora: calls any export of the library by name, on arguments given in
// UTF-8, and prints the outcome in UTF-8, as plain text or as JSON. Exit
// status: 0 for success or true, 1 for failure or false, 2 for a usage error.
#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/utf8.h"
#include "velmora.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>
#endif

namespace {

using text = std::basic_string<velmora_char>;
using text_view = std::basic_string_view<velmora_char>;
using json = nlohmann::ordered_json;

constexpr int exit_true = 0;
constexpr int exit_false = 1;
constexpr int exit_usage = 2;

// ---- UTF-8 and UTF-16 --------------------------------------------------------

enum class decoded { ok, invalid, nul };

// Strict UTF-8 (no overlong forms, surrogates or NUL, which would end the
// library's text early) to 16-bit units.
decoded from_utf8(std::string_view in, text &out)
{
    namespace utf8 = velmora::utf8;
    out.clear();
    const utf8::outcome measured =
        utf8::to_utf16(in.data(), in.size(), nullptr, 0, utf8::policy::strict);
    if (measured.stopped == utf8::fault::nul) return decoded::nul;
    if (measured.stopped != utf8::fault::none) return decoded::invalid;
    out.resize(measured.length);
    utf8::to_utf16(in.data(), in.size(), out.data(), out.size(), utf8::policy::strict);
    return decoded::ok;
}

// Lone surrogates print as U+FFFD.
std::string to_utf8(text_view in)
{
    namespace utf8 = velmora::utf8;
    std::string out(utf8::to_utf8(in.data(), in.size(), nullptr, 0, utf8::policy::lenient).length,
                    '\0');
    utf8::to_utf8(in.data(), in.size(), out.data(), out.size(), utf8::policy::lenient);
    return out;
}

std::string to_utf8(const velmora_char *in) { return to_utf8(text_view(in)); }

// ---- The contracts, as the header states them ---------------------------------

struct contract {
    std::string_view name;
    std::string_view declaration;
    std::string_view comment;
};

constexpr contract contracts[] = {
#include "velmora_contracts.inc"
};

const contract *contract_of(std::string_view name)
{
    for (const contract &c : contracts)
        if (c.name == name) return &c;
    return nullptr;
}

// ---- The exports ---------------------------------------------------------------

// Each export's kind is the type of its function: the types differ, so the
// variant's alternative says how to call it. decltype keeps whatever calling
// convention the header declares.
using test_fn = decltype(&is_mask);
using test2_fn = decltype(&path_mask_cmp);
using getter_fn = decltype(&get_file_part);
using writer_fn = decltype(&path_pop);
using push_fn = decltype(&path_push);
using flag_query_fn = decltype(&file_exist);
using attr_query_fn = decltype(&get_file_attr);
using code_fn = decltype(&get_err_code);
using code_text_fn = decltype(&get_error_text);
using function = std::variant<test_fn, test2_fn, getter_fn, writer_fn, push_fn, flag_query_fn,
                              attr_query_fn, code_fn, code_text_fn>;

// The longest text that goes through the prefix removal; a getter working on
// a longer prefixed path fails as that removal does.
constexpr std::size_t long_path_max = 32767;

bool prefixed_path_too_long(const text &path)
{
    return (has_NTFS_path_prefix(path.c_str()) || is_UNC_path(path.c_str())) &&
           path.size() > long_path_max;
}

struct export_entry {
    std::string_view name;
    function call;
    std::vector<std::string> example; // arguments that show the export at work
    std::size_t added = 0;            // writers: units the result adds to the input(s)
    bool fills = false;               // writers: null-fills dst up to the size asked for
    const char *result = "";          // queries: the JSON name of the answer written
    bool false_stores_code = false;   // queries: answering 0 stores a code
    // Getters: when a null result is a documented failure with a code.
    bool (*fails_when)(const text &path) = nullptr;
};

// Each row: the export, an example, then what its kind needs (the fields
// above, in order).
#define VELMORA_EXPORT(name) #name, &name
const export_entry exports[] = {
    {VELMORA_EXPORT(add_NTFS_path_prefix), {"C:\\a"}, 4, true},
    {VELMORA_EXPORT(file_exist), {"C:\\no_such_file"}, 0, false, "exists", true},
    {VELMORA_EXPORT(get_drive_part), {"\\\\?\\C:\\dir"}},
    {VELMORA_EXPORT(get_err_code), {}},
    {VELMORA_EXPORT(get_error_text), {"2"}},
    {VELMORA_EXPORT(get_file_attr), {"."}},
    {VELMORA_EXPORT(get_file_part), {"C:\\dir\\file.txt"}},
    {VELMORA_EXPORT(get_path_part),
     {"\\\\server\\share\\dir"},
     0,
     false,
     "",
     false,
     prefixed_path_too_long},
    {VELMORA_EXPORT(has_NTFS_path_prefix), {"\\\\?\\C:\\dir"}},
    {VELMORA_EXPORT(is_UNC_path), {"\\\\server\\share"}},
    {VELMORA_EXPORT(is_absolute), {"C:\\dir"}},
    {VELMORA_EXPORT(is_directory), {"."}, 0, false, "is_dir"},
    {VELMORA_EXPORT(is_mask), {"*.txt"}},
    {VELMORA_EXPORT(path_mask_cmp), {"C:\\logs\\app.log", "*.LOG"}},
    {VELMORA_EXPORT(path_pop), {"C:\\dir\\file"}},
    {VELMORA_EXPORT(path_push), {"C:\\dir", "file"}, 2},
    {VELMORA_EXPORT(rem_NTFS_path_prefix), {"\\\\?\\C:\\a"}, 0, true},
    {VELMORA_EXPORT(rem_UNC_path_prefix), {"\\\\server\\share"}, 0, true},
};
#undef VELMORA_EXPORT

bool is_writer(const export_entry &e)
{
    return std::holds_alternative<writer_fn>(e.call) || std::holds_alternative<push_fn>(e.call);
}
bool is_getter(const export_entry &e) { return std::holds_alternative<getter_fn>(e.call); }

std::size_t argument_count(const export_entry &e)
{
    if (std::holds_alternative<code_fn>(e.call)) return 0;
    if (std::holds_alternative<test2_fn>(e.call) || std::holds_alternative<push_fn>(e.call))
        return 2;
    return 1;
}

std::string lower_case(std::string_view name)
{
    std::string out(name);
    for (char &c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// The one place where an export is found by its name; any letter case.
const export_entry *find_export(std::string_view name)
{
    const std::string wanted = lower_case(name);
    for (const export_entry &entry : exports)
        if (lower_case(entry.name) == wanted) return &entry;
    return nullptr;
}

std::size_t edit_distance(const std::string &a, const std::string &b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string_view nearest_export(std::string_view name)
{
    const std::string wanted = lower_case(name);
    const export_entry *best = &exports[0];
    std::size_t best_distance = SIZE_MAX;
    for (const export_entry &entry : exports) {
        const std::size_t d = edit_distance(wanted, lower_case(entry.name));
        if (d < best_distance) best = &entry, best_distance = d;
    }
    return best->name;
}

// ---- One call: parsed, run, answered ---------------------------------------------

struct parsed_call {
    const export_entry *entry = nullptr;
    std::vector<std::string> words; // the arguments as given, in UTF-8
    std::vector<text> args;
    std::optional<std::uint32_t> size;
    bool in_place = false;
    bool offset = false;
};

// What a call printed: the JSON fields, and the same for people.
struct answer {
    int status = exit_true;
    bool usage = false;
    bool failed = false;
    json fields = json::object(); // the export's result and what it gives back
    bool has_out = false;         // whether the plain form has a result line
    std::string out;              // plain result, without the line end
    std::string message;          // for standard error, without the tool's name
    std::optional<std::int32_t> code;
};

answer usage(std::string message)
{
    answer a;
    a.status = exit_usage;
    a.usage = true;
    a.message = std::move(message);
    return a;
}

std::string code_text(std::int32_t code)
{
    const velmora_char *message = get_error_text(code);
    return message ? to_utf8(message) : "unknown code";
}

// The call stored a code, read back; ok tells whether it failed doing so.
answer with_stored_code(answer a, const export_entry &e, bool failed)
{
    a.code = get_err_code();
    if (failed) {
        a.failed = true;
        a.status = exit_false;
        a.message = std::string(e.name) + " failed: code " + std::to_string(*a.code) + ": " +
                    code_text(*a.code);
    }
    return a;
}

answer result_line(int status, json result, std::string out)
{
    answer a;
    a.status = status;
    a.fields["result"] = std::move(result);
    a.has_out = true;
    a.out = std::move(out);
    return a;
}

// Decimal digits alone, at most `largest`.
std::optional<std::uint64_t> decimal(std::string_view word, std::uint64_t largest)
{
    if (word.empty() || word.size() > 20) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (largest - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

std::string filetime_text(std::uint32_t low, std::uint32_t high)
{
    const std::uint64_t ticks = (std::uint64_t{high} << 32) | low;
    const auto since_1970 = static_cast<long long>(ticks / 10000000) - 11644473600LL;
    const auto seconds = static_cast<std::time_t>(since_1970);
    char buffer[32] = "?";
    if (const std::tm *utc = std::gmtime(&seconds))
        std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", utc);
    return buffer;
}

// Writers fill at most this many units on request; a larger size would ask
// the tool for a buffer it should not take.
constexpr std::uint64_t largest_filled_size = 1u << 26;

answer run_writer(const parsed_call &c, const export_entry &e, writer_fn one, push_fn two)
{
    const text &path = c.args[0];
    const text tail = two ? c.args[1] : text();
    const std::uint64_t fitting = path.size() + tail.size() + e.added;
    const std::uint64_t size = c.size.value_or(static_cast<std::uint32_t>(fitting));
    if (e.fills && size > largest_filled_size)
        return usage("--size: at most " + std::to_string(largest_filled_size) + " for " +
                     std::string(e.name) + " here");
    // Room for the promised size where the writer fills to it, and always for
    // the input and the longest result.
    const auto room =
        static_cast<std::size_t>(std::max<std::uint64_t>(e.fills ? size + 1 : 0, fitting + 8));
    std::vector<velmora_char> buffer(room, 0);
    const velmora_char *source = path.c_str();
    if (c.in_place) {
        std::copy(path.begin(), path.end(), buffer.begin());
        source = buffer.data();
    }
    const auto size32 = static_cast<std::uint32_t>(size);
    const std::int32_t result =
        two ? two(source, tail.c_str(), buffer.data(), size32) : one(source, buffer.data(), size32);
    if (!result) return with_stored_code(result_line(exit_false, 0, ""), e, true);
    answer a = result_line(exit_true, result, to_utf8(buffer.data()));
    a.fields["text"] = a.out;
    return a;
}

answer run_getter(const parsed_call &c, const export_entry &e, getter_fn get)
{
    const text &path = c.args[0];
    const velmora_char *part = get(path.c_str());
    if (!part) {
        if (e.fails_when && e.fails_when(path))
            return with_stored_code(result_line(exit_false, nullptr, ""), e, true);
        answer a = result_line(exit_false, nullptr, "");
        a.has_out = false;
        a.fields["found"] = false;
        a.message = std::string(e.name) + ": no such part";
        return a;
    }
    const auto offset = static_cast<std::size_t>(part - path.c_str());
    answer a = result_line(exit_true, offset, to_utf8(part));
    a.fields["part"] = a.out;
    a.fields["offset"] = offset;
    if (c.offset) a.out = std::to_string(offset) + "\t" + a.out;
    return a;
}

answer run_attr_query(const export_entry &e, const text &path, attr_query_fn query)
{
    velmora_file_attributes record;
    const std::int32_t result = query(path.c_str(), &record);
    if (!result) return with_stored_code(result_line(exit_false, 0, ""), e, true);
    char attributes[16];
    std::snprintf(attributes, sizeof attributes, "0x%x", unsigned(record.dwFileAttributes));
    const std::uint64_t size = (std::uint64_t{record.nFileSizeHigh} << 32) | record.nFileSizeLow;
    const auto time = [](const auto &t) {
        return filetime_text(t.dwLowDateTime, t.dwHighDateTime);
    };
    answer a = result_line(exit_true, result, "");
    a.fields["attributes"] = record.dwFileAttributes;
    a.fields["size"] = size;
    a.fields["created"] = time(record.ftCreationTime);
    a.fields["accessed"] = time(record.ftLastAccessTime);
    a.fields["written"] = time(record.ftLastWriteTime);
    a.out = std::string("attributes=") + attributes + " size=" + std::to_string(size) +
            " created=" + time(record.ftCreationTime) +
            " accessed=" + time(record.ftLastAccessTime) +
            " written=" + time(record.ftLastWriteTime);
    return a;
}

answer run_flag_query(const export_entry &e, const text &path, flag_query_fn query)
{
    std::int32_t flag = 0;
    const std::int32_t result = query(path.c_str(), &flag);
    if (!result) return with_stored_code(result_line(exit_false, 0, ""), e, true);
    answer a = result_line(flag ? exit_true : exit_false, result, std::to_string(flag));
    a.fields[e.result] = flag;
    // Not finding the file is an answer, but one that stores a code.
    if (!flag && e.false_stores_code) return with_stored_code(std::move(a), e, false);
    return a;
}

answer run(const parsed_call &c)
{
    const export_entry &e = *c.entry;
    const std::vector<text> &args = c.args;
    struct visitor {
        const parsed_call &c;
        const export_entry &e;
        const std::vector<text> &args;
        answer tested(std::int32_t answer_)
        {
            return result_line(answer_ ? exit_true : exit_false, answer_, std::to_string(answer_));
        }
        answer operator()(test_fn f) { return tested(f(args[0].c_str())); }
        answer operator()(test2_fn f) { return tested(f(args[0].c_str(), args[1].c_str())); }
        answer operator()(getter_fn f) { return run_getter(c, e, f); }
        answer operator()(writer_fn f) { return run_writer(c, e, f, nullptr); }
        answer operator()(push_fn f) { return run_writer(c, e, nullptr, f); }
        answer operator()(flag_query_fn f) { return run_flag_query(e, args[0], f); }
        answer operator()(attr_query_fn f) { return run_attr_query(e, args[0], f); }
        answer operator()(code_fn f)
        {
            const std::int32_t code = f();
            return result_line(exit_true, code, std::to_string(code));
        }
        answer operator()(code_text_fn f)
        {
            const std::string &word = c.words[0];
            const std::optional<std::uint64_t> code = decimal(word, INT32_MAX);
            if (!code)
                return usage("CODE '" + word + "': not a decimal number from 0 to 2147483647");
            const velmora_char *message = f(static_cast<std::int32_t>(*code));
            if (!message) {
                answer a = result_line(exit_false, nullptr, "");
                a.has_out = false;
                a.message = std::string(e.name) + ": no text for code " + word;
                return a;
            }
            return result_line(exit_true, to_utf8(message), to_utf8(message));
        }
    };
    return std::visit(visitor{c, e, args}, e.call);
}

// The argument names of an export, from its declaration: the text and code
// parameters it reads (what it writes through stays the tool's).
std::vector<std::string> argument_names(const export_entry &e)
{
    std::vector<std::string> names;
    const contract *c = contract_of(e.name);
    if (!c) return names;
    std::string_view list = c->declaration.substr(c->declaration.find('(') + 1);
    list = list.substr(0, list.rfind(')'));
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        std::string_view parameter = list.substr(0, comma);
        list = comma == list.npos ? std::string_view() : list.substr(comma + 1);
        const bool input = parameter.find("const velmora_char") != parameter.npos ||
                           parameter.find("int32_t code") != parameter.npos;
        if (!input) continue;
        const std::size_t start = parameter.find_last_of(" *") + 1;
        std::string name(parameter.substr(start));
        for (char &ch : name)
            if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
        names.push_back(name);
    }
    return names;
}

std::string usage_line(const export_entry &e)
{
    std::string line = "velmora " + std::string(e.name);
    for (const std::string &name : argument_names(e))
        line += " " + name;
    if (is_writer(e)) line += " [--size N] [--in-place]";
    if (is_getter(e)) line += " [--offset]";
    return line;
}

// The one path that checks a call's words, from the command line and from
// batch input alike.
std::variant<parsed_call, answer> parse(const std::vector<std::string> &words)
{
    parsed_call c;
    if (words.empty()) return usage("no export named; see velmora --help");
    c.entry = find_export(words[0]);
    if (!c.entry)
        return usage("unknown export '" + words[0] + "'; did you mean " +
                     std::string(nearest_export(words[0])) + "?");
    const export_entry &e = *c.entry;
    const auto not_for = [&](const std::string &option) {
        return usage(option + " does not apply to " + std::string(e.name) +
                     "; usage: " + usage_line(e));
    };
    bool options_ended = false;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string &word = words[i];
        if (!options_ended && word.size() > 1 && word[0] == '-') {
            if (word == "--") {
                options_ended = true;
            } else if (word == "--in-place") {
                if (!is_writer(e)) return not_for(word);
                c.in_place = true;
            } else if (word == "--offset") {
                if (!is_getter(e)) return not_for(word);
                c.offset = true;
            } else if (word == "--size") {
                if (!is_writer(e)) return not_for(word);
                if (++i == words.size()) return usage("--size needs a number");
                const std::optional<std::uint64_t> size = decimal(words[i], UINT32_MAX);
                if (!size)
                    return usage("--size '" + words[i] +
                                 "': not a decimal number from 0 to 4294967295");
                c.size = static_cast<std::uint32_t>(*size);
            } else {
                return usage("unknown option '" + word +
                             "' (-- ends the options); usage: " + usage_line(e));
            }
            continue;
        }
        text arg;
        const decoded how = from_utf8(word, arg);
        const std::string which = "argument " + std::to_string(c.args.size() + 1);
        if (how == decoded::invalid) return usage(which + " is not valid UTF-8");
        if (how == decoded::nul) return usage(which + " holds a NUL byte");
        c.words.push_back(word);
        c.args.push_back(std::move(arg));
    }
    if (c.args.size() != argument_count(e))
        return usage(std::string(e.name) + " takes " + std::to_string(argument_count(e)) +
                     " argument(s), not " + std::to_string(c.args.size()) +
                     "; usage: " + usage_line(e));
    return c;
}

struct output_mode {
    bool json = false;
    char end = '\n'; // what ends a plain answer in batch mode
};

// One call's JSON object: which call, then what it gave.
json json_of(const std::vector<std::string> &words, const answer &a,
             std::optional<std::size_t> line)
{
    json j = json::object();
    if (line) j["line"] = *line;
    if (const export_entry *e = words.empty() ? nullptr : find_export(words[0])) {
        j["call"] = e->name;
        if (!a.usage) {
            j["args"] = json::array();
            for (std::size_t i = 1; i < words.size(); ++i)
                j["args"].push_back(words[i]);
        }
    }
    j.update(a.fields);
    j["ok"] = !a.usage && !a.failed;
    if (a.code) {
        j["code"] = *a.code;
        j["error"] = code_text(*a.code);
    }
    if (a.usage) j["usage"] = a.message;
    return j;
}

std::string dumped(const json &j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

answer call(const std::vector<std::string> &words)
{
    std::variant<parsed_call, answer> parsed = parse(words);
    if (answer *a = std::get_if<answer>(&parsed)) return *a;
    return run(std::get<parsed_call>(parsed));
}

// The arguments that were words, for the JSON form: the options dropped.
std::vector<std::string> call_words(const std::vector<std::string> &words)
{
    std::variant<parsed_call, answer> parsed = parse(words);
    std::vector<std::string> out;
    if (words.empty()) return out;
    out.push_back(words[0]);
    if (const parsed_call *c = std::get_if<parsed_call>(&parsed))
        out.insert(out.end(), c->words.begin(), c->words.end());
    return out;
}

int single_call(const std::vector<std::string> &words, const output_mode &mode)
{
    const answer a = call(words);
    if (mode.json) {
        std::cout << dumped(json_of(call_words(words), a, std::nullopt)) << '\n';
    } else {
        if (a.has_out) std::cout << a.out << '\n';
        if (!a.message.empty()) std::cerr << "velmora: " << a.message << '\n';
    }
    std::cout.flush();
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

// Batch mode: exactly one answer per record, in order. The status is 2 if
// any record was a usage error, else 1 if any failed or answered false.
int run_records(const output_mode &mode, char separator)
{
    int status = exit_true;
    std::string record;
    for (std::size_t line = 1; std::getline(std::cin, record, separator); ++line) {
        std::vector<std::string> words;
        answer a;
        if (separator == '\n' && record.find('\0') != std::string::npos) {
            a = usage("the line holds a NUL byte (-0 reads NUL-separated records)");
        } else {
            words = split_record(record);
            a = words.empty() ? usage("a blank line names no export") : call(words);
        }
        if (mode.json) {
            std::cout << dumped(json_of(call_words(words), a, line)) << '\n';
        } else {
            std::cout << a.out << mode.end;
            if (!a.message.empty())
                std::cerr << "velmora: line " << line << ": " << a.message << '\n';
        }
        std::cout.flush();
        if (a.status == exit_usage || status == exit_usage)
            status = exit_usage;
        else
            status = std::max(status, a.status);
    }
    return status;
}

int help()
{
    std::cout
        << "usage: velmora [--json] EXPORT ARGUMENT... [--size N] [--in-place] [--offset] [--]\n"
           "       velmora [--json] [-0] -    one call a line (a record) from standard input\n"
           "       velmora help EXPORT        the export's contract\n"
           "       velmora --help | --version\n\n"
           "Calls one export of the velmora library. Texts are UTF-8; export names may be\n"
           "given in any letter case.\n"
           "  --json       one JSON object per call, on one line\n"
           "  -0, --null   batch records end with NUL bytes, and so do plain answers\n"
           "  --size N     writers: the size handed over (default: one that fits)\n"
           "  --in-place   writers: work in one buffer holding the input\n"
           "  --offset     getters: print the part's position in the input first\n"
           "  --           ends the options\n"
           "Numbers are decimal digits, without sign or spaces.\n\n"
           "Batch mode (-): each line is an export and its arguments; double quotes group\n"
           "words. Every line gives one answer line (empty for a failure or usage error;\n"
           "messages on standard error carry the line number); with --json one object.\n\n"
           "Exit status: 0 for success or true, 1 for failure, false or no such part, 2 for\n"
           "a usage error. Batch mode: 0 if every line succeeded, 2 if any line was a usage\n"
           "error, else 1 if any line failed or answered false.\n\n"
           "Locale: velmora calls setlocale(LC_ALL, \"\") first, so case folding and drive\n"
           "letters follow the user's environment (LC_ALL=C folds A to Z alone).\n\n"
           "exports:\n";
    for (const export_entry &entry : exports)
        std::cout << "  " << usage_line(entry).substr(8) << '\n';
    return exit_true;
}

int help_on(const std::vector<std::string> &words)
{
    if (words.size() != 2) return help();
    const export_entry *e = find_export(words[1]);
    const contract *c = e ? contract_of(e->name) : nullptr;
    if (!c) {
        std::cerr << "velmora: unknown export '" << words[1] << "'; did you mean "
                  << nearest_export(words[1]) << "?\n";
        return exit_usage;
    }
    // The example runs, so that what it shows is what the export answers.
    std::vector<std::string> example{std::string(e->name)};
    example.insert(example.end(), e->example.begin(), e->example.end());
    const answer a = call(example);
    std::cout << c->declaration << "\n\n"
              << c->comment << "\n\nusage: " << usage_line(*e) << "\nexample: velmora " << e->name;
    for (std::size_t i = 1; i < example.size(); ++i)
        std::cout << " '" << example[i] << "'";
    std::cout << "\n  " << (a.has_out ? a.out : a.message) << " (exit status " << a.status << ")\n";
    return exit_true;
}

std::vector<std::string> utf8_arguments(int argc, char **argv)
{
#if defined(_WIN32)
    // The command line is UTF-16 on Windows; take it as it is.
    (void)argc, (void)argv;
    int count = 0;
    LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> out;
    for (int i = 1; i < count; ++i)
        out.push_back(to_utf8(reinterpret_cast<const velmora_char *>(wide[i])));
    LocalFree(wide);
    return out;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

} // namespace

int main(int argc, char **argv)
{
    // The library folds case and classifies letters by the C runtime's
    // locale: the user's, as for any program.
    std::setlocale(LC_ALL, "");
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::vector<std::string> words = utf8_arguments(argc, argv);
    output_mode mode;
    bool records = false;
    std::size_t first = 0;
    for (; first < words.size(); ++first) {
        if (words[first] == "--json")
            mode.json = true;
        else if (words[first] == "-0" || words[first] == "--null")
            records = true;
        else
            break;
    }
    words.erase(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(first));
    if (!words.empty() && words[0] == "-") {
        if (words.size() > 1) {
            std::cerr << "velmora: - takes no arguments\n";
            return exit_usage;
        }
        if (records) mode.end = '\0';
        return run_records(mode, records ? '\0' : '\n');
    }
    if (records) {
        std::cerr << "velmora: -0 goes with - (batch mode)\n";
        return exit_usage;
    }
    if (!words.empty() && (words[0] == "--help" || words[0] == "-h")) return help();
    if (!words.empty() && words[0] == "--version") {
        std::cout << "velmora " VELMORA_VERSION "\n";
        return exit_true;
    }
    if (!words.empty() && words[0] == "help") return help_on(words);
    return single_call(words, mode);
}

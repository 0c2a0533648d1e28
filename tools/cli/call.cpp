// SPDX-License-Identifier: MIT
#include "call.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#if defined(_WIN32)
// The attribute record is the platform's own there.
#include <windows.h>
#endif

namespace velmora::cli {

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

namespace {

// The call stored a code, read back; `failed` says whether the call failed.
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
    const std::uint64_t fitting = path.size() + tail.size() + e.quirks.added;
    const std::uint64_t size = c.size.value_or(static_cast<std::uint32_t>(fitting));
    if (e.quirks.fills_to_size && size > largest_filled_size)
        return usage("--size: at most " + std::to_string(largest_filled_size) + " for " +
                     std::string(e.name) + " here");
    // Room for the promised size where the writer fills to it, and always for
    // the input and the longest result.
    const auto room = static_cast<std::size_t>(
        std::max<std::uint64_t>(e.quirks.fills_to_size ? size + 1 : 0, fitting + 8));
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
        if (e.quirks.null_fails && e.quirks.null_fails(path))
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
    a.fields[e.quirks.answer_name] = flag;
    // Not finding the file is an answer, but one that stores a code.
    if (!flag && e.quirks.false_stores_code) return with_stored_code(std::move(a), e, false);
    return a;
}

} // namespace

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

answer call(const std::vector<std::string> &words)
{
    std::variant<parsed_call, answer> parsed = parse(words);
    if (answer *a = std::get_if<answer>(&parsed)) return *a;
    return run(std::get<parsed_call>(parsed));
}

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

} // namespace velmora::cli

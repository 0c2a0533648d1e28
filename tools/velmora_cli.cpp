// velmora: calls any export of the library by name, on arguments given in
// UTF-8, and prints the outcome in UTF-8. Exit status: 0 for success or true,
// 1 for failure or false, 2 for a usage error.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "velmora.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>
#endif

namespace {

using text = std::basic_string<velmora_char>;

constexpr int exit_true = 0;
constexpr int exit_false = 1;
constexpr int exit_usage = 2;

// ---- UTF-8 and UTF-16 --------------------------------------------------------

std::optional<text> from_utf8(std::string_view in)
{
    static constexpr unsigned char lead_bits[] = {0x7F, 0x1F, 0x0F, 0x07};
    static constexpr char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    text out;
    for (std::size_t i = 0; i < in.size();) {
        const auto lead = static_cast<unsigned char>(in[i++]);
        const int trailing = lead < 0x80   ? 0
                             : lead < 0xC2 ? -1
                             : lead < 0xE0 ? 1
                             : lead < 0xF0 ? 2
                             : lead < 0xF5 ? 3
                                           : -1;
        if (trailing < 0 || in.size() - i < std::size_t(trailing)) return std::nullopt;
        char32_t code = lead & lead_bits[trailing];
        for (int k = 0; k < trailing; ++k) {
            const auto next = static_cast<unsigned char>(in[i++]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            code = (code << 6) | (next & 0x3Fu);
        }
        if (code < smallest[trailing] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000) ||
            code == 0)
            return std::nullopt;
        if (code < 0x10000) {
            out += static_cast<velmora_char>(code);
        } else {
            out += static_cast<velmora_char>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<velmora_char>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    }
    return out;
}

// Lone surrogates print as U+FFFD.
std::string to_utf8(const velmora_char *in)
{
    std::string out;
    for (; *in; ++in) {
        char32_t code = static_cast<char32_t>(*in);
        if (code >= 0xD800 && code < 0xDC00 && in[1] >= 0xDC00 && in[1] < 0xE000)
            code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<char32_t>(*++in) - 0xDC00);
        else if (code >= 0xD800 && code < 0xE000)
            code = 0xFFFD;
        const auto put = [&](char32_t byte) { out += static_cast<char>(byte); };
        if (code < 0x80) {
            put(code);
        } else if (code < 0x800) {
            put(0xC0 | (code >> 6)), put(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            put(0xE0 | (code >> 12)), put(0x80 | ((code >> 6) & 0x3F)), put(0x80 | (code & 0x3F));
        } else {
            put(0xF0 | (code >> 18)), put(0x80 | ((code >> 12) & 0x3F));
            put(0x80 | ((code >> 6) & 0x3F)), put(0x80 | (code & 0x3F));
        }
    }
    return out;
}

// ---- The exports ---------------------------------------------------------------

enum class kind { test, getter, writer, push, query, code, code_text };

struct export_entry {
    const char *name;
    kind what;
    int arguments;
    const char *summary;
};

const export_entry exports[] = {
    {"add_NTFS_path_prefix", kind::writer, 1, "PATH: the path with \\\\?\\ in front"},
    {"file_exist", kind::query, 1, "PATH: 1 if a file can be opened there, else 0"},
    {"get_drive_part", kind::getter, 1, "PATH: from the drive letter on"},
    {"get_err_code", kind::code, 0, "the last error code stored in this process"},
    {"get_error_text", kind::code_text, 1, "CODE: the English text of an error code"},
    {"get_file_attr", kind::query, 1, "PATH: attributes, size and times"},
    {"get_file_part", kind::getter, 1, "PATH: what follows the last separator"},
    {"get_path_part", kind::getter, 1, "PATH: below a prefixed path's first component"},
    {"has_NTFS_path_prefix", kind::test, 1, "PATH: 1 if it begins with \\\\?\\"},
    {"is_UNC_path", kind::test, 1, "PATH: 1 if it begins with \\\\, \\\\?\\UNC\\ or UNC\\"},
    {"is_absolute", kind::test, 1, "PATH: 1 if it has a drive letter"},
    {"is_directory", kind::query, 1, "PATH: 16 for a directory, 0 for anything else"},
    {"is_mask", kind::test, 1, "TEXT: 1 if it holds * or ?"},
    {"path_mask_cmp", kind::test, 2, "PATH MASK: 1 if the path matches the mask"},
    {"path_pop", kind::writer, 1, "PATH: without its last component"},
    {"path_push", kind::push, 2, "BASE NAME: base and name joined by a backslash"},
    {"rem_NTFS_path_prefix", kind::writer, 1, "PATH: without \\\\?\\"},
    {"rem_UNC_path_prefix", kind::writer, 1, "PATH: without its UNC prefix"},
};

struct options {
    std::optional<std::uint64_t> size;
    bool in_place = false;
    bool offset = false;
};

struct outcome {
    int status;
    std::string out; // for standard output, without the line end
    std::string err; // for standard error
};

outcome usage(const std::string &message) { return {exit_usage, "", "velmora: " + message}; }

outcome failure(const char *name)
{
    const std::int32_t code = get_err_code();
    const velmora_char *message = get_error_text(code);
    return {exit_false, "",
            "velmora: " + std::string(name) + " failed: code " + std::to_string(code) + ": " +
                (message ? to_utf8(message) : std::string("unknown code"))};
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

outcome run_writer(const export_entry &entry, const std::vector<text> &args, const options &opt)
{
    const std::string name = entry.name;
    const text &path = args[0];
    const text tail = entry.what == kind::push ? args[1] : text();
    const bool fills = name == "rem_NTFS_path_prefix" || name == "rem_UNC_path_prefix" ||
                       name == "add_NTFS_path_prefix";
    std::uint64_t fitting = path.size();
    if (name == "add_NTFS_path_prefix") fitting += 4;
    if (entry.what == kind::push) fitting += tail.size() + 2;
    const std::uint64_t size = opt.size.value_or(fitting);
    if (size > UINT32_MAX) return usage("--size must be at most 4294967295");
    if (fills && size > largest_filled_size) return usage("--size too large for this writer here");

    // Room for the promised size where the writer fills to it, and always for
    // the input and the longest result.
    const auto room = static_cast<std::size_t>(std::max<std::uint64_t>(fills ? size + 1 : 0, fitting + 8));
    std::vector<velmora_char> buffer(room, 0);
    const velmora_char *source = path.c_str();
    if (opt.in_place) {
        std::copy(path.begin(), path.end(), buffer.begin());
        source = buffer.data();
    }
    const auto size32 = static_cast<std::uint32_t>(size);
    std::int32_t result = 0;
    if (name == "add_NTFS_path_prefix")
        result = add_NTFS_path_prefix(source, buffer.data(), size32);
    else if (name == "rem_NTFS_path_prefix")
        result = rem_NTFS_path_prefix(source, buffer.data(), size32);
    else if (name == "rem_UNC_path_prefix")
        result = rem_UNC_path_prefix(source, buffer.data(), size32);
    else if (name == "path_pop")
        result = path_pop(source, buffer.data(), size32);
    else
        result = path_push(source, tail.c_str(), buffer.data(), size32);
    if (!result) return failure(entry.name);
    return {exit_true, to_utf8(buffer.data()), ""};
}

outcome run_query(const export_entry &entry, const text &path)
{
    const std::string name = entry.name;
    if (name == "get_file_attr") {
        velmora_file_attributes record;
        if (!get_file_attr(path.c_str(), &record)) return failure(entry.name);
        char attributes[16];
        std::snprintf(attributes, sizeof attributes, "0x%x", unsigned(record.dwFileAttributes));
        const std::uint64_t size =
            (std::uint64_t{record.nFileSizeHigh} << 32) | record.nFileSizeLow;
        std::ostringstream out;
        out << "attributes=" << attributes << " size=" << size << " created="
            << filetime_text(record.ftCreationTime.dwLowDateTime,
                             record.ftCreationTime.dwHighDateTime)
            << " accessed="
            << filetime_text(record.ftLastAccessTime.dwLowDateTime,
                             record.ftLastAccessTime.dwHighDateTime)
            << " written="
            << filetime_text(record.ftLastWriteTime.dwLowDateTime,
                             record.ftLastWriteTime.dwHighDateTime);
        return {exit_true, out.str(), ""};
    }
    std::int32_t answer = 0;
    const std::int32_t result = name == "file_exist" ? file_exist(path.c_str(), &answer)
                                                     : is_directory(path.c_str(), &answer);
    if (!result) return failure(entry.name);
    return {answer ? exit_true : exit_false, std::to_string(answer), ""};
}

outcome run(const export_entry &entry, const std::vector<text> &args, const options &opt)
{
    const std::string name = entry.name;
    switch (entry.what) {
    case kind::test: {
        std::int32_t answer = 0;
        if (name == "has_NTFS_path_prefix")
            answer = has_NTFS_path_prefix(args[0].c_str());
        else if (name == "is_UNC_path")
            answer = is_UNC_path(args[0].c_str());
        else if (name == "is_absolute")
            answer = is_absolute(args[0].c_str());
        else if (name == "is_mask")
            answer = is_mask(args[0].c_str());
        else
            answer = path_mask_cmp(args[0].c_str(), args[1].c_str());
        return {answer ? exit_true : exit_false, std::to_string(answer), ""};
    }
    case kind::getter: {
        const velmora_char *path = args[0].c_str();
        const std::int32_t code_before = get_err_code();
        const velmora_char *part = name == "get_drive_part"  ? get_drive_part(path)
                                   : name == "get_file_part" ? get_file_part(path)
                                                             : get_path_part(path);
        if (!part)
            return get_err_code() != code_before ? failure(entry.name)
                                                 : outcome{exit_false, "", ""};
        std::string out = to_utf8(part);
        if (opt.offset) out = std::to_string(part - path) + "\t" + out;
        return {exit_true, out, ""};
    }
    case kind::writer:
    case kind::push:
        return run_writer(entry, args, opt);
    case kind::query:
        return run_query(entry, args[0]);
    case kind::code:
        return {exit_true, std::to_string(get_err_code()), ""};
    case kind::code_text: {
        char *end = nullptr;
        const std::string digits = to_utf8(args[0].c_str());
        const long code = std::strtol(digits.c_str(), &end, 10);
        if (digits.empty() || *end || code < INT32_MIN || code > INT32_MAX)
            return usage("get_error_text takes a whole number");
        const velmora_char *message = get_error_text(static_cast<std::int32_t>(code));
        if (!message) return {exit_false, "", ""};
        return {exit_true, to_utf8(message), ""};
    }
    }
    return usage("unreachable");
}

const export_entry *find_export(const std::string &name)
{
    for (const export_entry &entry : exports)
        if (name == entry.name) return &entry;
    return nullptr;
}

// One call: the export's name, its arguments and options, all in UTF-8.
outcome call(const std::vector<std::string> &words)
{
    if (words.empty()) return usage("no export named; see velmora --help");
    const export_entry *entry = find_export(words[0]);
    if (!entry) return usage("unknown export '" + words[0] + "'; see velmora --help");
    options opt;
    std::vector<text> args;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string &word = words[i];
        if (word == "--in-place") {
            opt.in_place = true;
        } else if (word == "--offset") {
            opt.offset = true;
        } else if (word == "--size") {
            if (++i == words.size()) return usage("--size needs a number");
            char *end = nullptr;
            const unsigned long long size = std::strtoull(words[i].c_str(), &end, 10);
            if (words[i].empty() || *end || words[i][0] == '-')
                return usage("--size needs a number");
            opt.size = size;
        } else {
            const std::optional<text> arg = from_utf8(word);
            if (!arg)
                return usage("argument " + std::to_string(args.size() + 1) + " is not valid UTF-8");
            args.push_back(*arg);
        }
    }
    if (args.size() != std::size_t(entry->arguments))
        return usage(std::string(entry->name) + " takes " + std::to_string(entry->arguments) +
                     " argument(s), not " + std::to_string(args.size()));
    return run(*entry, args, opt);
}

int report(const outcome &o)
{
    if (!o.out.empty() || (o.status != exit_usage && o.err.empty())) std::cout << o.out << '\n';
    if (!o.err.empty()) std::cerr << o.err << '\n';
    std::cout.flush();
    return o.status;
}

// Splits a line at spaces and tabs; double quotes group words with spaces.
std::vector<std::string> split_line(const std::string &line)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, in_word = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            in_word = true;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\r')) {
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

int run_lines()
{
    int worst = exit_true;
    std::string line;
    while (std::getline(std::cin, line)) {
        const std::vector<std::string> words = split_line(line);
        if (words.empty()) continue;
        const outcome o = call(words);
        // One answer a line, also for failures, so scripts stay in step.
        std::cout << (o.status == exit_usage ? "" : o.out) << '\n';
        if (!o.err.empty()) std::cerr << o.err << '\n';
        worst = std::max(worst, o.status);
    }
    std::cout.flush();
    return worst;
}

int help()
{
    std::cout << "usage: velmora EXPORT ARGUMENT... [--size N] [--in-place] [--offset]\n"
                 "       velmora -          one call a line from standard input\n"
                 "       velmora --help | --version\n\n"
                 "Calls one export of the velmora library. Texts are UTF-8. Exit status: 0 for\n"
                 "success or true, 1 for failure or false, 2 for a usage error.\n"
                 "  --size N     the size handed to a writer (default: one that fits)\n"
                 "  --in-place   writers work in one buffer holding the input\n"
                 "  --offset     getters print the part's position in the input first\n\n"
                 "exports:\n";
    for (const export_entry &entry : exports) {
        std::string name = entry.name;
        name.resize(22, ' ');
        std::cout << "  " << name << entry.summary << '\n';
    }
    return exit_true;
}

std::vector<std::string> utf8_arguments(int argc, char **argv)
{
#if defined(_WIN32)
    // The command line is UTF-16 on Windows; take it as it is.
    (void)argv;
    int count = 0;
    LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> out;
    for (int i = 1; i < count; ++i)
        out.push_back(to_utf8(reinterpret_cast<const velmora_char *>(wide[i])));
    LocalFree(wide);
    (void)argc;
    return out;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

} // namespace

int main(int argc, char **argv)
{
#if defined(_WIN32)
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    const std::vector<std::string> words = utf8_arguments(argc, argv);
    if (words.empty()) return report(usage("no export named; see velmora --help"));
    if (words[0] == "--help" || words[0] == "-h") return help();
    if (words[0] == "--version") {
        std::cout << "velmora " VELMORA_VERSION "\n";
        return exit_true;
    }
    if (words[0] == "-") return run_lines();
    return report(call(words));
}

// SPDX-License-Identifier: MIT
#include "exports.h"

#include <algorithm>
#include <cstdint>

#include "core/text.h"

namespace velmora::cli {

bool prefixed_path_too_long(const text &path)
{
    return (has_NTFS_path_prefix(path.c_str()) || is_UNC_path(path.c_str())) &&
           path.size() > velmora::long_path_max;
}

// An example's parentheses dropped: ("a", "b") gives "a", "b".
#define VELMORA_ARGUMENTS(...) __VA_ARGS__
#define VELMORA_EXPORT(name, ordinal, kind, example, how)                                          \
    {#name, ordinal, kind##_fn{&name}, {VELMORA_ARGUMENTS example}, how},
const std::vector<export_entry> exports = {
#include "export_list.h"
};
#undef VELMORA_EXPORT
#undef VELMORA_ARGUMENTS

const std::vector<contract> contracts = {
#include "velmora_contracts.inc"
};

const contract *contract_of(std::string_view name)
{
    for (const contract &c : contracts)
        if (c.name == name) return &c;
    return nullptr;
}

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

namespace {

std::string lower_case(std::string_view name)
{
    std::string out(name);
    for (char &c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
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

} // namespace

const export_entry *find_export(std::string_view name)
{
    const std::string wanted = lower_case(name);
    for (const export_entry &entry : exports)
        if (lower_case(entry.name) == wanted) return &entry;
    return nullptr;
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

} // namespace velmora::cli

// SPDX-License-Identifier: MIT
// The tool's table of the library's exports, made from the export list, and
// the contracts that the header states for them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "utf8.h"
#include "velmora.h"

namespace velmora::cli {

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

// What an export's kind leaves open, spelled in the export list as a chain:
// quirks.adds(4).fills().
struct export_quirks {
    std::size_t added = 0;          // writers: units the result adds to the input(s)
    bool fills_to_size = false;     // writers: null-fills dst up to the size asked for
    const char *answer_name = "";   // queries: the JSON name of the answer written
    bool false_stores_code = false; // queries: answering 0 stores a code
    // Getters: when a null result is a documented failure with a code.
    bool (*null_fails)(const text &path) = nullptr;

    constexpr export_quirks adds(std::size_t units) const
    {
        return with(&export_quirks::added, units);
    }
    constexpr export_quirks fills() const { return with(&export_quirks::fills_to_size, true); }
    constexpr export_quirks answer_field(const char *name) const
    {
        return with(&export_quirks::answer_name, name);
    }
    constexpr export_quirks stores_code_when_false() const
    {
        return with(&export_quirks::false_stores_code, true);
    }
    constexpr export_quirks null_fails_when(bool (*test)(const text &)) const
    {
        return with(&export_quirks::null_fails, test);
    }

    // A copy with one field set, so that the list's lines read as a chain.
    template <class T> constexpr export_quirks with(T export_quirks::*field, T value) const
    {
        export_quirks q = *this;
        q.*field = value;
        return q;
    }
};
inline constexpr export_quirks quirks{};

struct export_entry {
    std::string_view name;
    int ordinal;
    function call;
    std::vector<std::string> example; // arguments that show the export at work
    export_quirks quirks;
};

// Every export, in the order of its ordinal.
extern const std::vector<export_entry> exports;

// Whether a getter working on `path` fails as the prefix removal does on a
// prefixed path longer than it takes.
bool prefixed_path_too_long(const text &path);

bool is_writer(const export_entry &e);
bool is_getter(const export_entry &e);
std::size_t argument_count(const export_entry &e);

// The one place where an export is found by its name; any letter case.
const export_entry *find_export(std::string_view name);
std::string_view nearest_export(std::string_view name);

struct contract {
    std::string_view name;
    std::string_view declaration;
    std::string_view comment;
};
extern const std::vector<contract> contracts;
const contract *contract_of(std::string_view name);

// The argument names of an export, from its declaration: the text and code
// parameters it reads (what it writes through stays the tool's).
std::vector<std::string> argument_names(const export_entry &e);

} // namespace velmora::cli

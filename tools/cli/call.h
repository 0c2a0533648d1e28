// SPDX-License-Identifier: MIT
// One call of an export: its words checked, the export run, and what it
// answered, for either output form.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "exports.h"

namespace velmora::cli {

using json = nlohmann::ordered_json;

#define VELMORA_EXIT_STATUS(id, value, one_call, batch) constexpr int id = value;
#include "exit_status_list.h"
#undef VELMORA_EXIT_STATUS

struct exit_status_spec {
    int value;
    const char *one_call; // what the status means after one call
    const char *batch;    // and after batch mode
};

inline constexpr exit_status_spec exit_statuses[] = {
#define VELMORA_EXIT_STATUS(id, value, one_call, batch) {value, one_call, batch},
#include "exit_status_list.h"
#undef VELMORA_EXIT_STATUS
};

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

answer usage(std::string message);
std::string code_text(std::int32_t code);

// Decimal digits alone, at most `largest`.
std::optional<std::uint64_t> decimal(std::string_view word, std::uint64_t largest);

// The one path that checks a call's words, from the command line and from
// batch input alike.
std::variant<parsed_call, answer> parse(const std::vector<std::string> &words);
answer run(const parsed_call &c);
answer call(const std::vector<std::string> &words);

// The arguments that were words, for the JSON form: the options dropped.
std::vector<std::string> call_words(const std::vector<std::string> &words);

} // namespace velmora::cli

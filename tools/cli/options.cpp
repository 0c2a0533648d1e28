// SPDX-License-Identifier: MIT
#include "options.h"

#include "call.h"
#include "usage.h"

namespace velmora::cli {

namespace {

bool spelled(const option_spec &option, std::string_view word)
{
    return word == option.word || (!option.other.empty() && word == option.other);
}

bool follows_export(option_scope scope)
{
    return scope == option_scope::writers || scope == option_scope::getters ||
           scope == option_scope::every_export;
}

} // namespace

const option_spec *find_option(std::string_view word, option_scope scope)
{
    for (const option_spec &option : options)
        if (option.scope == scope && spelled(option, word)) return &option;
    return nullptr;
}

const option_spec *find_call_option(std::string_view word)
{
    for (const option_spec &option : options)
        if (follows_export(option.scope) && spelled(option, word)) return &option;
    return nullptr;
}

bool applies_to(const option_spec &option, const export_entry &e)
{
    switch (option.scope) {
    case option_scope::writers:
        return is_writer(e);
    case option_scope::getters:
        return is_getter(e);
    case option_scope::every_export:
        return true;
    default:
        return false;
    }
}

std::string option_synopsis(const option_spec &option)
{
    std::string shown(option.word);
    if (!option.value.empty()) shown += " " + std::string(option.value);
    return shown;
}

std::variant<parsed_call, answer> parse(const std::vector<std::string> &words)
{
    parsed_call c;
    if (words.empty()) return usage("no export named; see velmora --help");
    c.entry = find_export(words[0]);
    if (!c.entry)
        return usage("unknown export '" + words[0] + "'; did you mean " +
                     std::string(nearest_export(words[0])) + "?");
    const export_entry &e = *c.entry;
    bool options_ended = false;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string &word = words[i];
        if (!options_ended && word.size() > 1 && word[0] == '-') {
            const option_spec *option = find_call_option(word);
            if (!option)
                return usage("unknown option '" + word +
                             "' (-- ends the options); usage: " + usage_line(e));
            if (!applies_to(*option, e))
                return usage(word + " does not apply to " + std::string(e.name) +
                             "; usage: " + usage_line(e));
            switch (option->id) {
            case option_id::end_of_options:
                options_ended = true;
                break;
            case option_id::in_place:
                c.in_place = true;
                break;
            case option_id::offset:
                c.offset = true;
                break;
            case option_id::size: {
                if (++i == words.size()) return usage(word + " needs a number");
                const std::optional<std::uint64_t> size = decimal(words[i], UINT32_MAX);
                if (!size)
                    return usage(word + " '" + words[i] +
                                 "': not a decimal number from 0 to 4294967295");
                c.size = static_cast<std::uint32_t>(*size);
                break;
            }
            default:
                break;
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

} // namespace velmora::cli

// SPDX-License-Identifier: MIT
#include "usage.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "call.h"
#include "options.h"

namespace velmora::cli {

namespace {

// " [--json]" for each option of `scope`, as a synopsis shows them.
std::string bracketed(option_scope scope)
{
    std::string out;
    for (const option_spec &option : options)
        if (option.scope == scope) out += " [" + option_synopsis(option) + "]";
    return out;
}

std::string padded(std::string text, std::size_t width)
{
    text.resize(std::max(width, text.size() + 1), ' ');
    return text;
}

// "-0, --null" or "--size N": how the options list names an option.
std::string label(const option_spec &option)
{
    std::string shown(option.word);
    if (!option.other.empty()) shown += ", " + std::string(option.other);
    if (!option.value.empty()) shown += " " + std::string(option.value);
    return shown;
}

// `text` broken at spaces into lines of at most `width` characters.
std::string wrapped(std::string_view text, std::size_t width)
{
    std::string out;
    std::size_t line_start = 0;
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        const std::string_view word = text.substr(0, space);
        if (out.size() > line_start && out.size() - line_start + 1 + word.size() > width) {
            out += '\n';
            line_start = out.size();
        } else if (out.size() > line_start) {
            out += ' ';
        }
        out += word;
        text.remove_prefix(space == std::string_view::npos ? text.size() : space + 1);
    }
    return out;
}

// "Exit status: 0 for ..., 2 for .... Batch mode: 0 when ...", from the list.
std::string exit_status_paragraph()
{
    std::string one_call = "Exit status:";
    std::string batch = "Batch mode:";
    for (const exit_status_spec &status : exit_statuses) {
        const char *comma = &status == exit_statuses ? " " : ", ";
        one_call += comma + std::to_string(status.value) + " for " + status.one_call;
        batch += comma + std::to_string(status.value) + " when " + status.batch;
    }
    return wrapped(one_call + ". " + batch + ".", 80);
}

void usage_lines(std::ostream &out)
{
    constexpr std::size_t command_width = 27;
    std::string alone;
    for (const option_spec &option : options)
        if (option.scope == option_scope::alone)
            alone += (alone.empty() ? "" : " | ") + std::string(option.word);
    out << "usage: velmora" << bracketed(option_scope::lead) << " EXPORT ARGUMENT..."
        << bracketed(option_scope::writers) << bracketed(option_scope::getters)
        << bracketed(option_scope::every_export) << "\n       "
        << padded("velmora" + bracketed(option_scope::lead) + bracketed(option_scope::batch) + " -",
                  command_width)
        << "one call a line (a record) from standard input\n       "
        << padded("velmora help EXPORT", command_width) << "the export's contract\n"
        << "       velmora " << alone << "\n\n";
}

} // namespace

std::string usage_line(const export_entry &e)
{
    std::string line = "velmora " + std::string(e.name);
    for (const std::string &name : argument_names(e))
        line += " " + name;
    for (const option_spec &option : options)
        if (option.scope != option_scope::every_export && applies_to(option, e))
            line += " [" + option_synopsis(option) + "]";
    return line;
}

int help(std::ostream &out)
{
    usage_lines(out);
    out << "Calls one export of the velmora library. Texts are UTF-8; export names may be\n"
           "given in any letter case.\n";
    for (const option_spec &option : options)
        if (option.scope != option_scope::alone)
            out << "  " << padded(label(option), 13) << option.help << '\n';
    out << "Numbers are decimal digits, without sign or spaces.\n\n"
           "Batch mode (-): each line is an export and its arguments; double quotes group\n"
           "words. Every line gives one answer line (empty for a failure or usage error;\n"
           "messages on standard error carry the line number); with --json one object.\n\n"
        << exit_status_paragraph()
        << "\n\n"
           "Locale: velmora calls setlocale(LC_ALL, \"\") first, so case folding and drive\n"
           "letters follow the user's environment (LC_ALL=C folds A to Z alone).\n\n"
           "exports:\n";
    for (const export_entry &entry : exports)
        out << "  " << usage_line(entry).substr(8) << '\n';
    return exit_true;
}

int help_on(const std::vector<std::string> &words, std::ostream &out, std::ostream &err)
{
    if (words.size() != 2) return help(out);
    const export_entry *e = find_export(words[1]);
    const contract *c = e ? contract_of(e->name) : nullptr;
    if (!c) {
        err << "velmora: unknown export '" << words[1] << "'; did you mean "
            << nearest_export(words[1]) << "?\n";
        return exit_usage;
    }
    // The example runs, so that what it shows is what the export answers.
    std::vector<std::string> example{std::string(e->name)};
    example.insert(example.end(), e->example.begin(), e->example.end());
    const answer a = call(example);
    out << c->declaration << "\n\n"
        << c->comment << "\n\nusage: " << usage_line(*e) << "\nexample: velmora " << e->name;
    for (std::size_t i = 1; i < example.size(); ++i)
        out << " '" << example[i] << "'";
    out << "\n  " << (a.has_out ? a.out : a.message) << " (exit status " << a.status << ")\n";
    return exit_true;
}

} // namespace velmora::cli

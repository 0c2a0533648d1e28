// SPDX-License-Identifier: MIT
#include "json_output.h"

namespace velmora::cli {

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

} // namespace velmora::cli

// A fast writer of JSON text for the per-file output of tavro-cli.
#pragma once
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

namespace tavro {

// Appends `value` to `out` exactly as nlohmann's dump(indent, ' ', false, replace)
// writes it, the whole text shifted right by `currentIndent` spaces after the first
// line. `indent` < 0 gives one line.
void appendJson(std::string& out, const nlohmann::json& value, int indent, int currentIndent = 0);

// A member of the outermost object written by its own code rather than from a value:
// the object holds `key` (any value) where the member belongs, and `write` appends
// the member's value with the same indent arguments as appendJson.
struct JsonSplice {
    const char* key;
    std::function<void(std::string& out, int indent, int currentIndent)> write;
};
void appendJson(std::string& out, const nlohmann::json& value, int indent, int currentIndent,
                const JsonSplice& splice);

} // namespace tavro

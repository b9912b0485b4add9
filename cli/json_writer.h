// A fast writer of JSON text for the per-file output of tavro-cli.
#pragma once
#include <nlohmann/json.hpp>
#include <string>

namespace tavro {

// Appends `value` to `out` exactly as nlohmann's dump(indent, ' ', false, replace)
// writes it, the whole text shifted right by `currentIndent` spaces after the first
// line. `indent` < 0 gives one line.
void appendJson(std::string& out, const nlohmann::json& value, int indent, int currentIndent = 0);

} // namespace tavro

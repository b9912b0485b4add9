// The CLI's render test and codec data base outputs: the render object and graph
// array of a file's JSON, the known-format lists (--formats) and the version
// texts of installed codecs (--codecs --json).
#pragma once
#include <nlohmann/json.hpp>
#include <string>

#include "app/render_step.h"
#include "codecs/codec_database.h"
#include "codecs/codec_inventories.h"

namespace tavro {

// {"enabled", "result", "hr", "error_text", and the seven field texts by key}.
nlohmann::json renderJson(const RenderStep& step, const ReportModel& report);
// One object per described filter: name, class id, and its pins with direction,
// media type names and the index of the filter each connects to (null for none).
nlohmann::json graphJson(const GraphDescription& graph, const CodecDatabase* db);

// The data base's known video and audio formats, as the View menu lists them.
std::string formatsText(const CodecDatabase& db);
nlohmann::json formatsJson(const CodecDatabase& db);

// Adds "version" (the twelve texts by key) to each row of the --codecs JSON.
void addVersionStrings(nlohmann::json& codecs, const CodecInventories& inventories);

} // namespace tavro

// The CLI's forms of a file's report: "Label: text" lines, and a JSON object. Every
// per-file output is made here, so a new field or key is added in one place.
#pragma once
#include <nlohmann/json.hpp>
#include <string>

#include "analysis/media_info.h"
#include "app/report_model.h"
#include "cli/json_writer.h"

namespace tavro {

enum class OutputForm {
    Text,      // "Label: text" lines and the comment rows, then an empty line
    Json,      // one element of the streamed array: the object indented, no line end
    JsonLines, // the object on one line, then a line end
};

// Every field in window order, then the comment rows; control characters escaped.
std::string reportText(const ReportModel& report);
nlohmann::json reportJson(const std::string& path, const ReportModel& report,
                          const MediaInfo& info);
// A file's JSON object (the report and whatever other steps added) in a JSON form.
std::string jsonOutput(OutputForm form, const nlohmann::json& object);
// The same with one member written by `splice`.
std::string jsonOutput(OutputForm form, const nlohmann::json& object, const JsonSplice& splice);
// One analysed file in the given form.
std::string fileOutput(OutputForm form, const std::string& path, const ReportModel& report,
                       const MediaInfo& info);

// Text as JSON; bytes that are not UTF-8 (INFO comments in a legacy code page)
// become U+FFFD instead of stopping the writer. `indent` < 0 gives one line.
std::string jsonText(const nlohmann::json& value, int indent);

// Control characters (below 0x20 but tab, and 0x7F) written as "\n", "\r" or "\xNN",
// so a file's bytes cannot drive the terminal or forge a line.
std::string escapeControls(const std::string& text);
bool isValidUtf8(const std::string& text);

} // namespace tavro

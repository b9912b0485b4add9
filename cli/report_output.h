// The CLI's two forms of a file's report: "Label: text" lines, and a JSON object.
#pragma once
#include <nlohmann/json.hpp>
#include <string>

#include "analysis/media_info.h"
#include "app/report_model.h"

namespace tavro {

// Every field in window order, then the comment rows.
std::string reportText(const ReportModel& report);
nlohmann::json reportJson(const std::string& path, const ReportModel& report,
                          const MediaInfo& info);

} // namespace tavro

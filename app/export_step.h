// Exporting the report of the current file through the user's template (step 10).
#pragma once
#include <string>

namespace tavro {

class ReportModel;
class MediaInfo;

void exportCurrentFile(const ReportModel& report, const MediaInfo& info, const std::string& path);

} // namespace tavro

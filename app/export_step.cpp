#include "app/export_step.h"

namespace tavro {

// Does nothing yet; filled by the text export work.
void exportCurrentFile(const ReportModel& report, const MediaInfo& info, const std::string& path) {}

} // namespace tavro

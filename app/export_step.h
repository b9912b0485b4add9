// Exporting the report of the current file through the user's template: one
// record plus CR LF appended to the target of the file mode, and the export error
// path that switches export off for the rest of the run.
#pragma once
#include <string>

#include "common/output_files.h"
#include "common/prompter.h"
#include "common/settings.h"
#include "report/export_template.h"

namespace tavro {

class ReportModel;

// The report fields as the template letters see them, for the file at `path`.
ExportFields exportFields(const ReportModel& report, const std::string& path);
// The expansion of `templ` over the report, then CR LF: exactly what one export appends.
std::string exportRecord(const std::string& templ, const ReportModel& report,
                         const std::string& path);

class ExportStep {
  public:
    // `settings` is the program's own record: a failed export clears its exportEnabled.
    ExportStep(Settings& settings, Prompter& prompter, OutputFiles& files)
        : settings_(settings), prompter_(prompter), files_(files) {}

    // 1 when the record was written or export is off (or the mode exports nothing),
    // 0 when writing failed; the user has then been told, and export is off.
    int exportCurrentFile(const ReportModel& report, const std::string& path);

  private:
    int fail(const std::string& target, const FileError& error);

    Settings& settings_;
    Prompter& prompter_;
    OutputFiles& files_;
};

} // namespace tavro

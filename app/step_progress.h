// The progress texts a long test of the current file shows while it runs: the
// status links say "processing...", the file status how to stop it. Both the
// DirectShow and the Media Foundation tests show them, then take them back.
#pragma once
#include "app/report_model.h"

namespace tavro {

// `escCancels`: the test answers ESC (the window's background tests, or a batch).
void pushStepProgress(ReportModel& report, bool escCancels);
// Restores the texts the push saved.
void popStepProgress(ReportModel& report);

} // namespace tavro

#include "app/step_progress.h"

namespace tavro {

void pushStepProgress(ReportModel& report, bool escCancels) {
    report.pushText(field::AudioStatus, "processing...");
    report.pushText(field::VideoStatus, "processing...");
    report.pushText(field::FileStatus, escCancels ? "ESC to cancel..." : "processing...");
}

void popStepProgress(ReportModel& report) {
    report.popText(field::FileStatus);
    report.popText(field::VideoStatus);
    report.popText(field::AudioStatus);
}

} // namespace tavro

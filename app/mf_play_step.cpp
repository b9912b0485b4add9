#include "app/mf_play_step.h"

#include "app/step_progress.h"
#include "render/render_test.h"

namespace tavro {

void MfPlayStep::run(const std::string& path, const MediaInfo& info, int fileCount,
                     bool batchRunning) {
    outcome_ = MfPlayOutcome();
    reason_ = forced_ ? ""
                      : renderDisabledReason(settings_, info.avi.audioStreams,
                                             info.avi.videoStreams, fileCount);
    if (report_) {
        report_->enable(field::MfPlayStatus);
        report_->setText(field::MfPlayStatus, reason_);
    }
    if (!reason_.empty() || path.empty()) return;
    if (report_) {
        report_->setText(field::MfPlayStatus, kMfPlayRunningText);
        pushStepProgress(*report_, batchRunning || cancellable_);
        if (refresh_) refresh_();
    }
    outcome_ = runMfPlayTest(player_, path, db_);
    if (report_) {
        report_->setText(field::MfPlayStatus, statusText());
        popStepProgress(*report_);
    }
}

std::string MfPlayStep::statusText() const {
    return reason_.empty() ? mfPlayStatusText(outcome_) : reason_;
}

} // namespace tavro

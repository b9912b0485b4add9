#include "app/mf_play_step.h"

#include "render/render_test.h"

namespace tavro {

void MfPlayStep::run(const std::string& path, const MediaInfo& info, int fileCount) {
    outcome_ = MfPlayOutcome();
    reason_ = forced_ ? ""
                      : renderDisabledReason(settings_, info.avi.audioStreams,
                                             info.avi.videoStreams, fileCount);
    if (!reason_.empty() || path.empty()) return;
    outcome_ = runMfPlayTest(player_, path, db_);
}

std::string MfPlayStep::statusText() const {
    return reason_.empty() ? mfPlayStatusText(outcome_) : reason_;
}

} // namespace tavro

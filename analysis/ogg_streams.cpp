#include "analysis/ogg_streams.h"

#include <algorithm>
#include <cstring>

#include "analysis/ogg_reader.h"

namespace tavro {

int readOggIntoModel(Analysis& a, const uint8_t* head, size_t length) {
    OggReadResult r;
    const int code = readOggStreams(head, length, r, spanSinkOf(a.info));
    AviHeaderModel& avi = a.info.avi;
    // Without an OGM video stream the reset video fields stay as they are.
    if (r.hasVideo) {
        std::memcpy(avi.mainHeader.raw.data(), r.mainHeader, sizeof r.mainHeader);
        std::memcpy(avi.videoHeader.raw.data(), r.videoHeader, sizeof r.videoHeader);
        std::memcpy(avi.videoFormat.raw.data(), r.videoFormat, sizeof r.videoFormat);
        // An OGM header carries no frame count: no duration, no average bit rate.
        a.report.setText(field::Duration, "unavailable");
        a.report.setText(field::VideoBitrate, "unavailable");
    }
    avi.videoStreams += static_cast<int32_t>(r.videoStreams);
    if (r.audioWritten) {
        avi.audioStreams =
            static_cast<int32_t>(std::min<uint32_t>(r.audioStreams, kMaxAudioStreams));
        for (int n = 0; n < avi.audioStreams; ++n) {
            std::memcpy(avi.audioFormat[n].raw.data(), r.audioFormat[n], 16);
            a.info.rateMode[n] = r.rateMode[n];
        }
    }
    for (const OggCommentRow& row : r.comments)
        a.report.addComment(CommentRow{row.source, row.name, row.value, kNoChunk});
    if (code == kOggOk) {
        a.report.setText(field::FileStatus, "Ogg Media Stream (.OGM)");
        a.report.setText(field::Type, "application/x-ogg");
    }
    return code;
}

} // namespace tavro

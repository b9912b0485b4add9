#include "analysis/avi_flavour.h"

namespace tavro {

std::string aviFlavourText(MediaInfo& info) {
    const AviHeaderModel& avi = info.avi;
    char text[96] = {};
    aviFlavourText(avi.videoHeader.length(), avi.odmlTotalFrames, avi.segmentNumber,
                   avi.recList != 0, info.interleave.multipart, text, sizeof text);
    return text;
}

void aviFlavour(Analysis& a) {
    if (!a.info.isAvi) return;
    a.report.setText(field::Type, aviFlavourText(a.info));
}

} // namespace tavro

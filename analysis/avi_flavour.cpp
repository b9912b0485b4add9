#include "analysis/avi_flavour.h"

namespace tavro {

std::string aviFlavourText(MediaInfo& info) {
    const AviHeaderModel& avi = info.avi;
    if (avi.videoHeader.length() < avi.odmlTotalFrames) info.interleave.multipart = 1;
    std::string text;
    if (info.interleave.multipart)
        text = "Multipart OpenDML AVI, ";
    else if (avi.odmlTotalFrames != 0)
        text = "OpenDML AVI, ";
    else
        text = "AVI, ";
    if (avi.segmentNumber > 0) {
        text += "VDub Segment, ";
        if (avi.segmentNumber == 1) text += "final, ";
    }
    if (avi.recList) text += "\"rec list\" style, ";
    text.resize(text.size() - 2);
    return text;
}

void aviFlavour(Analysis& a) {
    if (!a.info.isAvi) return;
    a.report.setText(field::Type, aviFlavourText(a.info));
}

} // namespace tavro

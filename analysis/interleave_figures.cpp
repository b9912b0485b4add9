#include "analysis/interleave_figures.h"

namespace tavro {

void imrrText(MediaInfo& info, int stream, std::string& out) {
    if (stream < 0 || stream >= kMaxAudioStreams) return;
    char text[64] = {};
    imrrText(info.interleave, stream, info.mpegScan[stream], info.avi.mainHeader.microSecPerFrame(),
             text, sizeof text);
    if (text[0]) out = text;
}

void interleaveText(MediaInfo& info, int stream, std::string& out) {
    if (stream < 0 || stream >= kMaxAudioStreams) return;
    char text[128] = {};
    interleaveText(info.interleave, stream, info.mpegScan[stream],
                   info.avi.mainHeader.microSecPerFrame(), text, sizeof text);
    if (text[0]) out = text;
}

} // namespace tavro

#include "analysis/field_format.h"

#include <cmath>
#include <cstdio>

#include "analysis/interleave_figures.h"

namespace tavro {
namespace {

template <typename... Args> std::string format(const char* fmt, Args... args) {
    char text[128];
    std::snprintf(text, sizeof text, fmt, args...);
    return text;
}

} // namespace

std::string durationText(uint64_t seconds) {
    return format("%02lluh %02llum %02llus", static_cast<unsigned long long>(seconds / 3600),
                  static_cast<unsigned long long>(seconds / 60 % 60),
                  static_cast<unsigned long long>(seconds % 60));
}

std::string aspectText(uint32_t width, uint32_t height) {
    // A zero side has no ratio; the size alone is shown.
    if (width == 0 || height == 0) return format("%u x %u", width, height);
    if (width >= height)
        return format("%u x %u  (%4.3f : 1)", width, height, double(width) / height);
    return format("%u x %u  (1 : %4.3f)", width, height, double(height) / width);
}

std::string wavSummary(const WaveFormatBytes& fmt) {
    if (fmt.formatTag() != 1) return "";
    uint64_t kbps = (uint64_t(fmt.avgBytesPerSec()) * 8 + 500) / 1000;
    uint64_t perChannel = fmt.channels() ? kbps / fmt.channels() : 0;
    return format("WAV: %u Hz, %llu kb/s (%llu/ch x %u ch)", fmt.samplesPerSec(),
                  static_cast<unsigned long long>(kbps),
                  static_cast<unsigned long long>(perChannel), unsigned(fmt.channels()));
}

uint32_t videoFrames(const AviHeaderModel& avi) {
    return avi.odmlTotalFrames > 0 ? avi.odmlTotalFrames : avi.videoHeader.length();
}

void fillVideoFields(Analysis& a) {
    const AviHeaderModel& avi = a.info.avi;
    uint32_t frames = videoFrames(avi);
    uint32_t usPerFrame = avi.mainHeader.microSecPerFrame();
    double seconds = 0;
    if (frames > 0) {
        seconds = double(usPerFrame) * frames * 0.000001;
        a.report.setText(field::Duration, durationText(static_cast<uint64_t>(seconds + 0.5)));
    }
    if (seconds > 0) {
        double audioBytes = 0;
        for (int i = 0; i < avi.audioStreams && i < kMaxAudioStreams; ++i)
            audioBytes += std::trunc(avi.audioFormat[i].avgBytesPerSec() * seconds);
        // More audio than the movi list holds means the headers disagree: no video bytes.
        double videoBytes = avi.moviSize > audioBytes ? avi.moviSize - audioBytes : 0;
        a.report.setText(field::VideoBitrate, format("%.0f kb/s", videoBytes / seconds * 0.008));
        a.report.setText(field::Framerate, format("%.3f FPS", 1 / (usPerFrame * 0.000001)));
    }
    a.report.setText(field::Aspect, aspectText(avi.mainHeader.width(), avi.mainHeader.height()));
}

void fillAudioFields(Analysis& a, int stream) {
    MediaInfo& info = a.info;
    const AviHeaderModel& avi = info.avi;
    static const int kRadios[] = {field::Stream1, field::Stream2, field::Stream3};
    static const char* const kRadioTexts[] = {"1>", "2", "3"};
    for (int i = 0; i < 3; ++i) {
        a.report.setEnabled(kRadios[i], avi.audioStreams > i);
        a.report.setText(kRadios[i], kRadioTexts[i]);
    }
    const WaveFormatBytes& fmt = avi.audioFormat[stream];
    const MpegScanState& scan = info.mpegScan[stream];
    uint64_t kbps = (uint64_t(fmt.avgBytesPerSec()) + 62) / 125;
    uint64_t perChannel = fmt.channels() ? kbps / fmt.channels() : 0;
    std::string text =
        format("%llu kb/s (%llu/ch x %u ch)", static_cast<unsigned long long>(kbps),
               static_cast<unsigned long long>(perChannel), unsigned(fmt.channels()));
    if (scan.verdict == 2 || info.rateMode[stream] == 2)
        text += " VBR ";
    else if (scan.verdict == 1 || info.rateMode[stream] == 1)
        text += " CBR ";
    text += scan.encoder;
    if (avi.audioStreams == 0 || avi.videoStreams == 0) text = "n.a.";
    a.report.setText(field::AudioBitrate, text);

    if (avi.audioStreams == 0) {
        a.report.setText(field::Imrr, "Not applicable.");
        a.report.setText(field::Interleave, "n.a.");
        return; // no stream, so no sampling rate to show
    }
    uint16_t tag = fmt.formatTag();
    if (!info.isAvi || (tag != 0x0055 && tag != 0x0050)) {
        a.report.setText(field::Imrr, "Not supported.");
        a.report.setText(field::Interleave, "n.s.");
    } else {
        std::string imrr = "None or Not Determined", interleave = "n.d.";
        if (scan.verdict != 0) {
            imrrText(info, stream, imrr);
            interleaveText(info, stream, interleave);
        }
        a.report.setText(field::Imrr, imrr);
        a.report.setText(field::Interleave, interleave);
    }
    a.report.setText(field::SampleRate, format("%u Hz", fmt.samplesPerSec()));
}

} // namespace tavro

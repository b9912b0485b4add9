#include "analysis/field_format.h"

#include <gtest/gtest.h>

#include "analysis/avi_flavour.h"
#include "tests/support/analysis_fixture.h"

namespace tavro {
namespace {

using namespace test;

void setLe32(std::array<uint8_t, 56>& raw, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        raw[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

TEST(FieldFormat, VideoFields) {
    struct Case {
        uint32_t usPerFrame, frames, odmlFrames, moviSize, w, h;
        const char *duration, *bitrate, *framerate, *aspect;
    };
    const Case cases[] = {
        {40000, 250, 0, 1000000, 640, 480, "00h 00m 10s", "800 kb/s", "25.000 FPS",
         "640 x 480  (1.333 : 1)"},
        {33367, 30, 0, 0, 480, 640, "00h 00m 01s", "0 kb/s", "29.970 FPS",
         "480 x 640  (1 : 1.333)"},
        {40000, 10, 187575, 0, 720, 576, "02h 05m 03s", "0 kb/s", "25.000 FPS",
         "720 x 576  (1.250 : 1)"},
        // Longer than a day: the hours go on counting.
        {1000000, 90000, 0, 0, 8, 0, "25h 00m 00s", "0 kb/s", "1.000 FPS", "8 x 0"},
        {0, 100, 0, 0, 0, 0, "00h 00m 00s", "n.a.", "n.a.", "0 x 0"},
    };
    for (const Case& c : cases) {
        LoadedHead h(Bytes{});
        for (int id : {field::Duration, field::VideoBitrate, field::Framerate})
            h.report.setText(id, "n.a.");
        AviHeaderModel& avi = h.info->avi;
        setLe32(avi.mainHeader.raw, 0, c.usPerFrame);
        setLe32(avi.mainHeader.raw, 32, c.w);
        setLe32(avi.mainHeader.raw, 36, c.h);
        avi.videoHeader.raw[32] = static_cast<uint8_t>(c.frames);
        avi.videoHeader.raw[33] = static_cast<uint8_t>(c.frames >> 8);
        avi.videoHeader.raw[34] = static_cast<uint8_t>(c.frames >> 16);
        avi.odmlTotalFrames = c.odmlFrames;
        avi.moviSize = c.moviSize;
        fillVideoFields(h.a);
        EXPECT_EQ(h.report.text(field::Duration), c.duration) << c.duration;
        EXPECT_EQ(h.report.text(field::VideoBitrate), c.bitrate) << c.duration;
        EXPECT_EQ(h.report.text(field::Framerate), c.framerate) << c.duration;
        EXPECT_EQ(h.report.text(field::Aspect), c.aspect) << c.duration;
    }
}

TEST(FieldFormat, VideoBitrateSubtractsAudio) {
    LoadedHead h(simpleAvi());
    AviHeaderModel& avi = h.info->avi;
    setLe32(avi.mainHeader.raw, 0, 40000);
    avi.videoHeader.raw[32] = 250; // 10 s
    avi.audioStreams = 1;
    avi.audioFormat[0].raw = {1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 0x02, 0, 4, 0, 16, 0};
    avi.moviSize = 176400 * 10 + 1000000;
    fillVideoFields(h.a);
    EXPECT_EQ(h.report.text(field::VideoBitrate), "800 kb/s");
    avi.moviSize = 1000; // less than the audio alone: no video bytes, no wrap round
    fillVideoFields(h.a);
    EXPECT_EQ(h.report.text(field::VideoBitrate), "0 kb/s");
}

TEST(FieldFormat, AudioFields) {
    struct Case {
        uint16_t tag, channels;
        uint32_t rate, avg;
        int videoStreams, verdict, rateMode;
        bool isAvi;
        const char *bitrate, *imrr, *il;
    };
    const Case cases[] = {
        {0x55, 2, 44100, 16000, 1, 1, 0, true, "128 kb/s (64/ch x 2 ch) CBR ",
         "None or Not Determined", "n.d."},
        {0x55, 2, 44100, 16000, 1, 0, 2, true, "128 kb/s (64/ch x 2 ch) VBR ",
         "None or Not Determined", "n.d."},
        {0x50, 1, 48000, 24000, 1, 0, 0, true, "192 kb/s (192/ch x 1 ch)", "None or Not Determined",
         "n.d."},
        {0x55, 2, 44100, 16000, 1, 0, 0, false, "128 kb/s (64/ch x 2 ch)", "Not supported.",
         "n.s."},
        {1, 2, 44100, 176400, 1, 0, 0, true, "1411 kb/s (705/ch x 2 ch)", "Not supported.", "n.s."},
        {1, 0, 44100, 176400, 1, 0, 0, true, "1411 kb/s (0/ch x 0 ch)", "Not supported.", "n.s."},
        {1, 2, 44100, 176400, 0, 0, 0, true, "n.a.", "Not supported.", "n.s."},
    };
    for (const Case& c : cases) {
        LoadedHead h(Bytes{});
        AviHeaderModel& avi = h.info->avi;
        avi.audioStreams = 2;
        avi.videoStreams = c.videoStreams;
        Bytes fmt = waveFormat(c.tag, c.channels, c.rate, c.avg, 4, 16);
        std::copy(fmt.begin(), fmt.end(), avi.audioFormat[0].raw.begin());
        h.info->mpegScan[0].verdict = c.verdict;
        h.info->rateMode[0] = c.rateMode;
        h.info->isAvi = c.isAvi;
        fillAudioFields(h.a, 0);
        EXPECT_EQ(h.report.text(field::AudioBitrate), c.bitrate) << c.bitrate;
        EXPECT_EQ(h.report.text(field::Imrr), c.imrr) << c.bitrate;
        EXPECT_EQ(h.report.text(field::Interleave), c.il) << c.bitrate;
        EXPECT_EQ(h.report.text(field::SampleRate), std::to_string(c.rate) + " Hz");
        EXPECT_TRUE(h.report.enabled(field::Stream2));
        EXPECT_FALSE(h.report.enabled(field::Stream3));
        EXPECT_EQ(h.report.text(field::Stream1), "1>");
    }
    LoadedHead none(Bytes{});
    fillAudioFields(none.a, 0);
    EXPECT_EQ(none.report.text(field::Imrr), "Not applicable.");
    EXPECT_EQ(none.report.text(field::Interleave), "n.a.");
    EXPECT_EQ(none.report.text(field::AudioBitrate), "n.a.");
}

TEST(FieldFormat, WavSummary) {
    auto summary = [](uint16_t tag, uint16_t ch, uint32_t rate, uint32_t avg) {
        WaveFormatBytes f;
        Bytes b = waveFormat(tag, ch, rate, avg, 4, 16);
        std::copy(b.begin(), b.end(), f.raw.begin());
        return wavSummary(f);
    };
    EXPECT_EQ(summary(1, 2, 44100, 176400), "WAV: 44100 Hz, 1411 kb/s (705/ch x 2 ch)");
    EXPECT_EQ(summary(1, 1, 8000, 8000), "WAV: 8000 Hz, 64 kb/s (64/ch x 1 ch)");
    EXPECT_EQ(summary(1, 0, 8000, 8000), "WAV: 8000 Hz, 64 kb/s (0/ch x 0 ch)");
    EXPECT_EQ(summary(0x11, 1, 22050, 11100), "");
}

TEST(AviFlavour, Texts) {
    struct Case {
        uint32_t length, odml;
        int32_t segment;
        uint32_t recList;
        const char* text;
    };
    const Case cases[] = {
        {10, 0, 0, 0, "AVI"},
        {10, 10, 0, 0, "OpenDML AVI"},
        {10, 25, 0, 0, "Multipart OpenDML AVI"},
        {10, 0, 1, 0, "AVI, VDub Segment, final"},
        {10, 0, 2, 0, "AVI, VDub Segment"},
        {10, 0, 0, 1, "AVI, \"rec list\" style"},
        {10, 25, 2, 1, "Multipart OpenDML AVI, VDub Segment, \"rec list\" style"},
    };
    for (const Case& c : cases) {
        LoadedHead h(Bytes{});
        h.info->isAvi = 1;
        h.info->avi.videoHeader.raw[32] = static_cast<uint8_t>(c.length);
        h.info->avi.odmlTotalFrames = c.odml;
        h.info->avi.segmentNumber = c.segment;
        h.info->avi.recList = c.recList;
        aviFlavour(h.a);
        EXPECT_EQ(h.report.text(field::Type), c.text);
    }
}

} // namespace
} // namespace tavro

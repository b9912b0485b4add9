// The scanner over real encoder output made by make_samples, read the way the
// program reads a file head (at most 512 KiB), against our own expectations and
// against mediainfo's view of the same files.
#include "analysis/mpeg_audio_scanner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace tavro {
namespace {

const std::string kSamples = TAVRO_BINARY_DIR "/tests/analysis/mpeg/samples/";

struct Scanned {
    bool found = false;
    std::vector<uint8_t> head;
    std::vector<uint32_t> table = std::vector<uint32_t>(kMpegFrameTableSize);
    MpegScanState state;
    std::string kind, rate;
};

Scanned scanFile(const std::string& name) {
    Scanned s;
    std::ifstream in(kSamples + name, std::ios::binary);
    if (!in) return s;
    s.found = true;
    s.head.assign(std::istreambuf_iterator<char>(in), {});
    if (s.head.size() > 524288) s.head.resize(524288);
    s.state.frameTable = s.table.data();
    scanMpegAudio(s.head.data(), s.head.data() + s.head.size(), s.state);
    char kind[32], rate[32];
    describeMpegAudio(s.state, kind, sizeof kind, rate, sizeof rate);
    s.kind = kind;
    s.rate = rate;
    return s;
}

TEST(MpegSamples, VerdictKindRateAndEncoder) {
    struct Case {
        const char* file;
        int verdict;
        const char* kind;
        const char* rate;
        const char* encoder;
    } cases[] = {
        {"cbr128_44k_stereo.mp3", kMpegCbr, "MPEG-1 Layer 3", " 128 kbps 44100 Hz", ""},
        {"cbr64_44k_mono.mp3", kMpegCbr, "MPEG-1 Layer 3", " 64 kbps 44100 Hz", ""},
        {"cbr192_48k_stereo.mp3", kMpegCbr, "MPEG-1 Layer 3", " 192 kbps 48000 Hz", ""},
        {"cbr96_32k_stereo.mp3", kMpegCbr, "MPEG-1 Layer 3", " 96 kbps 32000 Hz", ""},
        {"cbr32_16k_mono.mp3", kMpegCbr, "MPEG-2 Layer 3", " 32 kbps 16000 Hz", ""},
        {"cbr64_22k_stereo.mp3", kMpegCbr, "MPEG-2 Layer 3", " 64 kbps 22050 Hz", ""},
        {"cbr48_24k_mono.mp3", kMpegCbr, "MPEG-2 Layer 3", " 48 kbps 24000 Hz", ""},
        {"cbr128_notag.mp3", kMpegCbr, "MPEG-1 Layer 3", " 128 kbps 44100 Hz", ""},
        // A stereo MPEG-1 Xing header sits at byte 36, with LAME's tag after it.
        {"vbr_v2_44k_stereo.mp3", kMpegVbr, "MPEG-1 Layer 3", " VBR 44100 Hz", "LAME3.100"},
        {"abr96_44k_stereo.mp3", kMpegVbr, "MPEG-1 Layer 3", " VBR 32000 Hz", "LAME3.100"},
        // Mono and MPEG-2 put the header elsewhere: the bitrate changes decide.
        {"vbr_v5_44k_mono.mp3", kMpegVbr, "MPEG-1 Layer 3", " VBR 44100 Hz", ""},
        {"vbr_v4_22k_stereo.mp3", kMpegVbr, "MPEG-2 Layer 3", " VBR 22050 Hz", ""},
        // Behind an ID3v2 tag byte 36 is tag data; the frame walk still decides.
        {"id3v2_vbr.mp3", kMpegVbr, "MPEG-1 Layer 3", " VBR 44100 Hz", ""},
        {"id3v2_cbr.mp3", kMpegCbr, "MPEG-1 Layer 3", " 128 kbps 44100 Hz", ""},
        {"mp2_192_48k_stereo.mp2", kMpegCbr, "MPEG-1 Layer 2", " 192 kbps 48000 Hz", ""},
        {"mp2_128_44k_stereo.mp2", kMpegCbr, "MPEG-1 Layer 2", " 128 kbps 44100 Hz", ""},
        {"mp2_64_24k_mono.mp2", kMpegCbr, "MPEG-2 Layer 2", " 64 kbps 24000 Hz", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Scanned s = scanFile(c.file);
        if (!s.found) GTEST_SKIP() << "samples not made: run the mpeg_samples fixture";
        EXPECT_EQ(s.state.verdict, c.verdict);
        EXPECT_EQ(s.kind, c.kind);
        EXPECT_EQ(s.rate, c.rate);
        EXPECT_STREQ(s.state.encoder, c.encoder);
        // Real streams have next to no bytes between frames.
        EXPECT_LT(s.state.strayBytes, 64);
    }
}

TEST(MpegSamples, AgreesWithMediainfo) {
    std::ifstream tsv(kSamples + "mediainfo.tsv");
    if (!tsv) GTEST_SKIP() << "no mediainfo.tsv: run the mpeg_samples fixture";
    int files = 0;
    for (std::string line; std::getline(tsv, line);) {
        std::istringstream fields(line);
        std::string file, mode, bitrate, rate, version, profile, duration;
        std::getline(fields, file, '\t');
        std::getline(fields, mode, '\t');
        std::getline(fields, bitrate, '\t');
        std::getline(fields, rate, '\t');
        std::getline(fields, version, '\t');
        std::getline(fields, profile, '\t');
        std::getline(fields, duration, '\t');
        SCOPED_TRACE(line);
        Scanned s = scanFile(file);
        ASSERT_TRUE(s.found);
        ++files;
        EXPECT_EQ(s.state.verdict, mode == "VBR" ? kMpegVbr : kMpegCbr);
        if (mode == "CBR") {
            EXPECT_EQ(s.state.bitrate * 1000, std::stol(bitrate));
        }
        EXPECT_EQ(s.state.sampleRate, std::stol(rate));
        EXPECT_EQ(s.kind, "MPEG-" + version + " " + profile);
        // The scan also times a Xing/Info frame, which mediainfo does not count.
        EXPECT_NEAR(s.state.playTime, std::stod(duration), 2 * s.state.frameDuration + 0.001);
    }
    EXPECT_GE(files, 17);
}

} // namespace
} // namespace tavro

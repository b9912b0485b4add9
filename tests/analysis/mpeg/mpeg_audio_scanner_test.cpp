#include "analysis/mpeg_audio_scanner.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/analysis/mpeg/mpeg_bytes.h"

namespace tavro {
namespace {

using test::appendFrames;
using test::cbrFrames;
using test::Header;
using test::kFrame128;

// Owns a frame table and scans a copy of the bytes in an exactly sized heap block,
// so that any read past the range end is an ASan finding.
struct Scan {
    std::vector<uint32_t> table = std::vector<uint32_t>(kMpegFrameTableSize, 0xDEAD);
    std::unique_ptr<uint8_t[]> bytes;
    MpegScanState state;

    explicit Scan(const std::vector<uint8_t>& data) {
        bytes.reset(new uint8_t[data.size() ? data.size() : 1]);
        if (!data.empty()) std::memcpy(bytes.get(), data.data(), data.size());
        state.frameTable = table.data();
        scanMpegAudio(bytes.get(), bytes.get() + data.size(), state);
    }
    std::string kind() const { return describe().first; }
    std::string rate() const { return describe().second; }
    std::pair<std::string, std::string> describe() const {
        char k[32], r[32];
        describeMpegAudio(state, k, sizeof k, r, sizeof r);
        return {k, r};
    }
};

TEST(MpegAudioScanner, CleanCbrStreamFromByteZero) {
    Scan s(cbrFrames(20));
    EXPECT_EQ(s.state.verdict, kMpegCbr);
    EXPECT_EQ(s.state.frameCount, 20);
    EXPECT_EQ(s.state.strayBytes, 0);
    EXPECT_EQ(s.state.firstFrame, s.bytes.get());
    EXPECT_EQ(s.state.tableCount, 20);
    EXPECT_EQ(s.table[0], 0u);
    EXPECT_EQ(s.table[1], kFrame128);
    EXPECT_EQ(s.table[20], 20 * kFrame128);
    EXPECT_DOUBLE_EQ(s.state.playTime, 20 * 1152.0 / 44100.0);
    EXPECT_EQ(s.kind(), "MPEG-1 Layer 3");
    EXPECT_EQ(s.rate(), " 128 kbps 44100 Hz");
    EXPECT_STREQ(s.state.encoder, "");
}

// A reused state clears only what its last scan wrote; a longer earlier scan must
// leave no frame ends behind for a shorter one.
TEST(MpegAudioScanner, ReusedTableKeepsNothingOfAnEarlierScan) {
    std::vector<uint32_t> table(kMpegFrameTableSize, 0xDEAD);
    MpegScanState state;
    state.frameTable = table.data();
    const std::vector<uint8_t> longer = cbrFrames(40), shorter = cbrFrames(20);
    scanMpegAudio(longer.data(), longer.data() + longer.size(), state);
    EXPECT_EQ(state.tableCount, 40);
    scanMpegAudio(shorter.data(), shorter.data() + shorter.size(), state);
    EXPECT_EQ(state.tableCount, 20);
    EXPECT_EQ(table[20], 20 * kFrame128);
    for (size_t k = 21; k < table.size(); ++k)
        ASSERT_EQ(table[k], 0u) << "entry " << k;
    // A table the state has not zeroed itself is cleared whole.
    std::vector<uint32_t> other(kMpegFrameTableSize, 0xDEAD);
    state.frameTable = other.data();
    resetMpegScan(state);
    for (uint32_t v : other)
        ASSERT_EQ(v, 0u);
}

// Frame lengths for each layer and version, worked out from the standard's formulas.
TEST(MpegAudioScanner, FrameLengthsPerLayerAndVersion) {
    struct Case {
        Header h;
        size_t length;
        const char* kind;
        const char* rate;
        double duration;
    } cases[] = {
        {{1, 1, 9, 0, 1}, 418, "MPEG-1 Layer 3", " 128 kbps 44100 Hz", 1152 / 44100.0},
        {{1, 2, 10, 1, 0}, 576, "MPEG-1 Layer 2", " 192 kbps 48000 Hz", 1152 / 48000.0},
        {{1, 3, 1, 2, 0}, 48, "MPEG-1 Layer 1", " 32 kbps 32000 Hz", 384 / 32000.0},
        {{1, 3, 14, 0, 1}, 488, "MPEG-1 Layer 1", " 448 kbps 44100 Hz", 384 / 44100.0},
        {{0, 1, 8, 0, 0}, 208, "MPEG-2 Layer 3", " 64 kbps 22050 Hz", 576 / 22050.0},
        {{0, 2, 8, 1, 0}, 384, "MPEG-2 Layer 2", " 64 kbps 24000 Hz", 1152 / 24000.0},
        {{0, 3, 1, 2, 0}, 96, "MPEG-2 Layer 1", " 32 kbps 16000 Hz", 384 / 16000.0},
        // The reserved sampling index reads as 50000 Hz and is still counted.
        {{1, 1, 9, 3, 0}, 368, "MPEG-1 Layer 3", " 128 kbps 50000 Hz", 1152 / 50000.0},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> data;
        appendFrames(data, c.h, c.length, 30);
        Scan s(data);
        SCOPED_TRACE(c.kind + std::string(c.rate));
        EXPECT_EQ(s.state.verdict, kMpegCbr);
        EXPECT_EQ(s.state.frameCount, 30);
        EXPECT_EQ(s.table[1], c.length);
        EXPECT_DOUBLE_EQ(s.state.frameDuration, c.duration);
        EXPECT_EQ(s.kind(), c.kind);
        EXPECT_EQ(s.rate(), c.rate);
    }
}

// Free format, bitrate index 15, the reserved layer and MPEG-2.5 sync are no header.
TEST(MpegAudioScanner, InvalidHeadersAreSkipped) {
    for (Header h : {Header{1, 1, 0, 0, 0}, Header{1, 1, 15, 0, 0}, Header{1, 0, 9, 0, 0}}) {
        std::vector<uint8_t> data;
        appendFrames(data, h, kFrame128, 40);
        Scan s(data);
        EXPECT_EQ(s.state.verdict, kMpegNone);
        EXPECT_EQ(s.state.frameCount, 0);
        EXPECT_EQ(s.state.version, 3);
    }
    std::vector<uint8_t> data = cbrFrames(40);
    for (size_t at = 0; at < data.size(); at += kFrame128)
        data[at + 1] = 0xE3; // MPEG-2.5
    EXPECT_EQ(Scan(data).state.frameCount, 0);
}

TEST(MpegAudioScanner, VerdictThresholds) {
    EXPECT_EQ(Scan(cbrFrames(15)).state.verdict, kMpegNone);
    EXPECT_EQ(Scan(cbrFrames(16)).state.verdict, kMpegCbr);

    // 200 lone headers spaced 600 bytes apart: 183 stray bytes per counted frame.
    std::vector<uint8_t> garbage;
    for (int i = 0; i < 200; ++i) {
        appendFrames(garbage, Header{}, 3, 1);
        garbage.resize(garbage.size() + 597, 0x11);
    }
    Scan g(garbage);
    EXPECT_EQ(g.state.frameCount, 200);
    EXPECT_EQ(g.state.verdict, kMpegNone);

    // One stray byte per frame stays far below the half-stray threshold.
    std::vector<uint8_t> loose;
    for (int i = 0; i < 30; ++i) {
        appendFrames(loose, Header{}, kFrame128, 1);
        loose.push_back(0);
    }
    Scan l(loose);
    EXPECT_EQ(l.state.strayBytes, 30);
    EXPECT_EQ(l.state.verdict, kMpegCbr);
}

TEST(MpegAudioScanner, OneOtherBitrateMakesVbr) {
    std::vector<uint8_t> data = cbrFrames(20);
    appendFrames(data, Header{1, 1, 5, 0, 0}, 209, 1); // 64 kbps
    appendFrames(data, Header{}, kFrame128, 5);
    Scan s(data);
    EXPECT_EQ(s.state.frameCount, 26);
    EXPECT_EQ(s.state.verdict, kMpegVbr);
    EXPECT_EQ(s.rate(), " VBR 44100 Hz");
}

// A rate switch: the first header of the new rate is refused, the rest counted.
TEST(MpegAudioScanner, SampleRateSwitchCountsFromSecondMatchingHeader) {
    std::vector<uint8_t> data = cbrFrames(20);
    appendFrames(data, Header{1, 1, 9, 1, 0}, 384, 300); // 48 kHz
    Scan s(data);
    EXPECT_EQ(s.state.frameCount, 319);
    EXPECT_EQ(s.state.strayBytes, 384);
    EXPECT_EQ(s.state.sampleRate, 44100);
    EXPECT_EQ(s.state.verdict, kMpegCbr);
}

TEST(MpegAudioScanner, HeaderCutByRangeEndIsNotRead) {
    for (size_t tail : {1u, 2u}) {
        std::vector<uint8_t> data = cbrFrames(16);
        data.push_back(0xFF);
        if (tail == 2) data.push_back(0xFB);
        Scan s(data);
        EXPECT_EQ(s.state.frameCount, 16);
        EXPECT_EQ(s.state.strayBytes, static_cast<int32_t>(tail));
        EXPECT_EQ(s.state.verdict, kMpegCbr);
    }
    // A last frame running past the end is counted; its end lies beyond the range.
    std::vector<uint8_t> data = cbrFrames(17);
    data.resize(data.size() - 100);
    Scan s(data);
    EXPECT_EQ(s.state.frameCount, 17);
    EXPECT_EQ(s.table[17], 17 * kFrame128);
}

TEST(MpegAudioScanner, FrameTableStopsAtItsCapacity) {
    std::vector<uint8_t> data; // 8 kbps MPEG-2 Layer III at 16 kHz: 36-byte frames
    appendFrames(data, Header{0, 1, 1, 2, 0}, 36, 6000);
    Scan s(data);
    EXPECT_EQ(s.state.frameCount, 6000);
    EXPECT_EQ(s.state.tableCount, kMpegFrameTableSize - 1);
    EXPECT_EQ(s.table[kMpegFrameTableSize - 1], (kMpegFrameTableSize - 1) * 36u);
    EXPECT_NEAR(s.state.playTime, 6000 * 576 / 16000.0, 1e-6);

    MpegScanState noTable;
    scanMpegAudio(data.data(), data.data() + data.size(), noTable);
    EXPECT_EQ(noTable.frameCount, 6000);
    EXPECT_EQ(noTable.tableCount, 0);
}

// A UTF-16 text frame's byte order mark (FF FE 54) reads as a Layer I header.
std::vector<uint8_t> id3Tagged(uint8_t sizeByte, size_t tagBody) {
    std::vector<uint8_t> data = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, sizeByte};
    data.resize(10 + tagBody, 0);
    data[40] = 0xFF;
    data[41] = 0xFE;
    data[42] = 0x54;
    std::vector<uint8_t> frames = cbrFrames(20);
    data.insert(data.end(), frames.begin(), frames.end());
    return data;
}

TEST(MpegAudioScanner, WalkStartsAfterAnId3v2Tag) {
    Scan tagged(id3Tagged(100, 100));
    EXPECT_EQ(tagged.state.verdict, kMpegCbr);
    EXPECT_EQ(tagged.kind(), "MPEG-1 Layer 3");
    EXPECT_EQ(tagged.state.firstFrame, tagged.bytes.get() + 110);
    EXPECT_EQ(tagged.table[1], 110 + kFrame128); // offsets stay relative to the range

    // A size byte with its top bit set is no ID3v2 tag: the mark is taken as a header.
    Scan bad(id3Tagged(0x80 | 100, 100));
    EXPECT_EQ(bad.kind(), "MPEG-1 Layer 1");

    // A tag longer than the range leaves nothing to walk.
    std::vector<uint8_t> long_ = id3Tagged(100, 100);
    long_[8] = 0x7F;
    EXPECT_EQ(Scan(long_).state.frameCount, 0);
}

std::vector<uint8_t> withTag(const char* tag36, const char* text156, size_t size) {
    std::vector<uint8_t> data(size, 0);
    if (tag36) std::memcpy(data.data() + 36, tag36, 4);
    if (text156) std::memcpy(data.data() + 156, text156, std::strlen(text156));
    return data;
}

TEST(MpegAudioScanner, VbrTagsAtByte36) {
    struct Case {
        const char* tag;
        const char* lame;
        size_t size;
        int verdict;
        const char* encoder;
    } cases[] = {
        {"Xing", "LAME3.100\x04\x95 \xff\xfb", 400, kMpegVbr, "LAME3.100"},
        {"xInG", "LAME3.99r", 400, kMpegVbr, "LAME3.99r"},
        {"Xing", "lame3.100", 400, kMpegVbr, ""},
        {"Xing", "LAME with space", 400, kMpegVbr, "LAME"},
        {"Xing", "LAME3.100aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", 400, kMpegVbr,
         "LAME3.100aaaaaaaaaaaaaaaaaaaaaa"},
        {"Xing", "LAME3.100", 163, kMpegVbr, "LAME3.1"}, // text cut by the range end
        {"Xing", "LAME", 159, kMpegVbr, ""},             // "LAME" itself cut
        {"VBRI", nullptr, 40, kMpegVbr, "Frau"},
        {"vbri", nullptr, 400, kMpegVbr, "Frau"},
        {"Info", "LAME3.100", 400, kMpegNone, ""}, // a CBR tag is no VBR header
        {"Xing", nullptr, 39, kMpegNone, ""},      // tag cut by the range end
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> data = withTag(c.tag, c.lame, c.size < 200 ? 200 : c.size);
        data.resize(c.size);
        Scan s(data);
        SCOPED_TRACE(std::string(c.tag) + " size " + std::to_string(c.size));
        EXPECT_EQ(s.state.verdict, c.verdict);
        EXPECT_STREQ(s.state.encoder, c.encoder);
    }
}

// A tag without any counted frame keeps version 3 and layer 0.
TEST(MpegAudioScanner, TagWithoutFramesIsDescribedSafely) {
    Scan s(withTag("Xing", nullptr, 200));
    EXPECT_EQ(s.state.verdict, kMpegVbr);
    EXPECT_EQ(s.state.version, 3);
    EXPECT_EQ(s.kind(), "MPEG-? ***");
    EXPECT_EQ(s.rate(), " VBR 0 Hz");
}

TEST(MpegAudioScanner, EmptyRangesAndReset) {
    MpegScanState state;
    std::vector<uint32_t> table(kMpegFrameTableSize, 7);
    state.frameTable = table.data();
    scanMpegAudio(nullptr, nullptr, state);
    EXPECT_EQ(state.verdict, kMpegNone);
    EXPECT_EQ(state.version, 3);
    EXPECT_EQ(state.frameTable, table.data());
    EXPECT_EQ(table[kMpegFrameTableSize - 1], 0u);
    const uint8_t one = 0xFF;
    scanMpegAudio(&one, &one + 1, state);
    EXPECT_EQ(state.verdict, kMpegNone);

    char kind[8], rate[6];
    state.verdict = kMpegCbr;
    state.version = 1;
    state.layerCode = 1;
    state.bitrate = 320;
    state.sampleRate = 48000;
    describeMpegAudio(state, kind, sizeof kind, rate, sizeof rate);
    EXPECT_STREQ(kind, "MPEG-1 ");
    EXPECT_STREQ(rate, " 320 ");
}

// A scan allowed to stop once no verdict is reachable gives the verdict of a full scan:
// noise thick with false headers, and frames after noise around the point where the
// frames just outweigh the stray bytes.
TEST(MpegAudioScanner, StoppingEarlyKeepsTheVerdict) {
    std::mt19937 random(7);
    const auto noise = [&](size_t n, int ffEvery) {
        std::vector<uint8_t> out(n);
        for (uint8_t& b : out)
            b = random() % ffEvery == 0 ? 0xFF : static_cast<uint8_t>(random());
        return out;
    };
    struct Case {
        size_t noiseBytes;
        int ffEvery;
        int frames;
        Header header;
    };
    const Header shortest{0, 1, 1, 3}; // MPEG-2 Layer III, 8 kbps, reserved rate: 11 bytes
    const Case cases[] = {
        {500000, 256, 0, Header{}},   {500000, 3, 0, Header{}},     {200000, 2, 0, Header{}},
        {4000, 256, 2100, Header{}},  {100000, 256, 300, Header{}}, {100000, 8, 5000, shortest},
        {20000, 4, 9000, shortest},   {20000, 4, 11000, shortest},
    };
    int stoppedEarly = 0, found = 0;
    for (const Case& c : cases) {
        std::vector<uint8_t> data = noise(c.noiseBytes, c.ffEvery);
        appendFrames(data, c.header, c.header.layerCode == 1 && c.header.version == 0 ? 11 : 417,
                     c.frames);
        MpegScanState full, stopped;
        scanMpegAudio(data.data(), data.data() + data.size(), full);
        scanMpegAudio(data.data(), data.data() + data.size(), stopped, true);
        EXPECT_EQ(stopped.verdict, full.verdict) << c.noiseBytes << " bytes, " << c.frames;
        if (full.verdict != kMpegNone) {
            EXPECT_EQ(stopped.frameCount, full.frameCount);
            ++found;
        }
        stoppedEarly += stopped.strayBytes < full.strayBytes;
    }
    // The table holds both kinds, or it proves nothing.
    EXPECT_GT(found, 0);
    EXPECT_GT(stoppedEarly, 0);
}

} // namespace
} // namespace tavro

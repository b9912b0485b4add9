#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "filters/dsp/pcm_format.h"
#include "filters/dsp/vis_buffers.h"

using namespace dsp;

namespace {

struct FormatCase {
    const char* name;
    WaveFields wave;
    bool accepted;
};

TEST(DspFormat, OnlyWholeFramePcmOfEightOrSixteenBits) {
    const FormatCase cases[] = {
        {"8-bit mono", {1, 1, 22050, 1, 8}, true},
        {"8-bit stereo", {1, 2, 22050, 2, 8}, true},
        {"16-bit mono", {1, 1, 44100, 2, 16}, true},
        {"16-bit stereo", {1, 2, 44100, 4, 16}, true},
        {"16-bit six channels", {1, 6, 48000, 12, 16}, true},
        {"24-bit", {1, 2, 44100, 6, 24}, false},
        {"float", {3, 2, 44100, 8, 32}, false},
        {"ADPCM", {2, 2, 44100, 2048, 4}, false},
        {"extensible tag", {0xFFFE, 2, 44100, 4, 16}, false},
        {"no channels", {1, 0, 44100, 0, 16}, false},
        {"no rate", {1, 2, 0, 4, 16}, false},
        {"block align short", {1, 2, 44100, 2, 16}, false},
        {"block align long", {1, 2, 44100, 8, 16}, false},
        {"block align zero", {1, 1, 8000, 0, 8}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isHostablePcm(c.wave), c.accepted) << c.name;
}

TEST(DspFormat, FrameCountsAndClamp) {
    PcmFormat stereo16 = toPcmFormat({1, 2, 44100, 4, 16});
    EXPECT_EQ(framesIn(4096, stereo16), 1024u);
    EXPECT_EQ(framesIn(7, stereo16), 1u); // a partial frame is not counted
    EXPECT_EQ(framesIn(4096, PcmFormat{}), 0u);
    EXPECT_EQ(clampFrames(-5, 100), 0u);
    EXPECT_EQ(clampFrames(0, 100), 0u);
    EXPECT_EQ(clampFrames(60, 100), 60u);
    EXPECT_EQ(clampFrames(200, 100), 100u);
}

// A module that plays every frame twice, as the plug-in contract allows.
long doubleFrames(uint8_t* samples, size_t frames, size_t frameBytes) {
    for (size_t i = frames; i-- > 0;) {
        std::memmove(samples + (2 * i + 1) * frameBytes, samples + i * frameBytes, frameBytes);
        std::memmove(samples + 2 * i * frameBytes, samples + i * frameBytes, frameBytes);
    }
    return static_cast<long>(2 * frames);
}

TEST(DspRun, ALengtheningModuleNeverWritesPastTheBuffer) {
    PcmFormat stereo16 = toPcmFormat({1, 2, 44100, 4, 16});
    struct Case {
        const char* name;
        size_t bytes;
        size_t capacity;
        size_t expected;
    };
    const Case cases[] = {
        {"exact buffer: scratch, cut to what fits", 64, 64, 64},
        {"a little room: scratch, cut", 64, 100, 100 / 4 * 4},
        {"twice the room: in place", 64, 128, 128},
        {"partial frame at the end", 66, 66, 64},
    };
    std::vector<uint8_t> scratch;
    for (const auto& c : cases) {
        // Exactly sized: the sanitizers catch a write past it.
        std::unique_ptr<uint8_t[]> data(new uint8_t[c.capacity]);
        for (size_t i = 0; i < c.capacity; ++i)
            data[i] = static_cast<uint8_t>(i / 4);
        size_t held = runModule(data.get(), c.bytes, c.capacity, stereo16, scratch,
                                [](uint8_t* s, size_t n) { return doubleFrames(s, n, 4); });
        EXPECT_EQ(held, c.expected) << c.name;
        for (size_t frame = 0; frame < held / 4; ++frame)
            ASSERT_EQ(data[frame * 4], frame / 2) << c.name << " frame " << frame;
    }
}

TEST(DspRun, ReturnedCountsAreClamped) {
    PcmFormat mono8 = toPcmFormat({1, 1, 8000, 1, 8});
    std::vector<uint8_t> scratch;
    std::vector<uint8_t> data(10, 7);
    struct Case {
        long returned;
        size_t expected;
    };
    for (const Case& c : {Case{-3, 0}, Case{0, 0}, Case{4, 4}, Case{1000000, 10}}) {
        size_t held = runModule(data.data(), 10, 10, mono8, scratch,
                                [&](uint8_t*, size_t) { return c.returned; });
        EXPECT_EQ(held, c.expected) << c.returned;
    }
    bool called = false;
    auto spy = [&](uint8_t*, size_t) {
        called = true;
        return 0L;
    };
    EXPECT_EQ(runModule(data.data(), 10, 10, PcmFormat{}, scratch, spy), 10u);
    EXPECT_EQ(runModule(nullptr, 10, 10, mono8, scratch, spy), 10u);
    EXPECT_FALSE(called);
}

std::vector<uint8_t> stereo16(const std::vector<std::pair<int16_t, int16_t>>& frames) {
    std::vector<uint8_t> bytes;
    for (auto& f : frames)
        for (int16_t v : {f.first, f.second}) {
            bytes.push_back(static_cast<uint8_t>(v & 0xff));
            bytes.push_back(static_cast<uint8_t>((v >> 8) & 0xff));
        }
    return bytes;
}

TEST(DspVis, SixteenBitStereoTakesAtMostOneBlockTruncatingTowardZero) {
    auto vis = std::make_unique<VisBuffers>();
    vis->reset(toPcmFormat({1, 2, 44100, 4, 16}));
    EXPECT_EQ(vis->writePosition(), 31104u);
    EXPECT_EQ(vis->blockStart(), 0u);
    std::vector<std::pair<int16_t, int16_t>> frames(1000, {512, -512});
    frames[0] = {-255, -256};
    frames[1] = {32767, -32768};
    frames[575] = {1280, 255};
    frames[576] = {100 * 256, 100 * 256}; // beyond one block: not taken
    auto bytes = stereo16(frames);
    vis->copy(bytes.data(), bytes.size());
    EXPECT_EQ(vis->writePosition(), 31104u + 576u);
    EXPECT_EQ(vis->blockStart(), 576u);
    // The block read next lies before what was written; look at the ring directly.
    const int8_t* left = vis->leftBlock() - 576 + 31104;
    const int8_t* right = vis->rightBlock() - 576 + 31104;
    EXPECT_EQ(left[0], 0);
    EXPECT_EQ(right[0], -1);
    EXPECT_EQ(left[1], 127);
    EXPECT_EQ(right[1], -128);
    EXPECT_EQ(left[2], 2);
    EXPECT_EQ(right[2], -2);
    EXPECT_EQ(left[575], 5);
    EXPECT_EQ(right[575], 0);
    EXPECT_EQ(left[576], 0);
}

TEST(DspVis, ShortSamplesStayInsideTheirBytes) {
    auto vis = std::make_unique<VisBuffers>();
    vis->reset(toPcmFormat({1, 2, 44100, 4, 16}));
    // Exactly sized heap buffers: the sanitizers catch any read past them.
    for (size_t length : {0u, 3u, 4u, 10u}) {
        std::unique_ptr<uint8_t[]> data(new uint8_t[length ? length : 1]);
        for (size_t i = 0; i < length; ++i)
            data[i] = 0x40;
        size_t before = vis->writePosition();
        vis->copy(data.get(), length);
        EXPECT_EQ(vis->writePosition() - before, length / 4) << length;
    }
    vis->copy(nullptr, 100);
}

TEST(DspVis, PositionsWrapInsideTheRings) {
    auto vis = std::make_unique<VisBuffers>();
    vis->reset(toPcmFormat({1, 2, 44100, 4, 16}));
    std::vector<uint8_t> block(576 * 4, 0);
    // Write wraps after (46080 - 31104) / 576 = 26 samples, block start after 80.
    for (int i = 0; i < 26; ++i)
        vis->copy(block.data(), block.size());
    EXPECT_EQ(vis->writePosition(), 0u);
    EXPECT_EQ(vis->blockStart(), 26u * 576u);
    for (int i = 26; i < 80; ++i)
        vis->copy(block.data(), block.size());
    EXPECT_EQ(vis->blockStart(), 0u);
    // An odd count of frames still wraps per value, never past the ring.
    std::vector<uint8_t> odd(7 * 4, 0);
    for (int i = 0; i < 20000; ++i) {
        vis->copy(odd.data(), odd.size());
        ASSERT_LT(vis->writePosition(), VisBuffers::kRingBytes);
        ASSERT_LE(vis->blockStart() + VisBuffers::kBlock, VisBuffers::kRingBytes);
    }
}

TEST(DspVis, SixteenBitMonoFeedsBothRingsFromConsecutiveValues) {
    auto vis = std::make_unique<VisBuffers>();
    vis->reset(toPcmFormat({1, 1, 22050, 2, 16}));
    std::vector<uint8_t> bytes = {0x00, 0x01, 0x00, 0xFE, 0x00, 0x7F}; // 256, -512, 32512
    vis->copy(bytes.data(), bytes.size());
    EXPECT_EQ(vis->writePosition(), 31104u + 3u);
    const int8_t* left = vis->leftBlock() - 576 + 31104;
    const int8_t* right = vis->rightBlock() - 576 + 31104;
    EXPECT_EQ(left[0], 1);
    EXPECT_EQ(left[1], -2);
    EXPECT_EQ(left[2], 127);
    EXPECT_EQ(right[1], -2);
}

TEST(DspVis, EightBitGoesToOneSecondTables) {
    auto vis = std::make_unique<VisBuffers>();
    vis->reset(toPcmFormat({1, 2, 4, 2, 8})); // four frames a second
    ASSERT_EQ(vis->leftTable().size(), 4u);
    ASSERT_EQ(vis->rightTable().size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(vis->leftTable()[i].index, i);
    std::vector<uint8_t> bytes = {0, 255, 127, 128, 200, 10, 1, 2, 50, 60, 9};
    vis->copy(bytes.data(), bytes.size()); // five whole frames: the fifth wraps
    EXPECT_EQ(vis->tablePosition(), 1u);
    EXPECT_EQ(vis->leftTable()[0].value, 50 - 127);
    EXPECT_EQ(vis->rightTable()[0].value, 60 - 127);
    EXPECT_EQ(vis->leftTable()[1].value, 0);
    EXPECT_EQ(vis->rightTable()[1].value, 1);
    EXPECT_EQ(vis->leftTable()[2].value, 73);
    EXPECT_EQ(vis->rightTable()[3].value, 2 - 127);
    // 16-bit rings are not touched by 8-bit input, but the block still moves on.
    EXPECT_EQ(vis->writePosition(), 31104u);
    EXPECT_EQ(vis->blockStart(), 576u);

    vis->reset(toPcmFormat({1, 1, 3, 1, 8}));
    EXPECT_EQ(vis->leftTable().size(), 3u);
    EXPECT_TRUE(vis->rightTable().empty());
    std::vector<uint8_t> mono = {127, 128, 126, 255};
    vis->copy(mono.data(), mono.size());
    EXPECT_EQ(vis->leftTable()[0].value, 128);
    EXPECT_EQ(vis->leftTable()[1].value, 1);
    EXPECT_EQ(vis->tablePosition(), 1u);
}

TEST(DspVis, NothingHappensWithoutAFormat) {
    auto vis = std::make_unique<VisBuffers>();
    std::vector<uint8_t> bytes(64, 1);
    vis->copy(bytes.data(), bytes.size());
    EXPECT_EQ(vis->writePosition(), 31104u);
    EXPECT_EQ(vis->blockStart(), 0u);
}

} // namespace

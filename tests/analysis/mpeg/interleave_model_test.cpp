#include "analysis/interleave_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/analysis/mpeg/mpeg_bytes.h"

namespace tavro {
namespace {

using test::cbrFrames;
using test::kFrame128;

constexpr uint32_t k25Fps = 40000; // microseconds per frame

// A movi list built chunk by chunk, then walked the way the RIFF walker does:
// video chunks by payload, audio chunks by their header, into a model, a
// collection buffer and a scan of that buffer.
class Movi {
  public:
    Movi& video(int frames, uint32_t size = 100) {
        for (int i = 0; i < frames; ++i)
            chunk("00dc", std::vector<uint8_t>(size, 0));
        return *this;
    }
    Movi& audio(const std::vector<uint8_t>& payload) { return chunk("01wb", payload); }
    Movi& chunk(const char* id, const std::vector<uint8_t>& payload) {
        const size_t at = head_.size();
        head_.resize(at + 8 + payload.size() + (payload.size() & 1), 0);
        std::memcpy(&head_[at], id, 4);
        const uint32_t size = static_cast<uint32_t>(payload.size());
        for (int b = 0; b < 4; ++b)
            head_[at + 4 + b] = static_cast<uint8_t>(size >> (8 * b));
        if (!payload.empty()) std::memcpy(&head_[at + 8], payload.data(), payload.size());
        return *this;
    }

    void walk() {
        resetInterleave(*model);
        uint8_t* write = collect.data();
        const uint8_t* end = head_.data() + head_.size();
        for (size_t at = 0; at + 8 <= head_.size();) {
            const uint8_t* c = &head_[at];
            const uint32_t size = c[4] | c[5] << 8 | c[6] << 16 | uint32_t(c[7]) << 24;
            if (std::memcmp(c, "00dc", 4) == 0) recordVideoChunk(*model, c + 8, size);
            if (std::memcmp(c, "01wb", 4) == 0)
                recordAudioChunk(*model, 0, c, end, collect.data(), write);
            at += 8 + size + (size & 1);
        }
        closeRuns(*model);
        scan.frameTable = table.data();
        scanMpegAudio(collect.data(), write, scan);
    }
    std::string imrr() {
        char out[64] = "None or Not Determined";
        imrrText(*model, 0, scan, k25Fps, out, sizeof out);
        return out;
    }
    std::string il() {
        char out[64] = "n.d.";
        interleaveText(*model, 0, scan, k25Fps, out, sizeof out);
        return out;
    }

    std::unique_ptr<InterleaveModel> model = std::make_unique<InterleaveModel>();
    std::vector<uint8_t> collect = std::vector<uint8_t>(kAudioCollectSize);
    std::vector<uint32_t> table = std::vector<uint32_t>(kMpegFrameTableSize);
    MpegScanState scan;

  private:
    std::vector<uint8_t> head_;
};

std::vector<uint8_t> zeros(size_t n) {
    return std::vector<uint8_t>(n, 0);
}

TEST(InterleaveModel, RunsFollowChunkOrderAndLastRunIsDropped) {
    Movi m;
    m.video(3).audio(cbrFrames(2)).video(1).audio(cbrFrames(1)).audio(cbrFrames(1)).video(2);
    m.walk();
    const InterleaveModel& im = *m.model;
    EXPECT_EQ(im.firstStream, 0);
    EXPECT_EQ(im.currentStream, 0);
    EXPECT_EQ(im.slots[0].runCount, 2); // third video run cut off by closeRuns
    ASSERT_EQ(im.slots[1].runCount, 2);
    EXPECT_EQ(im.slots[0].runs[0].chunks, 3u);
    EXPECT_EQ(im.slots[0].runs[0].bytes, 300u);
    EXPECT_EQ(im.slots[1].runs[1].chunks, 2u);
    EXPECT_EQ(im.slots[1].runs[1].bytes, 2 * kFrame128);
    EXPECT_EQ(im.slots[1].runs[1].copy, m.collect.data() + 2 * kFrame128);
    EXPECT_EQ(im.slots[0].runs[0].copy, nullptr);
}

// A reset clears the runs written since the last one, the run closeRuns dropped too:
// the IMRR reader looks one run past the count.
TEST(InterleaveModel, ResetClearsEveryRunWritten) {
    auto model = std::make_unique<InterleaveModel>();
    resetInterleave(*model);
    static const uint8_t bytes[4] = {};
    for (int i = 0; i < 5; ++i) {
        recordChunk(*model, 0, bytes, bytes, 10);
        recordChunk(*model, 1, bytes, bytes + 1, 20);
    }
    closeRuns(*model);
    EXPECT_EQ(model->slots[1].runCount, 4);
    resetInterleave(*model);
    recordChunk(*model, 1, nullptr, nullptr, 20);
    EXPECT_EQ(model->slots[1].runCount, 1);
    for (const InterleaveSlot& slot : model->slots)
        for (int r = slot.runCount; r < kInterleaveMaxRuns; ++r) {
            const InterleaveRun& run = slot.runs[r];
            ASSERT_TRUE(!run.data && !run.copy && run.bytes == 0 && run.chunks == 0) << r;
        }
}

TEST(InterleaveModel, OverflowStopsTheWholeModel) {
    auto model = std::make_unique<InterleaveModel>();
    resetInterleave(*model);
    for (int i = 0; i < 600; ++i) {
        recordChunk(*model, 0, nullptr, nullptr, 10);
        recordChunk(*model, 2, nullptr, nullptr, 20);
    }
    EXPECT_EQ(model->slots[0].runCount, kInterleaveMaxRuns);
    EXPECT_EQ(model->slots[2].runCount, kInterleaveMaxRuns);
    EXPECT_EQ(model->slots[0].overflow, 1u);
    EXPECT_EQ(model->slots[2].overflow, 0u);
    EXPECT_EQ(model->slots[2].runs[kInterleaveMaxRuns - 1].chunks, 1u);
    recordChunk(*model, 3, nullptr, nullptr, 1);
    EXPECT_EQ(model->slots[3].runCount, 0);
    recordChunk(*model, 7, nullptr, nullptr, 1); // no such slot
    recordChunk(*model, -1, nullptr, nullptr, 1);
}

TEST(InterleaveModel, AudioCopiesStayInsideHeadAndBuffer) {
    auto model = std::make_unique<InterleaveModel>();
    resetInterleave(*model);
    std::vector<uint8_t> buffer(kAudioCollectSize + 64, 0xAA); // guard bytes after the buffer
    uint8_t* collect = buffer.data();
    // A chunk declaring 1000 bytes whose head ends 40 bytes into the payload.
    std::vector<uint8_t> head = {'0', '1', 'w', 'b', 0xE8, 0x03, 0, 0};
    head.resize(48, 0x5A);
    uint8_t* write = collect;
    recordAudioChunk(*model, 0, head.data(), head.data() + head.size(), collect, write);
    EXPECT_EQ(write, collect + 40);
    EXPECT_EQ(model->slots[1].runs[0].bytes, 1000u); // the declared size is kept

    // The buffer takes only what is left of its 524288 bytes.
    write = collect + kAudioCollectSize - 10;
    recordAudioChunk(*model, 0, head.data(), head.data() + head.size(), collect, write);
    EXPECT_EQ(write, collect + kAudioCollectSize);
    EXPECT_EQ(buffer[kAudioCollectSize], 0xAA);
    recordAudioChunk(*model, 0, head.data(), head.data() + head.size(), collect, write);
    EXPECT_EQ(write, collect + kAudioCollectSize);

    // Eight bytes or fewer before the head end: nothing copied, nothing read past it.
    for (size_t left : {8u, 5u, 0u}) {
        uint8_t* w = collect;
        recordAudioChunk(*model, 2, head.data(), head.data() + left, collect, w);
        EXPECT_EQ(w, collect);
    }
    EXPECT_EQ(model->slots[3].runs[0].bytes, 1000u); // the 8-byte header's size only
    EXPECT_EQ(model->slots[3].runs[0].chunks, 3u);
}

TEST(InterleaveModel, AviFlavourTexts) {
    struct Case {
        uint32_t length, odml;
        int32_t segment;
        bool rec;
        uint32_t multipartBefore;
        const char* text;
        uint32_t multipartAfter;
    } cases[] = {
        {100, 0, 0, false, 0, "AVI", 0},
        {100, 100, 0, false, 0, "OpenDML AVI", 0},
        {100, 250, 0, false, 0, "Multipart OpenDML AVI", 1},
        {100, 100, 0, false, 1, "Multipart OpenDML AVI", 1},
        {100, 0, 1, false, 0, "AVI, VDub Segment, final", 0},
        {100, 0, 2, false, 0, "AVI, VDub Segment", 0},
        {100, 0, 0, true, 0, "AVI, \"rec list\" style", 0},
        {1, 9, 1, true, 0, "Multipart OpenDML AVI, VDub Segment, final, \"rec list\" style", 1},
    };
    for (const Case& c : cases) {
        uint32_t multipart = c.multipartBefore;
        char out[80];
        aviFlavourText(c.length, c.odml, c.segment, c.rec, multipart, out, sizeof out);
        EXPECT_STREQ(out, c.text);
        EXPECT_EQ(multipart, c.multipartAfter);
    }
}

TEST(InterleaveModel, AudioMsBetweenCoverage) {
    MpegScanState scan;
    double ms = -1;
    EXPECT_EQ(audioMsBetween(scan, 0, 10, ms), 99);
    std::vector<uint32_t> table(kMpegFrameTableSize, 0);
    for (int k = 1; k <= 10; ++k)
        table[k] = k * 100;
    scan.frameTable = table.data();
    scan.tableCount = 10;
    scan.frameDuration = 0.024;
    EXPECT_EQ(audioMsBetween(scan, 150, 450, ms), 0);
    EXPECT_DOUBLE_EQ(ms, 3 * 24.0);                    // ends 200, 300, 400 lie in the range
    EXPECT_EQ(audioMsBetween(scan, 901, 1000, ms), 2); // starts past the last but one end
    EXPECT_EQ(audioMsBetween(scan, 0, 1101, ms), 0);   // up to last + last / count + 1
    EXPECT_EQ(audioMsBetween(scan, 0, 1102, ms), 2);
}

// Video runs as the I/L text sees them, each followed by one audio chunk.
std::string periodText(std::vector<int> videoRuns) {
    Movi m;
    for (int frames : videoRuns)
        m.video(frames).audio(cbrFrames(10));
    m.walk();
    return m.il();
}

TEST(InterleaveModel, InterleavePeriod) {
    EXPECT_EQ(periodText({1, 1, 1, 1}), "1 frame (40 ms)");
    EXPECT_EQ(periodText({12, 3, 3, 3}), "3 frames (120 ms)");
    EXPECT_EQ(periodText({2, 3, 2, 3}), "100 ms (2.5 frames)");
    EXPECT_EQ(periodText({1, 2, 3}), "100 ms (2.5 frames)"); // a lone first frame is left out
    EXPECT_EQ(periodText({5, 3}), "160 ms (4.0 frames)");
    EXPECT_EQ(periodText({3, 3, 4, 4}), "140 ms (3.5 frames)");
    EXPECT_EQ(periodText({7}), "n.d."); // one video run says nothing
}

TEST(InterleaveModel, EvenInterleaveGivesImrrOne) {
    Movi m; // 13 video frames (520 ms) against 20 audio frames (522.4 ms)
    for (int i = 0; i < 6; ++i)
        m.video(13).audio(cbrFrames(20));
    m.walk();
    EXPECT_EQ(m.imrr(), "1.00");
    EXPECT_EQ(m.il(), "13 frames (520 ms)");

    Movi n; // 80 ms of video against 78.4 ms of audio
    for (int i = 0; i < 6; ++i)
        n.video(2).audio(cbrFrames(3));
    n.walk();
    EXPECT_EQ(n.imrr(), "0.98");
}

TEST(InterleaveModel, AudioFirstAddsPreload) {
    Movi m;
    m.audio(cbrFrames(20));
    for (int i = 0; i < 10; ++i)
        m.video(1).audio(cbrFrames(2));
    m.video(1);
    m.walk();
    EXPECT_EQ(m.model->firstStream, 1);
    // 9 video frames (360 ms) against audio frame ends 21..38 (18 frames, 470.2 ms).
    EXPECT_EQ(m.imrr(), "1.31");
    EXPECT_EQ(m.il(), "1 frame (40 ms), p=522"); // 20 frames of 26.12 ms ahead
}

TEST(InterleaveModel, LeadingRunsWithoutFrameGiveNg) {
    Movi m; // two 1000-byte audio runs without a frame, then 2 frames per run
    m.audio(zeros(1000)).video(1).audio(zeros(1000)).video(1);
    for (int i = 0; i < 8; ++i)
        m.audio(cbrFrames(2)).video(1);
    m.walk();
    // Start bytes 2000: (2000 / 1152 + 1) frames of 26.12 ms = 52 ms of unusable preload.
    EXPECT_EQ(m.imrr(), "1.21");
    EXPECT_NEAR(m.model->preloadNg, 2 * test::kFrameMs128, 1e-9);
    EXPECT_EQ(m.il(), "1 frame (40 ms), p=26 NG= 52");

    Movi many; // 7 of 9 interleaved runs without a frame start: more than three quarters
    for (int i = 0; i < 8; ++i)
        many.audio(zeros(1000)).video(1);
    for (int i = 0; i < 2; ++i)
        many.audio(cbrFrames(10)).video(1);
    many.walk();
    EXPECT_EQ(many.imrr(), "None or Not Determined");
    EXPECT_GT(many.model->preloadNg, 0);
}

TEST(InterleaveModel, ErrorTexts) {
    Movi tagOnly; // a Xing tag but no frame: VBR verdict without a frame table
    std::vector<uint8_t> xing = zeros(200);
    std::memcpy(&xing[36], "Xing", 4);
    tagOnly.audio(xing);
    for (int i = 0; i < 4; ++i)
        tagOnly.video(1).audio(zeros(300));
    tagOnly.walk();
    ASSERT_EQ(tagOnly.scan.verdict, kMpegVbr);
    EXPECT_EQ(tagOnly.imrr(), "Err 99");
    EXPECT_EQ(tagOnly.il(), "1 frame (40 ms)E99/  0");

    Movi uncovered;                             // audio runs reach far past the scanned frames
    std::vector<uint8_t> tagged = cbrFrames(8); // the tag keeps the verdict despite the zeros
    std::memcpy(&tagged[36], "Xing", 4);
    uncovered.video(1).audio(tagged);
    for (int i = 0; i < 3; ++i)
        uncovered.video(1).audio(cbrFrames(8));
    for (int i = 0; i < 4; ++i)
        uncovered.video(1).audio(zeros(5000));
    uncovered.video(1);
    uncovered.walk();
    EXPECT_EQ(uncovered.imrr(), "Err 2");

    Movi noFps;
    for (int i = 0; i < 4; ++i)
        noFps.video(1).audio(cbrFrames(20));
    noFps.walk();
    char out[16] = "keep";
    imrrText(*noFps.model, 0, noFps.scan, 0, out, sizeof out);
    EXPECT_STREQ(out, "keep");
}

} // namespace
} // namespace tavro

// Hand-built raw streams: lone sync words and runs too short to decide, chance start
// codes, junk, cuts, hostile claimed sizes; one bounded read each.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/elementary/elementary_reader.h"
#include "tests/analysis/codec_config/bit_writer.h"

namespace tavro {
namespace {

using test::Bytes;

class CountingReader : public BufferReader {
  public:
    using BufferReader::BufferReader;
    bool readAt(uint64_t offset, void* buffer, size_t want, size_t* got) override {
        ++calls;
        const bool ok = BufferReader::readAt(offset, buffer, want, got);
        bytes += *got;
        return ok;
    }
    uint64_t calls = 0, bytes = 0;
};

// An AAC LC frame at 44.1 kHz, stereo, `length` bytes with its 7-byte header.
Bytes adtsFrame(uint32_t length = 200) {
    Bytes b = {0xFF,
               0xF1,
               static_cast<uint8_t>(1 << 6 | 4 << 2),
               static_cast<uint8_t>(2 << 6 | length >> 11),
               static_cast<uint8_t>(length >> 3),
               static_cast<uint8_t>((length & 7) << 5 | 0x1F),
               0xFC};
    b.resize(length, 0x21);
    return b;
}

// An AC-3 frame at 48 kHz, 192 kbit/s (768 bytes), stereo.
Bytes ac3Frame() {
    Bytes b = {0x0B, 0x77, 0, 0, 0x14, 8 << 3, 2 << 5, 0};
    b.resize(768, 0);
    return b;
}

Bytes repeat(const Bytes& frame, int count) {
    Bytes b;
    for (int i = 0; i < count; ++i)
        b.insert(b.end(), frame.begin(), frame.end());
    return b;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Baseline, 176x144, 25 frames per second in the VUI timing.
Bytes h264Sps() {
    test::BitWriter w;
    w.bits(0x67, 8).bits(66, 8).bits(0xC0, 8).bits(30, 8).ue(0);
    w.ue(0).ue(0).ue(0).ue(1).bits(0, 1).ue(10).ue(8).bits(1, 1).bits(1, 1).bits(0, 1);
    w.bits(1, 1).bits(0, 4).bits(1, 1).bits(1, 32).bits(50, 32).bits(1, 1).bits(0, 4);
    return test::escapeNal(w.trailing().bytes());
}

Bytes nal(const Bytes& body) {
    return Bytes{0, 0, 0, 1} + body;
}

// SPS, PPS, then `pictures` one-slice pictures.
Bytes h264Stream(int pictures) {
    Bytes b = nal(h264Sps()) + nal({0x68, 0xCE, 0x38, 0x80});
    for (int i = 0; i < pictures; ++i)
        b = b + nal({static_cast<uint8_t>(i ? 0x41 : 0x65), 0x88, 0x84, 0x21, 0x7F});
    return b;
}

bool hasFinding(const MediaStreams& m, const std::string& code) {
    for (const FileFinding& f : m.findings)
        if (f.code == code) return true;
    return false;
}

struct Case {
    const char* name;
    Bytes bytes;
    uint64_t claimed; // 0: the bytes' own length
    ElementaryKind kind;
    std::vector<ElementaryProblem> problems;
    const char* finding;
};

std::vector<Case> cases() {
    Bytes junkThenAdts(3000, 0x00);
    junkThenAdts = junkThenAdts + repeat(adtsFrame(), 5);
    Bytes lying = repeat(adtsFrame(), 4);
    lying[200 + 4] = 0xFF; // the second frame claims another length: no run of three
    const Bytes manySyncs = repeat({0xFF, 0xF1, 0x50, 0x80, 0x19, 0x1F, 0xFC, 0x0B, 0x77}, 5000);
    const Bytes interrupted = repeat(repeat(adtsFrame(), 3) + Bytes{0x55}, 200);
    const Bytes frame = adtsFrame();
    const Bytes cutFrame(frame.begin(), frame.begin() + 50);
    using K = ElementaryKind;
    using P = ElementaryProblem;
    const char* unknown = "elementary.not_recognised";
    // clang-format off
    return {
        {"empty", {}, 0, K::unknown, {}, unknown},
        {"riff", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, 0, K::unknown, {}, unknown},
        {"one_ac3_sync", Bytes{0x0B, 0x77} + Bytes(4000, 0x11), 0, K::unknown, {}, unknown},
        {"two_ac3_frames", repeat(ac3Frame(), 2), 0, K::unknown, {}, unknown},
        {"three_ac3_frames", repeat(ac3Frame(), 3), 0, K::ac3, {}, ""},
        {"two_adts_frames", repeat(adtsFrame(), 2), 0, K::unknown, {}, unknown},
        {"adts_lying_length", lying, 0, K::unknown, {}, unknown},
        {"adts_after_junk", junkThenAdts, 0, K::adts, {P::leadingJunk}, "elementary.leading_junk"},
        {"adts_cut", repeat(adtsFrame(), 5) + cutFrame, 0, K::adts, {P::lastFrameCut}, "elementary.last_frame_cut"},
        {"adts_interrupted", interrupted, 0, K::adts, {P::syncLost}, "elementary.sync_lost"},
        {"sync_words_everywhere", manySyncs, 0, K::unknown, {}, unknown},
        {"adts_claimed_2p64", repeat(adtsFrame(), 5), UINT64_MAX, K::adts, {}, "elementary.length_estimated"},
        {"adts_claimed_2p32", repeat(adtsFrame(), 5), 0xFFFFFFFFull, K::adts, {}, "elementary.length_estimated"},
        {"id3_past_end", Bytes{'I', 'D', '3', 4, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F} + repeat(adtsFrame(), 4), 0, K::unknown, {P::id3PastEnd}, unknown},
        {"id3_then_adts", Bytes{'I', 'D', '3', 4, 0, 0, 0, 0, 0, 2, 0, 0} + repeat(adtsFrame(), 4), 0, K::adts, {}, ""},
        {"h264", h264Stream(50), 0, K::h264, {}, "elementary.raw_video"},
        {"start_codes_no_sps", nal({0x41, 0x9A}) + nal({0x41, 0x9A}) + nal({0x41, 0x9A}), 0, K::unknown, {}, unknown},
        {"sps_alone", nal(h264Sps()), 0, K::unknown, {}, unknown},
        {"start_codes_bad_headers", repeat(nal({0xE0, 0xFF}), 10), 0, K::unknown, {}, unknown},
    };
    // clang-format on
}

TEST(ElementaryHostile, KindOnlyFromRunsAndBoundedReads) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        CountingReader reader(c.bytes.data(), c.bytes.size(),
                              c.claimed ? c.claimed : c.bytes.size());
        const ElementaryLimits limits;
        const ElementaryFile f = readElementaryStream(reader, limits);
        EXPECT_EQ(f.kind, c.kind) << elementaryKindText(f.kind);
        EXPECT_EQ(f.status == ElementaryStatus::ok, c.kind != ElementaryKind::unknown);
        for (ElementaryProblem p : c.problems) {
            EXPECT_TRUE(f.has(p)) << elementaryProblemText(p);
        }
        EXPECT_LE(reader.calls, 6u); // ID3v2 probes, then the head once
        EXPECT_LE(reader.bytes, limits.headBytes);
        const MediaStreams m = describeElementary(f);
        if (*c.finding) {
            EXPECT_TRUE(hasFinding(m, c.finding)) << c.finding;
        }
        EXPECT_TRUE(m.present || !m.findings.empty());
    }
}

TEST(ElementaryStreams, CountsFramesAndPictures) {
    struct Count {
        const char* name;
        Bytes bytes;
        ElementaryKind kind;
        uint64_t frames;
        double seconds;
    };
    const Count counts[] = {
        {"adts_100", repeat(adtsFrame(), 100), ElementaryKind::adts, 100, 100 * 1024 / 44100.0},
        {"ac3_10", repeat(ac3Frame(), 10), ElementaryKind::ac3, 10, 10 * 1536 / 48000.0},
        {"h264_50", h264Stream(50), ElementaryKind::h264, 0, 2.0},
    };
    for (const Count& c : counts) {
        SCOPED_TRACE(c.name);
        BufferReader r(c.bytes.data(), c.bytes.size());
        const ElementaryFile f = readElementaryStream(r);
        ASSERT_EQ(f.kind, c.kind);
        EXPECT_EQ(f.frames, c.frames);
        EXPECT_NEAR(f.seconds, c.seconds, 1e-9);
        EXPECT_FALSE(f.extrapolated);
        const MediaStreams m = describeElementary(f);
        EXPECT_TRUE(m.secondsEstimated);
        ASSERT_EQ(m.streams.size(), 1u);
        if (c.kind == ElementaryKind::h264) {
            EXPECT_EQ(f.pictures, 50u);
            EXPECT_EQ(m.streams[0].width, 176u);
            EXPECT_EQ(m.streams[0].profile, "Constrained Baseline");
            EXPECT_EQ(m.streams[0].level, "3");
            EXPECT_DOUBLE_EQ(m.streams[0].frameRate, 25.0);
        } else {
            EXPECT_EQ(m.streams[0].channels, 2u);
        }
    }
}

// A stream larger than the head: counted over the head, scaled to the file.
TEST(ElementaryStreams, LargeFileIsExtrapolated) {
    const Bytes b = repeat(adtsFrame(), 10000); // 2 MB
    BufferReader r(b.data(), b.size());
    ElementaryLimits limits;
    limits.headBytes = 200000;
    const ElementaryFile f = readElementaryStream(r, limits);
    ASSERT_EQ(f.kind, ElementaryKind::adts);
    EXPECT_TRUE(f.extrapolated);
    EXPECT_EQ(f.frames, 1000u);
    EXPECT_NEAR(f.seconds, 10000 * 1024 / 44100.0, 1e-6);
    EXPECT_TRUE(hasFinding(describeElementary(f), "elementary.length_estimated"));
}

// A tag with cover art larger than the head: the head is read after it.
TEST(ElementaryStreams, TagLargerThanTheHead) {
    const Bytes tag = Bytes{'I', 'D', '3', 4, 0, 0, 0, 0x0C, 0, 0} + Bytes(0x0C << 14, 0);
    const Bytes b = tag + repeat(adtsFrame(), 10);
    BufferReader r(b.data(), b.size());
    ElementaryLimits limits;
    limits.headBytes = 100000;
    const ElementaryFile f = readElementaryStream(r, limits);
    ASSERT_EQ(f.kind, ElementaryKind::adts);
    EXPECT_EQ(f.firstFrameOffset, tag.size());
    EXPECT_TRUE(f.wholeFileRead);
    EXPECT_EQ(f.frames, 10u);
    EXPECT_TRUE(f.problems.empty());
}

TEST(ElementaryHostile, TruncatedAtEveryByte) {
    const Bytes whole = repeat(adtsFrame(60), 6);
    for (size_t n = 0; n <= whole.size(); ++n) {
        BufferReader r(whole.data(), n);
        const ElementaryFile f = readElementaryStream(r);
        // Three headers in a row decide; fewer never do.
        EXPECT_EQ(f.status == ElementaryStatus::ok, n >= 2 * 60 + 7) << n;
        EXPECT_FALSE(describeElementary(f).findings.empty() && f.status != ElementaryStatus::ok);
    }
}

} // namespace
} // namespace tavro

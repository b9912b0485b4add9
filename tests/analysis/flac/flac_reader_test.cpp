// Hand-built FLAC files: hostile sizes and counts, truncation, cut audio and chance
// frame syncs, with every read counted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/flac/flac_frame.h"
#include "analysis/flac/flac_reader.h"

namespace tavro {
namespace {

using Bytes = std::vector<uint8_t>;

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

void be(Bytes& b, uint64_t v, int n) {
    for (int i = n - 1; i >= 0; --i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void le32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void block(Bytes& b, uint8_t type, bool last, const Bytes& body) {
    b.push_back(static_cast<uint8_t>(type | (last ? 0x80 : 0)));
    be(b, body.size(), 3);
    b.insert(b.end(), body.begin(), body.end());
}

// 4096-sample blocks, 44.1 kHz, stereo, 16 bits.
Bytes streamInfo(uint64_t totalSamples) {
    Bytes s;
    be(s, 4096, 2), be(s, 4096, 2), be(s, 0, 3), be(s, 0, 3);
    const uint64_t packed =
        uint64_t(44100) << 44 | uint64_t(1) << 41 | uint64_t(15) << 36 | totalSamples;
    be(s, packed, 8);
    s.resize(34, 0xAB); // MD5
    return s;
}

// A frame header for frame `number` of the stream above, then filler audio.
void frame(Bytes& b, uint32_t number, size_t filler) {
    const size_t start = b.size();
    b.push_back(0xFF), b.push_back(0xF8);
    b.push_back(0xC9); // 4096 samples, 44.1 kHz
    b.push_back(0x18); // left/right independent, 16 bits
    if (number < 0x80) {
        b.push_back(static_cast<uint8_t>(number));
    } else {
        b.push_back(static_cast<uint8_t>(0xC0 | number >> 6));
        b.push_back(static_cast<uint8_t>(0x80 | (number & 0x3F)));
    }
    b.push_back(flacCrc8(&b[start], b.size() - start));
    b.insert(b.end(), filler, 0x55);
}

Bytes flacWith(uint64_t totalSamples, uint32_t frames, const Bytes& comments = {}) {
    Bytes b = {'f', 'L', 'a', 'C'};
    block(b, 0, comments.empty(), streamInfo(totalSamples));
    if (!comments.empty()) block(b, 4, true, comments);
    for (uint32_t i = 0; i < frames; ++i)
        frame(b, i, 300);
    return b;
}

Bytes commentBlock(uint32_t count, const std::string& each, uint32_t declared) {
    Bytes c;
    le32(c, 6);
    for (char ch : std::string("tavro!"))
        c.push_back(static_cast<uint8_t>(ch));
    le32(c, declared);
    for (uint32_t i = 0; i < count; ++i) {
        le32(c, static_cast<uint32_t>(each.size()));
        c.insert(c.end(), each.begin(), each.end());
    }
    return c;
}

bool hasFinding(const MediaStreams& m, const std::string& code) {
    for (const FileFinding& f : m.findings)
        if (f.code == code) return true;
    return false;
}

TEST(FlacFrame, Crc8AndHeaderFields) {
    const uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(flacCrc8(check, sizeof check), 0xF4);
    Bytes b;
    frame(b, 200, 0);
    FlacFrameHeader h = parseFlacFrameHeader(b.data(), b.size());
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(h.number, 200u);
    EXPECT_EQ(h.blockSize, 4096u);
    EXPECT_EQ(h.sampleRate, 44100u);
    EXPECT_EQ(h.channels, 2u);
    EXPECT_EQ(h.bitsPerSample, 16u);
    b.back() ^= 1; // CRC off by one bit
    EXPECT_FALSE(parseFlacFrameHeader(b.data(), b.size()).ok);
    for (size_t n = 0; n + 1 < 7; ++n)
        EXPECT_FALSE(parseFlacFrameHeader(b.data(), n).ok) << n;
}

struct HostileCase {
    const char* name;
    Bytes bytes;
    uint64_t claimed; // 0: the bytes' own length
    FlacStatus status;
    std::vector<FlacProblem> problems; // among those noted
    const char* finding;
};

Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<HostileCase> hostileCases() {
    const Bytes marker = {'f', 'L', 'a', 'C'};
    Bytes hugeBlock = marker;
    hugeBlock.push_back(0x00), be(hugeBlock, 0xFFFFFF, 3);
    Bytes emptyInfo = marker;
    block(emptyInfo, 0, true, {});
    Bytes id3 = {'I', 'D', '3', 4, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};
    Bytes notSyncsafe = {'I', 'D', '3', 4, 0, 0, 0x80, 0, 0, 0};
    Bytes manyBlocks = marker;
    block(manyBlocks, 0, false, streamInfo(4096));
    for (int i = 0; i < 100000; ++i)
        block(manyBlocks, 1, false, {});
    Bytes forbidden = marker;
    block(forbidden, 0, false, streamInfo(4096));
    block(forbidden, 127, true, {1, 2, 3});
    Bytes infoSecond = marker;
    block(infoSecond, 1, false, {0, 0});
    block(infoSecond, 0, true, streamInfo(4096));
    frame(infoSecond, 0, 10);
    using P = FlacProblem;
    const FlacStatus ok = FlacStatus::ok;
    // clang-format off
    return {
        {"riff", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, 0, FlacStatus::notFlac, {}, "flac.not_flac"},
        {"empty", {}, 0, FlacStatus::notFlac, {}, "flac.not_flac"},
        {"marker_only", marker, 0, FlacStatus::noStreamInfo, {P::blockPastEnd}, "flac.no_streaminfo"},
        {"block_2p24", hugeBlock, 0, FlacStatus::noStreamInfo, {P::blockPastEnd}, "flac.block_past_end"},
        {"streaminfo_empty", emptyInfo, 0, FlacStatus::noStreamInfo, {P::badStreamInfo}, "flac.no_streaminfo"},
        {"id3_past_end", concat(id3, marker), 0, FlacStatus::notFlac, {P::id3PastEnd}, "flac.id3_past_end"},
        {"id3_not_syncsafe", concat(notSyncsafe, marker), 0, FlacStatus::notFlac, {}, "flac.not_flac"},
        {"blocks_100000", manyBlocks, 0, ok, {P::tooManyBlocks}, "flac.bad_block_length"},
        {"block_type_127", forbidden, 0, ok, {P::badBlockType}, "flac.bad_streaminfo"},
        {"streaminfo_second", infoSecond, 0, ok, {P::streamInfoNotFirst}, "flac.bad_streaminfo"},
        {"comments_count_2p32", flacWith(4096, 1, commentBlock(1, "TITLE=x", 0xFFFFFFFF)), 0, ok, {P::commentsDamaged}, "flac.comments_damaged"},
        {"claimed_2p64", flacWith(4096 * 4, 4), UINT64_MAX, ok, {P::noFrames}, "flac.no_frames"},
        {"claimed_2p32", flacWith(4096 * 4, 4), 0xFFFFFFFFull, ok, {P::noFrames}, "flac.no_frames"},
    };
    // clang-format on
}

TEST(FlacHostile, ClearStatusAndBoundedReads) {
    for (const HostileCase& c : hostileCases()) {
        SCOPED_TRACE(c.name);
        CountingReader reader(c.bytes.data(), c.bytes.size(),
                              c.claimed ? c.claimed : c.bytes.size());
        FlacLimits limits;
        const FlacFile f = readFlacFile(reader, limits);
        EXPECT_EQ(f.status, c.status) << flacStatusText(f.status);
        for (FlacProblem p : c.problems) {
            EXPECT_TRUE(f.has(p)) << flacProblemText(p);
        }
        EXPECT_LE(reader.bytes, limits.maxBytesRead);
        EXPECT_LE(reader.calls, 2 * limits.maxBlocks + 16);
        const MediaStreams m = describeFlac(f);
        if (*c.finding) {
            EXPECT_TRUE(hasFinding(m, c.finding)) << c.finding;
        }
        EXPECT_FALSE(m.findings.empty());
    }
}

TEST(FlacHostile, CommentCapsAndLengths) {
    // 100,000 comments: the first few hundred kept, all counted.
    FlacFile f = [] {
        const Bytes b = flacWith(4096, 1, commentBlock(100000, "A=1", 100000));
        BufferReader r(b.data(), b.size());
        return readFlacFile(r);
    }();
    EXPECT_EQ(f.commentCount, 100000u);
    EXPECT_EQ(f.comments.size(), FlacLimits{}.maxComments);
    EXPECT_TRUE(f.has(FlacProblem::tooManyComments));
    EXPECT_FALSE(f.has(FlacProblem::commentsDamaged));

    // One comment claiming 4 GiB of text.
    Bytes c = commentBlock(0, "", 1);
    le32(c, 0xFFFFFFFF);
    c.push_back('T');
    const Bytes b = flacWith(4096, 1, c);
    BufferReader r(b.data(), b.size());
    f = readFlacFile(r);
    EXPECT_TRUE(f.has(FlacProblem::commentsDamaged));
    EXPECT_TRUE(f.comments.empty());
    EXPECT_EQ(f.vendor, "tavro!");
}

struct FramesCase {
    const char* name;
    uint64_t declared;
    uint32_t frames;
    uint64_t inData;
    bool exceeds;
    bool estimated;
};

TEST(FlacFrames, DeclaredSamplesAgainstTheLastFrame) {
    const FramesCase cases[] = {
        {"whole", 4096 * 6, 6, 4096 * 6, false, false},
        {"half_missing", 4096 * 12, 6, 4096 * 6, true, false},
        {"length_unknown", 0, 6, 4096 * 6, false, true},
        {"many_frames", 4096ull * 300, 300, 4096ull * 300, false, false},
    };
    for (const FramesCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes b = flacWith(c.declared, c.frames);
        BufferReader r(b.data(), b.size());
        const FlacFile f = readFlacFile(r);
        ASSERT_EQ(f.status, FlacStatus::ok);
        EXPECT_TRUE(f.firstFrameFound);
        ASSERT_TRUE(f.lastFrameFound);
        EXPECT_EQ(f.samplesInData, c.inData);
        EXPECT_EQ(f.has(FlacProblem::samplesExceedData), c.exceeds);
        const MediaStreams m = describeFlac(f);
        EXPECT_EQ(hasFinding(m, "flac.samples_exceed_data"), c.exceeds);
        EXPECT_EQ(m.secondsEstimated, c.estimated);
        EXPECT_NEAR(m.seconds, (c.declared ? c.declared : c.inData) / 44100.0, 1e-9);
        if (c.exceeds) {
            EXPECT_NEAR(f.secondsMissing, (c.declared - c.inData) / 44100.0, 1e-9);
        }
    }
}

// A valid-looking header inside the audio of the last frame, numbered far ahead,
// must not be taken for the last frame.
TEST(FlacFrames, ChanceSyncAfterTheChainIsIgnored) {
    Bytes b = flacWith(4096 * 4, 4);
    frame(b, 120, 40); // frame 120 of a 4-frame stream
    BufferReader r(b.data(), b.size());
    const FlacFile f = readFlacFile(r);
    EXPECT_EQ(f.samplesInData, 4096u * 4);
    EXPECT_FALSE(f.has(FlacProblem::samplesExceedData));
}

TEST(FlacHostile, TruncatedAtEveryByte) {
    const Bytes whole = flacWith(4096 * 3, 3, commentBlock(3, "TITLE=abc", 3));
    for (size_t n = 0; n <= whole.size(); ++n) {
        BufferReader r(whole.data(), n);
        const FlacFile f = readFlacFile(r);
        const MediaStreams m = describeFlac(f);
        EXPECT_TRUE(f.status == FlacStatus::ok || !m.findings.empty()) << n;
        // Cut before the last frame's header: the loss must show (inside the last
        // frame it cannot, without decoding).
        if (f.status == FlacStatus::ok && n <= whole.size() - 306) {
            EXPECT_FALSE(m.findings.empty()) << n;
        }
    }
}

} // namespace
} // namespace tavro

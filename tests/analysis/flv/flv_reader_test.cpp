// The FLV reader over hand-built files: a small valid one, then hostile shapes of it.
#include <gtest/gtest.h>

#include <algorithm>

#include "analysis/flv/flv_reader.h"
#include "analysis/flv/flv_streams.h"
#include "tests/analysis/flv/flv_builder.h"

namespace tavro {
namespace {

using namespace test;

class CountingReader : public BufferReader {
  public:
    using BufferReader::BufferReader;
    bool readAt(uint64_t offset, void* buffer, size_t want, size_t* got) override {
        requested += want;
        return BufferReader::readAt(offset, buffer, want, got);
    }
    uint64_t requested = 0;
};

FlvFile read(const Bytes& b, const FlvLimits& limits = FlvLimits{}) {
    BufferReader reader(b.data(), b.size());
    return readFlvFile(reader, limits);
}

void append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

bool hasFinding(const MediaStreams& m, const std::string& code) {
    return std::any_of(m.findings.begin(), m.findings.end(),
                       [&](const FileFinding& f) { return f.code == code; });
}

// Metadata, an AAC sequence header, then `frames` video and audio tags 40 ms apart.
Bytes smallFlv(int frames, double metaSeconds = 2.0) {
    Bytes b = flvHeader();
    append(b, flvTag(18, 0,
                     onMetaData({{"duration", metaSeconds},
                                 {"width", 320},
                                 {"height", 240},
                                 {"framerate", 25},
                                 {"videodatarate", 300}})));
    append(b, flvTag(8, 0, aacSequenceHeader()));
    for (int k = 0; k < frames; ++k) {
        append(b, flvTag(9, uint32_t(k) * 40, sparkFrame()));
        append(b, flvTag(8, uint32_t(k) * 40, aacFrame()));
    }
    return b;
}

TEST(FlvReader, SmallFile) {
    const FlvFile f = read(smallFlv(51));
    ASSERT_EQ(f.status, FlvStatus::ok);
    EXPECT_TRUE(f.problems.empty());
    EXPECT_TRUE(f.hasMetadata);
    EXPECT_TRUE(f.endKnown);
    EXPECT_DOUBLE_EQ(f.tagSeconds(), 2.0);
    const MediaStreams m = describeFlv(f);
    EXPECT_TRUE(m.findings.empty());
    EXPECT_DOUBLE_EQ(m.seconds, 2.0);
    EXPECT_FALSE(m.secondsEstimated);
    ASSERT_EQ(m.streams.size(), 2u);
    EXPECT_EQ(m.streams[0].codec, "Sorenson Spark");
    EXPECT_EQ(m.streams[0].width, 320u);
    EXPECT_EQ(m.streams[0].height, 240u);
    EXPECT_DOUBLE_EQ(m.streams[0].frameRate, 25);
    EXPECT_EQ(m.streams[0].bitrate, 300000u);
    EXPECT_EQ(m.streams[1].codec, "AAC");
    EXPECT_EQ(m.streams[1].profile, "LC");
    EXPECT_EQ(m.streams[1].sampleRate, 44100u);
    EXPECT_EQ(m.streams[1].channels, 2u);
}

// Audio flag bits and codec ids, table-driven.
TEST(FlvReader, AudioFormats) {
    const struct {
        uint8_t first;
        const char* codec;
        uint32_t rate, channels, bits;
    } cases[] = {
        {0x2F, "MPEG Audio", 44100, 2, 0}, {0x3E, "PCM", 44100, 1, 16},
        {0x08, "PCM", 22050, 1, 8},        {0x1B, "ADPCM", 22050, 2, 0},
        {0x42, "Nellymoser", 16000, 1, 0}, {0x52, "Nellymoser", 8000, 1, 0},
        {0xB6, "Speex", 16000, 1, 0},      {0xE2, "MPEG Audio", 8000, 1, 0},
        {0x72, "G.711", 5512, 1, 0},       {0xD2, "", 5512, 1, 0},
    };
    for (const auto& c : cases) {
        Bytes b = flvHeader(0x04);
        append(b, flvTag(8, 0, {c.first, 0x00, 0x00}));
        const MediaStreams m = describeFlv(read(b));
        ASSERT_EQ(m.streams.size(), 1u) << int(c.first);
        const StreamFacts& s = m.streams[0];
        EXPECT_EQ(s.codec, c.codec) << int(c.first);
        EXPECT_EQ(s.sampleRate, c.rate) << int(c.first);
        EXPECT_EQ(s.channels, c.channels) << int(c.first);
        EXPECT_EQ(s.bitDepth, c.bits) << int(c.first);
    }
}

TEST(FlvReader, VideoCodecIds) {
    const struct {
        Bytes first;
        const char* codec;
        const char* codecId;
    } cases[] = {
        {{0x14, 0x00}, "VP6", "4"},
        {{0x15, 0x00}, "VP6", "5"},
        {{0x17, 0x01, 0, 0, 0}, "AVC", "7"},
        {{0x1C, 0x01, 0, 0, 0}, "HEVC", "12"},
        {{0x90, 'h', 'v', 'c', '1'}, "HEVC", "hvc1"},
        {{0x90, 'a', 'v', '0', '1'}, "AV1", "av01"},
        {{0x13, 0x00}, "", "3"},
    };
    for (const auto& c : cases) {
        Bytes b = flvHeader(0x01);
        append(b, flvTag(9, 0, c.first));
        const MediaStreams m = describeFlv(read(b));
        ASSERT_EQ(m.streams.size(), 1u) << c.codecId;
        EXPECT_EQ(m.streams[0].codec, c.codec) << c.codecId;
        EXPECT_EQ(m.streams[0].codecId, c.codecId);
    }
}

// The HEVC configuration record (libx265, 64x48, Main) behind the legacy codec id 12
// and behind an enhanced header's 'hvc1' sequence start.
TEST(FlvReader, HevcConfiguration) {
    const Bytes hvcc = {
        0x01, 0x01, 0x60, 0x00, 0x00, 0x00, 0x90, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1E, 0xF0,
        0x00, 0xFC, 0xFD, 0xF8, 0xF8, 0x00, 0x00, 0x0F, 0x03, 0xA0, 0x00, 0x01, 0x00, 0x18,
        0x40, 0x01, 0x0C, 0x01, 0xFF, 0xFF, 0x01, 0x60, 0x00, 0x00, 0x03, 0x00, 0x90, 0x00,
        0x00, 0x03, 0x00, 0x00, 0x03, 0x00, 0x1E, 0x95, 0x94, 0x09, 0xA1, 0x00, 0x01, 0x00,
        0x29, 0x42, 0x01, 0x01, 0x01, 0x60, 0x00, 0x00, 0x03, 0x00, 0x90, 0x00, 0x00, 0x03,
        0x00, 0x00, 0x03, 0x00, 0x1E, 0xA0, 0x20, 0x83, 0x16, 0x59, 0x59, 0x52, 0x93, 0x0B,
        0xC0, 0x5A, 0x02, 0x00, 0x00, 0x03, 0x00, 0x02, 0x00, 0x00, 0x03, 0x00, 0x32, 0x10,
        0xA2, 0x00, 0x01, 0x00, 0x06, 0x44, 0x01, 0xC0, 0x73, 0xC0, 0x89};
    Bytes legacy = {0x1C, 0x00, 0x00, 0x00, 0x00};
    Bytes enhanced = {0x90, 'h', 'v', 'c', '1'};
    for (Bytes* first : {&legacy, &enhanced}) {
        append(*first, hvcc);
        Bytes b = flvHeader(0x01);
        append(b, flvTag(9, 0, *first));
        const MediaStreams m = describeFlv(read(b));
        ASSERT_EQ(m.streams.size(), 1u);
        const StreamFacts& s = m.streams[0];
        EXPECT_EQ(s.codec, "HEVC");
        EXPECT_EQ(s.profile, "Main");
        EXPECT_EQ(s.level, "1.0");
        EXPECT_EQ(s.width, 64u);
        EXPECT_EQ(s.height, 48u);
        EXPECT_EQ(s.bitDepth, 8u);
    }
}

TEST(FlvReader, NotFlvOrEmpty) {
    Bytes headerOnly = flvHeader();
    Bytes badType = flvHeader();
    append(badType, flvTag(0x1F, 0, {1, 2, 3}));
    const struct {
        const char* name;
        Bytes bytes;
        FlvStatus status;
        const char* code;
    } cases[] = {
        {"empty", {}, FlvStatus::notFlv, "flv.not_flv"},
        {"two bytes", {'F', 'L'}, FlvStatus::notFlv, "flv.not_flv"},
        {"riff",
         {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '},
         FlvStatus::notFlv,
         "flv.not_flv"},
        {"ts packet", {0x47, 0x40, 0x00, 0x10}, FlvStatus::notFlv, "flv.not_flv"},
        {"short header", {'F', 'L', 'V', 1, 5}, FlvStatus::noTags, "flv.no_tags"},
        {"header only", headerOnly, FlvStatus::noTags, "flv.no_tags"},
        {"unknown tag type", badType, FlvStatus::noTags, "flv.no_tags"},
    };
    for (const auto& c : cases) {
        const FlvFile f = read(c.bytes);
        EXPECT_EQ(f.status, c.status) << c.name;
        EXPECT_TRUE(hasFinding(describeFlv(f), c.code)) << c.name;
    }
}

// Damage each finding names, table-driven.
TEST(FlvReader, DamageIsFound) {
    Bytes cut = smallFlv(10);
    cut.resize(cut.size() - 5);
    Bytes huge = smallFlv(3);
    append(huge, {9, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0x12});
    Bytes noMeta = flvHeader();
    append(noMeta, flvTag(9, 0, sparkFrame()));
    append(noMeta, flvTag(9, 1000, sparkFrame()));
    Bytes garbage = smallFlv(3);
    append(garbage, Bytes(40, 0xEE));
    Bytes backPointer = smallFlv(3);
    backPointer[backPointer.size() - 1] ^= 0x40;
    Bytes offsets[2] = {smallFlv(3), smallFlv(3)};
    offsets[0][8] = 0;    // data offset 0
    offsets[1][5] = 0xFF; // data offset far past the file
    const struct {
        const char* name;
        Bytes bytes;
        FlvProblem problem;
        const char* code;
    } cases[] = {
        {"cut", cut, FlvProblem::truncatedTag, "flv.truncated"},
        {"huge tag", huge, FlvProblem::truncatedTag, "flv.truncated"},
        {"no metadata", noMeta, FlvProblem::noMetadata, "flv.no_metadata"},
        {"long metadata", smallFlv(25, 100.0), FlvProblem::durationMismatch,
         "flv.duration_mismatch"},
        {"garbage", garbage, FlvProblem::badTag, "flv.bad_tag"},
        {"back pointer", backPointer, FlvProblem::badPreviousTagSize, "flv.back_pointer"},
        {"offset 0", offsets[0], FlvProblem::badDataOffset, ""},
        {"offset far", offsets[1], FlvProblem::badDataOffset, ""},
    };
    for (const auto& c : cases) {
        const FlvFile f = read(c.bytes);
        EXPECT_EQ(f.status, FlvStatus::ok) << c.name;
        EXPECT_TRUE(f.has(c.problem)) << c.name;
        if (*c.code) {
            EXPECT_TRUE(hasFinding(describeFlv(f), c.code)) << c.name;
        }
    }
    EXPECT_EQ(read(cut).truncatedBytes, 5u);
    EXPECT_EQ(read(huge).truncatedBytes, 0xFFFFFFu + 4 - 1);
    EXPECT_TRUE(describeFlv(read(noMeta)).secondsEstimated);
}

// Metadata nested past the depth cap, arrays claiming 2^32-1 entries, strings longer
// than the tag: the walk stops, keeps what it read, and never reads past the tag.
TEST(FlvReader, HostileMetadata) {
    Bytes deep = {0x02};
    amfString(deep, "onMetaData");
    deep.push_back(0x03);
    amfString(deep, "duration");
    amfNumber(deep, 7.0);
    for (int k = 0; k < 1000; ++k) {
        amfString(deep, "x");
        deep.push_back(0x03);
    }
    Bytes wide = {0x02};
    amfString(wide, "onMetaData");
    wide.push_back(0x08);
    put32(wide, 0xFFFFFFFF);
    amfString(wide, "duration");
    amfNumber(wide, 7.0);
    amfString(wide, "a");
    wide.push_back(0x0A); // strict array
    put32(wide, 0xFFFFFFFF);
    Bytes longText = {0x02};
    amfString(longText, "onMetaData");
    longText.push_back(0x08);
    put32(longText, 1);
    amfString(longText, "duration");
    amfNumber(longText, 7.0);
    amfString(longText, "title");
    longText.insert(longText.end(), {0x0C, 0xFF, 0xFF, 0xFF, 0xFF, 'a'});
    for (const Bytes& script : {deep, wide, longText}) {
        Bytes b = flvHeader();
        append(b, flvTag(18, 0, script));
        append(b, flvTag(9, 0, sparkFrame()));
        const FlvFile f = read(b);
        EXPECT_EQ(f.status, FlvStatus::ok);
        EXPECT_TRUE(f.hasMetadata);
        EXPECT_DOUBLE_EQ(f.metaSeconds, 7.0);
        EXPECT_FALSE(f.metadata.complete);
    }
}

// Each AMF0 value type walked past or kept, in an object as well as an ECMA array.
TEST(FlvReader, AmfValueTypes) {
    for (uint8_t container : {uint8_t(0x03), uint8_t(0x08)}) {
        Bytes b = {0x02};
        amfString(b, "onMetaData");
        b.push_back(container);
        if (container == 0x08) put32(b, 0);
        amfString(b, "stereo");
        b.insert(b.end(), {0x01, 0x01});
        amfString(b, "encoder");
        b.push_back(0x02);
        amfString(b, "Lavf");
        amfString(b, "comment");
        b.insert(b.end(), {0x0C, 0x00, 0x00, 0x00, 0x02, 'h', 'i'});
        amfString(b, "created");
        b.insert(b.end(), {0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        amfString(b, "nothing");
        b.push_back(0x05);
        amfString(b, "undefined");
        b.push_back(0x06);
        amfString(b, "ref");
        b.insert(b.end(), {0x07, 0x00, 0x01});
        amfString(b, "keyframes");
        b.push_back(0x03);
        amfString(b, "times");
        b.push_back(0x0A);
        put32(b, 2);
        amfNumber(b, 0.0);
        amfNumber(b, 1.0);
        b.insert(b.end(), {0x00, 0x00, 0x09});
        amfString(b, "duration");
        amfNumber(b, 3.5);
        b.insert(b.end(), {0x00, 0x00, 0x09});
        const AmfScript script = parseAmfScript(b.data(), b.size());
        ASSERT_TRUE(script.ok) << int(container);
        EXPECT_TRUE(script.complete);
        EXPECT_EQ(script.name, "onMetaData");
        EXPECT_EQ(script.entries.size(), 9u);
        EXPECT_TRUE(script.find("stereo")->value.boolean);
        EXPECT_EQ(script.find("encoder")->value.text, "Lavf");
        EXPECT_EQ(script.find("comment")->value.text, "hi");
        EXPECT_EQ(script.find("keyframes")->value.type, AmfValue::Type::other);
        EXPECT_DOUBLE_EQ(script.number("duration"), 3.5);
        EXPECT_DOUBLE_EQ(script.number("encoder", -1), -1);
    }
}

// Cut anywhere: a status, never a read past the bytes.
TEST(FlvReader, EveryTruncation) {
    const Bytes whole = smallFlv(4);
    std::vector<size_t> tagEnds; // where a cut leaves whole tags only
    for (size_t at = 13; at < whole.size();) {
        at += 11 + (size_t(whole[at + 1]) << 16 | size_t(whole[at + 2]) << 8 | whole[at + 3]) + 4;
        tagEnds.push_back(at);
    }
    for (size_t n = 0; n <= whole.size(); ++n) {
        const bool clean = std::find(tagEnds.begin(), tagEnds.end(), n) != tagEnds.end();
        const FlvFile f = read(Bytes(whole.begin(), whole.begin() + static_cast<long>(n)));
        if (n < 3) {
            EXPECT_EQ(f.status, FlvStatus::notFlv) << n;
        }
        if (n >= 3 && n < 13 + 11) {
            EXPECT_EQ(f.status, FlvStatus::noTags) << n;
        }
        if (n >= 13 + 11) {
            EXPECT_EQ(f.status, FlvStatus::ok) << n;
            EXPECT_EQ(f.has(FlvProblem::truncatedTag), !clean) << n;
        }
        EXPECT_LE(f.bytesRead, n);
    }
}

// A file larger than the head window: the last timestamp comes from the tail, walked
// back by the back pointers, or forward from a chain start when the last tag is cut;
// reads stay within the windows whatever length the file claims.
TEST(FlvReader, TailAndBudget) {
    const Bytes whole = smallFlv(2000, 80.0); // about 70 KB
    FlvLimits limits;
    limits.headBytes = 8 << 10;
    limits.tailBytes = 4 << 10;
    Bytes cut = whole;
    cut.resize(cut.size() - 7);
    struct Case {
        const Bytes* bytes;
        uint64_t claimed;
        bool truncated;
        double seconds;
    };
    for (const Case& c :
         {Case{&whole, whole.size(), false, 79.96}, Case{&cut, cut.size(), true, 79.96},
          Case{&whole, uint64_t(1) << 40, false, 0}, Case{&whole, ~uint64_t(0), false, 0}}) {
        CountingReader reader(c.bytes->data(), c.bytes->size(), c.claimed);
        const FlvFile f = readFlvFile(reader, limits);
        EXPECT_EQ(f.status, FlvStatus::ok) << c.claimed;
        EXPECT_TRUE(f.tailRead) << c.claimed;
        EXPECT_LE(reader.requested, limits.headBytes + limits.tailBytes) << c.claimed;
        EXPECT_EQ(f.has(FlvProblem::truncatedTag), c.truncated) << c.claimed;
        EXPECT_NEAR(f.tagSeconds(), c.seconds, 0.001) << c.claimed;
    }
}

// More tags than the cap: counted to the cap, then the walk stops and says so.
TEST(FlvReader, ManyTags) {
    Bytes b = flvHeader();
    const Bytes tag = flvTag(8, 0, {0x2F});
    for (int k = 0; k < 1001; ++k)
        append(b, tag);
    FlvLimits limits;
    limits.maxTags = 1000;
    const FlvFile f = read(b, limits);
    EXPECT_EQ(f.tagsRead, 1000u);
    EXPECT_TRUE(f.has(FlvProblem::tooManyTags));
}

} // namespace
} // namespace tavro

#include "analysis/ogm_header.h"

#include <gtest/gtest.h>

#include "tests/analysis/ogg/ogg_test_support.h"

namespace tavro {
namespace {

using test::Bytes;

struct CommentCase {
    const char* what;
    Bytes packet;
    bool ok;
};

Bytes withByte(Bytes b, size_t at, uint8_t v) {
    b[at] = v;
    return b;
}
Bytes cut(Bytes b, size_t drop) {
    b.resize(b.size() - drop);
    return b;
}

TEST(VorbisCommentPacket, AcceptsOnlyWellFormedBlocks) {
    const Bytes good = test::vorbisCommentPacket("vendor", {"A=1", "B"});
    // Offsets: 7 vendor length, 11 vendor, 17 count, 21 first length.
    const std::vector<CommentCase> cases = {
        {"well formed", good, true},
        {"no comments at all", test::vorbisCommentPacket("", {}), true},
        {"identification type", withByte(good, 0, 1), false},
        {"setup type", withByte(good, 0, 5), false},
        {"tag not vorbis", withByte(good, 3, 'X'), false},
        {"vendor length past the end", withByte(good, 10, 0x7F), false},
        {"count larger than the bytes can hold", withByte(good, 17, 200), false},
        {"count near 2^32", withByte(good, 20, 0xFF), false},
        {"comment length past the end", withByte(good, 21, 60), false},
        {"framing bit clear", withByte(good, good.size() - 1, 0), false},
        {"framing byte missing", cut(good, 1), false},
        {"stops inside the count", Bytes(good.begin(), good.begin() + 19), false},
        {"only the tag", Bytes(good.begin(), good.begin() + 7), false},
    };
    for (const auto& c : cases) {
        VorbisCommentBlock block;
        block.vendor = "stale";
        EXPECT_EQ(parseVorbisCommentPacket(c.packet.data(), c.packet.size(), block), c.ok)
            << c.what;
        if (!c.ok) {
            EXPECT_TRUE(block.vendor.empty() && block.comments.empty()) << c.what;
        }
    }
}

TEST(VorbisCommentPacket, KeepsVendorAndCommentsVerbatim) {
    const Bytes p = test::vorbisCommentPacket("ogmtools", {"LANGUAGE=English", "x=y=z", ""});
    VorbisCommentBlock block;
    ASSERT_TRUE(parseVorbisCommentPacket(p.data(), p.size(), block));
    EXPECT_EQ(block.vendor, "ogmtools");
    EXPECT_EQ(block.comments, (std::vector<std::string>{"LANGUAGE=English", "x=y=z", ""}));
}

TEST(OgmAudioFormatTag, ReadsHexDigitsUpToTheFirstOther) {
    const struct {
        const char sub[4];
        uint16_t tag;
    } cases[] = {
        {{'0', '0', '5', '5'}, 0x0055}, {{'2', '0', '0', '0'}, 0x2000},
        {{'0', '0', 'f', 'F'}, 0x00FF}, {{'F', 'F', 'F', 'F'}, 0xFFFF},
        {{'5', '5', 0, 0}, 0x0055},     {{'X', '0', '5', '5'}, 0},
        {{'0', '0', '5', 'g'}, 0x005},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ogmAudioFormatTag(c.sub), c.tag) << std::string(c.sub, 4);
}

TEST(ClassifyBosPage, NamesEachKindFromItsFirstBytes) {
    test::OgmFields text;
    text.type = "text";
    test::OgmFields odd;
    odd.type = "index";
    const Bytes shortVideo = cut(test::ogmHeaderPacket({}), 1);
    const struct {
        const char* what;
        Bytes body;
        OggStreamType type;
    } cases[] = {
        {"vorbis", test::vorbisIdentPacket(), OggStreamType::VorbisAudio},
        {"vorbis tag only", {1, 'v', 'o', 'r', 'b', 'i', 's'}, OggStreamType::VorbisAudio},
        {"vorbis cut short", {1, 'v', 'o', 'r', 'b', 'i'}, OggStreamType::Unknown},
        {"ogm video", test::ogmHeaderPacket({}), OggStreamType::Video},
        {"ogm audio", test::ogmHeaderPacket(test::ogmAudio("0055", 2, 44100, 16000)),
         OggStreamType::StandardAudio},
        {"ogm text", test::ogmHeaderPacket(text), OggStreamType::Text},
        {"ogm other type", test::ogmHeaderPacket(odd), OggStreamType::Unknown},
        {"ogm header one byte short", shortVideo, OggStreamType::Unknown},
        {"ogm type byte 0x09", withByte(test::ogmHeaderPacket({}), 0, 9), OggStreamType::Video},
        {"ogm type byte 0x02", withByte(test::ogmHeaderPacket({}), 0, 2), OggStreamType::Unknown},
        {"theora", {0x80, 't', 'h', 'e', 'o', 'r', 'a'}, OggStreamType::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(classifyBosPage(c.body.data(), c.body.size()), c.type) << c.what;
}

TEST(OgmHeader, ShortPacketReadsAsZerosBeyondItsEnd) {
    Bytes full = test::ogmHeaderPacket({});
    OgmStreamHeader h;
    ASSERT_TRUE(parseOgmHeader(full.data(), full.size(), h));
    EXPECT_EQ(h.widthOrAudio, 320u);
    EXPECT_EQ(h.heightOrAvgRate, 240u);
    EXPECT_EQ(h.timeUnit, 400000u);
    // Cut inside the width: what lies past the packet must not be read.
    ASSERT_TRUE(parseOgmHeader(full.data(), 1 + 46, h));
    EXPECT_EQ(h.widthOrAudio, 320u & 0xFFFF);
    EXPECT_EQ(h.heightOrAvgRate, 0u);
    EXPECT_FALSE(parseOgmHeader(full.data(), 1, h));
    EXPECT_EQ(h.timeUnit, 0u);
}

} // namespace
} // namespace tavro

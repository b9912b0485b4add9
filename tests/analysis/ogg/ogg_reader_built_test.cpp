// Byte-built Ogg input: each case differs from a clean file in one way.
#include "analysis/ogg_reader.h"

#include <gtest/gtest.h>

#include "tests/analysis/ogg/ogg_test_support.h"

namespace tavro {
namespace {

using test::Bytes;
using test::le16;
using test::le32;
using test::OggBuilder;

OggBuilder& vorbis(OggBuilder& b, int serial, const test::VorbisIdent& id = {},
                   const std::vector<std::string>& comments = {"TITLE=Tone"}) {
    return b.packet(serial, test::vorbisIdentPacket(id))
        .packet(serial, test::vorbisCommentPacket("Tavro test", comments));
}

int read(const Bytes& b, OggReadResult& r) {
    return readOggStreams(b.data(), b.size(), r);
}

Bytes cleanVorbis() {
    OggBuilder b;
    return vorbis(b, 0).bytes();
}

Bytes withSerial(Bytes b, uint32_t serial) {
    test::editPages(b, [&](ogg_page& p) { test::setSerial(p, serial); });
    return b;
}

TEST(OggReader, ResultCodes) {
    struct Case {
        const char* what;
        Bytes bytes;
        int code;
    };
    std::vector<Case> cases;
    cases.push_back({"clean vorbis, serial 0", cleanVorbis(), kOggOk});
    cases.push_back({"nothing but the capture pattern", {'O', 'g', 'g', 'S'}, kOggOk});
    cases.push_back({"serial 7", withSerial(cleanVorbis(), 7), kOggPageRefused});
    {
        Bytes b = cleanVorbis();
        b.resize(b.size() - 5); // the last page is cut: the walk just ends
        cases.push_back({"cut inside the last page", b, kOggOk});
    }
    {
        OggBuilder b;
        b.packet(0, test::vorbisIdentPacket()).raw({'J', 'U', 'N', 'K'});
        b.packet(0, test::vorbisCommentPacket("v", {}));
        cases.push_back({"bytes between pages", b.bytes(), kOggLostSync});
    }
    {
        Bytes b = cleanVorbis();
        b[b.size() - 3] ^= 0x40; // body byte changed, checksum left stale
        cases.push_back({"bad page checksum", b, kOggLostSync});
    }
    {
        Bytes b = cleanVorbis();
        b[0] = 'o';
        cases.push_back({"bad capture pattern", b, kOggLostSync});
    }
    {
        OggBuilder b;
        for (int s = 0; s < 10; ++s)
            b.packet(s, test::vorbisIdentPacket());
        cases.push_back({"ten streams", b.bytes(), kOggOk});
        b.packet(10, test::vorbisIdentPacket());
        cases.push_back({"eleven BOS pages", b.bytes(), kOggTooManyStreams});
    }
    {
        OggBuilder b;
        b.packet(0, test::vorbisIdentPacket()).packet(0, test::vorbisCommentPacket("v", {}));
        Bytes bytes = b.bytes();
        bool second = false;
        test::editPages(bytes, [&](ogg_page& p) {
            if (second) test::setSerial(p, 12);
            second = true;
        });
        cases.push_back({"later page numbered 12", bytes, kOggTooManyStreams});
    }
    {
        OggBuilder b;
        b.packet(0, test::vorbisIdentPacket());
        OggBuilder other; // a non-BOS page of a stream that never began
        other.packet(3, test::vorbisIdentPacket()).packet(3, test::vorbisCommentPacket("v", {}));
        const Bytes& o = other.bytes();
        const size_t firstLen = 28 + 30; // one segment, 30-byte body
        b.raw(Bytes(o.begin() + firstLen, o.end()));
        cases.push_back({"page of a stream without BOS", b.bytes(), kOggPageRefused});
    }
    {
        OggBuilder full, holed;
        const Bytes p1 = test::vorbisCommentPacket("one", {});
        const Bytes p2 = test::vorbisCommentPacket("two", {});
        full.packet(0, test::vorbisIdentPacket()).packet(0, p1).packet(0, p2);
        holed.packet(0, test::vorbisIdentPacket()).packet(0, p1);
        // Drop the middle page: the third page's sequence number leaves a hole.
        const Bytes& f = full.bytes();
        const size_t twoPages = holed.bytes().size();
        const size_t onePage = 28 + 30;
        Bytes b(f.begin(), f.begin() + onePage);
        b.insert(b.end(), f.begin() + twoPages, f.end());
        cases.push_back({"missing page", b, kOggPacketGap});
    }
    for (const auto& c : cases) {
        OggReadResult r;
        EXPECT_EQ(read(c.bytes, r), c.code) << c.what;
        if (c.code != kOggOk) {
            EXPECT_FALSE(r.audioWritten) << c.what;
            EXPECT_TRUE(r.comments.empty()) << c.what;
        }
    }
}

TEST(OggReader, VorbisStreamFillsTheFirstAudioSlot) {
    struct Case {
        const char* what;
        test::VorbisIdent id;
        uint32_t streams, avgBytes, mode;
    };
    const Case cases[] = {
        {"variable", {2, 44100, -1, 128000, -1}, 1, 16000, 2},
        {"constant", {1, 22050, 64000, 64000, 64000}, 1, 8000, 1},
        {"nominal not a multiple of 8", {2, 48000, 0, 112003, 0}, 1, 14000, 2},
        {"no nominal rate", {2, 44100, 160000, 0, 96000}, 0, 0, 0},
        {"negative nominal rate", {2, 44100, -1, -8000, -1}, 1, 0, 2},
    };
    for (const auto& c : cases) {
        OggBuilder b;
        OggReadResult r;
        ASSERT_EQ(read(vorbis(b, 0, c.id).bytes(), r), kOggOk) << c.what;
        EXPECT_TRUE(r.audioWritten);
        ASSERT_EQ(r.audioStreams, c.streams) << c.what;
        if (!c.streams) continue;
        const uint8_t* w = r.audioFormat[0];
        EXPECT_EQ(le16(w + kWaveFormatTag), 0x674F) << c.what;
        EXPECT_EQ(le16(w + kWaveChannels), c.id.channels) << c.what;
        EXPECT_EQ(le32(w + kWaveSamplesPerSec), c.id.rate) << c.what;
        EXPECT_EQ(le32(w + kWaveAvgBytesPerSec), c.avgBytes) << c.what;
        EXPECT_EQ(r.rateMode[0], c.mode) << c.what;
    }
}

TEST(OggReader, AudioOnlyLeavesTheVideoModelAlone) {
    OggReadResult r;
    ASSERT_EQ(read(cleanVorbis(), r), kOggOk);
    EXPECT_FALSE(r.hasVideo);
    EXPECT_EQ(r.videoStreams, 0u);
    for (uint8_t byte : r.mainHeader)
        EXPECT_EQ(byte, 0);
    for (uint8_t byte : r.videoFormat)
        EXPECT_EQ(byte, 0);
}

TEST(OggReader, CommentRowsOfStreamZeroOnly) {
    OggBuilder b;
    vorbis(b, 0, {}, {"ARTIST=Someone", "no equals sign", "EQ=a=b", "=lead"});
    vorbis(b, 1, {}, {"HIDDEN=yes"});
    OggReadResult r;
    ASSERT_EQ(read(b.bytes(), r), kOggOk);
    EXPECT_EQ(r.audioStreams, 2u);
    const std::vector<std::vector<std::string>> want = {
        {"aud", "VENDOR", "Tavro test"},
        {"aud", "ARTIST", "Someone"},
        {"aud", "", "no equals sign"},
        {"aud", "EQ", "a=b"},
        {"aud", "", "lead"},
    };
    ASSERT_EQ(r.comments.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_STREQ(r.comments[i].source, want[i][0].c_str()) << i;
        EXPECT_EQ(r.comments[i].name, want[i][1]) << i;
        EXPECT_EQ(r.comments[i].value, want[i][2]) << i;
    }
}

TEST(OggReader, PacketSpanningPagesIsHandledOnceWhole) {
    // A comment header too long for one page: its first page yields no packet.
    const std::string big = "BLOB=" + std::string(70000, 'x');
    OggBuilder b;
    vorbis(b, 0, {}, {big, "AFTER=1"});
    OggReadResult r;
    ASSERT_EQ(read(b.bytes(), r), kOggOk);
    ASSERT_EQ(r.comments.size(), 3u);
    EXPECT_EQ(r.comments[1].value.size(), 70000u);
    EXPECT_EQ(r.comments[2].name, "AFTER");
    EXPECT_EQ(r.audioStreams, 1u);
}

TEST(OggReader, OgmVideoAudioAndText) {
    test::OgmFields text;
    text.type = "text";
    OggBuilder b;
    b.packet(0, test::ogmHeaderPacket({}));
    b.packet(1, test::ogmHeaderPacket(test::ogmAudio("2000", 6, 48000, 56000)));
    b.packet(2, test::ogmHeaderPacket(text));
    b.packet(0, test::vorbisCommentPacket("ogm", {"LANGUAGE=English", "bare"}));
    OggReadResult r;
    ASSERT_EQ(read(b.bytes(), r), kOggOk);
    EXPECT_EQ(r.streamCount, 3);
    ASSERT_TRUE(r.hasVideo);
    EXPECT_EQ(r.videoStreams, 1u);
    EXPECT_EQ(le32(r.mainHeader + kAvihMicroSecPerFrame), 40000u);
    EXPECT_EQ(le32(r.mainHeader + kAvihWidth), 320u);
    EXPECT_EQ(le32(r.mainHeader + kAvihHeight), 240u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(r.videoHeader + kStrhHandler), 4), "XVID");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(r.videoHeader + kStrhType), 4), "XVID");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(r.videoFormat + kBihCompression), 4), "XVID");
    ASSERT_EQ(r.audioStreams, 1u);
    const uint8_t* w = r.audioFormat[0];
    EXPECT_EQ(le16(w + kWaveFormatTag), 0x2000);
    EXPECT_EQ(le16(w + kWaveChannels), 6);
    EXPECT_EQ(le32(w + kWaveSamplesPerSec), 48000u);
    EXPECT_EQ(le32(w + kWaveAvgBytesPerSec), 56000u);
    EXPECT_EQ(r.rateMode[0], 0u);
    ASSERT_EQ(r.comments.size(), 3u);
    EXPECT_STREQ(r.comments[0].source, "vid");
    EXPECT_EQ(r.comments[0].value, "ogm");
    EXPECT_EQ(r.comments[1].name, "LANGUAGE");
    EXPECT_EQ(r.comments[2].name, "");
}

TEST(OggReader, VideoCommentHeaderMustBeWellFormed) {
    Bytes bad = test::vorbisCommentPacket("ogm", {"A=1"});
    bad[10] = 0x40; // vendor length far past the packet
    OggBuilder b;
    b.packet(0, test::ogmHeaderPacket({})).packet(0, bad);
    b.packet(0, test::vorbisCommentPacket("second", {})); // a later good one is taken
    OggReadResult r;
    ASSERT_EQ(read(b.bytes(), r), kOggOk);
    ASSERT_EQ(r.comments.size(), 1u);
    EXPECT_EQ(r.comments[0].value, "second");
}

TEST(OggReader, ShortOgmHeaderPacketIsNotReadPastItsEnd) {
    // The BOS page is long enough to look like an OGM header, but its first
    // packet stops before the frame size; the next packet must not be read as it.
    Bytes head = test::ogmHeaderPacket({});
    head.resize(1 + 44);
    const Bytes page = test::handPage(0, 0x02, 0, {head, Bytes(40, 0xEE)});
    OggReadResult r;
    ASSERT_EQ(read(page, r), kOggOk);
    ASSERT_TRUE(r.hasVideo);
    EXPECT_EQ(le32(r.mainHeader + kAvihMicroSecPerFrame), 40000u);
    EXPECT_EQ(le32(r.mainHeader + kAvihWidth), 0u);
    EXPECT_EQ(le32(r.mainHeader + kAvihHeight), 0u);
}

TEST(OggReader, AudioStreamsBeyondTheThirdAreDropped) {
    OggBuilder b;
    for (int s = 0; s < 5; ++s)
        vorbis(b, s, {2, 8000u + 1000u * s, -1, 64000, -1});
    OggReadResult r;
    ASSERT_EQ(read(b.bytes(), r), kOggOk);
    EXPECT_EQ(r.audioStreams, 3u);
    EXPECT_EQ(r.audioStreamsDropped, 2u);
    for (int n = 0; n < 3; ++n)
        EXPECT_EQ(le32(r.audioFormat[n] + kWaveSamplesPerSec), 8000u + 1000u * n);
}

TEST(OggReader, FailureKeepsTheVideoAlreadyWritten) {
    OggBuilder b;
    b.packet(0, test::ogmHeaderPacket({}));
    vorbis(b, 5); // BOS in slot 1 but numbered 5: refused
    OggReadResult r;
    EXPECT_EQ(read(b.bytes(), r), kOggPageRefused);
    EXPECT_TRUE(r.hasVideo);
    EXPECT_EQ(r.videoStreams, 1u);
    EXPECT_FALSE(r.audioWritten);
}

TEST(OggReader, EachReadStartsAfresh) {
    OggBuilder video;
    video.packet(0, test::ogmHeaderPacket({}));
    OggReadResult r;
    ASSERT_EQ(read(video.bytes(), r), kOggOk);
    ASSERT_TRUE(r.hasVideo);
    ASSERT_EQ(read(cleanVorbis(), r), kOggOk);
    EXPECT_FALSE(r.hasVideo);
    EXPECT_EQ(r.videoStreams, 0u);
    EXPECT_EQ(r.comments.size(), 2u);
}

} // namespace
} // namespace tavro

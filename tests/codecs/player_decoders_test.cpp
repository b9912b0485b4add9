#include "codecs/player_decoders.h"

#include <gtest/gtest.h>

#include "codecs/media_guids.h"
#include "tests/codecs/fake_codec_sources.h"

namespace tavro {
namespace {

uint32_t fcc(const char* text) {
    return fourccGuid(text).Data1;
}

MftEntry decoderMft(const char* name, const Guid& category, std::vector<Guid> inputs,
                    bool hasMerit = false, uint32_t merit = 0, uint32_t clsidTail = 1) {
    MftEntry e;
    e.name = name;
    e.category = category;
    e.clsid = Guid{0x11110000u + clsidTail, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
    e.hasMerit = hasMerit;
    e.merit = merit;
    for (const Guid& g : inputs)
        e.inputs.push_back(
            {category == kMftCategoryVideoDecoder ? kMediaTypeVideo : kMediaTypeAudio, g});
    return e;
}

// A machine whose own (32- or 64-bit) DirectShow, other architecture and Media
// Foundation each may or may not hold an XviD decoder.
struct Machine {
    FakeMachine m;
    CodecInventories inv;

    Machine(int ownBits, bool own, bool other, bool mf, bool ownFileMissing = false) {
        if (own) {
            const std::string clsid = "{00000000-0000-0000-0000-000000000001}";
            m.directShow.categories.push_back(
                {kVideoCompressorCategory, {moniker("Xvid Decoder", clsid, "XVID")}});
            if (!ownFileMissing) {
                m.registry.setServer(clsid, "C:\\xvid.dll");
                m.files.plainFiles.push_back("C:\\xvid.dll");
            }
        }
        m.mft.transforms.push_back(
            decoderMft("H264 MFT", kMftCategoryVideoDecoder, {fourccGuid("H264")}, false, 0, 7));
        if (mf)
            m.mft.transforms.push_back(
                decoderMft("Xvid MFT", kMftCategoryVideoDecoder, {fourccGuid("XVID")}));
        CodecSources s = m.sources();
        s.mft = &m.mft;
        s.ownBits = ownBits;
        CodecDatabase db;
        inv.video = VideoCodecInventory::create();
        inv.video->build(s, 0xFFFFFFFF, db);
        inv.audio = AudioCodecInventory::create();
        inv.audio->build(s, 0xFFFFFFFF);
        inv.mft = std::make_unique<MftInventory>();
        inv.mft->build(s, 0xFFFFFFFF);
        inv.otherArch = std::make_unique<std::vector<OtherArchCodec>>();
        if (other) {
            OtherArchCodec c;
            c.bits = 96 - ownBits;
            c.source = kSourceVfw;
            c.video = true;
            c.key = "XVID";
            c.name = "vidc.xvid";
            inv.otherArch->push_back(c);
        }
        inv.ownBits = ownBits;
        inv.otherBits = 96 - ownBits;
    }
};

TEST(PlayerDecoders, VerdictPerKindOfPlayer) {
    struct Case {
        const char* name;
        int ownBits;
        bool own, other, mf, ownFileMissing;
        bool ds32, ds64, mediaFoundation;
        const char* suffix;
    } cases[] = {
        {"32-bit only", 32, true, false, false, false, true, false, false,
         "Not installed for 64-bit or Media Foundation players"},
        {"64-bit only", 32, false, true, false, false, false, true, false,
         "Installed (DirectShow 64-bit)"},
        {"MF only", 32, false, false, true, false, false, false, true,
         "Installed (Media Foundation)"},
        {"none", 32, false, false, false, false, false, false, false, ""},
        {"all", 32, true, true, true, false, true, true, true, ""},
        {"64-bit process, no 32-bit", 64, true, false, true, false, false, true, true,
         "Not installed for 32-bit players"},
        {"64-bit process, only 32-bit", 64, false, true, false, false, true, false, false,
         "Installed (DirectShow 32-bit)"},
        // A record whose file is gone does not play; the others still can.
        {"own misconfigured", 32, true, false, true, true, false, false, true,
         "Installed (Media Foundation)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Machine machine(c.ownBits, c.own, c.other, c.mf, c.ownFileMissing);
        const PlayerDecoders d = findPlayerDecoders(StreamKind::video, {fcc("xvid")}, machine.inv);
        for (const PlayerDecoderList& list : d.kinds)
            EXPECT_TRUE(list.known);
        EXPECT_EQ(d.of(PlayerKind::DirectShow32).installed(), c.ds32);
        EXPECT_EQ(d.of(PlayerKind::DirectShow64).installed(), c.ds64);
        EXPECT_EQ(d.of(PlayerKind::MediaFoundation).installed(), c.mediaFoundation);
        EXPECT_EQ(playerStatusSuffix(d, c.ownBits), c.suffix);
        // The H.264 transform never answers for XviD.
        for (const PlayerDecoder& dec : d.of(PlayerKind::MediaFoundation).decoders)
            EXPECT_EQ(dec.name, "Xvid MFT");
    }
}

TEST(PlayerDecoders, KindsNotReadAreNeitherInstalledNorMissing) {
    Machine machine(32, true, true, true);
    machine.inv.otherBits = 0; // no other architecture on this system
    machine.inv.mft.reset();
    const PlayerDecoders d = findPlayerDecoders(StreamKind::video, {fcc("XVID")}, machine.inv);
    EXPECT_TRUE(d.of(PlayerKind::DirectShow32).known);
    EXPECT_FALSE(d.of(PlayerKind::DirectShow64).known);
    EXPECT_FALSE(d.of(PlayerKind::MediaFoundation).known);
    EXPECT_EQ(playerStatusSuffix(d, 32), "");

    // Media Foundation that could not be asked, on a system whose registry has no
    // transform categories either, says nothing.
    FakeMachine bare;
    bare.mft.present = false;
    CodecSources s = bare.sources();
    s.mft = &bare.mft;
    MftInventory mft;
    mft.build(s, 0xFFFFFFFF);
    EXPECT_FALSE(mft.consulted());
    bare.mft.present = true;
    mft.build(s, 0xFFFFFFFF);
    EXPECT_TRUE(mft.consulted());
}

TEST(PlayerDecoders, TransformsMatchFamilyKeysAndRankByMerit) {
    FakeMachine m;
    m.mft.transforms = {
        decoderMft("No merit", kMftCategoryVideoDecoder, {fourccGuid("H264")}, false, 0, 1),
        decoderMft("Low", kMftCategoryVideoDecoder, {fourccGuid("AVC1")}, true, 2, 2),
        decoderMft("High", kMftCategoryVideoDecoder, {fourccGuid("h264")}, true, 8, 3),
        // An encoder takes H.264 out, not in; a decoder of another category is not asked.
        decoderMft("Encoder", kMftCategoryVideoEncoder, {fourccGuid("H264")}, true, 9, 4),
        decoderMft("AAC", kMftCategoryAudioDecoder, {tagGuid(0x1610)}, false, 0, 5),
    };
    CodecSources s = m.sources();
    s.mft = &m.mft;
    s.ownBits = 64;
    CodecInventories inv;
    inv.mft = std::make_unique<MftInventory>();
    inv.mft->build(s, 0xFFFFFFFF);
    inv.ownBits = 64;

    const PlayerDecoders video =
        findPlayerDecoders(StreamKind::video, {fcc("avc1"), fcc("H264")}, inv);
    const auto& list = video.of(PlayerKind::MediaFoundation).decoders;
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].name, "High");
    EXPECT_EQ(list[0].key, "H264"); // case is ignored; the key it accepted is named
    EXPECT_EQ(list[1].name, "Low");
    EXPECT_EQ(list[1].key, "avc1");
    EXPECT_EQ(list[2].name, "No merit");
    EXPECT_EQ(list[2].key, "H264");
    EXPECT_EQ(list[0].bits, 64);
    EXPECT_EQ(list[0].type, "MFT");
    // Without a video inventory the own kind is not known: nothing to add.
    EXPECT_FALSE(video.of(PlayerKind::DirectShow64).known);
    EXPECT_EQ(playerStatusSuffix(video, 64), "Installed (Media Foundation)");

    const PlayerDecoders audio = findPlayerDecoders(StreamKind::audio, {0x00FF, 0x1610}, inv);
    ASSERT_EQ(audio.of(PlayerKind::MediaFoundation).decoders.size(), 1u);
    EXPECT_EQ(audio.of(PlayerKind::MediaFoundation).decoders[0].key, "0x1610");

    // A made-up subtype is not installed for any kind of player.
    const PlayerDecoders madeUp = findPlayerDecoders(StreamKind::video, {fcc("ZQX9")}, inv);
    for (const PlayerDecoderList& l : madeUp.kinds)
        EXPECT_FALSE(l.installed());
    // A stream with no lookup kind has nothing to look up.
    const PlayerDecoders other = findPlayerDecoders(StreamKind::other, {fcc("H264")}, inv);
    EXPECT_FALSE(other.of(PlayerKind::MediaFoundation).known);
}

TEST(PlayerDecoders, OwnAndOtherListsKeepTheSearchOrder) {
    Machine machine(32, true, false, false);
    OtherArchCodec vfw{64, kSourceVfw, true, "XVID", "vidc.xvid", "xvid64.dll", {}};
    OtherArchCodec dmo{64, kSourceDmo, true, "xvid", "Xvid DMO", "xviddmo.dll", {}};
    OtherArchCodec audioRow{64, kSourceAcm, false, "XVID", "not video", "x.acm", {}};
    *machine.inv.otherArch = {vfw, audioRow, dmo};
    const PlayerDecoders d = findPlayerDecoders(StreamKind::video, {fcc("XVID")}, machine.inv);
    const auto& other = d.of(PlayerKind::DirectShow64).decoders;
    ASSERT_EQ(other.size(), 2u);
    EXPECT_EQ(other[0].type, "DMO");
    EXPECT_EQ(other[1].type, "VFW");
    const auto& own = d.of(PlayerKind::DirectShow32).decoders;
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(own[0].name, "Xvid Decoder");
    EXPECT_EQ(own[0].bits, 32);
    EXPECT_TRUE(own[0].works);
}

} // namespace
} // namespace tavro

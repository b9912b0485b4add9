#include "codecs/codec_status.h"

#include <gtest/gtest.h>

#include "codecs/media_guids.h"
#include "common/settings.h"
#include "tests/codecs/fake_codec_sources.h"
#include "tests/codecs/inventory_test_db.h"

namespace tavro {
namespace {

uint32_t fcc(const char* t) {
    return fourccGuid(t).Data1;
}

const char kNotInstalled[] = "Codec NOT Installed!  [more info...]";
const char kInstalled[] = "Codec IS Installed  (details...)";
const char kMisconfigured[] = "Codec Misconfigured!  [more info...]";

class CodecStatus : public ::testing::Test {
  protected:
    void SetUp() override {
        loadInventoryTestDb(db);
        m.directShow.categories.push_back(
            {kVideoCompressorCategory,
             {moniker("DivX 3 decoder", "{00000000-0000-0000-0000-000000000001}", "DIV3"),
              moniker("Xvid decoder", "{00000000-0000-0000-0000-000000000002}", "XVID"),
              moniker("DivX", "{00000000-0000-0000-0000-000000000003}", "DIVX")}});
        m.registry.setServer("{00000000-0000-0000-0000-000000000001}", "C:\\div3.dll");
        m.registry.setServer("{00000000-0000-0000-0000-000000000002}", "C:\\xvid.dll");
        m.files.plainFiles = {"C:\\div3.dll", "C:\\xvid.dll"};
        video = VideoCodecInventory::create();
        CodecSources s = m.sources();
        video->build(s, 0xFFFFFFFF, db);
    }
    CodecDatabase db;
    FakeMachine m;
    std::unique_ptr<VideoCodecInventory> video;
};

TEST_F(CodecStatus, VideoFourccTextNameAndStatus) {
    struct Case {
        const char* handler;
        uint32_t compression;
        const char* fourccText;
        const char* name;
        int installed;
        const char* status;
        const char* alternate;
    };
    const Case cases[] = {
        {"divx", fcc("DIVX"), "divx", "DivX 4", 2, kMisconfigured, ""}, // no server file
        {"DIVX", fcc("DX50"), "DX50/DIVX", "DivX 4", -1, kNotInstalled, ""},
        {"", 0, "(_RGB)", "Uncompressed RGB", -2, "No Codec Needed", ""},
        {"xvid", 1, "xvid(_RL8)", "XviD", -1, kNotInstalled,
         ""}, // no entry for _RL8: the handler names it
        {"div4", fcc("div3"), "div3/div4", "DivX 3 fast", 0, kInstalled, "DIV3"},
        {"xvid", fcc("XVID"), "xvid", "XviD", 1, kInstalled, ""},
        // unknown compression: named by the handler, searched by the compression
        {"XVID", fcc("FMP4"), "FMP4/XVID", "XviD", -1, kNotInstalled, ""},
    };
    for (const Case& c : cases) {
        const uint32_t handler = c.handler[0] ? fcc(c.handler) : 0;
        VideoCodecStatus s =
            resolveVideoCodec({c.compression, handler, kRunModeFull}, db, video.get());
        EXPECT_EQ(s.fourccText, c.fourccText) << c.fourccText;
        EXPECT_EQ(s.name.text, c.name) << c.fourccText;
        EXPECT_EQ(s.installedIndex, c.installed) << c.fourccText;
        EXPECT_EQ(s.status.text, c.status) << c.fourccText;
        EXPECT_TRUE(s.status.written && s.status.enabled) << c.fourccText;
        EXPECT_STREQ(s.alternateFourcc, c.alternate) << c.fourccText;
        if (c.installed >= 0) {
            EXPECT_EQ(s.name.linkTarget, "tavro://" + std::to_string(c.installed) + ".video.codec");
            EXPECT_EQ(s.name.secondaryText, video->record(c.installed).name);
        } else {
            EXPECT_EQ(s.name.linkTarget, "") << c.fourccText;
        }
    }
}

TEST_F(CodecStatus, InformationOnlyModeClearsAndDisablesTheStatusFields) {
    auto empty = VideoCodecInventory::create();
    VideoCodecStatus v =
        resolveVideoCodec({fcc("XVID"), fcc("XVID"), kRunModeInformationOnly}, db, empty.get());
    EXPECT_FALSE(v.status.enabled);
    EXPECT_TRUE(v.status.clear);
    EXPECT_FALSE(v.status.written);
    EXPECT_EQ(v.installedIndex, -1);
    EXPECT_EQ(v.name.text, "XviD"); // the name still comes from the data base
    AudioCodecStatus a = resolveAudioCodec({1, 0, "", kRunModeInformationOnly}, db, nullptr);
    EXPECT_FALSE(a.status.written);
    EXPECT_EQ(a.name.text, "PCM Audio");
}

TEST_F(CodecStatus, AudioNamesStatusesAndLinks) {
    auto audio = AudioCodecInventory::create();
    FakeMachine am;
    am.acm.drivers.push_back(acmDriver("IMA", {acmTag(0x11, "IMA ADPCM")}));
    am.acm.drivers.push_back(acmDriver("MP3", {acmTag(0x55, "MPEG Layer-3")}));
    am.acm.drivers.push_back(acmDriver("GSM", {acmTag(0x31, "GSM 6.10")}));
    am.acm.drivers.push_back(acmDriver("MPEG", {acmTag(0x50, "MPEG")}));
    // Records 0..3 from ACM, 4 a DirectShow filter without a file, 5 one with a file.
    am.directShow.categories.push_back(
        {kAudioCompressorCategory,
         {moniker("Linked missing", "{00000000-0000-0000-0000-000000000004}"),
          moniker("Linked fine", "{00000000-0000-0000-0000-000000000005}")}});
    am.registry.setServer("{00000000-0000-0000-0000-000000000005}", "C:\\fine.dll");
    am.files.companies["C:\\fine.dll"] = "X";
    CodecSources s = am.sources();
    audio->build(s, 0xFFFFFFFF);
    ASSERT_EQ(audio->count(), 6);
    // Hand-set the states the ACM registry would give.
    auto& recs = const_cast<AudioCodecRecord&>(audio->record(1));
    recs.link = 4;
    recs.disabled = 1;
    auto& gsm = const_cast<AudioCodecRecord&>(audio->record(2));
    gsm.link = 5;
    const_cast<AudioCodecRecord&>(audio->record(5)).disabled = 1;
    auto& mpeg = const_cast<AudioCodecRecord&>(audio->record(3));
    mpeg.missing = 1;

    struct Case {
        uint16_t tag;
        int verdict;
        const char* name;
        int installed;
        const char* status;
    };
    const Case cases[] = {
        {1, 0, "PCM Audio", -2, "PCM: No Codec Required"},
        {0x11, 0, "ima_adpcm (0x0011) IMA ADPCM", 0, kInstalled},
        {0x55, 1, "0x0055(MP3) ID'd as MPEG-1 Layer 3", 1,
         kMisconfigured}, // link missing beats disabled
        {0x55, 0, "mpeglayer3 (0x0055) MPEG Layer-3", 1, kMisconfigured},
        {0x31, 0, "0x0031: <unknown>", 2, "Codec is Disabled!  [more info...]"},
        {0x50, 2, "0x0050(MPEG) ID'd as MPEG-1 Layer 3", 3, kMisconfigured},
        {0x161, 1, "0x0161: <unknown>", -1, kNotInstalled},
    };
    for (const Case& c : cases) {
        AudioCodecStatus st =
            resolveAudioCodec({c.tag, c.verdict, "MPEG-1 Layer 3", kRunModeFull}, db, audio.get());
        EXPECT_EQ(st.name.text, c.name) << c.tag;
        EXPECT_EQ(st.installedIndex, c.installed) << c.tag;
        EXPECT_EQ(st.status.text, c.status) << c.tag;
        EXPECT_EQ(st.name.linkTarget,
                  c.installed >= 0 ? "tavro://" + std::to_string(c.installed) + ".audio.codec" : "")
            << c.tag;
    }
}

TEST_F(CodecStatus, MissingInventoriesFindNothing) {
    VideoCodecStatus v = resolveVideoCodec({fcc("XVID"), fcc("XVID"), kRunModeFull}, db, nullptr);
    EXPECT_EQ(v.status.text, kNotInstalled);
    AudioCodecStatus a = resolveAudioCodec({0x55, 0, "", kRunModeFull}, db, nullptr);
    EXPECT_EQ(a.status.text, kNotInstalled);
    EXPECT_EQ(a.entrySlot, 1);
}

} // namespace
} // namespace tavro

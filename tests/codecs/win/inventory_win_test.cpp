// The inventories over the codec systems Wine really ships.
#include <windows.h>

#include <dmo.h>
#include <dmodshow.h>
#include <dshow.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "codecs/codec_inventories.h"
#include "codecs/codec_status.h"
#include "codecs/media_guids.h"
#include "codecs/win/win_codec_sources.h"

namespace tavro {
namespace {

uint32_t fcc(const char* t) {
    return static_cast<uint32_t>(static_cast<unsigned char>(t[0])) |
           static_cast<uint32_t>(static_cast<unsigned char>(t[1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(t[2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(t[3])) << 24;
}

class WineInventory : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        CoInitialize(nullptr);
        db = new CodecDatabase;
        ASSERT_TRUE(db->load(platformFileSystem(), prompter));
        full = build(0xFFFFFFFF);
    }
    static void TearDownTestSuite() {
        delete full;
        delete db;
        CoUninitialize();
    }
    static CodecInventories* build(uint32_t bits) {
        auto* inv = new CodecInventories;
        WinCodecSystem system;
        CodecSources sources = system.sources();
        Settings settings;
        settings.enableBits = bits;
        ensureCodecInventories(*inv, {sources, *db, settings, prompter});
        return inv;
    }
    static const VideoCodecRecord* videoNamed(const CodecInventories& inv, const char* name) {
        for (int i = 0; i < inv.video->count(); ++i)
            if (std::strcmp(inv.video->record(i).name, name) == 0) return &inv.video->record(i);
        return nullptr;
    }
    // Records per source, video and audio apart.
    static std::map<int, int> sourceCounts(const CodecInventories& inv) {
        std::map<int, int> counts;
        for (int i = 0; i < inv.video->count(); ++i)
            ++counts[10 + inv.video->record(i).source];
        for (int i = 0; i < inv.audio->count(); ++i)
            ++counts[20 + inv.audio->record(i).source];
        return counts;
    }
    static SilentPrompter prompter;
    static CodecDatabase* db;
    static CodecInventories* full;
};
SilentPrompter WineInventory::prompter;
CodecDatabase* WineInventory::db = nullptr;
CodecInventories* WineInventory::full = nullptr;

bool same(const Guid& ours, const GUID& sdk) {
    return std::memcmp(&ours, &sdk, sizeof sdk) == 0;
}

TEST_F(WineInventory, OurIdentifiersAreTheSdkOnes) {
    EXPECT_TRUE(same(kMediaTypeVideo, MEDIATYPE_Video));
    EXPECT_TRUE(same(kMediaTypeAudio, MEDIATYPE_Audio));
    EXPECT_TRUE(same(kMediaSubtypePcm, MEDIASUBTYPE_PCM));
    EXPECT_TRUE(same(kMediaTypeMpeg2Pes, MEDIATYPE_MPEG2_PES));
    EXPECT_TRUE(same(kMediaSubtypeMpeg1Audio, MEDIASUBTYPE_MPEG1Audio));
    EXPECT_TRUE(same(kVideoCompressorCategory, CLSID_VideoCompressorCategory));
    EXPECT_TRUE(same(kAudioCompressorCategory, CLSID_AudioCompressorCategory));
    EXPECT_TRUE(same(kDmoWrapperFilter, CLSID_DMOWrapperFilter));
    EXPECT_TRUE(same(kDmoCategoryVideoDecoder, DMOCATEGORY_VIDEO_DECODER));
    EXPECT_TRUE(same(kDmoCategoryAudioDecoder, DMOCATEGORY_AUDIO_DECODER));
    Guid legacy{};
    ASSERT_TRUE(parseRegistryGuid(kFilterInstanceKey + 6, 38, &legacy));
    EXPECT_TRUE(same(legacy, CLSID_LegacyAmFilterCategory));
}

TEST_F(WineInventory, AudioHoldsWinesAcmCodecs) {
    for (const char* tag : {"0x0011", "0x0002", "0x0031", "0x0006", "0x0007", "0x0055"}) {
        const int i = full->audio->find(tag);
        ASSERT_GE(i, 0) << tag;
        EXPECT_EQ(full->audio->record(i).source, kSourceAcm) << tag;
        EXPECT_NE(full->audio->record(i).driverDetails.szLongName[0], '\0') << tag;
    }
    EXPECT_EQ(full->audio->find("0x0001"), -1); // PCM is never listed
    // The driver file and its vendor come from the driver's registration, though Wine
    // keeps no driver cache: the MP3 decoder is l3codeca.acm.
    const AudioCodecRecord& mp3 = full->audio->record(full->audio->find("0x0055"));
    const std::string file = mp3.driverFile;
    ASSERT_GE(file.size(), 12u);
    EXPECT_EQ(_stricmp(file.substr(file.size() - 12).c_str(), "l3codeca.acm"), 0) << file;
    EXPECT_NE(mp3.version.get(kCompanyName)[0], '\0') << file;
    for (const char* tag : {"0x0011", "0x0002", "0x0031"})
        EXPECT_NE(full->audio->record(full->audio->find(tag)).driverFile[0], '\0') << tag;
}

TEST_F(WineInventory, VideoHoldsWinesVfwCodecsFromTheCompressorCategory) {
    for (const char* fourcc : {"cvid", "MRLE", "MSVC"}) {
        const int i = full->video->find(fourcc);
        ASSERT_GE(i, 0) << fourcc;
        const VideoCodecRecord& r = full->video->record(i);
        EXPECT_EQ(r.source, kSourceVfw) << fourcc;
        EXPECT_NE(r.friendlyName[0], '\0') << fourcc;
        EXPECT_NE(r.vfwName[0], '\0') << fourcc;
        EXPECT_EQ(r.missing, 0) << fourcc << " driver " << r.vfwDriver;
    }
}

TEST_F(WineInventory, DmoDecodersOfBothKinds) {
    const VideoCodecRecord* wmv = videoNamed(*full, "WMVideo Decoder DMO");
    ASSERT_NE(wmv, nullptr);
    EXPECT_EQ(wmv->source, kSourceDmo);
    EXPECT_NE(wmv->associatedFile[0], '\0'); // the DMO wrapper filter's file
    for (const char* name : {"WMAudio Decoder DMO", "MP3 Decoder DMO"}) {
        const int i = full->audio->findByName(name);
        ASSERT_GE(i, 0) << name;
        EXPECT_EQ(full->audio->record(i).source, kSourceDmo) << name;
        EXPECT_EQ(full->audio->record(i).formatTag(), 0u) << name;
    }
}

TEST_F(WineInventory, EachEnableBitRemovesExactlyItsSources) {
    const std::map<int, int> all = sourceCounts(*full);
    struct Case {
        uint32_t clear;
        std::vector<int> gone;  // video 10+source, audio 20+source
        std::vector<int> moved; // counted elsewhere after the change
    };
    const Case cases[] = {
        {kEnableDirectShow, {12, 13, 23}, {}},
        {kEnableDmo, {14, 24}, {}},
        {kEnableAcm, {21}, {}},
        {kEnableVfw, {12}, {13}}, // the same filters, now plain DirectShow entries
    };
    for (const Case& c : cases) {
        std::unique_ptr<CodecInventories> inv(build(0xFFFFFFFF & ~c.clear));
        std::map<int, int> got = sourceCounts(*inv);
        std::map<int, int> expected = all;
        int movedCount = 0;
        for (int g : c.gone) {
            movedCount += expected[g];
            expected.erase(g);
        }
        EXPECT_GT(movedCount, 0) << "nothing to remove for " << c.clear;
        for (int mv : c.moved)
            expected[mv] += movedCount;
        for (auto it = expected.begin(); it != expected.end();)
            it = it->second == 0 ? expected.erase(it) : std::next(it);
        EXPECT_EQ(got, expected) << "cleared " << c.clear;
    }
}

TEST_F(WineInventory, StatusOfRealCodecs) {
    VideoCodecStatus cvid =
        resolveVideoCodec({fcc("cvid"), fcc("cvid"), kRunModeFull}, *db, full->video.get());
    EXPECT_EQ(cvid.status.text, "Codec IS Installed  (details...)");
    EXPECT_EQ(cvid.name.linkTarget,
              "tavro://" + std::to_string(cvid.installedIndex) + ".video.codec");
    EXPECT_EQ(cvid.name.text, db->video(db->findVideoFormat("cvid")).name);
    VideoCodecStatus xvid =
        resolveVideoCodec({fcc("XVID"), fcc("xvid"), kRunModeFull}, *db, full->video.get());
    EXPECT_EQ(xvid.status.text, "Codec NOT Installed!  [more info...]");
    EXPECT_EQ(xvid.name.linkTarget, "");
    AudioCodecStatus mp3 =
        resolveAudioCodec({0x0055, 1, "MPEG-1 Layer 3", kRunModeFull}, *db, full->audio.get());
    EXPECT_EQ(mp3.status.text, "Codec IS Installed  (details...)");
    EXPECT_EQ(mp3.name.text, "0x0055(MP3) ID'd as MPEG-1 Layer 3");
    EXPECT_EQ(full->audio->record(mp3.installedIndex).source, kSourceAcm);
}

TEST(WineDriverFiles, VersionStringsOfOurOwnDll) {
    VersionStrings v;
    ASSERT_TRUE(readVersionStrings(VERSION_PROBE_PATH, &v));
    EXPECT_STREQ(v.get(kCompanyName), "Tavro Test Vendor");
    EXPECT_STREQ(v.get(kFileDescription), "Version probe for the driver-file tests");
    EXPECT_STREQ(v.get(kFileVersion), "2.1.0.7");
    EXPECT_STREQ(v.get(kOriginalFileName), "version_probe.dll");
    EXPECT_STREQ(v.get(kProductVersion), "2.1");
    EXPECT_STREQ(v.get(kComments), "A comment that is longer than most, to see it arrive whole and "
                                   "end where it should end.");
    EXPECT_STREQ(v.get(kLegalCopyright), "");
    EXPECT_STREQ(v.get(kSpecialBuild), "");
    EXPECT_TRUE(v.hasFixedInfo);
    uint32_t signature;
    std::memcpy(&signature, v.fixedInfo, 4);
    EXPECT_EQ(signature, 0xFEEF04BDu);

    EXPECT_FALSE(readVersionStrings("C:\\no\\such\\driver.dll", &v));
    EXPECT_STREQ(v.get(kCompanyName), "");
    EXPECT_FALSE(readVersionStrings("", &v));
}

TEST(WineDriverFiles, ExistenceOfFullPathsAndBareDriverNames) {
    WinDriverFileSource files;
    EXPECT_TRUE(files.fileExists(VERSION_PROBE_PATH));
    EXPECT_TRUE(files.fileExists("iccvid.dll")); // found where the loader would find it
    EXPECT_FALSE(files.fileExists("no_such_driver.dll"));
    EXPECT_FALSE(files.fileExists("C:\\no\\such\\driver.dll"));
    EXPECT_FALSE(files.fileExists(""));
}

} // namespace
} // namespace tavro

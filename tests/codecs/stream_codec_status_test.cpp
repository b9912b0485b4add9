#include "codecs/stream_codec_status.h"

#include <gtest/gtest.h>

#include "analysis/streams/codec_family.h"
#include "common/settings.h"
#include "tests/codecs/db_text.h"
#include "tests/codecs/fake_codec_sources.h"
#include "tests/codecs/recording_prompter.h"
#include "tests/support/memory_file_system.h"

namespace tavro {
namespace {

const char kMisconfigured[] = "Codec Misconfigured!  [more info...]";

uint32_t fcc(const char* text) {
    return fourccGuid(text).Data1;
}

StreamFacts videoStream(const char* family, uint32_t fourcc = 0) {
    StreamFacts s;
    s.kind = StreamKind::video;
    s.codec = family;
    s.fourcc = fourcc;
    return s;
}

StreamFacts audioStream(const char* family, uint16_t tag = 0) {
    StreamFacts s;
    s.kind = StreamKind::audio;
    s.codec = family;
    s.formatTag = tag;
    return s;
}

class StreamStatus : public ::testing::Test {
  protected:
    void SetUp() override {
        DbSections d;
        d.video = {"YUY2\tYUV 4:2:2\t*no codec", "XVID\tXviD\tXviD project",
                   "H264\tH.264\tVarious",       "avc1\tH.264 in MP4\tVarious",
                   "HEVC\tH.265\tVarious",       "VP90\tVP9\tGoogle",
                   "DIVX\tDivX 4\tDivX, Inc."};
        d.audio = {
            "0x0001\tWAVE_FORMAT_PCM\tPCM",          "0x0055\tWAVE_FORMAT_MPEGLAYER3\tMP3",
            "0x00ff\tWAVE_FORMAT_RAW_AAC1\tAAC raw", "0x1610\tWAVE_FORMAT_MPEG_HEAAC\tHE-AAC",
            "0x2000\tWAVE_FORMAT_DVM\tAC-3",         "0xf1ac\tWAVE_FORMAT_FLAC\tFLAC"};
        d.results = {"0x80040216\tVFW_E_NOT_FOUND\tNothing matched."};
        d.guids = {"{73646976-0000-0010-8000-00AA00389B71}\tMEDIATYPE_Video\tVideo"};
        test::MemoryFileSystem fs;
        fs.files["Tavro21.dat"] = dbText(d);
        RecordingPrompter prompter;
        ASSERT_TRUE(db.load(fs, prompter));

        // Video records: 0 AVC1, 1 HVC1 without its file, 2 HEV1, 3 X264, 4 XVID.
        const char* const files[] = {"C:\\avc.dll", "", "C:\\hev.dll", "C:\\x264.dll",
                                     "C:\\xvid.dll"};
        const char* const fourccs[] = {"AVC1", "HVC1", "HEV1", "X264", "XVID"};
        std::vector<FakeMoniker> monikers;
        for (int i = 0; i < 5; ++i) {
            const std::string clsid =
                "{00000000-0000-0000-0000-00000000000" + std::to_string(i + 1) + "}";
            monikers.push_back(moniker(std::string(fourccs[i]) + " decoder", clsid, fourccs[i]));
            if (files[i][0]) {
                m.registry.setServer(clsid, files[i]);
                m.files.plainFiles.push_back(files[i]);
            }
        }
        m.directShow.categories.push_back({kVideoCompressorCategory, monikers});
        m.acm.drivers.push_back(acmDriver("HE-AAC", {acmTag(0x1610, "HE-AAC")}));
        m.acm.drivers.push_back(acmDriver("AC-3", {acmTag(0x2000, "AC-3")}));
        m.acm.drivers.push_back(acmDriver("MP3", {acmTag(0x0055, "MPEG Layer-3")}));
        CodecSources s = m.sources();
        video = VideoCodecInventory::create();
        video->build(s, 0xFFFFFFFF, db);
        audio = AudioCodecInventory::create();
        audio->build(s, 0xFFFFFFFF);
        ASSERT_EQ(video->count(), 5);
        ASSERT_EQ(audio->count(), 3);
        ASSERT_EQ(video->record(1).missing, 1);
        const_cast<AudioCodecRecord&>(audio->record(1)).missing = 1; // the AC-3 driver
    }
    CodecDatabase db;
    FakeMachine m;
    std::unique_ptr<VideoCodecInventory> video;
    std::unique_ptr<AudioCodecInventory> audio;
};

TEST_F(StreamStatus, NameStatusAndMatchedKeyOverTheFamilysKeys) {
    struct Case {
        const char* what;
        StreamFacts stream;
        const char* name;
        const char* namedBy;
        int installed;
        const char* matched;
        const char* status;
    };
    const Case cases[] = {
        {"installed only under an alternative key", videoStream("AVC"), "H.264", "H264", 0, "AVC1",
         kCodecInstalledText},
        {"own key wins over the family's order", videoStream("AVC", fourccOf("X264")), "H.264",
         "H264", 3, "X264", kCodecInstalledText},
        {"own key names the stream when known", videoStream("AVC", fourccOf("avc1")),
         "H.264 in MP4", "avc1", 0, "avc1", kCodecInstalledText},
        {"a working decoder beats an earlier broken one", videoStream("HEVC"), "H.265", "HEVC", 2,
         "HEV1", kCodecInstalledText},
        {"no key installed", videoStream("VP9"), "VP9", "VP90", -1, "", kCodecNotInstalledText},
        {"no key the data base knows", videoStream("AV1"), "<unknown>", "", -1, "",
         kCodecNotInstalledText},
        {"raw video needs no codec", videoStream("", fourccOf("YUY2")), "YUV 4:2:2", "YUY2", -2,
         "YUY2", kNoCodecNeededText},
        {"AAC under its HE-AAC tag", audioStream("AAC"), "raw_aac1 (0x00ff) AAC raw", "0x00ff", 0,
         "0x1610", kCodecInstalledText},
        {"own tag unknown to the data base", audioStream("AAC", 0x1600),
         "raw_aac1 (0x00ff) AAC raw", "0x00ff", 0, "0x1610", kCodecInstalledText},
        {"only a broken decoder", audioStream("E-AC-3"), "dvm (0x2000) AC-3", "0x2000", 1, "0x2000",
         kMisconfigured},
        {"no audio key installed", audioStream("FLAC"), "flac (0xf1ac) FLAC", "0xf1ac", -1, "",
         kCodecNotInstalledText},
        {"audio unknown to the data base", audioStream("Opus"), "0x704f: <unknown>", "", -1, "",
         kCodecNotInstalledText},
        {"PCM", audioStream("PCM"), "PCM Audio", "0x0001", -2, "0x0001", kPcmNoCodecText},
        {"no family, own tag only", audioStream("", 0x0055), "mpeglayer3 (0x0055) MP3", "0x0055", 2,
         "0x0055", kCodecInstalledText},
    };
    for (const Case& c : cases) {
        StreamCodecStatus s =
            resolveStreamCodec(c.stream, kRunModeFull, db, video.get(), audio.get());
        EXPECT_EQ(s.kind, c.stream.kind) << c.what;
        EXPECT_EQ(s.name.text, c.name) << c.what;
        EXPECT_EQ(s.namedBy, c.namedBy) << c.what;
        EXPECT_EQ(s.installedIndex, c.installed) << c.what;
        EXPECT_EQ(s.matchedKey, c.matched) << c.what;
        EXPECT_EQ(s.status.text, c.status) << c.what;
        EXPECT_TRUE(s.status.written) << c.what;
        ASSERT_NE(s.entry, nullptr) << c.what;
        EXPECT_EQ(s.entrySlot == 0, c.namedBy[0] == '\0') << c.what;
        const char* table = c.stream.kind == StreamKind::video ? ".video.codec" : ".audio.codec";
        EXPECT_EQ(s.name.linkTarget,
                  c.installed >= 0 ? "tavro://" + std::to_string(c.installed) + table : "")
            << c.what;
        if (c.installed >= 0 && c.stream.kind == StreamKind::video) {
            EXPECT_EQ(s.name.secondaryText, video->record(c.installed).name) << c.what;
        }
    }
}

TEST_F(StreamStatus, NothingToLookUpReadsUnknownAndNotChecked) {
    StreamFacts subtitle;
    subtitle.kind = StreamKind::subtitle;
    subtitle.codec = "SubRip";
    StreamFacts openKind; // kind left open, family unknown
    openKind.codec = "Bogus";
    // The last one's FourCC starts with a zero byte and reads as "".
    const StreamFacts cases[] = {audioStream("TrueHD"),      audioStream("Nellymoser"), subtitle,
                                 videoStream("Bogus"),       videoStream(""),           openKind,
                                 videoStream("", 0x34363200)};
    for (const StreamFacts& stream : cases) {
        for (const VideoCodecInventory* v :
             {video.get(), static_cast<VideoCodecInventory*>(nullptr)}) {
            StreamCodecStatus s = resolveStreamCodec(stream, kRunModeFull, db, v, audio.get());
            EXPECT_EQ(s.name.text, "<unknown>") << stream.codec;
            EXPECT_EQ(s.status.text, kNoCodecKeyText) << stream.codec;
            EXPECT_EQ(s.installedIndex, kNoCodecInstalled) << stream.codec;
            EXPECT_EQ(s.keysTried, 0) << stream.codec;
            EXPECT_EQ(s.kind, StreamKind::other) << stream.codec;
            EXPECT_EQ(s.name.linkTarget, "") << stream.codec;
        }
    }
    // A family whose kind is known still gets its keys when the reader left the kind open.
    StreamFacts aac;
    aac.codec = "AAC";
    EXPECT_EQ(resolveStreamCodec(aac, kRunModeFull, db, nullptr, audio.get()).matchedKey, "0x1610");
}

TEST_F(StreamStatus, KeysTriedOwnFirstEachOnceIgnoringCase) {
    StreamCodecKeys k = streamCodecKeys(videoStream("AVC", fourccOf("avc1")));
    EXPECT_EQ(k.kind, StreamKind::video);
    const std::vector<uint32_t> avc = {fourccOf("avc1"), fourccOf("H264"), fourccOf("X264"),
                                       fourccOf("DAVC"), fourccOf("CCV1")};
    EXPECT_EQ(k.keys, avc);
    k = streamCodecKeys(audioStream("E-AC-3", 0x2000));
    EXPECT_EQ(k.keys, std::vector<uint32_t>{0x2000});
    // A key of the wrong kind's family is not borrowed.
    k = streamCodecKeys(videoStream("AAC", fourccOf("XVID")));
    EXPECT_EQ(k.keys, std::vector<uint32_t>{fourccOf("XVID")});
    EXPECT_EQ(streamCodecKeyText(StreamKind::video, 1), "_RL8");
    EXPECT_EQ(streamCodecKeyText(StreamKind::audio, 0x1610), "0x1610");
}

// Everything the report takes from a resolution, as one line to compare.
std::string shown(const CodecNameField& name, const CodecStatusField& status, int installed) {
    return name.text + "|" + name.linkTarget + "|" + name.secondaryText + "|" + status.text + "|" +
           std::to_string(status.enabled) + std::to_string(status.clear) +
           std::to_string(status.written) + "|" + std::to_string(installed);
}

// With one key and no family, the stream resolver and the AVI resolvers agree in every
// run mode.
TEST_F(StreamStatus, OneKeyAgreesWithTheAviResolversInEveryRunMode) {
    for (int32_t mode : {kRunModeFull, kRunModeInformationOnly}) {
        for (const char* key : {"XVID", "X264", "HVC1", "YUY2", "DIVX", "QQQQ"}) {
            VideoCodecStatus a = resolveVideoCodec({fcc(key), fcc(key), mode}, db, video.get());
            StreamCodecStatus b =
                resolveStreamCodec(videoStream("", fcc(key)), mode, db, video.get(), audio.get());
            EXPECT_EQ(shown(b.name, b.status, b.installedIndex),
                      shown(a.name, a.status, a.installedIndex));
            EXPECT_EQ(b.entrySlot, a.entrySlot) << key;
        }
        for (uint16_t tag : {0x0001, 0x0055, 0x1610, 0x2000, 0xf1ac, 0x9999}) {
            AudioCodecStatus a = resolveAudioCodec({tag, 0, "", mode}, db, audio.get());
            StreamCodecStatus b =
                resolveStreamCodec(audioStream("", tag), mode, db, video.get(), audio.get());
            EXPECT_EQ(shown(b.name, b.status, b.installedIndex),
                      shown(a.name, a.status, a.installedIndex));
        }
    }
    // Nothing to look up writes nothing in information-only mode either.
    StreamCodecStatus s = resolveStreamCodec(audioStream("TrueHD"), kRunModeInformationOnly, db,
                                             video.get(), audio.get());
    EXPECT_FALSE(s.status.written || s.status.enabled);
    EXPECT_EQ(s.name.text, "<unknown>");
}

} // namespace
} // namespace tavro

// The Media Foundation play test over hand-written descriptions: which streams
// need a decoder, the result and its texts, and the step's enabling rules.
#include "render/mf_play_test.h"

#include <gtest/gtest.h>

#include "app/mf_play_step.h"
#include "codecs/media_guids.h"
#include "render/render_guids.h"

namespace tavro {
namespace {

constexpr int32_t kUnsupportedType = static_cast<int32_t>(0xC00D36C4);
const Guid kH264 = fourccSubtype('H', '2', '6', '4');
const Guid kAac{0x00001610, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
const Guid kRgb32{0x00000016, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

class ScriptedPlayer : public MfPlayer {
  public:
    MfPlayDescription description;
    int calls = 0;
    int32_t describeFile(const std::string&, size_t maxStreams, MfPlayDescription* out) override {
        ++calls;
        EXPECT_EQ(maxStreams, kMfMaxStreams);
        *out = description;
        return description.hr;
    }
};

MfStreamFacts stream(const Guid& major, const Guid& subtype, const char* decoder,
                     bool selected = true) {
    MfStreamFacts s;
    s.major = major;
    s.subtype = subtype;
    s.selected = selected;
    s.searched = true;
    if (decoder) s.decoders.push_back({decoder, Guid{1, 2, 3, {4}}});
    return s;
}

TEST(MfPlay, StreamsAndResults) {
    struct Case {
        const char* name;
        std::vector<MfStreamFacts> streams;
        int result;
        std::vector<std::string> texts;
    } cases[] = {
        {"H.264 and AAC decoded",
         {stream(kMediaTypeVideo, kH264, "H264 Decoder MFT"),
          stream(kMediaTypeAudio, kAac, "AAC Decoder MFT")},
         1,
         {"Video: H264 -> H264 Decoder MFT", "Audio: 0x1610 -> AAC Decoder MFT"}},
        {"audio without a decoder",
         {stream(kMediaTypeVideo, kH264, "H264 Decoder MFT"),
          stream(kMediaTypeAudio, kAac, nullptr)},
         -1,
         {"Video: H264 -> H264 Decoder MFT", "Audio: 0x1610 -> no decoder accepts it"}},
        {"an unselected stream need not decode",
         {stream(kMediaTypeVideo, kH264, "H264 Decoder MFT"),
          stream(kMediaTypeAudio, kAac, nullptr, false)},
         1,
         {"Video: H264 -> H264 Decoder MFT", "Audio: 0x1610 -> no decoder accepts it"}},
        {"uncompressed needs none",
         {stream(kMediaTypeVideo, kRgb32, nullptr),
          stream(kMediaTypeAudio, kMediaSubtypePcm, nullptr)},
         1,
         {"Video: 0x0016 -> no decoder needed", "Audio: 0x0001 -> no decoder needed"}},
        {"no streams at all", {}, -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPlayer player;
        player.description.streams = c.streams;
        player.description.streamCount = static_cast<uint32_t>(c.streams.size());
        const MfPlayOutcome out = runMfPlayTest(&player, "clip.mp4", nullptr);
        EXPECT_EQ(out.result, c.result);
        ASSERT_EQ(out.streams.size(), c.texts.size());
        for (size_t i = 0; i < c.texts.size(); ++i)
            EXPECT_EQ(out.streams[i].text.substr(out.streams[i].text.find(':')),
                      c.texts[i].substr(c.texts[i].find(':')));
        if (c.result == 1) {
            EXPECT_EQ(out.hr, 0);
            EXPECT_EQ(mfPlayStatusText(out),
                      "File rendered successfully; no errors reported   (details...)");
        } else {
            EXPECT_EQ(out.hr, kMfCodecNotFound);
            EXPECT_EQ(mfPlayStatusText(out), "0xc00d5212: [unknown]...   (more)");
        }
        const std::string why = explainMfPlay(out, "");
        for (const std::string& t : c.texts)
            EXPECT_NE(why.find(t.substr(t.find(" -> "))), std::string::npos) << why;
    }
}

TEST(MfPlay, FailuresNameTheStepThatStopped) {
    ScriptedPlayer player;
    player.description.failedAt = MfPlayStage::OpenSource;
    player.description.hr = kUnsupportedType;
    const MfPlayOutcome out = runMfPlayTest(&player, "clip.xyz", nullptr);
    EXPECT_EQ(out.result, -1);
    EXPECT_EQ(out.hr, kUnsupportedType);
    EXPECT_EQ(mfPlayStatusText(out), "0xc00d36c4: [unknown]...   (more)");
    EXPECT_NE(explainMfPlay(out, "").find("found no media source that opens this file"),
              std::string::npos);

    // No Media Foundation at all is a clear result, not a crash.
    const MfPlayOutcome none = runMfPlayTest(nullptr, "clip.mp4", nullptr);
    EXPECT_EQ(none.result, -1);
    EXPECT_EQ(none.description.failedAt, MfPlayStage::Startup);
    EXPECT_EQ(mfPlayStatusText(none), "0x80040154: [unknown]...   (more)");

    // Names cannot inject links or line breaks into the explanation.
    ScriptedPlayer odd;
    odd.description.streams = {stream(kMediaTypeVideo, kH264, "Evil {link}~x")};
    odd.description.streamCount = 1;
    const std::string why = explainMfPlay(runMfPlayTest(&odd, "a.mp4", nullptr), "");
    EXPECT_NE(why.find("Evil (link)-x"), std::string::npos) << why;
}

TEST(MfPlay, StepFollowsTheRenderTestsEnablingRules) {
    Settings settings;
    ScriptedPlayer player;
    player.description.streams = {stream(kMediaTypeVideo, kH264, "H264 Decoder MFT")};
    MfPlayStep step(settings, nullptr);
    step.setPlayer(&player);
    std::unique_ptr<MediaInfo> made = MediaInfo::create();
    ASSERT_NE(made, nullptr);
    const MediaInfo& info = *made;
    step.run("clip.mp4", info, 1);
    EXPECT_TRUE(step.enabled());
    EXPECT_EQ(step.outcome().result, 1);

    settings.runMode = kRunModeInformationOnly;
    step.run("clip.mp4", info, 1);
    EXPECT_FALSE(step.enabled());
    EXPECT_EQ(step.statusText(), "Disabled due to Run Mode setting");
    EXPECT_EQ(step.outcome().result, 0);
    EXPECT_NE(step.explanation().find("currently disabled"), std::string::npos);
    EXPECT_EQ(player.calls, 1);
    step.setForced(true);
    step.run("clip.mp4", info, 1);
    EXPECT_EQ(player.calls, 2);
}

} // namespace
} // namespace tavro

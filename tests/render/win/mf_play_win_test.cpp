// The Media Foundation play test in Wine's Media Foundation: what its source
// resolver opens, the texts made of it, and that no COM reference outlives a
// test. Wine's resolver hands over streams its GStreamer has already decoded and
// may not open every container; what it lacks must read as a result, never a
// crash, so the checks follow what Wine really does.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "codecs/media_guids.h"
#include "render/mf_play_test.h"
#include "render/render_guids.h"
#include "render/win/mf_player.h"

namespace tavro {
namespace {

const std::string kMedia = TAVRO_MEDIA_DIR;

// One player for the run, as tavro-cli keeps one: Media Foundation starts once,
// and shuts down before COM goes.
std::unique_ptr<WinMfPlayer> gPlayer;

class ComScope : public ::testing::Environment {
  public:
    void SetUp() override {
        CoInitialize(nullptr);
        gPlayer = std::make_unique<WinMfPlayer>();
    }
    void TearDown() override {
        gPlayer.reset();
        CoUninitialize();
    }
};
const auto* const kCom = ::testing::AddGlobalTestEnvironment(new ComScope);

WinMfPlayer& player() {
    return *gPlayer;
}

MfPlayOutcome play(const std::string& name) {
    return runMfPlayTest(&player(), kMedia + name, nullptr);
}

std::string garbageFile() {
    const std::string path = kMedia + "/not_media_mf.tvr";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return path;
    for (int i = 0; i < 4096; ++i)
        std::fputc((i * 7919) & 0xFF, f);
    std::fclose(f);
    return path;
}

TEST(MfPlayWine, PcmWaveOpensWithOneStreamNeedingNoDecoder) {
    const MfPlayOutcome out = play("/pcm16_stereo.wav");
    ASSERT_EQ(out.description.failedAt, MfPlayStage::None) << std::hex << out.hr;
    EXPECT_EQ(out.hr, 0);
    EXPECT_EQ(out.result, 1);
    ASSERT_EQ(out.description.streamCount, 1u);
    ASSERT_EQ(out.streams.size(), 1u);
    EXPECT_EQ(out.description.streams[0].major, kMediaTypeAudio);
    EXPECT_TRUE(out.description.streams[0].selected);
    EXPECT_EQ(out.streams[0].text, "Audio: 0x0001 -> no decoder needed");
    EXPECT_EQ(mfPlayStatusText(out),
              "File rendered successfully; no errors reported   (details...)");
    EXPECT_EQ(heldMfReferences(), 0);
}

TEST(MfPlayWine, AviStreamsEachGetAVerdict) {
    const MfPlayOutcome out = play("/mjpeg_pcm.avi");
    ASSERT_EQ(out.description.failedAt, MfPlayStage::None) << std::hex << out.hr;
    ASSERT_EQ(out.streams.size(), 2u);
    bool audio = false, video = false;
    for (size_t i = 0; i < out.streams.size(); ++i) {
        const MfStreamFacts& s = out.description.streams[i];
        EXPECT_NE(s.subtype, kNullGuid) << i;
        EXPECT_TRUE(s.searched) << i;
        audio = audio || s.major == kMediaTypeAudio;
        video = video || s.major == kMediaTypeVideo;
        EXPECT_NE(out.streams[i].text.find(" -> "), std::string::npos);
    }
    EXPECT_TRUE(audio);
    EXPECT_TRUE(video);
    // A result of -1 here can only be a selected stream without a decoder.
    if (out.result != 1) EXPECT_EQ(out.hr, kMfCodecNotFound);
    EXPECT_NE(explainMfPlay(out, "").find("found 2 streams:"), std::string::npos);
}

TEST(MfPlayWine, Mp4OpensOrFailsWithAClearResult) {
    // Whether Wine's resolver opens MP4 depends on its GStreamer plug-ins.
    const MfPlayOutcome out = play("/h264_aac.mp4");
    if (out.description.failedAt == MfPlayStage::None) {
        EXPECT_GE(out.streams.size(), 1u);
        for (const MfStreamVerdict& v : out.streams)
            EXPECT_FALSE(v.text.empty());
    } else {
        EXPECT_EQ(out.description.failedAt, MfPlayStage::OpenSource);
        EXPECT_LT(out.hr, 0);
        EXPECT_EQ(out.result, -1);
        EXPECT_EQ(mfPlayStatusText(out).substr(0, 2), "0x");
        EXPECT_NE(explainMfPlay(out, "").find("no media source that opens"), std::string::npos);
    }
    EXPECT_EQ(heldMfReferences(), 0);
}

TEST(MfPlayWine, MissingAndUnreadableFilesStopAtTheSource) {
    const MfPlayOutcome missing = play("/no such file.mp4");
    EXPECT_EQ(missing.description.failedAt, MfPlayStage::OpenSource);
    EXPECT_EQ(missing.hr, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(mfPlayStatusText(missing), "0x80070002: [unknown]...   (more)");
    EXPECT_TRUE(missing.streams.empty());

    const MfPlayOutcome garbage = runMfPlayTest(&player(), garbageFile(), nullptr);
    EXPECT_LT(garbage.hr, 0) << std::hex << garbage.hr;
    EXPECT_EQ(garbage.result, -1);
    EXPECT_NE(garbage.description.failedAt, MfPlayStage::None);
    EXPECT_EQ(heldMfReferences(), 0);
}

// As the render test's leak check, over 200 files: every object released, and
// no media source kept alive by anything else.
TEST(MfPlayWine, NoReferenceSurvives200Files) {
    const std::string garbage = garbageFile();
    const std::string files[] = {kMedia + "/pcm16_stereo.wav", kMedia + "/mjpeg_pcm.avi",
                                 kMedia + "/no such file.avi", garbage};
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 200; ++i) {
        const std::string& path = files[i % 4];
        const MfPlayOutcome out = runMfPlayTest(&player(), path, nullptr);
        ASSERT_EQ(heldMfReferences(), 0) << i;
        if (out.description.failedAt == MfPlayStage::None)
            ASSERT_EQ(lastMfSourceFinalCount(), 0u) << i;
        ASSERT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(240)) << i;
    }
}

} // namespace
} // namespace tavro

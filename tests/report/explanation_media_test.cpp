// The explanations of generated media files (tests/media/generate) through the
// analysis driver: which body each kind of file reaches, with its real length text.
#include <gtest/gtest.h>

#include <fstream>

#include "app/explanations.h"
#include "tests/support/scratch_dir.h"

namespace tavro {
namespace {

const std::string kMedia = std::string(TAVRO_BINARY_DIR) + "/media/";

class ExplanationMediaTest : public ::testing::Test {
  protected:
    SilentPrompter prompter;
    ReportModel report;
    std::unique_ptr<AnalysisDriver> driver =
        AnalysisDriver::create(report, prompter, platformFileSystem(), kRunModeInformationOnly);

    ReportExplanations explain(const std::string& path) {
        driver->fileList().clear();
        driver->fileList().add(path);
        driver->analyseCurrentFile();
        return explainReport(*driver, nullptr, RenderFacts());
    }
};

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}
bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

TEST_F(ExplanationMediaTest, FileBodiesOfRealFiles) {
    const std::string notRun = "rendering is currently disabled, however, for the reason shown "
                               "it its status bar. ";
    const struct {
        const char* file;
        const char* start;
        const char* end;
    } cases[] = {
        {"mjpeg_pcm.avi", "This is a valid AVI file. The file's length is consistent",
         "follows:~~ 346 KB   (354,910 bytes)"},
        {"cut_5000.avi", "This is a valid AVI file that has been is truncated.",
         "follows:~~ 4.88 KB   (5,000 bytes)"},
        {"vorbis_s0.ogg", "This is a valid Ogg Media file.", "(6,907 bytes)"},
        {"xvid_vorbis.ogm", "This is a valid Ogg Media file.", " bytes)"},
        {"pcm16_stereo.wav", "This is an audio-only WAVE (.wav) file.", "and bitrate"},
        {"mp3_in.wav",
         "This file is \"wrapped\" to appear like a .wav file (presumably for compatibility "
         "resaons). Inside the wav wrapper is an audio-only MP3 (or MP2) file.",
         "(variable bit-rate) files"},
        {"tune.mid", "This is This appears to be an unsupported filetype.", notRun.c_str()},
        {"cooked.avi", "This is This appears to be an unsupported filetype.",
         "such a utility can often restore the file 100%."},
    };
    for (const auto& c : cases) {
        const ReportExplanations e = explain(kMedia + c.file);
        EXPECT_TRUE(startsWith(e.file.text, c.start)) << c.file << ": " << e.file.text;
        EXPECT_TRUE(endsWith(e.file.text, c.end)) << c.file << ": " << e.file.text;
    }
}

TEST_F(ExplanationMediaTest, SlightlyTruncatedAvi) {
    std::ifstream in(kMedia + "mjpeg_pcm.avi", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(bytes.size(), 1000u);
    test::ScratchDir dir;
    test::ScratchDir::write(dir.path("shy.avi"), bytes.substr(0, bytes.size() - 500));
    const ReportExplanations e = explain(dir.path("shy.avi"));
    EXPECT_TRUE(startsWith(e.file.text, "This is a valid AVI file that has been slightly "
                                        "truncated - a relatively small number of bytes are "
                                        "missing."))
        << e.file.text;
    EXPECT_TRUE(endsWith(e.file.text, "(354,410 bytes)")) << e.file.text;
}

TEST_F(ExplanationMediaTest, CodecAndRenderTextsWithoutARenderTest) {
    const ReportExplanations e = explain(kMedia + "mjpeg_pcm.avi");
    // No render test has found a video decoder in this run.
    EXPECT_EQ(e.video.text, "No Details Available");
    EXPECT_TRUE(startsWith(e.audio.text, " Audio Format:~")) << e.audio.text;
    EXPECT_TRUE(endsWith(e.render.text, "DirectShow rendering is currently disabled for the "
                                        "reason shown it its status bar. "))
        << e.render.text;
    EXPECT_TRUE(e.render.targets.empty());
    // A file without audio after one with audio: nothing of the earlier file's codec.
    const ReportExplanations raw = explain(kMedia + "raw_rgb.avi");
    EXPECT_EQ(raw.audio.text.find("PCM"), std::string::npos) << raw.audio.text;
}

} // namespace
} // namespace tavro

// The explanations of generated media files (tests/media/generate) through the
// analysis driver: which body each kind of file reaches, with its real length text.
#include <gtest/gtest.h>

#include <fstream>

#include "app/explanation_facts.h"
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
                               "in its status bar. ";
    const struct {
        const char* file;
        const char* start;
        const char* end;
    } cases[] = {
        {"mjpeg_pcm.avi", "This is a valid AVI file. The file's length is consistent",
         "follows:~~ 346 KB   (354,910 bytes)"},
        {"cut_5000.avi", "This is a valid AVI file that has been truncated.",
         "follows:~~ 4.88 KB   (5,000 bytes)"},
        {"vorbis_s0.ogg", "This is a valid Ogg Media file.", "(6,907 bytes)"},
        {"xvid_vorbis.ogm", "This is a valid Ogg Media file.", " bytes)"},
        {"pcm16_stereo.wav", "This is an audio-only WAVE (.wav) file.", "and bitrate"},
        {"mp3_in.wav",
         "This file is \"wrapped\" to appear like a .wav file (presumably for compatibility "
         "reasons). Inside the wav wrapper is an audio-only MP3 (or MP2) file.",
         "(variable bit-rate) files"},
        {"tune.mid", "This is a MIDI file (.MID): notes", notRun.c_str()},
        {"cooked.avi", "This appears to be an unsupported filetype.",
         "such a utility can often restore the file 100%."},
    };
    for (const auto& c : cases) {
        const ReportExplanations e = explain(kMedia + c.file);
        EXPECT_TRUE(startsWith(e.file.text, c.start)) << c.file << ": " << e.file.text;
        EXPECT_TRUE(endsWith(e.file.text, c.end)) << c.file << ": " << e.file.text;
    }
}

// Files named by a container row each read as their own container, never as MPEG
// audio or as an unsupported type.
TEST_F(ExplanationMediaTest, NamedContainersOfRealFiles) {
    const struct {
        const char* file;
        const char* start;
        const char* named;
    } cases[] = {
        {"h264_aac.mp4", "This is an MPEG-4 file (.MP4)", "MPEG-4 (.MP4/.M4A)"},
        {"aac.m4a", "This is an MPEG-4 audio file (.M4A)", "MPEG-4 audio (.M4A)"},
        {"quicktime.mov", "This is a QuickTime movie", "Quicktime (.MOV/QT)"},
        {"quicktime_old.mov", "This is a QuickTime movie", "Quicktime (.MOV/QT)"},
        {"mpeg_ps.mpg", "This is an MPEG program stream", "MPEG (.MPG/.MPEG/.VOB)"},
        {"mpeg2_mp2.ts", "This is an MPEG transport stream (.TS)", "MPEG transport stream (.TS)"},
        {"asf.wmv", "This is an ASF (Advanced Systems Format) file", "ASF (.WMA/.WMV)"},
        {"h264_vorbis.mkv", "This is a Matroska file (.MKV, .MKA)", "Matroska (.MKV/.MKA)"},
        {"vp8_opus.webm", "This is a WebM file (.WEBM)", "WebM (.WEBM)"},
        {"flv1_mp3.flv", "This is a Flash Video file (.FLV)", "Flash Video (.FLV)"},
        {"tone.flac", "This is a FLAC file (.FLAC)", "FLAC audio (.FLAC)"},
        {"tone.aiff", "This is an AIFF file (.AIF)", "AIFF audio (.AIF)"},
        {"tone.au", "This is a Sun/NeXT audio file", "NeXT/SUN audio (.AU/.SND)"},
    };
    for (const auto& c : cases) {
        const std::string text = explain(kMedia + c.file).file.text;
        EXPECT_TRUE(startsWith(text, c.start)) << c.file << ": " << text;
        // A container Tavro reads lists its streams; one it only names says so.
        const bool read =
            text.find("Video #") != std::string::npos || text.find("Audio #") != std::string::npos;
        if (!read)
            EXPECT_NE(text.find(std::string("Tavro names it \"") + c.named + "\""),
                      std::string::npos)
                << c.file << ": " << text;
        EXPECT_EQ(text.find("MP3 (or MP2)"), std::string::npos) << c.file << ": " << text;
        EXPECT_EQ(text.find("unsupported filetype"), std::string::npos) << c.file << ": " << text;
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
    // No render test has run, and no codec search either: the missing codec is still
    // explained from the file, without claiming anything of the system's decoders.
    EXPECT_TRUE(startsWith(e.video.text, " Format: <unknown>,  4CC: MJPG~~ ")) << e.video.text;
    EXPECT_NE(e.video.text.find("What is needed: a video decoder for the 4CC MJPG"),
              std::string::npos)
        << e.video.text;
    EXPECT_EQ(e.video.text.find("No installed decoder"), std::string::npos) << e.video.text;
    EXPECT_TRUE(startsWith(e.audio.text, " Audio Format:~")) << e.audio.text;
    EXPECT_TRUE(endsWith(e.render.text, "DirectShow rendering is currently disabled for the "
                                        "reason shown in its status bar. "))
        << e.render.text;
    EXPECT_TRUE(e.render.targets.empty());
    // A file without audio after one with audio: nothing of the earlier file's codec.
    const ReportExplanations raw = explain(kMedia + "raw_rgb.avi");
    EXPECT_EQ(raw.audio.text.find("PCM"), std::string::npos) << raw.audio.text;
}

} // namespace
} // namespace tavro

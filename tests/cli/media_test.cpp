// Generated media (tests/media/generate) through the analysis: report texts where
// they are fixed, and frame size, frame count and rates against ffprobe's view.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <dirent.h>
#include <fstream>

#include "analysis/field_format.h"
#include "app/analysis_driver.h"
#include "cli/report_output.h"

namespace tavro {
namespace {

const std::string kMedia = std::string(TAVRO_BINARY_DIR) + "/media/";

class MediaTest : public ::testing::Test {
  protected:
    SilentPrompter prompter;
    ReportModel report;
    std::unique_ptr<AnalysisDriver> driver =
        AnalysisDriver::create(report, prompter, platformFileSystem(), kRunModeInformationOnly);

    void analyse(const std::string& name) {
        driver->fileList().clear();
        driver->fileList().add(kMedia + name);
        ASSERT_EQ(driver->analyseCurrentFile(), AnalysisDriver::Outcome::Analysed) << name;
    }
};

TEST_F(MediaTest, FixedTexts) {
    struct Case {
        const char* file;
        int id;
        const char* text;
    };
    const Case cases[] = {
        {"mjpeg_pcm.avi", field::FileStatus, "File Length Correct"},
        {"mjpeg_pcm.avi", field::Type, "AVI"},
        {"mjpeg_pcm.avi", field::FourCC, "MJPG"},
        {"mjpeg_pcm.avi", field::AudioName, "PCM Audio"},
        {"mjpeg_pcm.avi", field::Aspect, "160 x 120  (1.333 : 1)"},
        {"mjpeg_pcm.avi", field::Framerate, "25.000 FPS"},
        {"mjpeg_pcm.avi", field::Duration, "00h 00m 02s"},
        {"mjpeg_pcm.avi", field::AudioBitrate, "706 kb/s (706/ch x 1 ch)"},
        {"mjpeg_pcm.avi", field::SampleRate, "44100 Hz"},
        {"mjpeg_pcm.avi", field::Imrr, "Not supported."},
        {"raw_rgb.avi", field::FourCC, "(_RGB)"},
        {"raw_rgb.avi", field::AudioName, "No Audio Channels"},
        {"xvid_mp3.avi", field::FourCC, "XVID"},
        // ffmpeg writes an occasional empty video chunk, so one run holds two frames.
        {"xvid_mp3.avi", field::Imrr, "1.00"},
        {"xvid_mp3.avi", field::Interleave, "41 ms (1.0 frames), p=26"},
        {"xvid_mp3.avi", field::AudioName, "0x0055(MP3) ID'd as MPEG-1 Layer 3"},
        {"xvid_mp3.avi", field::AudioBitrate, "128 kb/s (128/ch x 1 ch) CBR "},
        {"mp3_in.wav", field::Type, "WAV->MPEG-1 Layer 3 128 kbps 44100 Hz"},
        {"mp3_in.wav", field::FileStatus, "MPEG-1 Layer 3 128 kbps 44100 Hz"},
        {"dx50_ac3.avi", field::FourCC, "DX50"},
        {"dx50_ac3.avi", field::SampleRate, "48000 Hz"},
        {"three_audio.avi", field::Stream3, "3"},
        {"pcm16_stereo.wav", field::Type, "WAV: 44100 Hz, 1411 kb/s (705/ch x 2 ch)"},
        {"pcm16_stereo.wav", field::FileStatus, "WAV: 44100 Hz, 1411 kb/s (705/ch x 2 ch)"},
        {"pcm8_mono.wav", field::Type, "WAV: 8000 Hz, 64 kb/s (64/ch x 1 ch)"},
        {"ima_adpcm.wav", field::Type, "WAV"},
        {"cooked.avi", field::FileStatus, "Not a valid AVI File  * COOKED * (info...)"},
        {"cut_300.avi", field::Type, "AVI"},
        {"quicktime_old.mov", field::FileStatus,
         "File is Quicktime (.MOV/QT) - Index at the end of the file"},
        {"quicktime_old.mov", field::Type, "QuickTime"},
        {"mpeg_ps.mpg", field::FileStatus, "File is MPEG (.MPG/.MPEG/.VOB)"},
        // Newer containers: ffmpeg's files, each named from its own header.
        {"quicktime.mov", field::FileStatus,
         "File is Quicktime (.MOV/QT) - Index at the end of the file"},
        {"quicktime.mov", field::Type, "QuickTime (qt)"},
        {"h264_aac.mp4", field::FileStatus,
         "File is MPEG-4 (.MP4/.M4A) - Index at the end of the file"},
        {"h264_aac.mp4", field::Type, "MPEG-4 (isom)"},
        {"aac.m4a", field::FileStatus,
         "File is MPEG-4 audio (.M4A) - Index at the end of the file"},
        {"aac.m4a", field::Type, "MPEG-4 (M4A)"},
        {"h264_vorbis.mkv", field::FileStatus, "File is Matroska (.MKV/.MKA)"},
        {"h264_vorbis.mkv", field::Type, "video/x-matroska"},
        {"vp8_opus.webm", field::FileStatus, "File is WebM (.WEBM)"},
        {"vp8_opus.webm", field::Type, "video/webm"},
        {"flv1_mp3.flv", field::FileStatus, "File is Flash Video (.FLV)"},
        {"flv1_mp3.flv", field::Type, "video/x-flv"},
        {"mpeg2_mp2.ts", field::FileStatus, "File is MPEG transport stream (.TS)"},
        {"mpeg2_mp2.ts", field::Type, "video/mp2t"},
        {"tone.flac", field::FileStatus, "File is FLAC audio (.FLAC)"},
        {"tone.flac", field::Type, "audio/flac"},
        {"asf.wmv", field::FileStatus, "File is ASF (.WMA/.WMV)"},
        {"tone.aiff", field::FileStatus, "File is AIFF audio (.AIF)"},
        {"tone.au", field::Type, "audio/basic"},
        {"tune.mid", field::FileStatus, "File is MIDI (.MID)"},
        {"vorbis_s0.ogg", field::FileStatus, "Ogg Media Stream (.OGM)"},
        {"vorbis_s0.ogg", field::Type, "application/x-ogg"},
        {"vorbis_s0.ogg", field::FourCC, "n.a."}, // no video: no "(_RGB)", no 0 x 0
        {"vorbis_s0.ogg", field::Aspect, "n.a."},
        {"vorbis_s0.ogg", field::SampleRate, "44100 Hz"},
        {"vorbis_s77.ogg", field::FileStatus, "File is Ogg Audio"},
        {"xvid_vorbis.ogm", field::FileStatus, "Ogg Media Stream (.OGM)"},
        {"xvid_vorbis.ogm", field::FourCC, "XVID"},
        {"xvid_vorbis.ogm", field::Aspect, "160 x 120  (1.333 : 1)"},
        {"xvid_vorbis.ogm", field::Duration, "unavailable"},
        {"xvid_vorbis.ogm", field::VideoBitrate, "unavailable"},
        {"xvid_vorbis.ogm", field::Imrr, "Not supported."},
    };
    for (const Case& c : cases) {
        analyse(c.file);
        EXPECT_EQ(report.text(c.id), c.text) << c.file << " field " << c.id;
    }
    analyse("three_audio.avi");
    EXPECT_TRUE(report.enabled(field::Stream3));
    analyse("two_audio.avi");
    EXPECT_FALSE(report.enabled(field::Stream3));
    EXPECT_TRUE(report.enabled(field::Stream2));
}

TEST_F(MediaTest, TruncationsAreReported) {
    for (const char* name : {"cut_300.avi", "cut_5000.avi", "cut_100000.avi"}) {
        analyse(name);
        EXPECT_EQ(report.text(field::FileStatus).rfind("===> Truncated: ", 0), 0u) << name;
        EXPECT_EQ(driver->info().typeCode, "CUT") << name;
    }
}

TEST_F(MediaTest, InfoTagsBecomeComments) {
    analyse("mjpeg_pcm.avi");
    std::map<std::string, std::string> rows;
    for (const CommentRow& r : report.comments())
        rows[r.code] = r.text;
    EXPECT_EQ(rows["INAM"], "Tavro test");
    EXPECT_EQ(rows["IART"], "Test Artist");
    EXPECT_EQ(rows["ISFT"].rfind("Lavf", 0), 0u);

    // Vorbis comments: source "aud", split at the first "=".
    analyse("vorbis_s0.ogg");
    std::vector<std::string> got;
    for (const CommentRow& r : report.comments())
        got.push_back(r.code + "|" + r.name + "|" + r.text);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].rfind("aud|VENDOR|Xiph.Org libVorbis", 0), 0u) << got[0];
    EXPECT_EQ(got[1], "aud|ARTIST|Tavro");
    EXPECT_EQ(got[2], "aud|TITLE|Sine test");
}

// Every file after every other gives the report it gives alone: nothing of one file
// (container, sizes, streams, comments) is left for the next.
TEST_F(MediaTest, NothingCarriesOverToTheNextFile) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(kMedia.c_str())) {
        while (dirent* d = readdir(dir)) {
            std::string n = d->d_name;
            if (n[0] != '.' && n.find(".json") == std::string::npos) names.push_back(n);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    ASSERT_GT(names.size(), 20u);
    std::ofstream(kMedia + "../empty_file.avi").close();
    names.push_back("../empty_file.avi");
    std::map<std::string, nlohmann::json> alone;
    for (const std::string& name : names) {
        ReportModel freshReport;
        auto fresh = AnalysisDriver::create(freshReport, prompter, platformFileSystem(),
                                            kRunModeInformationOnly);
        fresh->fileList().add(kMedia + name);
        fresh->analyseCurrentFile();
        alone[name] = reportJson(name, freshReport, fresh->info());
    }
    EXPECT_EQ(alone["../empty_file.avi"]["facts"]["container"], "");
    for (const std::string& first : names) {
        for (const std::string& second : names) {
            analyse(first);
            analyse(second);
            ASSERT_EQ(reportJson(second, report, driver->info()), alone[second])
                << second << " after " << first;
        }
    }
}

double ratio(const std::string& r) {
    size_t slash = r.find('/');
    double den = std::stod(r.substr(slash + 1));
    return den ? std::stod(r.substr(0, slash)) / den : 0;
}

TEST_F(MediaTest, AgreesWithFfprobe) {
    for (const char* name : {"mjpeg_pcm.avi", "raw_rgb.avi", "xvid_mp3.avi", "dx50_ac3.avi",
                             "two_audio.avi", "three_audio.avi", "ntsc_long.avi"}) {
        std::ifstream in(kMedia + name + ".ffprobe.json");
        ASSERT_TRUE(in) << name;
        nlohmann::json probe = nlohmann::json::parse(in);
        analyse(name);
        nlohmann::json facts = reportJson(name, report, driver->info())["facts"];
        std::vector<nlohmann::json> audio;
        for (const auto& s : probe["streams"]) {
            if (s["codec_type"] == "video") {
                EXPECT_EQ(facts["width"], s["width"]) << name;
                EXPECT_EQ(facts["height"], s["height"]) << name;
                EXPECT_EQ(facts["frames"], std::stoi(s["nb_frames"].get<std::string>())) << name;
                EXPECT_NEAR(facts["fps"].get<double>(), ratio(s["r_frame_rate"]), 0.01) << name;
                EXPECT_NEAR(facts["duration_s"].get<double>(),
                            std::stod(s["duration"].get<std::string>()), 0.05)
                    << name;
            } else if (s["codec_type"] == "audio") {
                audio.push_back(s);
            }
        }
        ASSERT_EQ(facts["audio"].size(), audio.size()) << name;
        for (size_t i = 0; i < audio.size(); ++i) {
            EXPECT_EQ(facts["audio"][i]["channels"], audio[i]["channels"]) << name;
            EXPECT_EQ(std::to_string(facts["audio"][i]["sample_rate"].get<int>()),
                      audio[i]["sample_rate"])
                << name;
        }
    }
}

} // namespace
} // namespace tavro

// Real muxer output (made by make_samples at test time) read by the box reader and
// checked against ffprobe's view of the same file.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "analysis/isobmff/iso_reader.h"

namespace tavro {
namespace {

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

nlohmann::json probe(const std::string& name) {
    std::ifstream in(std::string(ISOBMFF_SAMPLE_DIR) + "/" + name + ".json");
    return nlohmann::json::parse(in);
}

enum class Layout { head, tail, fragments };

struct Case {
    const char* file;
    Layout layout;
};

const Case kCases[] = {
    {"h264_aac.mp4", Layout::tail},  {"hevc_10bit.mp4", Layout::tail},
    {"av1.mp4", Layout::tail},       {"vp9_opus.mp4", Layout::tail},
    {"ac3.m4a", Layout::tail},       {"h264_eac3.mp4", Layout::tail},
    {"alac.m4a", Layout::tail},      {"h264_aac.mov", Layout::tail},
    {"flac.mp4", Layout::tail},      {"pcm24.mov", Layout::tail},
    {"titled.m4a", Layout::tail},    {"fragmented.mp4", Layout::fragments},
    {"faststart.mp4", Layout::head},
};

std::string codecOf(const std::string& ffprobeName) {
    static const std::map<std::string, std::string> names = {
        {"h264", "AVC"},  {"hevc", "HEVC"}, {"av1", "AV1"},       {"vp9", "VP9"},
        {"aac", "AAC"},   {"opus", "Opus"}, {"ac3", "AC-3"},      {"eac3", "E-AC-3"},
        {"alac", "ALAC"}, {"flac", "FLAC"}, {"pcm_s24le", "PCM"},
    };
    const auto it = names.find(ffprobeName);
    return it == names.end() ? "?" : it->second;
}

void expectNear(double ours, double theirs, double relative, double absolute, const char* what) {
    EXPECT_TRUE(std::fabs(ours - theirs) <= std::max(theirs * relative, absolute))
        << what << ": ours " << ours << ", ffprobe " << theirs;
}

class IsoSample : public ::testing::TestWithParam<Case> {};

TEST_P(IsoSample, AgreesWithFfprobe) {
    const Case& c = GetParam();
    const std::vector<uint8_t> bytes = readFile(std::string(ISOBMFF_SAMPLE_DIR) + "/" + c.file);
    ASSERT_FALSE(bytes.empty());
    BufferReader reader(bytes.data(), bytes.size());
    const IsoFile file = readIsoFile(reader);
    const nlohmann::json json = probe(c.file);

    ASSERT_EQ(file.status, IsoStatus::ok) << isoStatusText(file.status);
    EXPECT_FALSE(file.majorBrand.empty());
    EXPECT_EQ(file.moovAtHead, c.layout != Layout::tail);
    EXPECT_EQ(file.has(IsoProblem::moovAfterMdat), c.layout == Layout::tail);
    EXPECT_EQ(file.fragmented, c.layout == Layout::fragments);
    EXPECT_EQ(file.bytesPastEnd, 0u);
    EXPECT_EQ(file.title,
              json["format"].value("tags", nlohmann::json::object()).value("title", ""));
    const auto& streams = json["streams"];
    ASSERT_EQ(file.tracks.size(), streams.size());
    for (size_t i = 0; i < streams.size(); ++i) {
        const auto& s = streams[i];
        const IsoTrack& t = file.tracks[i];
        SCOPED_TRACE(t.sampleEntry);
        const nlohmann::json tags = s.value("tags", nlohmann::json::object());
        EXPECT_EQ(t.name, tags.value("handler_name", ""));
        EXPECT_EQ(t.codec, codecOf(s["codec_name"]));
        EXPECT_EQ(t.sampleEntry, s["codec_tag_string"].get<std::string>());
        EXPECT_EQ(t.trackId, std::stoul(s["id"].get<std::string>(), nullptr, 16));
        expectNear(t.seconds, std::stod(s["duration"].get<std::string>()), 0.01, 0.05, "duration");
        if (s.contains("nb_frames")) {
            EXPECT_EQ(t.sampleCount, std::stoull(s["nb_frames"].get<std::string>()));
        }
        if (s.contains("bit_rate") && c.layout != Layout::fragments) {
            expectNear(static_cast<double>(t.bitRate), std::stod(s["bit_rate"].get<std::string>()),
                       0.02, 0, "bit rate");
        }
        if (s["codec_type"] == "video") {
            EXPECT_EQ(t.kind, TrackKind::video);
            EXPECT_EQ(t.width, s["width"].get<uint32_t>());
            EXPECT_EQ(t.height, s["height"].get<uint32_t>());
            EXPECT_EQ(t.displayWidth, t.width);
            EXPECT_FALSE(t.profile.empty());
            // The rate frames are meant to run at; one long last frame must not skew it.
            const std::string avg = s["r_frame_rate"];
            const size_t slash = avg.find('/');
            expectNear(t.frameRate,
                       std::stod(avg.substr(0, slash)) / std::stod(avg.substr(slash + 1)), 0.001, 0,
                       "frame rate");
            const std::string pix = s.value("pix_fmt", "");
            EXPECT_EQ(t.bitDepth, pix.find("10le") != std::string::npos ? 10u : 8u) << pix;
        } else {
            EXPECT_EQ(t.kind, TrackKind::audio);
            EXPECT_EQ(t.sampleRate, std::stoul(s["sample_rate"].get<std::string>()));
            EXPECT_EQ(t.channels, s["channels"].get<uint32_t>());
            if (s.contains("bits_per_raw_sample")) {
                EXPECT_EQ(t.bitDepth, std::stoul(s["bits_per_raw_sample"].get<std::string>()));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, IsoSample, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.file;
                             for (char& ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

// ffmpeg writes the index last: its head holds the start of the sample data only.
TEST(IsoCutSample, CutBeforeTheIndexReportsTheSampleData) {
    const std::vector<uint8_t> bytes =
        readFile(std::string(ISOBMFF_SAMPLE_DIR) + "/cut_before_moov.mp4");
    BufferReader reader(bytes.data(), bytes.size());
    const IsoFile file = readIsoFile(reader);
    EXPECT_EQ(file.status, IsoStatus::noMoov);
    EXPECT_EQ(file.mdatCount, 1u);
    EXPECT_EQ(file.mdatOffset + file.mdatSize, bytes.size());
    EXPECT_GT(file.mdatClaimedSize, file.mdatSize);
    EXPECT_TRUE(file.has(IsoProblem::boxPastParent));
}

// The index is whole at the head; the second half of the samples is gone.
TEST(IsoCutSample, CutInTheSampleDataCountsWhatIsMissing) {
    const std::string dir = ISOBMFF_SAMPLE_DIR;
    const std::vector<uint8_t> whole = readFile(dir + "/faststart.mp4");
    const std::vector<uint8_t> cut = readFile(dir + "/cut_in_mdat.mp4");
    BufferReader reader(cut.data(), cut.size());
    const IsoFile file = readIsoFile(reader);
    EXPECT_EQ(file.status, IsoStatus::ok);
    EXPECT_TRUE(file.moovAtHead);
    EXPECT_TRUE(file.has(IsoProblem::sampleDataPastEnd));
    // The sample data runs to the end of the whole file, and nothing else sits there.
    EXPECT_EQ(file.bytesPastEnd, whole.size() - cut.size());
    EXPECT_GT(file.secondsMissing, 0.2);
    EXPECT_LT(file.secondsMissing, 0.9);
}

} // namespace
} // namespace tavro

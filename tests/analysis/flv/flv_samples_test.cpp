// Real muxer output (made by make_samples at test time) read by the FLV reader and
// checked against ffprobe's view of the same file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "analysis/flv/flv_reader.h"
#include "analysis/flv/flv_streams.h"

namespace tavro {
namespace {

FlvFile readSample(const std::string& name) {
    std::ifstream in(std::string(FLV_SAMPLE_DIR) + "/" + name, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    BufferReader reader(bytes.data(), bytes.size());
    return readFlvFile(reader);
}

nlohmann::json probe(const std::string& name) {
    std::ifstream in(std::string(FLV_SAMPLE_DIR) + "/" + name + ".json");
    return nlohmann::json::parse(in);
}

std::string codecOf(const std::string& ffprobeName) {
    static const std::map<std::string, std::string> names = {
        {"h264", "AVC"}, {"flv1", "Sorenson Spark"}, {"aac", "AAC"}, {"mp3", "MPEG Audio"}};
    const auto it = names.find(ffprobeName);
    return it == names.end() ? "?" : it->second;
}

double rateOf(const std::string& fraction) {
    const size_t slash = fraction.find('/');
    const double num = std::stod(fraction.substr(0, slash));
    const double den = slash == std::string::npos ? 1 : std::stod(fraction.substr(slash + 1));
    return den ? num / den : 0;
}

void expectNear(double ours, double theirs, double relative, double absolute, const char* what) {
    EXPECT_TRUE(std::fabs(ours - theirs) <= std::max(theirs * relative, absolute))
        << what << ": ours " << ours << ", ffprobe " << theirs;
}

class FlvSample : public ::testing::TestWithParam<const char*> {};

TEST_P(FlvSample, AgreesWithFfprobe) {
    const std::string name = GetParam();
    const FlvFile file = readSample(name);
    const MediaStreams m = describeFlv(file);
    const nlohmann::json json = probe(name);

    ASSERT_EQ(file.status, FlvStatus::ok) << flvStatusText(file.status);
    EXPECT_TRUE(m.findings.empty()) << m.findings[0].code;
    EXPECT_TRUE(file.hasMetadata);
    EXPECT_TRUE(file.endKnown);
    EXPECT_EQ(file.tailRead, name == "long.flv");
    expectNear(m.seconds, std::stod(json["format"]["duration"].get<std::string>()), 0.01, 0.05,
               "duration");
    expectNear(file.tagSeconds(), m.seconds, 0.01, 0.1, "tag span");
    const auto& streams = json["streams"];
    ASSERT_EQ(m.streams.size(), streams.size());
    for (const auto& j : streams) {
        const bool video = j["codec_type"] == "video";
        const StreamFacts* s = m.first(video ? StreamKind::video : StreamKind::audio);
        ASSERT_NE(s, nullptr) << name;
        SCOPED_TRACE(name + " " + j["codec_type"].get<std::string>());
        EXPECT_EQ(s->codec, codecOf(j["codec_name"]));
        const std::string profile = j.value("profile", "");
        if (!profile.empty()) {
            EXPECT_EQ(s->profile, profile);
        }
        if (video) {
            EXPECT_EQ(s->width, j["width"].get<uint32_t>());
            EXPECT_EQ(s->height, j["height"].get<uint32_t>());
            expectNear(s->frameRate, rateOf(j["r_frame_rate"]), 0.001, 0.001, "frame rate");
            if (s->codec == "AVC") {
                const int level = j.value("level", 0);
                EXPECT_EQ(s->level, std::to_string(level / 10) + "." + std::to_string(level % 10));
            }
        } else {
            EXPECT_EQ(s->sampleRate, std::stoul(j["sample_rate"].get<std::string>()));
            EXPECT_EQ(s->channels, j["channels"].get<uint32_t>());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, FlvSample,
                         ::testing::Values("h264_aac.flv", "flv1_mp3.flv", "video_only.flv",
                                           "long.flv"),
                         [](const auto& info) {
                             std::string n = info.param;
                             std::replace(n.begin(), n.end(), '.', '_');
                             return n;
                         });

// Copies damaged by make_samples: each still reads, and says what is wrong.
TEST(FlvBrokenSample, DamageIsNamed) {
    const struct {
        const char* file;
        const char* code;
    } cases[] = {
        {"broken_cut.flv", "flv.truncated"},
        {"broken_cut_long.flv", "flv.truncated"},
        {"broken_no_metadata.flv", "flv.no_metadata"},
    };
    for (const auto& c : cases) {
        const FlvFile file = readSample(c.file);
        EXPECT_EQ(file.status, FlvStatus::ok) << c.file;
        const MediaStreams m = describeFlv(file);
        ASSERT_EQ(m.findings.size(), 1u) << c.file;
        EXPECT_EQ(m.findings[0].code, c.code) << c.file;
        EXPECT_GT(m.seconds, 1.5) << c.file;
    }
    // Without metadata the length is the tags' span: 50 pictures 40 ms apart.
    const MediaStreams bare = describeFlv(readSample("broken_no_metadata.flv"));
    EXPECT_TRUE(bare.secondsEstimated);
    EXPECT_NEAR(bare.seconds, 1.96, 0.001);
}

} // namespace
} // namespace tavro

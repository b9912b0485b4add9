// Real muxer output (made by make_samples at test time) read by the transport stream
// reader and checked against ffprobe's view of the same file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "analysis/mpegts/ts_reader.h"
#include "analysis/mpegts/ts_streams.h"

namespace tavro {
namespace {

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

TsFile readSample(const std::string& name) {
    static std::map<std::string, std::vector<uint8_t>> cache;
    std::vector<uint8_t>& bytes = cache[name];
    if (bytes.empty()) bytes = readFile(std::string(MPEGTS_SAMPLE_DIR) + "/" + name);
    BufferReader reader(bytes.data(), bytes.size());
    return readTransportStream(reader);
}

nlohmann::json probe(const std::string& name) {
    std::ifstream in(std::string(MPEGTS_SAMPLE_DIR) + "/" + name + ".json");
    return nlohmann::json::parse(in);
}

std::string codecOf(const std::string& ffprobeName) {
    static const std::map<std::string, std::string> names = {
        {"h264", "AVC"}, {"hevc", "HEVC"},   {"mpeg2video", "MPEG-2 Video"}, {"aac", "AAC"},
        {"ac3", "AC-3"}, {"eac3", "E-AC-3"}, {"mp2", "MPEG Audio"},
    };
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

class TsSample : public ::testing::TestWithParam<const char*> {};

TEST_P(TsSample, AgreesWithFfprobe) {
    const std::string name = GetParam();
    const TsFile file = readSample(name);
    const MediaStreams m = describeTransportStream(file);
    const nlohmann::json json = probe(name);

    ASSERT_EQ(file.status, TsStatus::ok) << tsStatusText(file.status);
    EXPECT_TRUE(m.findings.empty()) << m.findings[0].code;
    EXPECT_EQ(file.packetSize, name.find(".m2ts") != std::string::npos ? 192u : 188u);
    EXPECT_EQ(file.tailRead, name.rfind("long_", 0) == 0);
    expectNear(m.seconds, std::stod(json["format"]["duration"].get<std::string>()), 0.01, 0.05,
               "duration");
    const auto& streams = json["streams"];
    ASSERT_EQ(m.streams.size(), streams.size());
    EXPECT_EQ(m.streamCount, streams.size());
    for (size_t i = 0; i < streams.size(); ++i) {
        const auto& j = streams[i];
        const StreamFacts& s = m.streams[i];
        SCOPED_TRACE(name + " stream " + std::to_string(i));
        EXPECT_EQ(s.id, std::stoul(j["id"].get<std::string>(), nullptr, 16));
        EXPECT_EQ(streamKindText(s.kind), j["codec_type"].get<std::string>());
        EXPECT_EQ(s.codec, codecOf(j["codec_name"]));
        const std::string profile = j.value("profile", "");
        if (!profile.empty()) {
            EXPECT_EQ(s.profile, profile);
        }
        EXPECT_EQ(s.language, j.value("tags", nlohmann::json::object()).value("language", ""));
        if (j.contains("duration"))
            expectNear(s.seconds, std::stod(j["duration"].get<std::string>()), 0.01, 0.05,
                       "stream duration");
        if (s.kind == StreamKind::video) {
            EXPECT_EQ(s.width, j["width"].get<uint32_t>());
            EXPECT_EQ(s.height, j["height"].get<uint32_t>());
            expectNear(s.frameRate, rateOf(j["r_frame_rate"]), 0.001, 0.001, "frame rate");
            const int level = j.value("level", 0);
            if (s.codec == "AVC")
                EXPECT_EQ(s.level, std::to_string(level / 10) + "." + std::to_string(level % 10));
            if (s.codec == "HEVC")
                EXPECT_EQ(s.level,
                          std::to_string(level / 30) + "." + std::to_string(level % 30 / 3));
        } else {
            EXPECT_EQ(s.sampleRate, std::stoul(j["sample_rate"].get<std::string>()));
            EXPECT_EQ(s.channels, j["channels"].get<uint32_t>());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, TsSample,
                         ::testing::Values("h264_aac.ts", "hevc_ac3.ts", "mpeg2_mp2.ts",
                                           "h264_eac3.ts", "h264_ac3.m2ts", "dvb_ac3.ts",
                                           "long_muxrate.ts"),
                         [](const auto& info) {
                             std::string n = info.param;
                             std::replace(n.begin(), n.end(), '.', '_');
                             return n;
                         });

bool hasFinding(const MediaStreams& m, const std::string& code) {
    return std::any_of(m.findings.begin(), m.findings.end(),
                       [&](const FileFinding& f) { return f.code == code; });
}

// Copies damaged by make_samples: each still reads, and says what is wrong.
TEST(TsBrokenSample, DamageIsNamed) {
    const struct {
        const char* file;
        const char* code;
    } cases[] = {
        {"broken_lost.ts", "ts.cc_errors"},
        {"broken_garbage.ts", "ts.sync_lost"},
        {"broken_cut.ts", "ts.truncated"},
    };
    for (const auto& c : cases) {
        const TsFile file = readSample(c.file);
        EXPECT_EQ(file.status, TsStatus::ok) << c.file;
        EXPECT_EQ(file.streams.size(), 2u) << c.file;
        const MediaStreams m = describeTransportStream(file);
        EXPECT_TRUE(hasFinding(m, c.code)) << c.file;
        EXPECT_EQ(m.findings.size(), 1u) << c.file;
    }
    EXPECT_EQ(readSample("broken_garbage.ts").bytesSkipped, 200u);
    EXPECT_GT(readSample("broken_lost.ts").ccErrors, 0u);
}

} // namespace
} // namespace tavro

// ffmpeg's ASF files (made by make_samples at test time) read by the ASF reader and
// checked against ffprobe's view of the same file; cut copies checked for findings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "analysis/asf/asf_reader.h"

namespace tavro {
namespace {

std::vector<uint8_t> readSample(const std::string& name) {
    std::ifstream in(std::string(ASF_SAMPLE_DIR) + "/" + name, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

nlohmann::json probe(const std::string& name) {
    std::ifstream in(std::string(ASF_SAMPLE_DIR) + "/" + name + ".json");
    return nlohmann::json::parse(in);
}

bool hasFinding(const MediaStreams& m, const std::string& code) {
    for (const FileFinding& f : m.findings)
        if (f.code == code) return true;
    return false;
}

// ffprobe's codec names against our families ("" where the table names none).
std::string familyOf(const std::string& ffprobeName) {
    static const std::map<std::string, std::string> names = {
        {"wmv1", "WMV1"}, {"wmv2", "WMV2"}, {"wmv3", "VC-1"},  {"vc1", "VC-1"},
        {"wmav1", "WMA"}, {"wmav2", "WMA"}, {"msmpeg4v3", ""},
    };
    const auto it = names.find(ffprobeName);
    return it == names.end() ? "?" : it->second;
}

class AsfSample : public ::testing::TestWithParam<const char*> {};

TEST_P(AsfSample, AgreesWithFfprobe) {
    const std::string name = GetParam();
    const std::vector<uint8_t> bytes = readSample(name);
    ASSERT_FALSE(bytes.empty());
    BufferReader reader(bytes.data(), bytes.size());
    const AsfFile file = readAsfFile(reader);
    ASSERT_EQ(file.status, AsfStatus::ok) << asfStatusText(file.status);
    EXPECT_TRUE(file.problems.empty()) << asfProblemText(file.problems.front());
    EXPECT_TRUE(file.hasData);
    EXPECT_EQ(file.dataSize, file.dataClaimedSize);
    EXPECT_EQ(file.declaredFileSize, bytes.size());
    EXPECT_LT(file.bytesRead, 64u << 10);

    const MediaStreams m = describeAsf(file);
    const nlohmann::json json = probe(name);
    ASSERT_TRUE(m.present);
    EXPECT_TRUE(m.findings.empty()) << m.findings.front().code;
    EXPECT_EQ(m.container, "ASF");
    const nlohmann::json tags = json["format"].value("tags", nlohmann::json::object());
    EXPECT_EQ(m.title, tags.value("title", ""));
    const auto& streams = json["streams"];
    ASSERT_EQ(m.streams.size(), streams.size());
    EXPECT_EQ(m.streamCount, streams.size());
    double longest = 0;
    for (size_t i = 0; i < streams.size(); ++i) {
        const auto& s = streams[i];
        const StreamFacts& t = m.streams[i];
        SCOPED_TRACE(t.codecId);
        EXPECT_EQ(t.codec, familyOf(s["codec_name"]));
        EXPECT_EQ(t.id, i + 1); // ffmpeg numbers its streams from 1
        const std::string language =
            s.value("tags", nlohmann::json::object()).value("language", "");
        EXPECT_EQ(t.language.substr(0, 2), language.substr(0, 2));
        longest = std::max(longest, std::stod(s["duration"].get<std::string>()));
        if (s["codec_type"] == "video") {
            EXPECT_EQ(t.kind, StreamKind::video);
            EXPECT_EQ(t.width, s["width"].get<uint32_t>());
            EXPECT_EQ(t.height, s["height"].get<uint32_t>());
            EXPECT_EQ(t.codecId, s["codec_tag_string"].get<std::string>());
        } else {
            EXPECT_EQ(t.kind, StreamKind::audio);
            EXPECT_EQ(t.sampleRate, std::stoul(s["sample_rate"].get<std::string>()));
            EXPECT_EQ(t.channels, s["channels"].get<uint32_t>());
            EXPECT_EQ(t.formatTag, std::stoul(s["codec_tag"].get<std::string>(), nullptr, 16));
            if (s.contains("bit_rate")) {
                EXPECT_EQ(t.bitrate, std::stoull(s["bit_rate"].get<std::string>()));
            }
        }
    }
    EXPECT_NEAR(m.seconds, longest, std::max(longest * 0.01, 0.05));
}

INSTANTIATE_TEST_SUITE_P(Files, AsfSample,
                         ::testing::Values("wmv2_wmav2.wmv", "titled.wma", "wmv1.asf",
                                           "msmpeg4.asf"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

// Half the file gone: the data object is cut, and the packets say how much time.
TEST(AsfCutSample, CutDataTellsBytesAndTime) {
    const std::vector<uint8_t> whole = readSample("wmv2_wmav2.wmv");
    const std::vector<uint8_t> bytes = readSample("cut_data.wmv");
    BufferReader wholeReader(whole.data(), whole.size());
    const AsfFile full = readAsfFile(wholeReader);
    BufferReader reader(bytes.data(), bytes.size());
    const AsfFile file = readAsfFile(reader);
    ASSERT_EQ(file.status, AsfStatus::ok);
    EXPECT_TRUE(file.has(AsfProblem::dataTruncated));
    EXPECT_EQ(file.bytesMissing, full.dataOffset + full.dataClaimedSize - bytes.size());
    EXPECT_GT(file.packetsMissing, 0u);
    EXPECT_NEAR(file.secondsMissing, file.seconds / 2, 0.25);
    const MediaStreams m = describeAsf(file);
    EXPECT_TRUE(hasFinding(m, "asf.data_truncated"));
    EXPECT_EQ(m.streams.size(), 2u);
    const double rate = static_cast<double>(describeAsf(full).bitrate);
    EXPECT_NEAR(static_cast<double>(m.bitrate), rate, rate * 0.15);
}

TEST(AsfCutSample, CutInsideTheHeader) {
    const std::vector<uint8_t> bytes = readSample("cut_header.wmv");
    BufferReader reader(bytes.data(), bytes.size());
    const AsfFile file = readAsfFile(reader);
    EXPECT_TRUE(file.has(AsfProblem::headerPastEnd));
    EXPECT_TRUE(hasFinding(describeAsf(file), "asf.header_past_end"));
}

} // namespace
} // namespace tavro

// ffmpeg's FLAC files (made by make_samples at test time) read by the FLAC reader and
// checked against ffprobe's view of the same file; cut copies checked for findings.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "analysis/flac/flac_reader.h"

namespace tavro {
namespace {

std::vector<uint8_t> readSample(const std::string& name) {
    std::ifstream in(std::string(FLAC_SAMPLE_DIR) + "/" + name, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

nlohmann::json probe(const std::string& name) {
    std::ifstream in(std::string(FLAC_SAMPLE_DIR) + "/" + name + ".json");
    return nlohmann::json::parse(in);
}

bool hasFinding(const MediaStreams& m, const std::string& code) {
    for (const FileFinding& f : m.findings)
        if (f.code == code) return true;
    return false;
}

class FlacSample : public ::testing::TestWithParam<const char*> {};

TEST_P(FlacSample, AgreesWithFfprobe) {
    const std::string name = GetParam();
    const std::vector<uint8_t> bytes = readSample(name);
    ASSERT_FALSE(bytes.empty());
    BufferReader reader(bytes.data(), bytes.size());
    const FlacFile file = readFlacFile(reader);
    ASSERT_EQ(file.status, FlacStatus::ok) << flacStatusText(file.status);
    EXPECT_TRUE(file.problems.empty()) << flacProblemText(file.problems.front());
    EXPECT_TRUE(file.firstFrameFound);
    EXPECT_TRUE(file.lastFrameFound);
    EXPECT_EQ(file.samplesInData, file.totalSamples);
    EXPECT_LT(file.bytesRead, 300000u);

    const MediaStreams m = describeFlac(file);
    const nlohmann::json json = probe(name);
    const auto& s = json["streams"][0];
    ASSERT_TRUE(m.present);
    EXPECT_TRUE(m.findings.empty()) << m.findings.front().code;
    EXPECT_EQ(m.container, "FLAC");
    ASSERT_EQ(m.streams.size(), json["streams"].size());
    const StreamFacts& a = m.streams[0];
    EXPECT_EQ(a.codec, "FLAC");
    EXPECT_EQ(a.kind, StreamKind::audio);
    EXPECT_EQ(a.sampleRate, std::stoul(s["sample_rate"].get<std::string>()));
    EXPECT_EQ(a.channels, s["channels"].get<uint32_t>());
    EXPECT_EQ(a.bitDepth, std::stoul(s["bits_per_raw_sample"].get<std::string>()));
    const double seconds = std::stod(json["format"]["duration"].get<std::string>());
    EXPECT_NEAR(m.seconds, seconds, std::max(seconds * 0.01, 0.05));
    EXPECT_FALSE(m.secondsEstimated);
    EXPECT_GT(m.bitrate, 0u);
    const nlohmann::json tags = json["format"].value("tags", nlohmann::json::object());
    // ffprobe keeps the tag names as written; ffmpeg writes them in upper case.
    EXPECT_EQ(m.title, tags.value("TITLE", tags.value("title", "")));
    EXPECT_EQ(a.language, tags.value("LANGUAGE", tags.value("language", "")));
}

INSTANTIATE_TEST_SUITE_P(Files, FlacSample,
                         ::testing::Values("s16_44k.flac", "s24_96k.flac", "titled.flac",
                                           "surround.flac", "id3.flac"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

// 40% of the file cut away: the missing time is told within a frame or two. A tone
// compresses evenly, so the audio bytes lost give the time lost.
TEST(FlacCutSample, CutTailTellsTheMissingTime) {
    const std::vector<uint8_t> whole = readSample("s16_44k.flac");
    const std::vector<uint8_t> bytes = readSample("cut_tail.flac");
    BufferReader reader(bytes.data(), bytes.size());
    const FlacFile file = readFlacFile(reader);
    ASSERT_EQ(file.status, FlacStatus::ok);
    EXPECT_TRUE(file.has(FlacProblem::samplesExceedData));
    EXPECT_NEAR(file.seconds, 2.0, 0.001);
    const double kept = double(bytes.size() - file.audioOffset) / (whole.size() - file.audioOffset);
    EXPECT_NEAR(file.secondsMissing, 2.0 * (1 - kept), 0.1);
    const MediaStreams m = describeFlac(file);
    EXPECT_TRUE(hasFinding(m, "flac.samples_exceed_data"));
    EXPECT_EQ(m.worst()->severity, Severity::broken);
}

TEST(FlacCutSample, CutInsideTheHeaderBlocks) {
    const std::vector<uint8_t> bytes = readSample("cut_head.flac");
    BufferReader reader(bytes.data(), bytes.size());
    const FlacFile file = readFlacFile(reader);
    EXPECT_EQ(file.status, FlacStatus::ok); // the stream information is whole
    EXPECT_TRUE(file.has(FlacProblem::blockPastEnd));
    EXPECT_TRUE(hasFinding(describeFlac(file), "flac.block_past_end"));
}

} // namespace
} // namespace tavro

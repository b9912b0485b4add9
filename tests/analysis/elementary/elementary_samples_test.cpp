// ffmpeg's bare codec streams (made by make_samples at test time) read by the raw-
// stream reader and checked against ffprobe; damaged copies checked for findings.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "analysis/elementary/elementary_reader.h"

namespace tavro {
namespace {

std::vector<uint8_t> readSample(const std::string& name) {
    std::ifstream in(std::string(ELEMENTARY_SAMPLE_DIR) + "/" + name, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

nlohmann::json probe(const std::string& name) {
    std::ifstream in(std::string(ELEMENTARY_SAMPLE_DIR) + "/" + name + ".json");
    return nlohmann::json::parse(in);
}

bool hasFinding(const MediaStreams& m, const std::string& code) {
    for (const FileFinding& f : m.findings)
        if (f.code == code) return true;
    return false;
}

struct Case {
    const char* file;
    ElementaryKind kind;
    const char* codec;
    double seconds; // as encoded; 0 where the stream cannot tell
};

const Case kCases[] = {
    {"avc.h264", ElementaryKind::h264, "AVC", 2.0},
    {"hevc10.hevc", ElementaryKind::hevc, "HEVC", 0},
    {"lc.aac", ElementaryKind::adts, "AAC", 2.0},
    {"stereo.ac3", ElementaryKind::ac3, "AC-3", 2.0},
    {"surround.eac3", ElementaryKind::eac3, "E-AC-3", 2.0},
    {"core.dts", ElementaryKind::dts, "DTS", 2.0},
    {"long.ac3", ElementaryKind::ac3, "AC-3", 30.0},
};

class ElementarySample : public ::testing::TestWithParam<Case> {};

TEST_P(ElementarySample, AgreesWithFfprobe) {
    const Case& c = GetParam();
    const std::vector<uint8_t> bytes = readSample(c.file);
    ASSERT_FALSE(bytes.empty());
    BufferReader reader(bytes.data(), bytes.size());
    const ElementaryFile file = readElementaryStream(reader);
    ASSERT_EQ(file.status, ElementaryStatus::ok) << elementaryStatusText(file.status);
    EXPECT_EQ(file.kind, c.kind);
    EXPECT_TRUE(file.problems.empty()) << elementaryProblemText(file.problems.front());
    EXPECT_LE(file.headBytes, ElementaryLimits{}.headBytes);
    EXPECT_EQ(file.extrapolated, bytes.size() > ElementaryLimits{}.headBytes);

    const MediaStreams m = describeElementary(file);
    const nlohmann::json json = probe(c.file);
    const auto& s = json["streams"][0];
    ASSERT_TRUE(m.present);
    ASSERT_EQ(m.streams.size(), 1u);
    const StreamFacts& t = m.streams[0];
    EXPECT_EQ(t.codec, c.codec);
    if (s["codec_type"] == "video") {
        EXPECT_EQ(t.kind, StreamKind::video);
        EXPECT_EQ(t.width, s["width"].get<uint32_t>());
        EXPECT_EQ(t.height, s["height"].get<uint32_t>());
        EXPECT_EQ(t.profile, s["profile"].get<std::string>());
        const std::string pix = s["pix_fmt"];
        EXPECT_EQ(t.bitDepth, pix.find("10le") != std::string::npos ? 10u : 8u);
        EXPECT_EQ(t.chroma, "4:2:0");
        // ffprobe gives the level as the codec codes it: 10 times (H.264), 30 times (HEVC).
        const double level = s["level"].get<int>() / (c.kind == ElementaryKind::hevc ? 30.0 : 10.0);
        EXPECT_NEAR(std::stod(t.level), level, 1e-9);
    } else {
        EXPECT_EQ(t.kind, StreamKind::audio);
        EXPECT_EQ(t.sampleRate, std::stoul(s["sample_rate"].get<std::string>()));
        EXPECT_EQ(t.channels, s["channels"].get<uint32_t>());
        if (file.wholeFileRead) {
            EXPECT_EQ(file.frames, std::stoull(s["nb_read_frames"].get<std::string>()));
        }
        if (c.kind == ElementaryKind::adts) {
            EXPECT_EQ(t.profile, s["profile"].get<std::string>());
        }
        if (s.contains("bit_rate") && c.kind != ElementaryKind::adts &&
            c.kind != ElementaryKind::dts) {
            EXPECT_EQ(t.bitrate, std::stoull(s["bit_rate"].get<std::string>()));
        }
    }
    if (c.seconds > 0) {
        EXPECT_TRUE(m.secondsEstimated);
        EXPECT_NEAR(m.seconds, c.seconds, c.seconds * 0.03);
        if (json["format"].contains("duration")) {
            const double theirs = std::stod(json["format"]["duration"].get<std::string>());
            EXPECT_NEAR(m.seconds, theirs, std::max(theirs * 0.01, 0.05));
        }
    } else {
        EXPECT_EQ(m.seconds, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ElementarySample, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.file;
                             for (char& ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

TEST(ElementaryDamagedSample, SplicedGarbageIsPassedOver) {
    const std::vector<uint8_t> whole = readSample("stereo.ac3");
    const std::vector<uint8_t> bytes = readSample("cut_spliced.ac3");
    BufferReader reader(bytes.data(), bytes.size());
    const ElementaryFile file = readElementaryStream(reader);
    ASSERT_EQ(file.kind, ElementaryKind::ac3);
    EXPECT_TRUE(file.has(ElementaryProblem::syncLost));
    // The frame the splice lands in keeps its header, so every frame is still counted
    // and the spliced bytes are the junk passed over.
    BufferReader wholeReader(whole.data(), whole.size());
    EXPECT_EQ(file.frames, readElementaryStream(wholeReader).frames);
    EXPECT_EQ(file.junkBytes, 400u);
    EXPECT_TRUE(hasFinding(describeElementary(file), "elementary.sync_lost"));
}

TEST(ElementaryDamagedSample, CutInsideTheLastFrame) {
    const std::vector<uint8_t> bytes = readSample("cut_end.ac3");
    BufferReader reader(bytes.data(), bytes.size());
    const ElementaryFile file = readElementaryStream(reader);
    ASSERT_EQ(file.kind, ElementaryKind::ac3);
    EXPECT_TRUE(file.has(ElementaryProblem::lastFrameCut));
    EXPECT_TRUE(hasFinding(describeElementary(file), "elementary.last_frame_cut"));
}

} // namespace
} // namespace tavro

// What the report says of MP4 files laid out the ways people's files arrive, read
// through the same file-backed reader the program uses, against ffprobe.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>

#include "analysis/modern/avi_video_detail.h"
#include "analysis/modern/modern_file.h"
#include "analysis/streams/input_file_reader.h"
#include "app/stream_view.h"

namespace tavro {
namespace {

const std::string kDir = MODERN_SAMPLE_DIR;

struct Read {
    MediaStreams streams;
    uint64_t bytesRead = 0;
    uint64_t fileSize = 0;
};

Read readSample(const std::string& name) {
    FileError error;
    std::unique_ptr<InputFile> file = platformFileSystem().openRead(kDir + "/" + name, &error);
    EXPECT_TRUE(file) << name;
    if (!file) return {};
    InputFileReader reader(*file);
    Read r;
    r.streams = readModernFile(ContainerKind::Mpeg4, reader);
    r.bytesRead = reader.bytesRead();
    r.fileSize = file->size();
    return r;
}

std::set<std::string> codes(const MediaStreams& m) {
    std::set<std::string> out;
    for (const FileFinding& f : m.findings) {
        out.insert(f.code);
        EXPECT_FALSE(f.status.empty()) << f.code;
        EXPECT_GT(f.detail.size(), 60u) << f.code;
    }
    return out;
}

TEST(ModernFindings, LayoutsAndDamage) {
    const struct {
        const char* file;
        std::set<std::string> codes;
        Severity worst;
        size_t streams;
    } cases[] = {
        {"head_index.mp4", {}, Severity::note, 2},
        {"tail_index.mp4", {"mp4.moov_at_end"}, Severity::note, 2},
        {"fragmented.mp4", {"mp4.fragmented"}, Severity::note, 2},
        {"data_cut.mp4", {"mp4.data_cut"}, Severity::broken, 2},
        {"no_index.mp4", {"mp4.no_moov"}, Severity::broken, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const Read r = readSample(c.file);
        ASSERT_TRUE(r.streams.present);
        EXPECT_EQ(codes(r.streams), c.codes);
        if (!c.codes.empty()) {
            EXPECT_EQ(r.streams.worst()->severity, c.worst);
        }
        EXPECT_EQ(r.streams.streams.size(), c.streams);
        // The sample data is never read: the head, the index and little else.
        EXPECT_LT(r.bytesRead, r.fileSize / 2 + 65536);
    }
}

TEST(ModernFindings, CutFileSaysHowMuchIsMissing) {
    const Read r = readSample("data_cut.mp4");
    ASSERT_FALSE(r.streams.findings.empty());
    const FileFinding& f = *r.streams.worst();
    // About 40% of four seconds is gone; the status gives bytes and time.
    EXPECT_NE(f.status.find("missing"), std::string::npos) << f.status;
    EXPECT_NE(f.status.find(" s of playing time"), std::string::npos) << f.status;
}

TEST(ModernFindings, StreamsAgreeWithFfprobe) {
    for (const char* name : {"head_index", "tail_index", "fragmented", "whole"}) {
        SCOPED_TRACE(name);
        const Read r = readSample(std::string(name) + ".mp4");
        std::ifstream in(kDir + "/" + name + ".json");
        const nlohmann::json probe = nlohmann::json::parse(in);
        const double seconds = std::stod(probe["format"]["duration"].get<std::string>());
        EXPECT_NEAR(r.streams.seconds, seconds, std::max(0.05, seconds / 100));
        ASSERT_EQ(r.streams.streams.size(), probe["streams"].size());
        for (size_t i = 0; i < r.streams.streams.size(); ++i) {
            const StreamFacts& s = r.streams.streams[i];
            const nlohmann::json& p = probe["streams"][i];
            EXPECT_EQ(streamKindText(s.kind), p["codec_type"].get<std::string>());
            EXPECT_EQ(s.profile, p.value("profile", ""));
            if (s.kind == StreamKind::video) {
                EXPECT_EQ(s.width, p["width"].get<uint32_t>());
                EXPECT_EQ(s.height, p["height"].get<uint32_t>());
                EXPECT_NEAR(s.frameRate, 25.0, 0.01);
            } else {
                EXPECT_EQ(s.sampleRate, std::stoul(p["sample_rate"].get<std::string>()));
                EXPECT_EQ(s.channels, p["channels"].get<uint32_t>());
                const std::string lang =
                    p.value("tags", nlohmann::json::object()).value("language", "und");
                EXPECT_EQ(s.language, lang == "und" ? "" : lang);
            }
        }
        TableSpec table;
        ASSERT_TRUE(streamTable(r.streams, &table));
        EXPECT_EQ(table.rows.size(), r.streams.streams.size());
    }
}

} // namespace
} // namespace tavro

namespace tavro {
namespace {

TEST(AviVideoFacts, ParameterSetsOfTheHead) {
    std::ifstream in(kDir + "/h264_422_10bit.avi", std::ios::binary);
    const std::vector<uint8_t> head((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    ASSERT_FALSE(head.empty());
    const uint32_t h264 = 0x34363248, xvid = 0x44495658;
    const StreamFacts s = aviVideoFacts(h264, head.data(), head.size());
    EXPECT_EQ(s.codec, "AVC");
    EXPECT_EQ(s.profile, "High 4:2:2");
    EXPECT_EQ(s.bitDepth, 10u);
    EXPECT_EQ(s.chroma, "4:2:2");
    EXPECT_EQ(s.width, 320u);
    // Another codec's FourCC, or a head without a parameter set, says nothing.
    EXPECT_TRUE(aviVideoFacts(xvid, head.data(), head.size()).codec.empty());
    EXPECT_TRUE(aviVideoFacts(h264, head.data(), 64).codec.empty());
}

} // namespace
} // namespace tavro

namespace tavro {
namespace {

TEST(AviAudioProfile, AacRecordAfterTheFormat) {
    // cbSize, then the AudioSpecificConfig of AAC LC at 44.1 kHz, stereo.
    const std::vector<uint8_t> lc = {2, 0, 0x12, 0x10};
    std::vector<uint8_t> heaac = {14, 0};
    heaac.insert(heaac.end(), 12, 0); // HEAACWAVEINFO's own fields
    heaac.insert(heaac.end(), {0x12, 0x10});
    const struct {
        uint16_t tag;
        std::vector<uint8_t> extra;
        const char* profile;
    } cases[] = {
        {0x00FF, lc, "LC"},
        {0x1610, heaac, "LC"},
        {0x1600, lc, ""},                         // ADTS: the record is in the stream
        {0x0055, lc, ""},                         // not AAC
        {0x00FF, {2, 0, 0x12}, ""},               // cut short
        {0x00FF, {0xFF, 0xFF, 0x12, 0x10}, "LC"}, // cbSize past the bytes held
    };
    for (const auto& c : cases)
        EXPECT_EQ(aviAudioProfile(c.tag, c.extra.data(), c.extra.size()), c.profile) << c.tag;
}

} // namespace
} // namespace tavro

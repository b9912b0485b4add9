// Real muxer output (made by make_samples at test time) read by the Matroska reader
// and checked against ffprobe's view of the same file.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "analysis/matroska/mkv_reader.h"
#include "analysis/matroska/mkv_streams.h"

namespace tavro {
namespace {

using nlohmann::json;

std::vector<uint8_t> readFile(const std::string& name) {
    std::ifstream in(std::string(MATROSKA_SAMPLE_DIR) + "/" + name, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

json probe(const std::string& name) {
    std::ifstream in(std::string(MATROSKA_SAMPLE_DIR) + "/" + name + ".json");
    return json::parse(in);
}

struct Read {
    MkvFile file;
    MediaStreams streams;
};

Read readSample(const std::string& name) {
    const std::vector<uint8_t> bytes = readFile(name);
    EXPECT_FALSE(bytes.empty()) << name;
    BufferReader reader(bytes.data(), bytes.size());
    Read r;
    r.file = readMatroskaFile(reader);
    r.streams = describeMatroska(r.file);
    return r;
}

std::string familyOf(const std::string& ffprobeName) {
    static const std::map<std::string, std::string> names = {
        {"h264", "AVC"},
        {"hevc", "HEVC"},
        {"av1", "AV1"},
        {"vp8", "VP8"},
        {"vp9", "VP9"},
        {"mpeg4", "MPEG-4 Visual"},
        {"mpeg2video", "MPEG-2 Video"},
        {"wmv2", "WMV2"},
        {"aac", "AAC"},
        {"opus", "Opus"},
        {"vorbis", "Vorbis"},
        {"ac3", "AC-3"},
        {"eac3", "E-AC-3"},
        {"flac", "FLAC"},
        {"mp3", "MPEG Audio"},
        {"pcm_s24le", "PCM"},
        {"wmav2", "WMA"},
        {"subrip", "SubRip"},
        {"ass", "ASS"},
    };
    const auto it = names.find(ffprobeName);
    return it == names.end() ? "?" : it->second;
}

void expectNear(double ours, double theirs, double relative, double absolute, const char* what) {
    EXPECT_TRUE(std::fabs(ours - theirs) <= std::max(theirs * relative, absolute))
        << what << ": ours " << ours << ", ffprobe " << theirs;
}

double tagSeconds(const std::string& text) {
    const double h = std::stod(text.substr(0, 2)), m = std::stod(text.substr(3, 2));
    return h * 3600 + m * 60 + std::stod(text.substr(6));
}

void checkVideo(const StreamFacts& s, const json& p) {
    EXPECT_EQ(s.kind, StreamKind::video);
    EXPECT_EQ(s.width, p["width"].get<uint32_t>());
    EXPECT_EQ(s.height, p["height"].get<uint32_t>());
    const std::string avg = p["avg_frame_rate"];
    const size_t slash = avg.find('/');
    expectNear(s.frameRate, std::stod(avg.substr(0, slash)) / std::stod(avg.substr(slash + 1)),
               0.001, 0, "frame rate");
    // The codecs whose configuration the reader decodes.
    if (s.codec == "AVC" || s.codec == "HEVC" || s.codec == "VP9" || s.codec == "AV1") {
        const std::string pix = p.value("pix_fmt", "");
        EXPECT_EQ(s.bitDepth, pix.find("10le") != std::string::npos ? 10u : 8u) << pix;
        EXPECT_EQ(s.chroma, "4:2:0");
        EXPECT_EQ(s.profile, p.value("profile", ""));
    }
    if (s.codec == "AVC" || s.codec == "HEVC") {
        const int level = p["level"].get<int>();
        const int scale = s.codec == "AVC" ? 10 : 30;
        char text[16];
        std::snprintf(text, sizeof text, "%d.%d", level / scale, level % scale / (scale / 10));
        EXPECT_EQ(s.level, text);
    }
}

void checkAudio(const StreamFacts& s, const json& p) {
    EXPECT_EQ(s.kind, StreamKind::audio);
    EXPECT_EQ(s.sampleRate, std::stoul(p["sample_rate"].get<std::string>()));
    EXPECT_EQ(s.channels, p["channels"].get<uint32_t>());
    uint32_t bits = p.value("bits_per_sample", 0u);
    if (p.contains("bits_per_raw_sample"))
        bits = std::stoul(p["bits_per_raw_sample"].get<std::string>());
    EXPECT_EQ(s.bitDepth, bits);
    if (s.codec == "AAC") {
        EXPECT_EQ(s.profile, p.value("profile", ""));
    }
}

class MkvSample : public ::testing::TestWithParam<const char*> {};

TEST_P(MkvSample, AgreesWithFfprobe) {
    const std::string name = GetParam();
    if (name.rfind("mkvmerge_", 0) == 0 && readFile(name).empty()) {
        GTEST_SKIP() << "mkvmerge is not installed";
    }
    const Read r = readSample(name);
    const json j = probe(name);
    const MediaStreams& m = r.streams;
    ASSERT_EQ(r.file.status, MkvStatus::ok) << mkvStatusText(r.file.status);
    EXPECT_TRUE(r.file.problems.empty()) << mkvProblemText(r.file.problems[0]);
    EXPECT_TRUE(m.findings.empty()) << m.findings[0].code;
    const bool webm = name.find(".webm") != std::string::npos;
    EXPECT_EQ(m.container, webm ? "WebM" : "Matroska");
    EXPECT_EQ(m.brand, webm ? "webm" : "matroska");
    const json format = j["format"];
    EXPECT_EQ(m.title, format.value("tags", json::object()).value("title", ""));
    EXPECT_FALSE(m.secondsEstimated);
    expectNear(m.seconds, std::stod(format["duration"].get<std::string>()), 0.01, 0.05, "duration");
    expectNear(static_cast<double>(m.bitrate), std::stod(format["bit_rate"].get<std::string>()),
               0.01, 0, "bit rate");
    // The tail's last cluster reaches the end the header declares.
    expectNear(r.file.endSeconds, m.seconds, 0.01, 0.08, "last cluster's end");
    const json& streams = j["streams"];
    ASSERT_EQ(m.streamCount, streams.size());
    ASSERT_EQ(m.streams.size(), streams.size());
    for (size_t i = 0; i < streams.size(); ++i) {
        const json& p = streams[i];
        const StreamFacts& s = m.streams[i];
        SCOPED_TRACE(s.codecId);
        EXPECT_EQ(s.codec, familyOf(p["codec_name"]));
        EXPECT_EQ(s.id, i + 1);
        const json tags = p.value("tags", json::object());
        // ffmpeg writes "und" for a stream without language, which ffprobe leaves out.
        EXPECT_EQ(s.language, tags.value("language", "und"));
        EXPECT_EQ(s.title, tags.value("title", ""));
        EXPECT_EQ(s.isDefault, p["disposition"]["default"] == 1);
        EXPECT_EQ(s.forced, p["disposition"]["forced"] == 1);
        if (tags.contains("BPS")) {
            EXPECT_EQ(s.bitrate, std::stoull(tags["BPS"].get<std::string>()));
        }
        if (tags.contains("DURATION"))
            expectNear(s.seconds, tagSeconds(tags["DURATION"]), 0, 0.001, "stream duration");
        if (p["codec_type"] == "video") checkVideo(s, p);
        if (p["codec_type"] == "audio") checkAudio(s, p);
        if (p["codec_type"] == "subtitle") {
            EXPECT_EQ(s.kind, StreamKind::subtitle);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, MkvSample,
                         ::testing::Values("h264_aac_srt.mkv", "hevc_10bit.mkv", "av1.webm",
                                           "vp9_opus.webm", "vp8_vorbis.webm", "vp8_opus.webm",
                                           "mpeg4_ac3_ass.mkv", "mpeg2_eac3.mkv", "wmv2_wma.mkv",
                                           "flac.mka", "pcm24.mka", "mp3.mka", "clusters.mkv",
                                           "long.mkv", "mkvmerge_h264_aac_srt.mkv",
                                           "mkvmerge_vp9_opus.mkv"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

bool hasFinding(const MediaStreams& m, const std::string& code) {
    for (const FileFinding& f : m.findings)
        if (f.code == code) return true;
    return false;
}

// The FourCC and the format tag Windows decoders are looked up by.
TEST(MkvWindowsCodecs, FourccAndFormatTagFromCodecPrivate) {
    const Read r = readSample("wmv2_wma.mkv");
    ASSERT_EQ(r.streams.streams.size(), 2u);
    EXPECT_EQ(r.streams.streams[0].fourcc, 0x32564D57u); // "WMV2"
    EXPECT_EQ(r.streams.streams[1].formatTag, 0x0161u);
}

// The head and the tail tell the whole story; the clusters between are never read.
TEST(MkvLong, ReadsTheHeadAndTheTailOnly) {
    const std::vector<uint8_t> bytes = readFile("long.mkv");
    ASSERT_GT(bytes.size(), 4u << 20);
    const Read r = readSample("long.mkv");
    // Its clusters are too long for the first tail read: the second adds only what
    // lies before it.
    EXPECT_LT(r.file.bytesRead, MkvLimits{}.firstClusterBytes + MkvLimits{}.longTailBytes + 65536);
    EXPECT_TRUE(r.file.hasLastCluster);
    EXPECT_GT(r.file.lastClusterSeconds, 10.0);
}

// A browser-style recording: no sizes, no duration, no index; the length comes from
// the last cluster and matches the same content written whole.
TEST(MkvLive, DurationIsEstimatedFromTheLastCluster) {
    const Read live = readSample("live.webm");
    const Read whole = readSample("vp8_opus.webm");
    EXPECT_TRUE(live.file.segmentSizeUnknown);
    // ffmpeg sizes each cluster before it writes it; only the Segment's size is open.
    EXPECT_FALSE(live.file.clusterSizeUnknown);
    EXPECT_FALSE(live.file.hasDuration);
    EXPECT_TRUE(hasFinding(live.streams, "mkv.live_no_duration"));
    EXPECT_FALSE(hasFinding(live.streams, "mkv.no_cues")); // said once, by the live finding
    EXPECT_TRUE(live.streams.secondsEstimated);
    expectNear(live.streams.seconds, whole.streams.seconds, 0, 0.05, "estimated duration");
    ASSERT_EQ(live.streams.streams.size(), 2u);
    EXPECT_EQ(live.streams.streams[0].codec, "VP8");
    EXPECT_EQ(live.streams.streams[1].codec, "Opus");
}

TEST(MkvLive, CutInAFrameSaysSoAndEstimatesLess) {
    const Read cut = readSample("cut_live.webm");
    const Read live = readSample("live.webm");
    EXPECT_TRUE(hasFinding(cut.streams, "mkv.live_no_duration"));
    EXPECT_TRUE(hasFinding(cut.streams, "mkv.last_cluster_cut"));
    EXPECT_TRUE(cut.streams.secondsEstimated);
    EXPECT_GT(cut.streams.seconds, 0.5);
    EXPECT_LT(cut.streams.seconds, live.streams.seconds);
}

// A download stopped at 60%: the Segment declares the whole size.
TEST(MkvCut, CutShortSaysHowMuchIsMissingAndWhereTheDataEnds) {
    const std::vector<uint8_t> whole = readFile("clusters.mkv");
    const std::vector<uint8_t> cutBytes = readFile("cut_clusters.mkv");
    const Read cut = readSample("cut_clusters.mkv");
    ASSERT_EQ(cut.file.status, MkvStatus::ok);
    EXPECT_EQ(cut.file.bytesMissing, whole.size() - cutBytes.size());
    EXPECT_TRUE(cut.file.hasLastCluster);
    EXPECT_GT(cut.file.reachedSeconds, 0.8);
    EXPECT_LT(cut.file.reachedSeconds, 1.6);
    EXPECT_LE(cut.file.lastClusterSeconds, cut.file.reachedSeconds);
    ASSERT_TRUE(hasFinding(cut.streams, "mkv.cut_short"));
    EXPECT_EQ(cut.streams.worst()->code, "mkv.cut_short");
    EXPECT_NE(cut.streams.worst()->detail.find("KiB more than the file has"), std::string::npos);
    // The tracks are in the head, whole.
    EXPECT_EQ(cut.streams.streams.size(), 2u);
    EXPECT_EQ(cut.streams.streams[0].profile, "Constrained Baseline");
}

} // namespace
} // namespace tavro

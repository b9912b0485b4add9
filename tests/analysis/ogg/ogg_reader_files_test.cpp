// Real files made by make_samples (oggenc, ffmpeg, ogmmerge) and mediainfo's
// JSON view of them as the outside oracle.
#include "analysis/ogg_reader.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/analysis/ogg/ogg_test_support.h"

namespace tavro {
namespace {

using test::Bytes;
using test::le16;
using test::le32;

// The program reads at most this much of a file.
constexpr size_t kHeadBytes = 524288;

bool loadHead(const std::string& name, Bytes& out) {
    const std::string path = std::string(OGG_SAMPLE_DIR) + "/" + name;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    out.resize(kHeadBytes);
    out.resize(std::fread(out.data(), 1, out.size(), f));
    std::fclose(f);
    return true;
}

std::string fourcc(const uint8_t* p) {
    return std::string(reinterpret_cast<const char*>(p), 4);
}

struct FileCase {
    const char* name;
    int code;
    const char* video; // FourCC, or null for none
    std::vector<uint16_t> audioTags;
    size_t commentRows;
};

const FileCase kFiles[] = {
    {"vorbis_serial0.ogg", kOggOk, nullptr, {0x674F}, 3},
    {"vorbis_serial1234.ogg", kOggPageRefused, nullptr, {}, 0},
    {"vorbis_serial1.ogg", kOggPageRefused, nullptr, {}, 0},
    {"vorbis_cbr_mono.ogg", kOggOk, nullptr, {0x674F}, 1},
    {"vorbis_many_comments.ogg", kOggOk, nullptr, {0x674F}, 301},
    {"chained_0_1.ogg", kOggOk, nullptr, {0x674F, 0x674F}, 3},
    {"chained_0_0.ogg", kOggPageRefused, nullptr, {}, 0},
    {"ff_vorbis.ogg", kOggOk, nullptr, {0x674F}, 3},
    {"ff_flac.ogg", kOggOk, nullptr, {}, 0},
    {"ff_opus.ogg", kOggOk, nullptr, {}, 0},
    {"ff_theora_vorbis.ogg", kOggOk, nullptr, {0x674F}, 0},
    {"ogm_vorbis.ogm", kOggOk, "XVID", {0x674F}, 1},
    {"ogm_mp3_ac3_text.ogm", kOggOk, "XVID", {0x0055, 0x2000}, 1},
    {"ogm_four_audio.ogm", kOggOk, "XVID", {0x674F, 0x0055, 0x2000}, 1},
};

TEST(OggReaderFiles, ReadsWhatTheToolsWrote) {
    int seen = 0;
    for (const FileCase& c : kFiles) {
        Bytes head;
        if (!loadHead(c.name, head)) continue;
        ++seen;
        OggReadResult r;
        ASSERT_EQ(readOggStreams(head.data(), head.size(), r), c.code) << c.name;
        EXPECT_EQ(r.hasVideo, c.video != nullptr) << c.name;
        if (c.video) {
            EXPECT_EQ(fourcc(r.videoHeader + kStrhHandler), c.video) << c.name;
            EXPECT_EQ(fourcc(r.videoFormat + kBihCompression), c.video) << c.name;
            EXPECT_EQ(le32(r.mainHeader + kAvihMicroSecPerFrame), 40000u) << c.name;
        }
        if (c.code != kOggOk) continue;
        ASSERT_EQ(r.audioStreams, c.audioTags.size()) << c.name;
        for (size_t n = 0; n < c.audioTags.size(); ++n)
            EXPECT_EQ(le16(r.audioFormat[n] + kWaveFormatTag), c.audioTags[n]) << c.name << n;
        EXPECT_EQ(r.comments.size(), c.commentRows) << c.name;
    }
    if (!seen) GTEST_SKIP() << "no samples in " OGG_SAMPLE_DIR;
}

TEST(OggReaderFiles, CommentsOfTheTools) {
    Bytes head;
    if (!loadHead("vorbis_serial0.ogg", head)) GTEST_SKIP();
    OggReadResult r;
    ASSERT_EQ(readOggStreams(head.data(), head.size(), r), kOggOk);
    ASSERT_EQ(r.comments.size(), 3u);
    EXPECT_STREQ(r.comments[0].source, "aud");
    EXPECT_EQ(r.comments[0].name, "VENDOR");
    EXPECT_NE(r.comments[0].value.find("libVorbis"), std::string::npos);
    EXPECT_EQ(r.comments[1].name + "|" + r.comments[1].value, "ARTIST|Tavro");
    EXPECT_EQ(r.comments[2].name + "|" + r.comments[2].value, "TITLE|Sine test");

    if (!loadHead("vorbis_many_comments.ogg", head)) return;
    ASSERT_EQ(readOggStreams(head.data(), head.size(), r), kOggOk);
    ASSERT_EQ(r.comments.size(), 301u);
    EXPECT_EQ(r.comments.back().name + "=" + r.comments.back().value, "COMMENT300=value 300");

    if (!loadHead("ogm_vorbis.ogm", head)) return;
    ASSERT_EQ(readOggStreams(head.data(), head.size(), r), kOggOk);
    ASSERT_FALSE(r.comments.empty());
    EXPECT_STREQ(r.comments[0].source, "vid"); // stream 0 is the video: no "aud" rows
    EXPECT_EQ(r.comments[0].name, "VENDOR");
}

uint32_t number(const nlohmann::json& track, const char* key) {
    if (!track.contains(key)) return 0;
    return static_cast<uint32_t>(std::strtod(track[key].get<std::string>().c_str(), nullptr));
}

// Channels, rate and nominal bit rate of every audio slot, and the frame size
// and rate of the video, as mediainfo reads the same files.
TEST(OggReaderFiles, AgreesWithMediaInfo) {
    int compared = 0;
    for (const FileCase& c : kFiles) {
        Bytes head;
        std::ifstream json(std::string(OGG_SAMPLE_DIR) + "/" + c.name + ".json");
        if (c.code != kOggOk || !json || !loadHead(c.name, head)) continue;
        const nlohmann::json tracks = nlohmann::json::parse(json)["media"]["track"];
        std::vector<nlohmann::json> audio, video;
        for (const auto& t : tracks) {
            if (t["@type"] == "Audio") audio.push_back(t);
            if (t["@type"] == "Video") video.push_back(t);
        }
        OggReadResult r;
        ASSERT_EQ(readOggStreams(head.data(), head.size(), r), kOggOk) << c.name;
        for (size_t n = 0; n < r.audioStreams && n < audio.size(); ++n, ++compared) {
            const uint8_t* w = r.audioFormat[n];
            const auto& t = audio[n];
            EXPECT_EQ(le16(w + kWaveChannels), number(t, "Channels")) << c.name << n;
            EXPECT_EQ(le32(w + kWaveSamplesPerSec), number(t, "SamplingRate")) << c.name << n;
            const uint32_t bitRate =
                t.contains("BitRate_Nominal") ? number(t, "BitRate_Nominal") : number(t, "BitRate");
            EXPECT_NEAR(le32(w + kWaveAvgBytesPerSec) * 8.0, bitRate, 7.0) << c.name << n;
            if (r.rateMode[n] && t.contains("BitRate_Mode")) {
                EXPECT_EQ(r.rateMode[n] == 1 ? "CBR" : "VBR", t["BitRate_Mode"].get<std::string>())
                    << c.name << n;
            }
        }
        if (r.hasVideo && !video.empty()) {
            ++compared;
            EXPECT_EQ(le32(r.mainHeader + kAvihWidth), number(video[0], "Width")) << c.name;
            EXPECT_EQ(le32(r.mainHeader + kAvihHeight), number(video[0], "Height")) << c.name;
            const double fps = 1e6 / le32(r.mainHeader + kAvihMicroSecPerFrame);
            EXPECT_NEAR(fps, std::strtod(video[0]["FrameRate"].get<std::string>().c_str(), nullptr),
                        0.01)
                << c.name;
        }
    }
    if (!compared) GTEST_SKIP() << "no mediainfo output next to the samples";
}

} // namespace
} // namespace tavro

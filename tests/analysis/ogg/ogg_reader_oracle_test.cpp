// mediainfo's JSON view of the sample files as the outside oracle (native
// only: the JSON library is not part of the cross build).
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>

#include "tests/analysis/ogg/ogg_samples.h"

namespace tavro {
namespace {

using namespace test;

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

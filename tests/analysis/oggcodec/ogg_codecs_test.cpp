// Ogg streams named from their first pages and timed from their last, against ffprobe;
// and bytes that are not Ogg, or Ogg cut anywhere, read without harm.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "analysis/oggcodec/ogg_codecs.h"

namespace tavro {
namespace {

std::vector<uint8_t> bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(OggCodecs, AgreeWithFfprobe) {
    const std::map<std::string, std::string> families = {
        {"opus", "Opus"}, {"flac", "FLAC"}, {"vorbis", "Vorbis"}, {"theora", "Theora"}};
    for (const char* name : {"opus.opus", "flac.oga", "vorbis.ogg", "theora.ogv"}) {
        SCOPED_TRACE(name);
        const std::string path = std::string(OGGCODEC_SAMPLE_DIR) + "/" + name;
        const std::vector<uint8_t> bytes = bytesOf(path);
        BufferReader reader(bytes.data(), bytes.size());
        const MediaStreams m = readOggCodecs(reader);
        std::ifstream in(path + ".json");
        const nlohmann::json probe = nlohmann::json::parse(in);
        ASSERT_TRUE(m.present);
        ASSERT_EQ(m.streams.size(), probe["streams"].size());
        const double seconds = std::stod(probe["format"]["duration"].get<std::string>());
        EXPECT_NEAR(m.seconds, seconds, std::max(0.05, seconds / 100));
        for (size_t i = 0; i < m.streams.size(); ++i) {
            const StreamFacts& s = m.streams[i];
            const nlohmann::json& p = probe["streams"][i];
            EXPECT_EQ(s.codec, families.at(p["codec_name"].get<std::string>()));
            if (s.kind == StreamKind::video) {
                EXPECT_EQ(s.width, p["width"].get<uint32_t>());
                EXPECT_EQ(s.height, p["height"].get<uint32_t>());
                EXPECT_NEAR(s.frameRate, 15.0, 0.001);
            } else {
                EXPECT_EQ(s.sampleRate, std::stoul(p["sample_rate"].get<std::string>()));
                EXPECT_EQ(s.channels, p["channels"].get<uint32_t>());
            }
        }
    }
}

TEST(OggCodecs, CutOrForeignBytesReadSafely) {
    const std::vector<uint8_t> whole = bytesOf(std::string(OGGCODEC_SAMPLE_DIR) + "/opus.opus");
    ASSERT_GT(whole.size(), 200u);
    // Cut anywhere, and claimed longer than held: never more streams than there are,
    // never a negative or absurd length.
    for (size_t cut = 0; cut < whole.size(); cut += 97) {
        BufferReader reader(whole.data(), cut, whole.size() * 4 + 1);
        const MediaStreams m = readOggCodecs(reader);
        EXPECT_LE(m.streams.size(), 1u);
        EXPECT_GE(m.seconds, 0);
        EXPECT_LT(m.seconds, 10);
    }
    const std::vector<std::string> foreign = {"", "OggS", std::string(4096, '\xff'),
                                              "RIFF\x10\0\0\0AVI LIST", "\x1a\x45\xdf\xa3"};
    for (const std::string& bytes : foreign) {
        BufferReader reader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        EXPECT_FALSE(readOggCodecs(reader).present);
    }
}

} // namespace
} // namespace tavro

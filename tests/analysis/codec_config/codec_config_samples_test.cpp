// Real encoder output (made by make_samples at test time) read by the parsers and
// checked against ffprobe's view of the same file.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>

#include "analysis/codec_config/aac_config.h"
#include "analysis/codec_config/ac3_frame.h"
#include "analysis/codec_config/av1_config.h"
#include "analysis/codec_config/dts_frame.h"
#include "analysis/codec_config/h264_config.h"
#include "analysis/codec_config/hevc_config.h"
#include "analysis/codec_config/opus_head.h"
#include "analysis/codec_config/vp9_config.h"
#include "tests/analysis/codec_config/bit_writer.h"

namespace tavro {
namespace {

using test::Bytes;

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// ffprobe prints extradata as a hex dump: "00000000: 01f4 000b ...  ascii".
Bytes extradata(const nlohmann::json& stream) {
    Bytes out;
    const std::string dump = stream.value("extradata", "");
    for (size_t line = 0; line < dump.size();) {
        size_t end = dump.find('\n', line);
        if (end == std::string::npos) end = dump.size();
        const std::string text = dump.substr(line, end - line);
        const std::string hex = text.size() > 10 ? text.substr(10, 40) : "";
        for (size_t i = 0; i + 1 < hex.size(); ++i) {
            if (hex[i] == ' ' || hex[i + 1] == ' ') continue;
            out.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
            ++i;
        }
        line = end + 1;
    }
    return out;
}

// The payload of the first box of this type, found by its name in the file.
Bytes boxPayload(const Bytes& file, const char* type) {
    for (size_t i = 4; i + 4 <= file.size(); ++i) {
        if (std::equal(type, type + 4, file.begin() + static_cast<std::ptrdiff_t>(i))) {
            const size_t size =
                size_t{file[i - 4]} << 24 | file[i - 3] << 16 | file[i - 2] << 8 | file[i - 1];
            if (size >= 8 && i - 4 + size <= file.size())
                return Bytes(file.begin() + static_cast<std::ptrdiff_t>(i + 4),
                             file.begin() + static_cast<std::ptrdiff_t>(i - 4 + size));
        }
    }
    return {};
}

Bytes firstIvfFrame(const Bytes& file) {
    if (file.size() < 32) return {};
    const size_t header = file[6] | file[7] << 8;
    if (file.size() < header + 12) return {};
    const size_t size = file[header] | file[header + 1] << 8 | file[header + 2] << 16;
    const size_t at = header + 12;
    return Bytes(file.begin() + static_cast<std::ptrdiff_t>(at),
                 file.begin() + static_cast<std::ptrdiff_t>(std::min(file.size(), at + size)));
}

// What the parsers say about a file, in ffprobe's terms; -1 where they say nothing.
struct Seen {
    bool ok = false;
    std::string profile;
    long level = -1, width = -1, height = -1, bitDepth = -1, rate = -1, channels = -1, bitRate = -1;
    std::string frameRate;
};

Seen fromH264(const H264Sps& s) {
    Seen v;
    v.ok = s.ok;
    v.profile = h264ProfileName(s.profileIdc, s.constraintFlags);
    v.level = s.levelIdc, v.width = s.width, v.height = s.height, v.bitDepth = s.bitDepthLuma;
    if (s.hasTiming) v.frameRate = std::to_string(s.frameRateNum / s.frameRateDen) + "/1";
    return v;
}

Seen fromHevc(const HevcSps& s) {
    Seen v;
    v.ok = s.ok;
    v.profile = hevcProfileName(s.ptl);
    v.level = s.ptl.levelIdc, v.width = s.width, v.height = s.height, v.bitDepth = s.bitDepthLuma;
    return v;
}

Seen fromAv1(const Av1SequenceHeader& s) {
    Seen v;
    v.ok = s.ok;
    v.profile = av1ProfileName(s.profile);
    v.level = s.level, v.width = s.maxWidth, v.height = s.maxHeight, v.bitDepth = s.bitDepth;
    return v;
}

Seen fromVp9(const Vp9FrameHeader& h) {
    Seen v;
    v.ok = h.ok;
    v.profile = "Profile " + std::to_string(h.profile);
    v.width = h.width, v.height = h.height, v.bitDepth = h.bitDepth;
    return v;
}

Seen fromAc3(const Ac3FrameHeader& h) {
    Seen v;
    v.ok = h.ok, v.rate = h.sampleRate, v.channels = h.channels, v.bitRate = h.bitRate;
    return v;
}

Seen read(const std::string& name, const Bytes& file, const nlohmann::json& stream) {
    const std::string ext = name.substr(name.rfind('.') + 1);
    const Bytes extra = extradata(stream);
    if (ext == "h264") return fromH264(findH264SpsInByteStream(file.data(), file.size()));
    if (ext == "hevc") return fromHevc(findHevcSpsInByteStream(file.data(), file.size()));
    if (ext == "obu") return fromAv1(findAv1SequenceHeader(file.data(), file.size()));
    if (ext == "ivf") {
        const Bytes frame = firstIvfFrame(file);
        return fromVp9(parseVp9FrameHeader(frame.data(), frame.size()));
    }
    if (ext == "ac3" || ext == "eac3")
        return fromAc3(parseAc3FrameHeader(file.data(), file.size()));
    Seen v;
    if (name.rfind("h264", 0) == 0) {
        const AvcConfig c = parseAvcConfig(extra.data(), extra.size());
        v = fromH264(c.sps);
        v.ok = c.ok && c.sps.ok && c.profileIndication == c.sps.profileIdc;
    } else if (name.rfind("hevc", 0) == 0) {
        const HevcConfig c = parseHevcConfig(extra.data(), extra.size());
        v = fromHevc(c.sps);
        v.ok = c.ok && c.sps.ok && c.bitDepthLuma == c.sps.bitDepthLuma;
    } else if (name.rfind("av1", 0) == 0) {
        const Av1Config c = parseAv1Config(extra.data(), extra.size());
        v = fromAv1(c.sequenceHeader);
        v.ok = c.ok && c.sequenceHeader.ok && c.bitDepth == c.sequenceHeader.bitDepth;
    } else if (name.rfind("vp9", 0) == 0) {
        const Bytes box = boxPayload(file, "vpcC");
        const Vp9CodecConfig c = parseVp9CodecConfig(box.data(), box.size());
        v.ok = c.ok;
        v.profile = "Profile " + std::to_string(c.profile);
        v.bitDepth = c.bitDepth;
    } else if (ext == "adts") {
        const AdtsHeader h = parseAdtsHeader(file.data(), file.size());
        v.ok = h.ok && h.objectType == 2, v.rate = h.sampleRate, v.channels = h.channelConfig;
        v.profile = "LC";
    } else if (ext == "m4a") {
        const AacConfig c = parseAacConfig(extra.data(), extra.size());
        v.ok = c.ok, v.rate = c.outputSampleRate, v.channels = c.channels;
        v.profile = aacProfileName(c);
    } else if (ext == "opus") {
        const OpusHead h = parseOpusHead(extra.data(), extra.size());
        v.ok = h.ok, v.rate = 48000, v.channels = h.channels;
    } else if (ext == "dts") {
        const DtsFrameHeader h = parseDtsFrameHeader(file.data(), file.size());
        v.ok = h.ok, v.rate = h.sampleRate, v.channels = h.channels, v.bitRate = h.bitRate;
        v.profile = "DTS";
    }
    return v;
}

long number(const nlohmann::json& s, const char* key) {
    if (!s.contains(key)) return -1;
    return s[key].is_string() ? std::stol(s[key].get<std::string>()) : s[key].get<long>();
}

TEST(CodecConfigSamples, AgreeWithFfprobe) {
    const std::string dir = CODEC_CONFIG_SAMPLE_DIR;
    const char* const names[] = {
        "h264_420.h264",        "h264_10bit.h264",   "h264_422.h264",    "h264_crop.h264",
        "h264_interlaced.h264", "h264_baseline.mp4", "hevc_main.hevc",   "hevc_10bit.hevc",
        "hevc_444.hevc",        "hevc_crop.hevc",    "hevc_10bit.mp4",   "av1_8bit.obu",
        "av1_10bit.obu",        "av1_444.mp4",       "vp9_8bit.ivf",     "vp9_10bit.ivf",
        "vp9_444.ivf",          "vp9_10bit.mp4",     "aac_lc.adts",      "aac_mono.adts",
        "aac_51.m4a",           "opus_stereo.opus",  "opus_51.opus",     "ac3_stereo.ac3",
        "ac3_51.ac3",           "ac3_mono.ac3",      "eac3_stereo.eac3", "eac3_51.eac3",
        "dts_stereo.dts",       "dts_51.dts"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        std::ifstream json(dir + "/" + name + ".json");
        ASSERT_TRUE(json) << "no ffprobe JSON";
        const nlohmann::json s = nlohmann::json::parse(json)["streams"][0];
        const Seen v = read(name, readFile(dir + "/" + name), s);
        ASSERT_TRUE(v.ok);
        // -1 on our side: the parser does not give that field for this codec.
        auto same = [&](long ours, long theirs, const char* field) {
            if (ours >= 0) {
                EXPECT_EQ(ours, theirs) << field;
            }
        };
        if (!v.profile.empty()) {
            EXPECT_EQ(v.profile, s.value("profile", ""));
        }
        if (!v.frameRate.empty()) {
            EXPECT_EQ(v.frameRate, s.value("r_frame_rate", ""));
        }
        const std::string pix = s.value("pix_fmt", "");
        same(v.bitDepth,
             pix.find("12") != std::string::npos   ? 12
             : pix.find("10") != std::string::npos ? 10
                                                   : 8,
             "bit depth");
        const long level = number(s, "level");
        same(level == -99 ? -1 : v.level, level, "level");
        same(v.width, number(s, "width"), "width");
        same(v.height, number(s, "height"), "height");
        same(v.rate, number(s, "sample_rate"), "sample rate");
        same(v.channels, number(s, "channels"), "channels");
        same(v.bitRate, number(s, "bit_rate"), "bit rate");
    }
}

} // namespace
} // namespace tavro

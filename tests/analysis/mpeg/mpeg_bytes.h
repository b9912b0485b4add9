// Byte builders for the scanner and interleave tests: MPEG audio frames with a
// chosen header and zero payload (zeros never look like a header).
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

namespace tavro::test {

struct Header {
    int version = 1;      // 1 MPEG-1, 0 MPEG-2
    int layerCode = 1;    // 1 Layer III, 2 Layer II, 3 Layer I
    int bitrateIndex = 9; // 128 kbps for MPEG-1 Layer III
    int rateIndex = 0;    // 44100 Hz for MPEG-1
    int padding = 0;
};

inline void appendFrames(std::vector<uint8_t>& out, const Header& h, size_t length, int count) {
    for (int i = 0; i < count; ++i) {
        const size_t at = out.size();
        out.resize(at + length, 0);
        out[at] = 0xFF;
        out[at + 1] = static_cast<uint8_t>(0xF1 | h.version << 3 | h.layerCode << 1);
        if (length > 2)
            out[at + 2] =
                static_cast<uint8_t>(h.bitrateIndex << 4 | h.rateIndex << 2 | h.padding << 1);
    }
}

// 128 kbps 44.1 kHz MPEG-1 Layer III without padding: 417 bytes, 1152 samples.
constexpr size_t kFrame128 = 417;
constexpr double kFrameMs128 = 1152.0 / 44100.0 * 1000.0;

inline std::vector<uint8_t> cbrFrames(int count) {
    std::vector<uint8_t> out;
    appendFrames(out, Header{}, kFrame128, count);
    return out;
}

} // namespace tavro::test

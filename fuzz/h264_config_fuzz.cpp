// Reads arbitrary bytes as an H.264 SPS NAL unit, an avcC record and a start-code
// stream, and checks that whatever parses describes a picture that can exist.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "analysis/codec_config/h264_config.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void checkSps(const tavro::H264Sps& s) {
    if (!s.ok) return;
    check(s.width > 0 && s.width <= s.codedWidth && s.height > 0 && s.height <= s.codedHeight);
    check(s.codedWidth % 16 == 0 && s.codedHeight % 16 == 0);
    check(s.bitDepthLuma >= 8 && s.bitDepthLuma <= 14 && s.chromaFormatIdc <= 3);
    check(!s.hasTiming || (s.frameRateNum > 0 && s.frameRateDen > 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    checkSps(tavro::parseH264Sps(data, size));
    checkSps(tavro::findH264SpsInByteStream(data, size));
    const tavro::AvcConfig c = tavro::parseAvcConfig(data, size);
    checkSps(c.sps);
    check(!c.ok || c.nalLengthSize == 1 || c.nalLengthSize == 2 || c.nalLengthSize == 4);
    tavro::h264ProfileName(c.profileIndication, c.profileCompatibility);
    return 0;
}

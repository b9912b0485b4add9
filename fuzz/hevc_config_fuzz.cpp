// Reads arbitrary bytes as an HEVC SPS NAL unit, an hvcC record and a start-code
// stream, and checks that whatever parses describes a picture that can exist.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "analysis/codec_config/hevc_config.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void checkSps(const tavro::HevcSps& s) {
    if (!s.ok) return;
    check(s.width > 0 && s.width <= s.codedWidth && s.height > 0 && s.height <= s.codedHeight);
    check(s.bitDepthLuma >= 8 && s.bitDepthLuma <= 16 && s.chromaFormatIdc <= 3);
    check(s.maxSubLayers >= 1 && s.maxSubLayers <= 7);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    checkSps(tavro::parseHevcSps(data, size));
    checkSps(tavro::findHevcSpsInByteStream(data, size));
    const tavro::HevcConfig c = tavro::parseHevcConfig(data, size);
    checkSps(c.sps);
    check(!c.ok || c.nalLengthSize != 3);
    tavro::hevcProfileName(c.ptl);
    return 0;
}

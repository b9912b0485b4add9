// Reads arbitrary bytes as a vpcC payload and as the start of a VP9 frame.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "analysis/codec_config/vp9_config.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const tavro::Vp9CodecConfig c = tavro::parseVp9CodecConfig(data, size);
    check(!c.ok || (c.profile <= 3 && c.bitDepth >= 8 && c.initDataSize + 12u <= size));
    const tavro::Vp9FrameHeader h = tavro::parseVp9FrameHeader(data, size);
    check(!h.ok || (h.keyFrame && h.profile <= 3 && h.width >= 1 && h.height >= 1));
    check(!h.ok || h.bitDepth == 8 || h.bitDepth == 10 || h.bitDepth == 12);
    return 0;
}

#include "analysis/codec_config/vp9_config.h"

#include "analysis/codec_config/bit_reader.h"

namespace tavro {

Vp9CodecConfig parseVp9CodecConfig(const uint8_t* data, size_t size) {
    Vp9CodecConfig c;
    constexpr size_t kFixedBytes = 12;
    if (size < kFixedBytes || data[0] != 1) return c;
    c.version = data[0];
    c.profile = data[4];
    c.level = data[5];
    c.bitDepth = data[6] >> 4;
    c.chromaSubsampling = (data[6] >> 1) & 7;
    c.fullRange = data[6] & 1;
    c.colourPrimaries = data[7];
    c.transferCharacteristics = data[8];
    c.matrixCoefficients = data[9];
    c.initDataSize = static_cast<uint16_t>(data[10] << 8 | data[11]);
    if (c.profile > 3 || (c.bitDepth != 8 && c.bitDepth != 10 && c.bitDepth != 12)) return c;
    if (c.initDataSize > size - kFixedBytes) return c;
    c.ok = true;
    return c;
}

Vp9FrameHeader parseVp9FrameHeader(const uint8_t* data, size_t size) {
    Vp9FrameHeader h;
    BitReader r(data, size);
    if (r.bits(2) != 2) return h; // frame_marker
    const uint32_t low = r.bits(1);
    h.profile = static_cast<uint8_t>((r.bits(1) << 1) | low);
    if (h.profile == 3 && r.flag()) return h; // reserved_zero
    if (r.flag()) return h;                   // show_existing_frame
    h.keyFrame = r.bits(1) == 0;
    if (!h.keyFrame) return h;
    r.skip(2);                            // show_frame, error_resilient_mode
    if (r.bits(24) != 0x498342) return h; // frame_sync_code
    if (h.profile >= 2) h.bitDepth = r.flag() ? 12 : 10;
    h.colorSpace = static_cast<uint8_t>(r.bits(3));
    const bool extendedChroma = h.profile == 1 || h.profile == 3;
    if (h.colorSpace != 7) {
        h.fullRange = r.flag();
        if (extendedChroma) {
            h.subsamplingX = r.flag();
            h.subsamplingY = r.flag();
            r.skip(1);
        }
    } else {
        // RGB is 4:4:4 and only the odd profiles carry it.
        if (!extendedChroma) return h;
        h.fullRange = true;
        h.subsamplingX = h.subsamplingY = false;
        r.skip(1);
    }
    h.width = r.bits(16) + 1;
    h.height = r.bits(16) + 1;
    h.ok = !r.overrun();
    return h;
}

} // namespace tavro

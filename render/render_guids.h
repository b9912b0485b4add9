// The DirectShow identifiers the render test classifies by, as portable values;
// the Windows tests check each against the platform SDK's own.
#pragma once
#include "codecs/guid.h"
#include "codecs/media_guids.h"

namespace tavro {

// The VfW wrapper decoder ("AVI Decompressor").
constexpr Guid kClsidAviDec{
    0xCF49D4E0, 0x1115, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
// The VfW wrapper compressor; kept as a key of the video codec text.
constexpr Guid kClsidAviCo{
    0xD76E2820, 0x1563, 0x11CF, {0xAC, 0x98, 0x00, 0xAA, 0x00, 0x4C, 0x0F, 0xA9}};
// The ACM wrapper decoder.
constexpr Guid kClsidAcmWrapper{
    0x6A08CF80, 0x0E18, 0x11CF, {0xA2, 0x4D, 0x00, 0x20, 0xAF, 0xD7, 0x97, 0x67}};

// The RGB and overlay subtypes share one tail; only the first field differs.
constexpr Guid rgbSubtype(uint32_t first) {
    return Guid{first, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
}
constexpr Guid kMediaSubtypeRgb1 = rgbSubtype(0xE436EB78);
constexpr Guid kMediaSubtypeRgb4 = rgbSubtype(0xE436EB79);
constexpr Guid kMediaSubtypeRgb8 = rgbSubtype(0xE436EB7A);
constexpr Guid kMediaSubtypeRgb565 = rgbSubtype(0xE436EB7B);
constexpr Guid kMediaSubtypeRgb555 = rgbSubtype(0xE436EB7C);
constexpr Guid kMediaSubtypeRgb24 = rgbSubtype(0xE436EB7D);
constexpr Guid kMediaSubtypeRgb32 = rgbSubtype(0xE436EB7E);
constexpr Guid kMediaSubtypeOverlay = rgbSubtype(0xE436EB7F);
// The major type of a file's byte stream, as a source hands it to a splitter.
constexpr Guid kMediaTypeStream = rgbSubtype(0xE436EB83);

// A FourCC subtype: the code in the first field, the video major type's tail.
constexpr Guid fourccSubtype(char a, char b, char c, char d) {
    return Guid{static_cast<uint32_t>(static_cast<uint8_t>(a)) |
                    static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
                    static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 |
                    static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24,
                0x0000,
                0x0010,
                {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
}

// A video input of one of these types is already decoded.
bool isUncompressedVideo(const Guid& major, const Guid& subtype);

} // namespace tavro

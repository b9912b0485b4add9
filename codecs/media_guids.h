// The DirectShow and DMO identifiers the inventories ask about, as portable
// values; the Windows tests check each against the platform SDK's own.
#pragma once
#include <algorithm>
#include <cstdint>

#include "codecs/guid.h"

namespace tavro {

constexpr Guid kNullGuid{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
constexpr Guid kMediaTypeVideo{
    0x73646976, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr Guid kMediaTypeAudio{
    0x73647561, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr Guid kMediaSubtypePcm{
    0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr Guid kMediaTypeMpeg2Pes{
    0xE06D8020, 0xDB46, 0x11CF, {0xB4, 0xD1, 0x00, 0x80, 0x5F, 0x6C, 0xBB, 0xEA}};
constexpr Guid kMediaSubtypeMpeg1Audio{
    0xE436EB87, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
constexpr Guid kVideoCompressorCategory{
    0x33D9A760, 0x90C8, 0x11D0, {0xBD, 0x43, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
constexpr Guid kAudioCompressorCategory{
    0x33D9A761, 0x90C8, 0x11D0, {0xBD, 0x43, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
constexpr Guid kDmoWrapperFilter{
    0x94297043, 0xBD82, 0x4DFD, {0xB0, 0xDE, 0x81, 0x77, 0x73, 0x9C, 0x6D, 0x20}};
constexpr Guid kDmoCategoryVideoDecoder{
    0x4A69B442, 0x28BE, 0x4991, {0x96, 0x9C, 0xB5, 0x00, 0xAD, 0xF5, 0xD8, 0xA8}};
constexpr Guid kDmoCategoryAudioDecoder{
    0x57F2DB8B, 0xE6BB, 0x4513, {0x9D, 0x43, 0xDC, 0xD2, 0xA6, 0x59, 0x31, 0x25}};

// Filters registered with the legacy filter category keep their pin types here.
constexpr const char* kFilterInstanceKey =
    "CLSID\\{083863F1-70DE-11d0-BD40-00A0C911CE86}\\Instance\\";

// A GUID as the 16 bytes stored in registry blobs (little-endian fields).
inline void guidToBytes(const Guid& g, uint8_t out[16]) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<uint8_t>(g.Data1 >> (8 * i));
    out[4] = static_cast<uint8_t>(g.Data2);
    out[5] = static_cast<uint8_t>(g.Data2 >> 8);
    out[6] = static_cast<uint8_t>(g.Data3);
    out[7] = static_cast<uint8_t>(g.Data3 >> 8);
    for (int i = 0; i < 8; ++i)
        out[8 + i] = g.Data4[i];
}

inline Guid guidFromBytes(const uint8_t in[16]) {
    Guid g{};
    g.Data1 = static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 |
              static_cast<uint32_t>(in[2]) << 16 | static_cast<uint32_t>(in[3]) << 24;
    g.Data2 = static_cast<uint16_t>(in[4] | in[5] << 8);
    g.Data3 = static_cast<uint16_t>(in[6] | in[7] << 8);
    for (int i = 0; i < 8; ++i)
        g.Data4[i] = in[8 + i];
    return g;
}

// FourCC-form GUIDs share everything after Data1 with the video major type.
inline bool hasFourccTail(const Guid& g) {
    return g.Data2 == kMediaTypeVideo.Data2 && g.Data3 == kMediaTypeVideo.Data3 &&
           std::equal(g.Data4, g.Data4 + 8, kMediaTypeVideo.Data4);
}

} // namespace tavro

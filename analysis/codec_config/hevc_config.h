// HEVC sequence parameter sets and the hvcC record that carries them.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

// general_* fields of profile_tier_level, shared by the SPS and the hvcC header.
struct HevcProfileTierLevel {
    uint8_t profileSpace = 0;
    bool highTier = false;
    uint8_t profileIdc = 0;
    uint32_t compatibilityFlags = 0; // flag 0 in the top bit
    uint64_t constraintFlags = 0;    // the 48 bits after the compatibility flags
    uint8_t levelIdc = 0;            // 30 times the level number
};

struct HevcSps {
    bool ok = false;
    HevcProfileTierLevel ptl;
    uint8_t maxSubLayers = 1;
    uint32_t chromaFormatIdc = 0;
    bool separateColourPlanes = false;
    uint32_t codedWidth = 0;
    uint32_t codedHeight = 0;
    uint32_t width = 0; // after the conformance window
    uint32_t height = 0;
    uint32_t bitDepthLuma = 0;
    uint32_t bitDepthChroma = 0;
};

// Parses an SPS NAL unit (two header bytes first, emulation prevention in place).
HevcSps parseHevcSps(const uint8_t* nal, size_t size);

// The first SPS of a start-code byte stream that parses; ok=false when none does.
HevcSps findHevcSpsInByteStream(const uint8_t* data, size_t size);

struct HevcConfig {
    bool ok = false;
    uint8_t version = 0;
    HevcProfileTierLevel ptl;
    uint16_t minSpatialSegmentation = 0;
    uint8_t parallelismType = 0;
    uint8_t chromaFormatIdc = 0;
    uint8_t bitDepthLuma = 0;
    uint8_t bitDepthChroma = 0;
    uint16_t avgFrameRate = 0; // frames per 256 s
    uint8_t constantFrameRate = 0;
    uint8_t numTemporalLayers = 0;
    bool temporalIdNested = false;
    uint8_t nalLengthSize = 0;
    uint8_t arrayCount = 0;
    uint32_t vpsCount = 0;
    uint32_t spsCount = 0;
    uint32_t ppsCount = 0;
    HevcSps sps; // the first SPS of the arrays; ok=false when none parses
};

// Parses an HEVCDecoderConfigurationRecord (hvcC payload, or CodecPrivate).
HevcConfig parseHevcConfig(const uint8_t* data, size_t size);

// "Main", "Main 10", "Main Still Picture", "Rext"...; falls back on the compatibility
// flags when profile_idc is 0; "" when neither names one.
const char* hevcProfileName(const HevcProfileTierLevel& ptl);

} // namespace tavro

// H.264 sequence parameter sets and the MP4/Matroska avcC record that carries them.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

struct H264Sps {
    bool ok = false;
    uint8_t profileIdc = 0;
    uint8_t constraintFlags = 0; // constraint_set0 in the top bit, as in the byte
    uint8_t levelIdc = 0;
    uint32_t chromaFormatIdc = 1;
    bool separateColourPlanes = false;
    uint32_t bitDepthLuma = 8;
    uint32_t bitDepthChroma = 8;
    bool frameMbsOnly = true;
    uint32_t codedWidth = 0; // whole macroblocks
    uint32_t codedHeight = 0;
    uint32_t width = 0; // after frame cropping
    uint32_t height = 0;
    bool hasSar = false;
    uint32_t sarWidth = 0;
    uint32_t sarHeight = 0;
    bool hasTiming = false;
    uint32_t numUnitsInTick = 0;
    uint32_t timeScale = 0;
    // Frames per second as a fraction: a frame is two ticks. Zero when unknown.
    uint64_t frameRateNum = 0;
    uint64_t frameRateDen = 0;
};

// Parses an SPS NAL unit (header byte first, emulation prevention still in place).
H264Sps parseH264Sps(const uint8_t* nal, size_t size);

// The first SPS of a start-code byte stream that parses; ok=false when none does.
H264Sps findH264SpsInByteStream(const uint8_t* data, size_t size);

struct AvcConfig {
    bool ok = false;
    uint8_t version = 0;
    uint8_t profileIndication = 0;
    uint8_t profileCompatibility = 0;
    uint8_t levelIndication = 0;
    uint8_t nalLengthSize = 0; // 1, 2 or 4
    uint8_t spsCount = 0;
    uint8_t ppsCount = 0;
    H264Sps sps; // the first SPS; ok=false when the record holds none that parses
};

// Parses an AVCDecoderConfigurationRecord (the avcC box payload, or CodecPrivate).
AvcConfig parseAvcConfig(const uint8_t* data, size_t size);

// "High", "High 10", "Constrained Baseline"...; "" for an unknown profile_idc.
const char* h264ProfileName(uint8_t profileIdc, uint8_t constraintFlags);

} // namespace tavro

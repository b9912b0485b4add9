// AV1 sequence header OBUs and the av1C record of MP4/Matroska.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

struct Av1SequenceHeader {
    bool ok = false;
    uint8_t profile = 0;
    bool stillPicture = false;
    bool reducedStillPictureHeader = false;
    uint8_t operatingPoints = 0;
    uint8_t level = 0; // seq_level_idx of operating point 0; level X.Y = 2+idx/4 . idx%4
    bool highTier = false;
    bool hasTiming = false;
    uint32_t numUnitsInDisplayTick = 0;
    uint32_t timeScale = 0;
    uint32_t maxWidth = 0;
    uint32_t maxHeight = 0;
    uint8_t bitDepth = 8;
    bool monochrome = false;
    bool subsamplingX = true;
    bool subsamplingY = true;
    uint8_t colourPrimaries = 2; // 2 = unspecified
    uint8_t transferCharacteristics = 2;
    uint8_t matrixCoefficients = 2;
    bool fullRange = false;
};

// Parses the payload of a sequence header OBU (after its header and size).
Av1SequenceHeader parseAv1SequenceHeaderPayload(const uint8_t* data, size_t size);

// Walks OBUs (each with its size field, or the last one running to the end) and
// parses the first sequence header. The low-overhead .obu stream and the
// configOBUs of av1C are laid out like this.
Av1SequenceHeader findAv1SequenceHeader(const uint8_t* data, size_t size);

struct Av1Config {
    bool ok = false;
    uint8_t version = 0;
    uint8_t profile = 0;
    uint8_t level = 0;
    bool highTier = false;
    uint8_t bitDepth = 8; // from high_bitdepth and twelve_bit
    bool monochrome = false;
    bool subsamplingX = false;
    bool subsamplingY = false;
    uint8_t chromaSamplePosition = 0;
    bool hasInitialPresentationDelay = false;
    uint8_t initialPresentationDelay = 0; // frames
    Av1SequenceHeader sequenceHeader;     // from configOBUs; ok=false when absent
};

// Parses an AV1CodecConfigurationRecord (av1C payload, or CodecPrivate).
Av1Config parseAv1Config(const uint8_t* data, size_t size);

// "Main", "High", "Professional" for seq_profile 0..2; "" otherwise.
const char* av1ProfileName(uint8_t profile);

} // namespace tavro

// MPEG-4 audio: the AudioSpecificConfig of MP4 esds and Matroska A_AAC, and the ADTS
// frame header of raw .aac and MPEG-TS streams.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

struct AacConfig {
    bool ok = false;
    uint8_t objectType = 0; // the core object type (2 for LC under SBR/PS)
    uint32_t sampleRate = 0;
    uint8_t channelConfig = 0;
    uint32_t channels = 0; // from the configuration, or counted in a program config
    bool sbr = false;
    bool ps = false;
    bool sbrExplicit = false;      // signalled by object type 5/29 up front
    bool syncExtension = false;    // signalled by the trailing 0x2b7 extension
    uint32_t outputSampleRate = 0; // the SBR rate when SBR is present
    bool frameLength960 = false;
};

// Parses an AudioSpecificConfig. The core fields must be there; the trailing sync
// extension is read when its bits are.
AacConfig parseAacConfig(const uint8_t* data, size_t size);

// The profile as ffprobe names it: "LC", "HE-AAC", "HE-AACv2", "Main", "LTP"...;
// "AAC" for other object types.
const char* aacProfileName(const AacConfig& config);

// Rate for a sampling frequency index; 0 for the reserved and escape values.
uint32_t aacSampleRate(uint32_t index);

struct AdtsHeader {
    bool ok = false;
    bool mpeg2 = false;     // ID bit
    bool crc = false;       // protection_absent clear: a 16-bit CRC follows
    uint8_t objectType = 0; // profile + 1
    uint8_t frequencyIndex = 0;
    uint32_t sampleRate = 0;
    uint8_t channelConfig = 0;
    uint32_t frameLength = 0; // header included
    uint32_t bufferFullness = 0;
    uint8_t rawDataBlocks = 0; // blocks in the frame, 1..4
};

// Parses an ADTS header at the start of `data` (7 bytes, 9 with CRC).
AdtsHeader parseAdtsHeader(const uint8_t* data, size_t size);

} // namespace tavro

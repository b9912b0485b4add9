// What one MPEG audio scan found over a byte range. The frame table's storage is
// owned by MediaInfo and allocated once.
#pragma once
#include <cstdint>
#include <string>

namespace tavro {

constexpr int kFrameTableEntries = 5242;

struct MpegScanState {
    int32_t frameCount = 0;
    int32_t strayBytes = 0;
    double frameDuration = 0;
    double playTime = 0;
    uint32_t firstFrame = 0; // offset of the first counted frame in the scanned range
    uint32_t* frameTable = nullptr;
    int32_t tableCount = 0;
    std::string encoder; // at most 31 characters
    int verdict = 0;     // 0 not MPEG audio, 1 CBR, 2 VBR
    int version = 3;
    int layerCode = 0;
    int bitrate = 0;
    int sampleRate = 0;

    void reset();
};

} // namespace tavro

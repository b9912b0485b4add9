// MPEG audio frame scanner: walks a byte range for MPEG-1/MPEG-2 Layer I-III
// frame headers, counts the frames of one consistent stream and judges the range
// as not MPEG audio, CBR or VBR. Pure functions over caller-owned memory: the
// frame table is allocated once by the owner, a scan never allocates.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

// Entries of the frame table; entry 0 stays 0, entries 1..5241 hold frame ends.
constexpr int kMpegFrameTableSize = 5242;

enum MpegVerdict : int32_t { kMpegNone = 0, kMpegCbr = 1, kMpegVbr = 2 };

struct MpegScanState {
    int32_t frameCount = 0;
    // Byte positions after the first counted frame that did not start a counted frame.
    int32_t strayBytes = 0;
    double frameDuration = 0; // seconds per frame of the first counted frame
    double playTime = 0;      // seconds, frameDuration once per counted frame
    const uint8_t* firstFrame = nullptr;
    // kMpegFrameTableSize entries owned by the caller, or null for no table. Entry k
    // is the offset from the range start just past the k-th counted frame.
    uint32_t* frameTable = nullptr;
    int32_t tableCount = 0;
    // The table this state last zeroed whole; the scanner alone writes it since, so
    // the next reset clears only entries 1..tableCount.
    const uint32_t* zeroedTable = nullptr;
    char encoder[32] = {};
    int32_t verdict = kMpegNone;
    int32_t version = 3;   // 1 MPEG-1, 0 MPEG-2, 3 no frame seen
    int32_t layerCode = 0; // header bits: 1 Layer III, 2 Layer II, 3 Layer I
    int32_t bitrate = 0;   // kbps of the first counted frame
    int32_t sampleRate = 0;
};

// Empties the state but keeps (and zeroes) its frame table: the first time in full,
// later only as far as the last scan wrote it.
void resetMpegScan(MpegScanState& state);

// Resets the state, then scans [begin, end). Never reads outside the range. With
// `stopWhenNone`, a scan that can no longer reach a verdict stops there: the verdict
// is the same, the counts are those of the part scanned.
void scanMpegAudio(const uint8_t* begin, const uint8_t* end, MpegScanState& state,
                   bool stopWhenNone = false);

// kind: "MPEG-1 Layer 3"; rate: " 128 kbps 44100 Hz", " VBR 44100 Hz" or
// "(?) 44100 Hz". Both bounded by their sizes; meant for a non-zero verdict.
void describeMpegAudio(const MpegScanState& state, char* kind, size_t kindSize, char* rate,
                       size_t rateSize);

} // namespace tavro

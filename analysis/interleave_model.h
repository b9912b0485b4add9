// How the streams of an AVI's movi list are laid out as far as the head shows:
// runs of consecutive chunks per stream, recorded while the chunk walker visits
// them, then turned into the AVI flavour, the I/L and the IMRR report texts.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/mpeg_audio_scanner.h"

namespace tavro {

constexpr int kInterleaveSlots = 4; // slot 0 video, slots 1..3 audio streams 0..2
constexpr int kInterleaveMaxRuns = 524;
constexpr uint32_t kAudioCollectSize = 524288;

struct InterleaveRun {
    const uint8_t* data = nullptr; // payload of the run's first chunk in the head
    const uint8_t* copy = nullptr; // where that payload went in the collection buffer
    uint32_t bytes = 0;            // sum of the declared chunk sizes
    uint32_t chunks = 0;
};

struct InterleaveSlot {
    int32_t runCount = 0;
    uint32_t overflow = 0; // a run beyond the table was refused; recording stopped
    // Entries written since the last reset (closeRuns may drop one from runCount but
    // not from the table), so a reset clears only those.
    int32_t runsWritten = 0;
    InterleaveRun runs[kInterleaveMaxRuns];
};

struct InterleaveModel {
    int32_t currentStream = -1; // slot of the last recorded chunk
    int32_t firstStream = -1;   // slot of the first recorded chunk
    InterleaveSlot slots[kInterleaveSlots];
    uint32_t multipart = 0;
    uint32_t recList = 0; // video chunks were found inside "rec " lists
    double preloadNg = 0; // ms of audio ahead of the first MPEG frame; set by imrrText
};

void resetInterleave(InterleaveModel& model);

// Adds one chunk to the slot's current run or starts a new run.
void recordChunk(InterleaveModel& model, int slot, const uint8_t* data, const uint8_t* copy,
                 uint32_t size);

void recordVideoChunk(InterleaveModel& model, const uint8_t* payload, uint32_t size);

// Records audio stream n's chunk (its 8-byte header at chunkStart, the valid head
// ending at headEnd) and copies as much of its payload as both the head and the
// stream's collection buffer (kAudioCollectSize bytes at collectBegin) hold,
// advancing `write`.
void recordAudioChunk(InterleaveModel& model, int n, const uint8_t* chunkStart,
                      const uint8_t* headEnd, uint8_t* collectBegin, uint8_t*& write);

// The last run is taken to be cut by the end of the head and is dropped.
void closeRuns(InterleaveModel& model);

// The Type text of an AVI: "AVI", "OpenDML AVI", "Multipart OpenDML AVI", with
// ", VDub Segment", ", final" and ", \"rec list\" style" as they apply. Sets
// `multipart` when the OpenDML total exceeds the video header's length.
void aviFlavourText(uint32_t videoHeaderLength, uint32_t odmlTotalFrames, int32_t segmentNumber,
                    bool recList, uint32_t& multipart, char* out, size_t outSize);

// Milliseconds of MPEG audio between two byte positions of the scanned range.
// Returns 0, 99 when the scan has no frame table, 2 when the positions are not
// covered by the scanned frames.
int audioMsBetween(const MpegScanState& scan, uint32_t startBytes, uint32_t endBytes, double& ms);

// IMRR of audio stream n: seconds of audio per second of video over the
// interleaved part. Sets model.preloadNg; leaves `out` alone when nothing is known.
void imrrText(InterleaveModel& model, int n, const MpegScanState& scan, uint32_t microSecPerFrame,
              char* out, size_t outSize);

// I/L of audio stream n: interleave period, preload and NG; call after imrrText.
void interleaveText(const InterleaveModel& model, int n, const MpegScanState& scan,
                    uint32_t microSecPerFrame, char* out, size_t outSize);

} // namespace tavro

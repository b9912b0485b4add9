// Which stream each `movi` chunk belonged to, as runs of consecutive chunks.
#pragma once
#include <array>
#include <cstdint>

namespace tavro {

constexpr int kMaxRuns = 524;
constexpr int kVideoSlot = 0;

struct ChunkRun {
    uint32_t data = 0;  // payload offset of the run's first chunk in the head
    uint32_t copy = 0;  // where that payload went in the stream's collection buffer
    uint32_t bytes = 0; // declared sizes summed
    uint32_t chunks = 0;
};

struct StreamRuns {
    int32_t runCount = 0;
    uint32_t overflow = 0;
    std::array<ChunkRun, kMaxRuns> runs{};
};

struct InterleaveModel {
    int32_t currentStream = -1;
    int32_t firstStream = -1;
    std::array<StreamRuns, 4> slots{}; // 0 video, 1..3 audio streams 0..2
    uint32_t multipart = 0;
    double preloadNg = 0;
};

} // namespace tavro

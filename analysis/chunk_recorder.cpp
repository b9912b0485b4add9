#include "analysis/chunk_recorder.h"

namespace tavro {

void recordVideoChunk(MediaInfo& info, uint32_t chunk) {
    const uint8_t* head = info.headBuffer();
    recordVideoChunk(info.interleave, head + uint64_t(chunk) + 8,
                     info.head().u32(uint64_t(chunk) + 4));
}

void recordAudioChunk(MediaInfo& info, uint32_t chunk, int stream) {
    if (stream < 0 || stream >= kMaxAudioStreams || chunk >= info.headLength) return;
    const uint8_t* head = info.headBuffer();
    uint8_t* collect = info.audioCollect(stream);
    if (!collect) return;
    uint8_t* write = collect + info.audioWrite[stream];
    recordAudioChunk(info.interleave, stream, head + chunk, head + info.headLength, collect, write);
    info.audioWrite[stream] = static_cast<uint32_t>(write - collect);
}

void closeRuns(MediaInfo& info) {
    closeRuns(info.interleave);
}

} // namespace tavro

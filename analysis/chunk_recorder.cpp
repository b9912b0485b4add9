#include "analysis/chunk_recorder.h"

#include <cstring>

namespace tavro {
namespace {

void recordChunk(InterleaveModel& m, int slot, uint32_t data, uint32_t copy, uint32_t size) {
    if (m.currentStream != -1 && m.slots[m.currentStream].overflow) return;
    if (m.currentStream == -1) m.firstStream = slot;
    StreamRuns& runs = m.slots[slot];
    if (slot != m.currentStream) {
        m.currentStream = slot;
        if (runs.runCount >= kMaxRuns) {
            runs.overflow = 1;
            return;
        }
        ChunkRun& run = runs.runs[runs.runCount++];
        run = ChunkRun();
        run.data = data;
        run.copy = copy;
    }
    ChunkRun& run = runs.runs[runs.runCount - 1];
    run.bytes += size;
    run.chunks += 1;
}

} // namespace

void recordVideoChunk(MediaInfo& info, uint32_t chunk) {
    recordChunk(info.interleave, kVideoSlot, chunk + 8, 0, info.head().u32(uint64_t(chunk) + 4));
}

void recordAudioChunk(MediaInfo& info, uint32_t chunk, int stream) {
    ByteView head = info.head();
    uint32_t size = head.u32(uint64_t(chunk) + 4);
    uint32_t& write = info.audioWrite[stream];
    uint32_t copy = write;
    uint64_t payload = uint64_t(chunk) + 8;
    if (head.size() > payload && size != 0) {
        // Cut by the end of the head and by the room left in the collection buffer.
        uint64_t length = size;
        if (length > head.size() - payload) length = head.size() - payload;
        if (length > kHeadCapacity - write) length = kHeadCapacity - write;
        std::memcpy(info.audioCollect(stream) + write, head.data() + payload, length);
        write += static_cast<uint32_t>(length);
    }
    recordChunk(info.interleave, stream + 1, static_cast<uint32_t>(payload), copy, size);
}

void closeRuns(MediaInfo& info) {
    InterleaveModel& m = info.interleave;
    if (m.currentStream != -1 && m.slots[m.currentStream].runCount > 0)
        m.slots[m.currentStream].runCount -= 1;
}

} // namespace tavro

#include "analysis/interleave_model.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace tavro {
namespace {

uint32_t readLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Pointers of different buffers are compared as addresses, never dereferenced.
bool before(const void* a, const void* b) {
    return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b);
}

void put(char* out, size_t outSize, const std::string& text) {
    if (out && outSize > 0) std::snprintf(out, outSize, "%s", text.c_str());
}

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...) {
    char buffer[64];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buffer, sizeof buffer, fmt, args);
    va_end(args);
    return buffer;
}

} // namespace

void resetInterleave(InterleaveModel& model) {
    model.currentStream = -1;
    model.firstStream = -1;
    for (InterleaveSlot& slot : model.slots) {
        // Readers may look one entry past runCount and expect zeroes there.
        std::memset(static_cast<void*>(slot.runs), 0, sizeof slot.runs[0] * slot.runsWritten);
        slot.runCount = 0;
        slot.overflow = 0;
        slot.runsWritten = 0;
    }
    model.multipart = 0;
    model.recList = 0;
    model.preloadNg = 0;
}

void recordChunk(InterleaveModel& model, int slot, const uint8_t* data, const uint8_t* copy,
                 uint32_t size) {
    if (slot < 0 || slot >= kInterleaveSlots) return;
    // Once one slot overflowed the whole model stops growing, so the runs of all
    // slots still describe the same stretch of the file.
    if (model.currentStream != -1 && model.slots[model.currentStream].overflow) return;
    if (model.currentStream == -1) model.firstStream = slot;
    InterleaveSlot& s = model.slots[slot];
    if (slot != model.currentStream) {
        model.currentStream = slot;
        if (s.runCount >= kInterleaveMaxRuns) {
            s.overflow = 1;
            return;
        }
        InterleaveRun& run = s.runs[s.runCount++];
        if (s.runCount > s.runsWritten) s.runsWritten = s.runCount;
        run.data = data;
        run.copy = copy;
        run.bytes = 0;
        run.chunks = 0;
    }
    if (s.runCount <= 0) return;
    InterleaveRun& run = s.runs[s.runCount - 1];
    run.bytes += size;
    run.chunks += 1;
}

void recordVideoChunk(InterleaveModel& model, const uint8_t* payload, uint32_t size) {
    recordChunk(model, 0, payload, nullptr, size);
}

void recordAudioChunk(InterleaveModel& model, int n, const uint8_t* chunkStart,
                      const uint8_t* headEnd, uint8_t* collectBegin, uint8_t*& write) {
    if (n < 0 || n >= kInterleaveSlots - 1 || !chunkStart) return;
    const uint8_t* copy = write;
    const size_t avail =
        before(chunkStart, headEnd) ? static_cast<size_t>(headEnd - chunkStart) : 0;
    // A chunk header cut by the end of the head has no readable size.
    const uint32_t size = avail >= 8 ? readLe32(chunkStart + 4) : 0;
    const uint8_t* payload = chunkStart + (avail < 8 ? avail : 8);
    if (avail > 8 && size != 0 && collectBegin && write) {
        size_t length = size;
        if (length >= avail - 8) length = avail - 8; // the head ends inside the chunk
        const uintptr_t at = reinterpret_cast<uintptr_t>(write);
        const uintptr_t base = reinterpret_cast<uintptr_t>(collectBegin);
        if (at >= base && at - base <= kAudioCollectSize) {
            const size_t room = kAudioCollectSize - (at - base);
            if (length > room) length = room;
            std::memcpy(write, payload, length);
            write += length;
        }
    }
    recordChunk(model, n + 1, payload, copy, size);
}

void closeRuns(InterleaveModel& model) {
    if (model.currentStream < 0 || model.currentStream >= kInterleaveSlots) return;
    InterleaveSlot& s = model.slots[model.currentStream];
    if (s.runCount > 0) s.runCount -= 1;
}

void aviFlavourText(uint32_t videoHeaderLength, uint32_t odmlTotalFrames, int32_t segmentNumber,
                    bool recList, uint32_t& multipart, char* out, size_t outSize) {
    if (videoHeaderLength < odmlTotalFrames) multipart = 1;
    std::string text = multipart              ? "Multipart OpenDML AVI, "
                       : odmlTotalFrames != 0 ? "OpenDML AVI, "
                                              : "AVI, ";
    if (segmentNumber > 0) text += "VDub Segment, ";
    if (segmentNumber == 1) text += "final, ";
    if (recList) text += "\"rec list\" style, ";
    text.resize(text.size() - 2);
    put(out, outSize, text);
}

int audioMsBetween(const MpegScanState& scan, uint32_t startBytes, uint32_t endBytes, double& ms) {
    const int32_t count = scan.tableCount;
    if (count <= 0 || !scan.frameTable) return 99;
    // The table holds entries 0..count; count never exceeds its last index.
    const uint32_t* table = scan.frameTable;
    int32_t i = 0;
    while (i < count && table[i] < startBytes)
        ++i;
    if (i >= count) return 2;
    int32_t j = i;
    while (j < count && table[j] < endBytes)
        ++j;
    const uint64_t last = table[count];
    if (endBytes > last + last / static_cast<uint64_t>(count) + 1) return 2;
    ms = (j - i) * scan.frameDuration * 1000.0;
    return 0;
}

void imrrText(InterleaveModel& model, int n, const MpegScanState& scan, uint32_t microSecPerFrame,
              char* out, size_t outSize) {
    model.preloadNg = 0;
    if (n < 0 || n >= kInterleaveSlots - 1) return;
    const InterleaveSlot& video = model.slots[0];
    const InterleaveSlot& audio = model.slots[n + 1];
    const int32_t runs = video.runCount < audio.runCount ? video.runCount : audio.runCount;
    if (runs <= 0 || scan.verdict == kMpegNone || microSecPerFrame == 0) return;

    // Leading audio runs that hold no frame start are preload the player cannot use.
    // The 3/4 cap keeps i well inside the run table (runs <= 524).
    uint64_t startBytes = audio.runs[0].bytes;
    int32_t i = 1;
    bool tooMany = false;
    if (before(audio.runs[1].copy, scan.firstFrame)) {
        do {
            startBytes += audio.runs[i].bytes;
            const int32_t added = i++;
            if (added > (3 * runs) / 4) {
                tooMany = true;
                break;
            }
        } while (before(audio.runs[i].copy, scan.firstFrame));
        model.preloadNg = static_cast<double>(startBytes / 1152 + 1) * scan.frameDuration * 1000.0;
        if (tooMany) return;
    }

    uint64_t videoFrames = 0;
    uint64_t endBytes = startBytes;
    for (int32_t k = i; k < runs; ++k) {
        videoFrames += video.runs[k].chunks;
        endBytes += audio.runs[k].bytes;
    }
    const double videoMs = static_cast<double>(microSecPerFrame * videoFrames) * 0.001;
    double audioMs = 0;
    // Byte positions past 4 GiB are beyond any frame table: clamp keeps them uncovered.
    const auto clamp32 = [](uint64_t v) { return v > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(v); };
    const int e = audioMsBetween(scan, clamp32(startBytes), clamp32(endBytes), audioMs);
    if (e != 0) {
        put(out, outSize, format("Err %d", e));
        return;
    }
    if (audioMs > 0 && videoMs > 0) {
        const double r = audioMs / videoMs;
        put(out, outSize, (r >= 0.99 && r <= 1.01) ? std::string("1.00") : format("%1.2f", r));
    }
}

void interleaveText(const InterleaveModel& model, int n, const MpegScanState& scan,
                    uint32_t microSecPerFrame, char* out, size_t outSize) {
    if (n < 0 || n >= kInterleaveSlots - 1) return;
    const InterleaveSlot& video = model.slots[0];
    if (video.runCount < 2 || scan.verdict == kMpegNone) return;
    const int32_t count = video.runCount;

    // Part A, the period. The first run may differ (it often carries the preroll).
    std::string a;
    bool uniform = true;
    int equalRuns = 0;
    for (int32_t k = 1; k < count; ++k) {
        const uint32_t c = video.runs[k].chunks;
        if (c > 0 && c == video.runs[k - 1].chunks) {
            ++equalRuns;
        } else if (k > 1) {
            uniform = false;
            break;
        }
    }
    if (uniform && equalRuns > 0) {
        const uint32_t f = video.runs[1].chunks;
        const uint64_t ms = (uint64_t(microSecPerFrame) * f + 500) / 1000;
        a = f == 1 ? format("%d frame (%d ms)", 1, int(ms))
                   : format("%d frames (%d ms)", int(f), int(ms));
    } else {
        const int32_t start = video.runs[0].chunks > 1 ? 0 : 1;
        uint64_t total = 0;
        for (int32_t k = start; k < count; ++k)
            total += video.runs[k].chunks;
        const uint64_t m = uint64_t(count - start);
        if (m > 0) {
            const uint64_t ms = (uint64_t(microSecPerFrame) * total / m + 500) / 1000;
            a = format("%d ms (%3.1f frames)", int(ms), double(total) / double(m));
        }
    }

    // Part B, the preload, when the movi list opens with audio before one frame.
    std::string b;
    if (model.firstStream != 0 && video.runs[0].chunks == 1) {
        double ms = 0;
        const int e = audioMsBetween(scan, 0, model.slots[n + 1].runs[0].bytes, ms);
        b = e != 0 ? format("E%d/%3.0f", e, 0.0) : format(", p=%d", int(ms + 0.5));
    }

    // Part Z: audio ahead of the first frame start, as imrrText found it.
    std::string z;
    if (model.preloadNg != 0) z = format(" NG=%3.0f", model.preloadNg);

    if (!a.empty() || !b.empty() || !z.empty()) put(out, outSize, a + b + z);
}

} // namespace tavro

// Scans arbitrary bytes as MPEG audio, then walks the same bytes as a movi chunk
// list (00dc video, 01wb..03wb audio) through the interleave recorder and builds
// every report text, checking the model's and the scan's bounds as it goes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "analysis/interleave_model.h"
#include "analysis/mpeg_audio_scanner.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void checkScan(const tavro::MpegScanState& s) {
    check(s.verdict >= 0 && s.verdict <= 2);
    check(s.tableCount >= 0 && s.tableCount < tavro::kMpegFrameTableSize);
    check(s.tableCount <= s.frameCount || !s.frameTable);
    const size_t n = strnlen(s.encoder, sizeof s.encoder);
    check(n < sizeof s.encoder);
    for (size_t i = 0; i < n; ++i)
        check(s.encoder[i] > ' ' && s.encoder[i] < 0x7F);
    char kind[32], rate[32];
    tavro::describeMpegAudio(s, kind, sizeof kind, rate, sizeof rate);
}

struct Buffers {
    std::vector<uint8_t> collect[3];
    std::vector<uint32_t> tables[3];
    tavro::InterleaveModel model;
    Buffers() {
        for (int n = 0; n < 3; ++n) {
            collect[n].resize(tavro::kAudioCollectSize);
            tables[n].resize(tavro::kMpegFrameTableSize);
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::vector<uint32_t> table(tavro::kMpegFrameTableSize);
    static Buffers* buffers = new Buffers;

    tavro::MpegScanState file;
    file.frameTable = table.data();
    tavro::scanMpegAudio(data, data + size, file);
    checkScan(file);

    if (size < 1) return 0;
    const uint32_t steer = data[0];
    const uint32_t microSecPerFrame = steer < 16 ? steer * 1000003u : 40000u;
    const uint8_t* head = data + 1;
    const uint8_t* end = data + size;
    tavro::InterleaveModel& model = buffers->model;
    tavro::resetInterleave(model);
    uint8_t* write[3];
    for (int n = 0; n < 3; ++n)
        write[n] = buffers->collect[n].data();
    // The chunk walk is ours, not the program's: enough to reach the recorder.
    for (size_t at = 0, steps = 0; at + 8 <= size - 1 && steps < 100000; ++steps) {
        const uint8_t* c = head + at;
        const uint32_t declared = c[4] | c[5] << 8 | c[6] << 16 | uint32_t(c[7]) << 24;
        if (std::memcmp(c, "00dc", 4) == 0 || std::memcmp(c, "00db", 4) == 0) {
            tavro::recordVideoChunk(model, c + 8, declared);
        } else if (c[0] == '0' && c[1] >= '1' && c[1] <= '3' && c[2] == 'w' && c[3] == 'b') {
            const int n = c[1] - '1';
            tavro::recordAudioChunk(model, n, c, end, buffers->collect[n].data(), write[n]);
            check(write[n] <= buffers->collect[n].data() + tavro::kAudioCollectSize);
        }
        const uint64_t next = uint64_t(at) + 8 + declared + (declared & 1);
        if (next > size - 1) break;
        at = static_cast<size_t>(next);
    }
    tavro::closeRuns(model);
    for (const tavro::InterleaveSlot& slot : model.slots)
        check(slot.runCount >= 0 && slot.runCount <= tavro::kInterleaveMaxRuns);

    char text[80];
    uint32_t multipart = 0;
    tavro::aviFlavourText(steer, steer >> 1, static_cast<int32_t>(steer & 3) - 1, steer & 4,
                          multipart, text, sizeof text);
    for (int n = 0; n < 3; ++n) {
        tavro::MpegScanState scan;
        scan.frameTable = buffers->tables[n].data();
        tavro::scanMpegAudio(buffers->collect[n].data(), write[n], scan);
        checkScan(scan);
        char imrr[32] = "None or Not Determined", il[48] = "n.d.";
        tavro::imrrText(model, n, scan, microSecPerFrame, imrr, sizeof imrr);
        tavro::interleaveText(model, n, scan, microSecPerFrame, il, sizeof il);
        check(strnlen(imrr, sizeof imrr) < sizeof imrr && strnlen(il, sizeof il) < sizeof il);
    }
    return 0;
}

// The interleave recorder over AVIs made by ffmpeg (make_samples): the chunk runs
// must match the packet order ffprobe reports, and the texts must read as the
// mux was asked to interleave. The small movi walk here stands in for the
// program's chunk walker.
#include "analysis/interleave_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace tavro {
namespace {

const std::string kSamples = TAVRO_BINARY_DIR "/tests/analysis/mpeg/samples/";

uint32_t le32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

struct Avi {
    bool found = false;
    std::vector<uint8_t> head;
    uint32_t microSecPerFrame = 0;
    struct Chunk {
        int slot;
        uint32_t offset, size;
    };
    std::vector<Chunk> chunks;
    std::unique_ptr<InterleaveModel> model = std::make_unique<InterleaveModel>();
    std::vector<uint8_t> collect[3];
    uint8_t* write[3] = {};
    std::vector<uint32_t> tables[3];
    MpegScanState scans[3];

    // Children of the list whose payload spans [from, to).
    void walk(size_t from, size_t to) {
        const uint8_t* end = head.data() + head.size();
        for (size_t at = from; at + 8 <= to;) {
            const uint8_t* c = &head[at];
            const uint32_t size = le32(c + 4);
            if (std::memcmp(c, "LIST", 4) == 0) {
                walk(at + 12, std::min<size_t>(to, at + 8 + size));
            } else if (std::memcmp(c, "avih", 4) == 0) {
                microSecPerFrame = le32(c + 8);
            } else if (std::memcmp(c, "00dc", 4) == 0 || std::memcmp(c, "00db", 4) == 0) {
                recordVideoChunk(*model, c + 8, size);
                chunks.push_back({0, uint32_t(at), size});
            } else if (c[0] == '0' && c[1] >= '1' && c[1] <= '3' && !std::memcmp(c + 2, "wb", 2)) {
                const int n = c[1] - '1';
                recordAudioChunk(*model, n, c, end, collect[n].data(), write[n]);
                chunks.push_back({n + 1, uint32_t(at), size});
            }
            at += 8 + size + (size & 1);
        }
    }

    explicit Avi(const std::string& name) {
        std::ifstream in(kSamples + name, std::ios::binary);
        if (!in) return;
        found = true;
        head.assign(std::istreambuf_iterator<char>(in), {});
        if (head.size() > kAudioCollectSize) head.resize(kAudioCollectSize);
        resetInterleave(*model);
        for (int n = 0; n < 3; ++n) {
            collect[n].resize(kAudioCollectSize);
            write[n] = collect[n].data();
        }
        walk(12, head.size());
        closeRuns(*model);
        for (int n = 0; n < 3; ++n) {
            tables[n].resize(kMpegFrameTableSize);
            scans[n].frameTable = tables[n].data();
            scanMpegAudio(collect[n].data(), write[n], scans[n]);
        }
    }

    std::string imrr(int n) {
        char out[64] = "None or Not Determined";
        imrrText(*model, n, scans[n], microSecPerFrame, out, sizeof out);
        return out;
    }
    std::string il(int n) {
        char out[64] = "n.d.";
        interleaveText(*model, n, scans[n], microSecPerFrame, out, sizeof out);
        return out;
    }
};

// ffprobe's packets as (stream index, position), in file order.
std::vector<std::pair<int, uint32_t>> packets(const std::string& name) {
    std::vector<std::pair<int, uint32_t>> out;
    std::ifstream in(kSamples + name);
    int stream;
    char comma;
    uint32_t pos;
    while (in >> stream >> comma >> pos)
        out.push_back({stream, pos});
    return out;
}

TEST(AviInterleaveSamples, ChunksMatchFfprobeAndRunsTheirOrder) {
    for (const char* name :
         {"avi_mp3_cbr", "avi_mp3_preload", "avi_mp3_vbr", "avi_mp3_two_audio"}) {
        SCOPED_TRACE(name);
        Avi avi(std::string(name) + ".avi");
        if (!avi.found) GTEST_SKIP() << "samples not made: run the mpeg_samples fixture";
        // ffprobe lists payload positions and leaves out empty chunks.
        std::vector<std::pair<int, uint32_t>> seen;
        for (const Avi::Chunk& c : avi.chunks)
            if (c.size > 0) seen.push_back({c.slot, c.offset + 8});
        ASSERT_EQ(seen, packets(std::string(name) + ".packets"));

        // Runs of the walk's order, empty chunks included, the last run dropped.
        std::vector<uint32_t> expected[kInterleaveSlots];
        for (size_t i = 0; i < avi.chunks.size(); ++i) {
            const int slot = avi.chunks[i].slot;
            if (i == 0 || slot != avi.chunks[i - 1].slot) expected[slot].push_back(0);
            expected[slot].back() += 1;
        }
        expected[avi.chunks.back().slot].pop_back();
        for (int slot = 0; slot < kInterleaveSlots; ++slot) {
            const InterleaveSlot& s = avi.model->slots[slot];
            ASSERT_EQ(s.runCount, int32_t(expected[slot].size())) << "slot " << slot;
            for (int32_t r = 0; r < s.runCount; ++r)
                EXPECT_EQ(s.runs[r].chunks, expected[slot][r]) << "slot " << slot << " run " << r;
        }
    }
}

TEST(AviInterleaveSamples, Texts) {
    struct Case {
        const char* file;
        int n;
        int verdict;
        const char* imrr;
        const char* il;
    } cases[] = {
        // ffmpeg opens the movi list with one audio frame (26 ms) and now and then
        // writes an empty video chunk, which makes a two-frame run: no uniform period.
        {"avi_mp3_cbr.avi", 0, kMpegCbr, "1.00", "40 ms (1.0 frames), p=26"},
        // 21 audio frames (549 ms) ahead of the first video frame.
        {"avi_mp3_preload.avi", 0, kMpegCbr, "0.99", "40 ms (1.0 frames), p=549"},
        {"avi_mp3_vbr.avi", 0, kMpegVbr, "1.00", "40 ms (1.0 frames), p=26"},
        // Audio runs pair with video runs by index; two audio streams alternating
        // between frames give more audio runs than video runs, so the ratio reads low.
        {"avi_mp3_two_audio.avi", 0, kMpegCbr, "0.65", "40 ms (1.0 frames), p=26"},
        {"avi_mp3_two_audio.avi", 1, kMpegCbr, "0.65", "40 ms (1.0 frames), p=26"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " stream " + std::to_string(c.n));
        Avi avi(c.file);
        if (!avi.found) GTEST_SKIP() << "samples not made: run the mpeg_samples fixture";
        EXPECT_EQ(avi.microSecPerFrame, 40000u);
        EXPECT_EQ(avi.scans[c.n].verdict, c.verdict);
        EXPECT_EQ(avi.imrr(c.n), c.imrr);
        EXPECT_EQ(avi.il(c.n), c.il);
    }
}

} // namespace
} // namespace tavro

// Throughput of the MPEG audio scanner over one 512 KiB range, as the program
// scans a file head: MP3 data (a file named on the command line, else built
// frames), random bytes and the worst case. Prints MB/s of each.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "analysis/mpeg_audio_scanner.h"

namespace {

constexpr size_t kRange = 524288;

double megabytesPerSecond(const std::vector<uint8_t>& data, int* verdict) {
    std::vector<uint32_t> table(tavro::kMpegFrameTableSize);
    tavro::MpegScanState state;
    state.frameTable = table.data();
    const int rounds = 400;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        tavro::scanMpegAudio(data.data(), data.data() + data.size(), state);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    *verdict = state.verdict;
    return data.size() * double(rounds) / took.count() / 1e6;
}

std::vector<uint8_t> mp3Data(const char* path) {
    std::vector<uint8_t> data;
    if (path) {
        if (FILE* f = std::fopen(path, "rb")) {
            data.resize(kRange);
            data.resize(std::fread(data.data(), 1, kRange, f));
            std::fclose(f);
        }
    }
    if (data.empty()) { // 128 kbps 44.1 kHz frames with a busy payload
        std::mt19937 rng(7);
        while (data.size() + 418 <= kRange) {
            const size_t at = data.size();
            for (int i = 0; i < 418; ++i)
                data.push_back(static_cast<uint8_t>(rng() % 255));
            data[at] = 0xFF;
            data[at + 1] = 0xFB;
            data[at + 2] = 0x92;
        }
    }
    return data;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<uint8_t> random(kRange);
    std::mt19937 rng(1);
    for (uint8_t& b : random)
        b = static_cast<uint8_t>(rng());
    int verdict = 0;
    const double mp3 = megabytesPerSecond(mp3Data(argc > 1 ? argv[1] : nullptr), &verdict);
    std::printf("ScanMpegAudio, MP3 data:     %8.0f MB/s (verdict %d)\n", mp3, verdict);
    const double noise = megabytesPerSecond(random, &verdict);
    std::printf("ScanMpegAudio, random bytes: %8.0f MB/s (verdict %d)\n", noise, verdict);
    // Every byte a sync byte but no valid header: no jump ever helps.
    const double worst = megabytesPerSecond(std::vector<uint8_t>(kRange, 0xFF), &verdict);
    std::printf("ScanMpegAudio, all 0xFF:     %8.0f MB/s (verdict %d)\n", worst, verdict);
    return 0;
}

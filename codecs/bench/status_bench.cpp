// Per-file codec status resolution over full inventories (199 video, 300 audio
// records) with a FourCC and a tag that match nothing, the longest searches.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "codecs/codec_status.h"
#include "codecs/media_guids.h"
#include "tests/codecs/fake_codec_sources.h"

int main(int argc, char** argv) {
    using namespace tavro;
    const int runs = argc > 1 ? std::atoi(argv[1]) : 20000;
    SilentPrompter prompter;
    CodecDatabase db;
    if (!db.load(platformFileSystem(), prompter)) {
        std::fprintf(stderr, "status_bench: Tavro21.dat did not load\n");
        return 1;
    }
    FakeMachine m;
    m.directShow.categories.push_back({kVideoCompressorCategory, {}});
    for (int i = 0; i < 250; ++i) {
        char fcc[8];
        std::snprintf(fcc, sizeof fcc, "F%03d", i);
        m.directShow.categories[0].second.push_back(
            moniker(std::string("Filter ") + fcc, "{11111111-0000-0000-0000-000000000001}", fcc));
    }
    std::vector<AcmFormatTagDetails> tags;
    for (uint32_t t = 2; t < 400; ++t)
        tags.push_back(acmTag(t, "tag"));
    m.acm.drivers.push_back(acmDriver("Many", tags));
    CodecSources sources = m.sources();
    auto video = VideoCodecInventory::create();
    auto audio = AudioCodecInventory::create();
    video->build(sources, 0xFFFFFFFF, db);
    audio->build(sources, 0xFFFFFFFF);

    std::vector<double> micros;
    micros.reserve(static_cast<size_t>(runs));
    size_t sink = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        VideoCodecStatus v =
            resolveVideoCodec({0x44495658 /* XVID */, 0x64697678, 1}, db, video.get());
        AudioCodecStatus a = resolveAudioCodec({0x2000, 0, "", 1}, db, audio.get());
        const auto stop = std::chrono::steady_clock::now();
        sink += v.status.text.size() + a.status.text.size();
        micros.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
    }
    std::sort(micros.begin(), micros.end());
    std::printf("status resolution (video + audio, %d/%d records): median %.2f us, p99 %.2f us "
                "(%d runs, target < 50 us)%s\n",
                video->count(), audio->count(), micros[micros.size() / 2],
                micros[micros.size() * 99 / 100], runs, sink ? "" : " ");
    return 0;
}

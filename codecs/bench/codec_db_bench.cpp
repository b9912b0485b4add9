// Times CodecDatabase::load on the Tavro21.dat in the current folder: open,
// one read and the in-place parse, as start-up does it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "codecs/codec_database.h"

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 2000;
    tavro::SilentPrompter prompter;
    std::vector<double> micros;
    micros.reserve(static_cast<size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        tavro::CodecDatabase db;
        auto start = std::chrono::steady_clock::now();
        bool ok = db.load(tavro::platformFileSystem(), prompter);
        auto stop = std::chrono::steady_clock::now();
        if (!ok) {
            std::fprintf(stderr, "codec_db_bench: Tavro21.dat did not load\n");
            return 1;
        }
        micros.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
    }
    std::sort(micros.begin(), micros.end());
    std::printf("codec data base load: median %.1f us, min %.1f us, p99 %.1f us (%d runs, "
                "target < 1000 us)\n",
                micros[micros.size() / 2], micros.front(), micros[micros.size() * 99 / 100], runs);
    return 0;
}

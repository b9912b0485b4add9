// Fuzzes the file map: a whole file analysis with the map as the readers' span sink
// (RIFF chunks, OpenDML super indexes, Ogg pages, MPEG audio frames), then every
// bin read back, the JSON-side views and the SVG drawn. The first 8 input bytes
// are the claimed file size, fuzzed apart from the content.
#include <cstdint>
#include <cstring>
#include <memory>

#include "app/analysis_driver.h"
#include "fuzz/bytes_file_system.h"
#include "report/map/map_svg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static tavro::ReportModel report;
    static tavro::SilentPrompter prompter;
    static tavro::fuzz::BytesFileSystem files;
    static std::unique_ptr<tavro::AnalysisDriver> driver =
        tavro::AnalysisDriver::create(report, prompter, files, 1);
    // A small budget: the same code paths, bins widened more often, and each input
    // read back whole in little time.
    static tavro::FileMap map(64, 32);
    if (size < 8) return 0;
    uint64_t claimed = 0;
    std::memcpy(&claimed, data, 8);
    files.data = data + 8;
    files.size = size - 8;
    // Half the time a size near the real one (cut and padded files), else any size.
    files.claimed = (claimed & 1) ? claimed >> 1 : files.size + ((claimed >> 1) & 0xFFFF) - 0x8000;
    driver->info().spans = &map;
    map.reset();
    tavro::FileList& list = driver->fileList();
    list.clear();
    list.add("fuzz.avi");
    driver->analyseCurrentFile();

    uint64_t sum = 0;
    for (int b = 0; b < map.binCount(); ++b) {
        const tavro::MapBinView v = map.bin(b);
        uint64_t parts = v.gap + v.unread + v.missing;
        for (uint64_t bytes : v.layers)
            parts += bytes;
        // The parts of a bin never exceed it.
        if (parts > v.end - v.begin) __builtin_trap();
        sum += parts;
    }
    if (map.binCount() > 64 || map.timeBinCount() > 32) __builtin_trap();
    // The columns the JSON is written from hold what the bins do.
    static uint64_t rows[tavro::kMapLayers + 3][64];
    uint64_t* columns[tavro::kMapLayers + 3];
    for (int part = 0; part < tavro::kMapLayers + 3; ++part)
        columns[part] = rows[part];
    map.fillColumns(columns);
    for (int b = 0; b < map.binCount(); ++b) {
        const tavro::MapBinView v = map.bin(b);
        for (uint32_t used = map.usedLayers(); used != 0; used &= used - 1) {
            const int l = __builtin_ctz(used);
            if (rows[l][b] != v.layers[size_t(l)]) __builtin_trap();
        }
        if (rows[tavro::kMapLayers][b] != v.gap || rows[tavro::kMapLayers + 1][b] != v.unread ||
            rows[tavro::kMapLayers + 2][b] != v.missing)
            __builtin_trap();
    }
    for (int s = 0; s < tavro::kMapStreams; ++s)
        for (int b = 0; b < map.timeBinCount(); ++b)
            sum += map.timeCell(s, b).first;
    // Kept, so the reads above and the picture are not optimised away.
    static volatile size_t kept = 0;
    kept = kept + sum + tavro::fileMapSvg(map, "fuzz.avi").size();
    return 0;
}

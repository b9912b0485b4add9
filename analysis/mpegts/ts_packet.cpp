#include "analysis/mpegts/ts_packet.h"

namespace tavro {

namespace {

// Whether sync bytes sit at `at`, `at + stride`, ... for `run` packets, or until the
// span ends with at least `atLeast` of them seen.
bool syncRunAt(const uint8_t* data, size_t size, size_t at, uint32_t stride, int run, int atLeast) {
    for (int k = 0; k < run; ++k) {
        if (at >= size) return k >= atLeast;
        if (data[at] != kTsSync) return false;
        if (stride > size - at) return k + 1 >= atLeast;
        at += stride;
    }
    return true;
}

} // namespace

TsFraming findTsFraming(const uint8_t* data, size_t size, size_t searchBytes, int runLength) {
    // For M2TS the sync byte follows the 4-byte timestamp, so a file starts at 4.
    static const uint32_t kStrides[] = {188, 192, 204};
    const size_t limit = searchBytes < size ? searchBytes : size;
    for (size_t at = 0; at < limit; ++at) {
        if (data[at] != kTsSync) continue;
        for (uint32_t stride : kStrides) {
            // A short file may hold fewer packets than the run; two in a row must agree.
            if (syncRunAt(data, size, at, stride, runLength, 2)) return {stride, at};
        }
    }
    return {};
}

size_t findResync(const uint8_t* data, size_t size, size_t from, uint32_t stride, int runLength) {
    for (size_t at = from; at < size; ++at)
        if (data[at] == kTsSync && syncRunAt(data, size, at, stride, runLength, 1)) return at;
    return size;
}

} // namespace tavro

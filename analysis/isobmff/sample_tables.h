// The sample tables of a track summarised in one pass: counts, byte and time sums,
// and how far the samples reach, without keeping any entry.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/isobmff/iso_file.h"

namespace tavro {

struct TablePayload {
    const uint8_t* data = nullptr;
    size_t size = 0;
    bool present() const { return data != nullptr; }
};

struct SampleTableBoxes {
    TablePayload stts, stsz, stz2, stsc, stco, co64;
};

// Fills the sample count, byte and duration sums of `track`, and where its sample
// data ends against `fileSize`. Problems found go to `file`.
void summariseSampleTables(const SampleTableBoxes& boxes, uint64_t fileSize, uint64_t maxEntries,
                           IsoTrack& track, IsoFile& file);

} // namespace tavro

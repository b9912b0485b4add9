// The filters the render test found, as fixed records: the detail view of a graph
// filter and the explanation texts read them by index after the test.
#pragma once
#include <cstdint>

#include "codecs/guid.h"
#include "render/graph_description.h"

namespace tavro {

struct PinSlot {
    int32_t used = 0;
    char name[128] = {};
    Guid major{};
    Guid subtype{};
    uint64_t pin = 0;  // identity of the pin (GraphPin::id)
    uint64_t peer = 0; // identity of the pin it is connected to, 0 for none
};

struct FilterRecord {
    char name[128] = {};
    Guid clsid{};
    char driverFile[260] = {}; // the render test leaves it empty
    PinSlot input;
    PinSlot output1;
    PinSlot output2;
    // Indices into the installed-codec inventories; -1 for no codec. Only the
    // records classified as decoders get one.
    int32_t videoCodecIndex = -1;
    int32_t audioCodecIndex = -1;
    char primaryFourcc[5] = {}; // only on the video decoder

    bool present() const { return name[0] != '\0'; }
    // This record's first (or second) output is connected to `other`'s input pin.
    bool feeds(const FilterRecord& other, bool secondOutput = false) const;
};

struct FilterTable {
    static constexpr int kCapacity = 10;
    FilterRecord records[kCapacity];
    int count = 0; // records filled by the last test

    // Every record back to its empty state (names empty, codec indices -1).
    void clear();
    const FilterRecord* at(int index) const {
        return index >= 0 && index < kCapacity ? &records[index] : nullptr;
    }
};

// Fills the table from a described graph: filter k into record k (at most 10);
// per filter the first input pin and the first two output pins get slots, any
// further pins are left out.
void fillFilterTable(const GraphDescription& graph, FilterTable& table);

} // namespace tavro

// Feeds arbitrary bytes, as a registry value, to the readers of registered pin
// and media type lists: FilterData and the InputTypes/OutputTypes pairs. The first
// byte picks how much of the rest the value claims, apart from the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "codecs/mft_inventory.h"
#include "codecs/other_arch_codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t steer = data[0];
    std::vector<uint8_t> value(data + 1, data + size);
    // A value shorter than the bytes given: the tail must never be read.
    if (steer & 0x80) value.resize(value.size() * (steer & 0x7F) / 127);

    tavro::FilterDataInfo info;
    if (tavro::parseFilterData(value, &info)) {
        if (info.pins.size() > 64) std::abort();
        for (const tavro::FilterPin& pin : info.pins)
            if (pin.types.size() > 64) std::abort();
    }
    const size_t limit = steer & 0x3F;
    const std::vector<tavro::MediaTypePair> pairs = tavro::parseMftTypePairs(value, limit);
    if (pairs.size() > limit || pairs.size() * 32 > value.size()) std::abort();
    return 0;
}

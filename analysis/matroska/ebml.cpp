#include "analysis/matroska/ebml.h"

#include <cstring>

namespace tavro {

bool isSegmentLevelId(uint32_t id) {
    switch (id) {
    case mkvid::kCluster:
    case mkvid::kCues:
    case mkvid::kTags:
    case mkvid::kInfo:
    case mkvid::kTracks:
    case mkvid::kSeekHead:
    case mkvid::kChapters:
    case mkvid::kAttachments:
    case mkvid::kSegment:
    case mkvid::kEbml:
        return true;
    default:
        return false;
    }
}

VintStatus readVint(const uint8_t* data, size_t available, size_t maxLength, Vint& out) {
    if (available == 0) return VintStatus::shortRead;
    const uint8_t first = data[0];
    if (first == 0) return VintStatus::invalid; // longer than eight bytes
    size_t length = 1;
    while (!(first & (0x80 >> (length - 1))))
        ++length;
    if (length > maxLength) return VintStatus::invalid;
    if (length > available) return VintStatus::shortRead;
    const uint8_t marker = static_cast<uint8_t>(0x80 >> (length - 1));
    uint64_t value = first & (marker - 1);
    bool allOnes = value == static_cast<uint64_t>(marker - 1);
    uint32_t raw = first;
    for (size_t i = 1; i < length; ++i) {
        value = value << 8 | data[i];
        if (data[i] != 0xFF) allOnes = false;
        if (length <= 4) raw = raw << 8 | data[i];
    }
    out.value = value;
    out.raw = length <= 4 ? raw : 0;
    out.length = length;
    out.allOnes = allOnes;
    return VintStatus::ok;
}

HeaderStatus parseElementHeader(const uint8_t* data, size_t available, uint64_t offset,
                                uint64_t parentEnd, ElementHeader& out) {
    Vint id;
    VintStatus s = readVint(data, available, 4, id);
    if (s != VintStatus::ok)
        return s == VintStatus::shortRead ? HeaderStatus::shortRead : HeaderStatus::invalid;
    Vint size;
    s = readVint(data + id.length, available - id.length, 8, size);
    if (s != VintStatus::ok)
        return s == VintStatus::shortRead ? HeaderStatus::shortRead : HeaderStatus::invalid;
    out = ElementHeader{};
    out.id = id.raw;
    out.offset = offset;
    out.headerSize = id.length + size.length;
    if (offset > parentEnd || out.headerSize > parentEnd - offset) return HeaderStatus::shortRead;
    const uint64_t room = parentEnd - offset - out.headerSize;
    out.unknownSize = size.allOnes;
    out.claimedSize = size.allOnes ? room : size.value;
    if (size.allOnes) {
        out.size = room;
    } else if (size.value > room) {
        out.size = room;
        out.clamped = true;
    } else {
        out.size = size.value;
    }
    return HeaderStatus::ok;
}

uint64_t ebmlUint(const uint8_t* data, size_t size, uint64_t fallback) {
    if (size > 8) return fallback;
    uint64_t v = 0;
    for (size_t i = 0; i < size; ++i)
        v = v << 8 | data[i];
    return v;
}

double ebmlFloat(const uint8_t* data, size_t size, double fallback) {
    if (size == 0) return 0;
    if (size == 4) {
        const uint32_t bits = static_cast<uint32_t>(ebmlUint(data, 4));
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    if (size == 8) {
        const uint64_t bits = ebmlUint(data, 8);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    return fallback;
}

std::string ebmlString(const uint8_t* data, size_t size, size_t cap) {
    size_t n = 0;
    while (n < size && n < cap && data[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char*>(data), n);
}

} // namespace tavro

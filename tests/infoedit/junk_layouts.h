// The JUNK layouts the INFO tests run the generated AVIs through: as made, with the
// padding JUNK behind the INFO list cut small, and with no JUNK behind it at all.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "infoedit/info_rebuild.h"

namespace tavro {

inline uint32_t moviOffset(const std::vector<uint8_t>& head) {
    return scanHead(ByteView(head.data(), head.size())).movi;
}

// "No JUNK after the INFO list": the padding JUNK behind it renamed, so that only
// JUNK chunks before the list remain. "Small JUNK": that JUNK cut to 60 bytes and
// the rest given to a chunk nothing may take from.
inline std::vector<uint8_t> variant(const std::vector<uint8_t>& file, const std::string& kind) {
    std::vector<uint8_t> b = file;
    uint32_t movi = moviOffset(b);
    for (uint32_t pos = movi; pos > 12; --pos) {
        if (std::memcmp(b.data() + pos, "JUNK", 4) != 0) continue;
        uint32_t size = ByteView(b.data(), b.size()).u32(pos + 4);
        if (pos + 8 + size != movi) continue;
        if (kind == "no_junk_after") std::memcpy(b.data() + pos, "PAD ", 4);
        if (kind == "small_junk" && size > 100) {
            b[pos + 4] = 60, b[pos + 5] = b[pos + 6] = b[pos + 7] = 0;
            uint32_t rest = size - 68;
            std::memcpy(b.data() + pos + 68, "PAD ", 4);
            for (int i = 0; i < 4; ++i)
                b[pos + 72 + i] = static_cast<uint8_t>(rest >> (8 * i));
        }
        break;
    }
    return b;
}

} // namespace tavro

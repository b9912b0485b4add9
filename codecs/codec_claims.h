// Decoders outside the searched inventories that still claim a format: Media
// Foundation transforms, and codecs registered for the other architecture. They
// cannot make the stream play in a DirectShow player of this architecture, but
// they tell the user what is there and what is missing.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/codec_inventories.h"

namespace tavro {

struct CodecClaim {
    std::string kind; // "Media Foundation transform", "VfW driver", "ACM driver", "DMO", ...
    std::string name;
    std::string file; // may be empty
    int bits = 0;     // the architecture that can load it; 0 unknown
    bool loadableHere = false;
};

// Claims on a video FourCC (any case) or an audio format tag. At most `limit`.
std::vector<CodecClaim> videoCodecClaims(const CodecInventories& inventories,
                                         const std::vector<uint32_t>& fourccs, size_t limit = 8);
std::vector<CodecClaim> audioCodecClaims(const CodecInventories& inventories,
                                         const std::vector<uint16_t>& tags, size_t limit = 8);

} // namespace tavro

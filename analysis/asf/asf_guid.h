// The ASF object and stream-type GUIDs, as the file stores them (the first three
// fields little-endian).
#pragma once
#include <cstdint>
#include <cstring>

namespace tavro {

struct AsfGuid {
    uint8_t bytes[16];
    bool is(const uint8_t* p) const { return std::memcmp(bytes, p, 16) == 0; }
};

namespace asf_guid {
extern const AsfGuid header, data, simpleIndex, index, padding;
extern const AsfGuid fileProperties, streamProperties, headerExtension, codecList;
extern const AsfGuid contentDescription, extendedContentDescription, streamBitrateProperties;
extern const AsfGuid extendedStreamProperties, languageList;
extern const AsfGuid audioMedia, videoMedia, commandMedia, jfifMedia, degradableJpegMedia;
extern const AsfGuid fileTransferMedia, binaryMedia;
} // namespace asf_guid

} // namespace tavro

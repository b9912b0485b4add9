// The VfW drivers, ACM drivers and DMOs registered for the other architecture:
// read from that architecture's registry view, since this process can never
// load them. They are listed, never searched for a stream's codec.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/codec_sources.h"

namespace tavro {

struct OtherArchCodec {
    int bits = 0;       // the architecture whose programs can load it
    int32_t source = 0; // kSourceVfw, kSourceAcm, kSourceDmo or kSourceDirectShow
    bool video = false;
    std::string key;          // FourCC (upper case) or "0x%04x" format tag; may be empty
    std::string name;         // DMO name, or the Drivers32 alias ("vidc.cvid")
    std::string file;         // the driver file or DMO server as registered
    VersionStrings version{}; // read as data from otherArchitecturePath(file)
};

// Where this process finds a file registered for the other architecture: a
// bare name in that architecture's system folder, and a path in the system
// folder (as written, or with %SystemRoot%) moved to it. Empty when the other
// system folder is unknown.
std::string otherArchitecturePath(const std::string& file, const std::string& systemDir,
                                  const std::string& otherSystemDir);

// A filter's registered pins, from its FilterData value (version 2 layout: a
// header with the merit, then pins whose media types point at GUIDs stored
// further on). False when the value is not of that layout or points outside it.
struct FilterPin {
    bool output = false;
    std::vector<MediaTypePair> types;
};
struct FilterDataInfo {
    uint32_t merit = 0;
    std::vector<FilterPin> pins;
};
bool parseFilterData(const std::vector<uint8_t>& data, FilterDataInfo* out);

// Nothing when there is no other architecture, the registry is not allowed or
// run mode is information-only (`enableBits` 0). At most 1000 entries.
std::vector<OtherArchCodec> readOtherArchitectureCodecs(const CodecSources& sources,
                                                        uint32_t enableBits);

} // namespace tavro

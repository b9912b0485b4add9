// Reads arbitrary bytes as an AudioSpecificConfig and as an ADTS header.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "analysis/codec_config/aac_config.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const tavro::AacConfig c = tavro::parseAacConfig(data, size);
    check(!c.ok || (c.objectType != 0 && c.sampleRate != 0 && c.outputSampleRate != 0));
    check(!c.ps || c.sbr);
    check(std::strlen(tavro::aacProfileName(c)) > 0);
    const tavro::AdtsHeader h = tavro::parseAdtsHeader(data, size);
    check(!h.ok || (h.sampleRate != 0 && h.frameLength >= 7 && h.rawDataBlocks <= 4));
    return 0;
}

// Reads arbitrary bytes as an av1C record, an OBU stream and a bare sequence header
// payload, and checks the fields of whatever parses.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "analysis/codec_config/av1_config.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void checkHeader(const tavro::Av1SequenceHeader& h) {
    if (!h.ok) return;
    check(h.profile <= 2 && h.level < 32 && h.operatingPoints >= 1 && h.operatingPoints <= 32);
    check(h.bitDepth == 8 || h.bitDepth == 10 || h.bitDepth == 12);
    check(h.maxWidth >= 1 && h.maxHeight >= 1);
    check(!h.monochrome || (h.subsamplingX && h.subsamplingY));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    checkHeader(tavro::parseAv1SequenceHeaderPayload(data, size));
    checkHeader(tavro::findAv1SequenceHeader(data, size));
    const tavro::Av1Config c = tavro::parseAv1Config(data, size);
    checkHeader(c.sequenceHeader);
    check(!c.ok || (c.version == 1 && c.level < 32));
    tavro::av1ProfileName(c.profile);
    return 0;
}

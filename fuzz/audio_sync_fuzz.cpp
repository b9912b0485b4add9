// Reads arbitrary bytes as an OpusHead, an AC-3 or E-AC-3 sync frame and a DTS core
// frame header, and checks the figures of whatever parses.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "analysis/codec_config/ac3_frame.h"
#include "analysis/codec_config/dts_frame.h"
#include "analysis/codec_config/opus_head.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const tavro::OpusHead o = tavro::parseOpusHead(data, size);
    check(!o.ok || (o.channels >= 1 && o.streamCount >= 1 && o.coupledCount <= o.streamCount));
    const tavro::Ac3FrameHeader a = tavro::parseAc3FrameHeader(data, size);
    check(!a.ok || (a.sampleRate >= 8000 && a.frameBytes >= 2 && a.channels >= 1 &&
                    a.channels <= 6 && a.samplesPerFrame >= 256));
    const tavro::DtsFrameHeader d = tavro::parseDtsFrameHeader(data, size);
    check(!d.ok || (d.sampleRate >= 8000 && d.frameBytes >= 96 && d.samplesPerFrame >= 192 &&
                    d.channels <= 9));
    return 0;
}

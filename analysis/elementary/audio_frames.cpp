#include "analysis/elementary/audio_frames.h"

#include "analysis/codec_config/aac_config.h"
#include "analysis/codec_config/ac3_frame.h"
#include "analysis/codec_config/dts_frame.h"

namespace tavro {

AudioFrame audioFrameAt(const uint8_t* data, size_t size) {
    AudioFrame f;
    if (size < 4) return f;
    if (data[0] == 0xFF && (data[1] & 0xF6) == 0xF0) {
        const AdtsHeader h = parseAdtsHeader(data, size);
        if (!h.ok) return f;
        f.kind = ElementaryKind::adts;
        f.bytes = h.frameLength;
        f.samples = 1024u * h.rawDataBlocks;
        f.sampleRate = h.sampleRate;
    } else if (data[0] == 0x0B && data[1] == 0x77) {
        const Ac3FrameHeader h = parseAc3FrameHeader(data, size);
        if (!h.ok) return f;
        f.kind = h.enhanced ? ElementaryKind::eac3 : ElementaryKind::ac3;
        f.bytes = h.frameBytes;
        f.samples = h.samplesPerFrame;
        f.sampleRate = h.sampleRate;
        f.timed = !h.enhanced || h.streamType != 1;
    } else if (data[0] == 0x7F && data[1] == 0xFE && data[2] == 0x80 && data[3] == 0x01) {
        const DtsFrameHeader h = parseDtsFrameHeader(data, size);
        if (!h.ok) return f;
        f.kind = ElementaryKind::dts;
        f.bytes = h.frameBytes;
        f.samples = h.samplesPerFrame;
        f.sampleRate = h.sampleRate;
    } else {
        return f;
    }
    f.ok = f.bytes > 0 && f.sampleRate > 0;
    return f;
}

bool audioRunAt(const uint8_t* data, size_t size, size_t pos, uint32_t count) {
    AudioFrame first;
    for (uint32_t i = 0; i < count; ++i) {
        if (pos >= size) return false;
        const AudioFrame f = audioFrameAt(data + pos, size - pos);
        if (!f.ok) return false;
        if (i == 0) {
            first = f;
        } else if (f.sampleRate != first.sampleRate ||
                   (f.kind != first.kind &&
                    // An E-AC-3 stream may begin with an AC-3 compatible core.
                    !(f.kind == ElementaryKind::eac3 && first.kind == ElementaryKind::ac3))) {
            return false;
        }
        if (i + 1 < count && f.bytes > size - pos) return false;
        pos += f.bytes;
    }
    return true;
}

} // namespace tavro

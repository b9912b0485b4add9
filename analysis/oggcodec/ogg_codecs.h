// The streams of an Ogg file whose codecs the OGM/Vorbis path does not describe
// (Opus, FLAC, Speex, Theora, VP8): the first page of each stream names its codec,
// the last pages of the file give each stream's final granule position, so its length.
#pragma once
#include "analysis/streams/media_streams.h"
#include "analysis/streams/random_access.h"

namespace tavro {

struct OggCodecLimits {
    size_t headBytes = 256 * 1024; // where the streams' first pages are looked for
    size_t tailBytes = 64 * 1024;  // where their last pages are
    size_t maxStreams = 64;
};

// `present` is false when no first page of a stream was found in the head.
MediaStreams readOggCodecs(RandomAccessReader& reader, const OggCodecLimits& limits = {});

} // namespace tavro

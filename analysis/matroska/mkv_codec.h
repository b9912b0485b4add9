// A Matroska track's codec: the family its CodecID names, and what its CodecPrivate
// (or, where the codec keeps it there, its first frame) says of profile, level and size.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/matroska/mkv_file.h"

namespace tavro {

// Sets `codec` from `codecId` (and from the FourCC or format tag that V_MS/VFW/FOURCC
// and A_MS/ACM keep in CodecPrivate), then decodes CodecPrivate.
void identifyCodec(MkvTrack& track, const uint8_t* codecPrivate, size_t size);

// Reads what a codec keeps in its frames rather than in CodecPrivate (VP9's profile
// and bit depth), from the track's first frame. Returns true when it used the frame.
bool readFirstFrame(MkvTrack& track, const uint8_t* frame, size_t size);

// True for a track whose first frame readFirstFrame still wants.
bool wantsFirstFrame(const MkvTrack& track);

} // namespace tavro

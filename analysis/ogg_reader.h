// Reads the logical streams of an Ogg file from the head buffer (libogg for the
// pages, libvorbis for Vorbis headers) and turns what it finds into the shapes
// of the AVI stream model, so the video and audio fields and the codec status
// work on Ogg/OGM files exactly as on AVI files.
//
// The result is a record of its own; the caller copies it into MediaInfo:
//
//   if (r.hasVideo) {                      // else leave the reset video fields alone
//       memcpy(mainHeader, r.mainHeader, 56);    // avih image
//       memcpy(videoHeader, r.videoHeader, 64);  // strh image
//       memcpy(videoFormat, r.videoFormat, 40);  // BITMAPINFOHEADER image
//       Duration and video Bitrate texts := "unavailable";
//   }
//   videoStreams += r.videoStreams;
//   if (r.audioWritten) {                  // only when the result is 0
//       audioStreams = r.audioStreams;
//       for n < r.audioStreams: memcpy(audioFormat[n], r.audioFormat[n], 16),
//                               rateMode[n] = r.rateMode[n];
//   }
//   for each row of r.comments, in order: comment list row (item data 0,
//       not editable) with column 1 row.source, column 2 row.name, column 3 row.value.
//
// Byte images are little-endian and zero apart from the fields named below.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/file_spans.h"
#include "analysis/ogm_header.h"

namespace tavro {

constexpr int kOggMaxStreams = 10;
constexpr int kOggMaxAudioStreams = 3;

// Offsets of the fields the reader sets inside the byte images.
constexpr size_t kAvihMicroSecPerFrame = 0; // OGM time unit (low 32 bits) / 10
constexpr size_t kAvihWidth = 32;           // OGM video width
constexpr size_t kAvihHeight = 36;          // OGM video height
constexpr size_t kStrhType = 0;             // OGM subtype (the FourCC), as given
constexpr size_t kStrhHandler = 4;          // OGM subtype (the FourCC)
constexpr size_t kBihCompression = 16;      // OGM subtype (the FourCC)
constexpr size_t kWaveFormatTag = 0;        // 16 bits
constexpr size_t kWaveChannels = 2;         // 16 bits
constexpr size_t kWaveSamplesPerSec = 4;    // 32 bits
constexpr size_t kWaveAvgBytesPerSec = 8;   // 32 bits

constexpr uint16_t kVorbisFormatTag = 0x674F;

// Result codes; anything but Ok means "show the file as plain Ogg audio".
enum OggReadCode : int {
    kOggOk = 0,
    kOggLostSync = 1,       // a hole, a bad capture pattern or a bad page checksum
    kOggSyncWrite = 2,      // the sync layer refused the bytes
    kOggStreamInit = 3,     // a stream state could not be made
    kOggTooManyStreams = 4, // an 11th BOS page, or a serial number outside 0..9
    kOggPageRefused = 5,    // a page the stream refused, e.g. its serial is not its slot's
    kOggPacketGap = 6,      // a gap in a stream's packets
};

struct OggCommentRow {
    const char* source; // "aud" (Vorbis comments of stream 0) or "vid" (OGM video)
    std::string name;   // text before the first "=", empty when there is none
    std::string value;  // the rest
};

struct OggReadResult {
    // Video: set by every OGM video header met (the last one wins); it stays
    // set when a later page fails the read.
    bool hasVideo = false;
    uint8_t mainHeader[56] = {};
    uint8_t videoHeader[64] = {};
    uint8_t videoFormat[40] = {};
    uint32_t videoStreams = 0; // video headers met; the model adds this

    // Audio and comments: filled only when the walk ran to its end (result 0).
    bool audioWritten = false;
    uint32_t audioStreams = 0;        // at most 3
    uint8_t audioFormat[3][16] = {};  // WAVEFORMAT images
    uint32_t rateMode[3] = {};        // 1 constant, 2 variable, 0 not given
    uint32_t audioStreamsDropped = 0; // audio streams beyond the third slot
    std::vector<OggCommentRow> comments;

    // What the walk saw, for the caller's curiosity and for tests.
    int streamCount = 0;
    OggStreamType streamTypes[kOggMaxStreams] = {};
};

// Walks the Ogg pages in `head` (feeding libogg 16384 bytes at a time; running
// out of bytes just ends the walk) and fills `out` afresh. Every library record
// made during the read is released before it returns, whatever the result.
// `spans`, when set, is told each page's place, stream and time.
int readOggStreams(const uint8_t* head, size_t length, OggReadResult& out,
                   SpanSink* spans = nullptr);

} // namespace tavro

// What the box reader learns about an MP4/M4A/MOV/3GP file: brands, where the index
// sits, each track's codec and sizes, and what is missing or broken.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/codec_config/aac_config.h"
#include "analysis/codec_config/av1_config.h"
#include "analysis/codec_config/h264_config.h"
#include "analysis/codec_config/hevc_config.h"
#include "analysis/codec_config/opus_head.h"
#include "analysis/codec_config/vp9_config.h"

namespace tavro {

enum class IsoStatus {
    ok,
    notIsoBmff,   // the first box is not one this format starts with
    noMoov,       // boxes read, but no movie box: an interrupted recording
    moovTooLarge, // the movie box is larger than the reader will hold
    readError,
};

enum class IsoProblem {
    boxPastParent,     // a box claims more bytes than its parent (or the file) holds
    badBoxSize,        // a size field smaller than the header itself
    moovTruncated,     // the movie box ends past the end of the file
    tooManyBoxes,      // a cap on boxes visited was reached
    tooManyTracks,     // tracks past the cap were counted, not read
    tableTruncated,    // a sample table holds fewer entries than it claims
    tablesDisagree,    // chunk, sample-to-chunk and size tables do not add up
    sampleDataPastEnd, // sample data runs past the end of the file
    moovAfterMdat,     // the index follows the sample data
    secondMoov,        // only the first movie box was read
};

enum class TrackKind { video, audio, subtitle, text, other };

// The sample durations a track uses most, so a frame rate reads as the rate the
// frames are meant to run at even when one long last frame skews the average.
struct DeltaTally {
    static constexpr size_t kSlots = 8;
    uint32_t delta[kSlots] = {};
    uint64_t count[kSlots] = {};
    void add(uint32_t d, uint64_t n);
    // The delta that covers most samples, 0 when none was seen.
    uint32_t dominant(uint64_t* covered) const;
};

struct IsoTrack {
    uint32_t trackId = 0;
    std::string handler; // hdlr handler type: "vide", "soun", "subt", "text", ...
    TrackKind kind = TrackKind::other;
    std::string name;         // udta name, else the hdlr name
    bool nameIsTitle = false; // the name came from udta, not the handler's boilerplate
    std::string sampleEntry;  // FourCC of the first stsd entry: "avc1", "mp4a", ...
    std::string codec;        // family: "AVC", "HEVC", "AAC", "Opus", ... ("" unknown)
    uint32_t sampleEntries = 0;

    // Sizes: the sample entry's coded size, and tkhd's display size (integer part).
    uint32_t width = 0, height = 0;
    uint32_t displayWidth = 0, displayHeight = 0;
    bool enabled = false;

    uint32_t timescale = 0; // mdhd
    uint64_t duration = 0;  // mdhd, in timescale units
    double seconds = 0;
    std::string language; // ISO-639-2 from mdhd; "" when not given that way

    uint64_t sampleCount = 0; // stsz/stz2 (or the fragments)
    uint64_t sampleBytes = 0;
    uint64_t sttsSamples = 0;
    uint64_t sttsDuration = 0; // sum of stts deltas (or fragment durations)
    DeltaTally deltas;
    double frameRate = 0;    // video only: from the dominant delta, else the stts span
    uint64_t bitRate = 0;    // bits per second from the sample bytes
    uint32_t avgBitrate = 0; // esds / btrt as written
    uint32_t maxBitrate = 0;

    uint32_t sampleRate = 0;
    uint32_t channels = 0;
    uint32_t bitDepth = 0; // sample entry, or the codec configuration where it says

    // Decoded codec configuration.
    std::string profile;        // "High", "Main 10", "LC", ...
    uint32_t level = 0;         // as the record codes it (41, 123, 8, 31)
    uint32_t chromaFormat = 99; // 0 mono, 1 4:2:0, 2 4:2:2, 3 4:4:4; 99 unknown
    uint8_t objectType = 0;     // esds objectTypeIndication
    AvcConfig avc;
    HevcConfig hevc;
    Av1Config av1;
    Vp9CodecConfig vp9;
    AacConfig aac;
    OpusHead opus;

    // Where the samples lie: the furthest byte, and what lies past the file's end.
    uint64_t chunkCount = 0;
    uint64_t dataEnd = 0;
    uint64_t bytesPastEnd = 0;
    uint64_t samplesPastEnd = 0;
    double secondsMissing = 0;
};

struct TopBox {
    std::string type;
    uint64_t offset = 0;
    uint64_t size = 0;        // as clamped to the file
    uint64_t claimedSize = 0; // as written
};

struct IsoFile {
    IsoStatus status = IsoStatus::notIsoBmff;
    std::vector<IsoProblem> problems; // each kind once, in the order met

    std::string majorBrand;
    uint32_t minorVersion = 0;
    std::vector<std::string> compatibleBrands;

    uint64_t fileSize = 0;
    std::vector<TopBox> topBoxes; // the first few top-level boxes, for the report
    uint64_t topBoxCount = 0;

    bool hasMoov = false;
    bool moovAtHead = false; // before the first mdat (or no mdat at all)
    uint64_t moovOffset = 0, moovSize = 0;
    uint64_t mdatCount = 0;
    uint64_t mdatOffset = 0, mdatSize = 0, mdatClaimedSize = 0; // the first mdat

    std::string title; // udta: the iTunes-style item list, or QuickTime's own text

    uint32_t timescale = 0; // mvhd
    uint64_t duration = 0;
    double seconds = 0;

    bool fragmented = false;       // mvex in the movie, or movie fragments present
    uint64_t fragmentDuration = 0; // mehd, movie timescale
    double fragmentSeconds = 0;
    uint64_t fragmentCount = 0; // moof boxes

    uint64_t trackCount = 0; // all trak boxes, read or not
    std::vector<IsoTrack> tracks;

    uint64_t bytesPastEnd = 0; // all tracks
    double secondsMissing = 0; // the most any track lacks

    bool has(IsoProblem p) const;
    void note(IsoProblem p);
};

} // namespace tavro

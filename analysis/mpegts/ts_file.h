// What the transport stream reader learns about an MPEG-TS or M2TS file: the packet
// framing, the programs and their elementary streams, each stream's codec facts from
// its first bytes, the time span seen, and what is damaged.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/codec_config/aac_config.h"
#include "analysis/codec_config/ac3_frame.h"
#include "analysis/codec_config/dts_frame.h"
#include "analysis/codec_config/h264_config.h"
#include "analysis/codec_config/hevc_config.h"
#include "analysis/mpegts/mpeg_audio_header.h"
#include "analysis/mpegts/mpeg_video_header.h"

namespace tavro {

enum class TsStatus {
    ok,
    notTransportStream, // no run of sync bytes at any packet size
    noPat,              // packets, but no program association table
    noPmt,              // a program association table, but none of its program maps
    readError,
};

enum class TsProblem {
    syncLost,        // bytes between packets that are not packets: resynchronised
    truncatedPacket, // the file ends inside a packet
    ccErrors,        // continuity counters skip: packets are missing
    scrambled,       // packets with transport_scrambling_control set
    transportErrors, // packets the demodulator flagged as uncorrectable
    badSection,      // a table section too long, cut short or failing its CRC
    tooManyStreams,  // streams past the cap were counted, not kept
    tooManyPackets,  // the packet budget ended the walk early
};

// A stream's place in the file: what the program map says, then what its bytes say.
struct TsStream {
    uint16_t pid = 0;
    uint16_t programNumber = 0;
    uint8_t streamType = 0;
    std::string registration;  // registration descriptor's format identifier: "AC-3"
    uint8_t descriptorTag = 0; // the DVB descriptor that names a private stream's codec
    std::string language;      // ISO 639 or subtitling descriptor
    std::string codec;         // family name from codec_family.h; "" unknown
    enum class Kind { video, audio, subtitle, other } kind = Kind::other;

    // Packets and bytes seen, over the head and tail read.
    uint64_t packets = 0;
    uint64_t payloadBytes = 0;
    uint64_t ccErrors = 0;
    uint64_t scrambledPackets = 0;

    // Presentation times (90 kHz): the first of the head, the greatest seen after it.
    bool hasPts = false;
    uint64_t firstPts = 0;
    uint64_t spanTicks = 0; // greatest PTS seen minus the first, modulo 2^33
    // For a bitrate, the PES packets of one window (the tail's when it holds two with
    // times, else the head's): the bytes of all but the latest, and the ticks from the
    // earliest to the latest.
    uint64_t rateTicks = 0;
    uint64_t rateBytes = 0;

    // Frames per second: the codec's own timing, else counted from the PTS of the
    // head's PES packets (one picture each). 0 unknown.
    double frameRate = 0;
    uint64_t frameTicks = 0; // one frame's length, added to the last PTS for the span

    // The codec configuration found in the first payload bytes.
    bool configFound = false;
    H264Sps avc;
    HevcSps hevc;
    MpegVideoSequence mpegVideo;
    AdtsHeader adts;
    Ac3FrameHeader ac3;
    DtsFrameHeader dts;
    MpegAudioHeader mpegAudio;
};

struct TsFile {
    TsStatus status = TsStatus::notTransportStream;
    std::vector<TsProblem> problems; // each kind once, in the order met

    uint64_t fileSize = 0;
    uint32_t packetSize = 0; // 188, 192 (M2TS timestamp prefix) or 204 (Reed-Solomon)
    uint64_t firstSync = 0;  // offset of the first packet
    bool m2ts() const { return packetSize == 192; }

    uint64_t bytesRead = 0;
    uint64_t packetsRead = 0;
    bool tailRead = false; // the end of the file was read apart from the head
    uint64_t resyncs = 0;  // times the walk lost sync and found it again
    uint64_t bytesSkipped = 0;
    uint64_t truncatedBytes = 0; // the final partial packet's length
    uint64_t ccErrors = 0;
    uint64_t scrambledPackets = 0;
    uint64_t transportErrorPackets = 0;

    bool hasPat = false;
    uint16_t transportStreamId = 0;
    uint64_t programCount = 0; // programs in the association table (network PID aside)
    uint64_t pmtCount = 0;     // program maps read
    uint64_t streamCount = 0;  // elementary streams declared, kept or not
    std::vector<TsStream> streams;

    // Whole-file span: the earliest first PTS to the greatest PTS seen.
    double seconds = 0;

    bool has(TsProblem p) const;
    void note(TsProblem p);
};

} // namespace tavro

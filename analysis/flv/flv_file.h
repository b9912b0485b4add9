// What the FLV reader learns: the header, the metadata script, the first audio and
// video tags with their codec configuration, the time span of the tags, and damage.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/codec_config/aac_config.h"
#include "analysis/codec_config/h264_config.h"
#include "analysis/codec_config/hevc_config.h"
#include "analysis/flv/amf0.h"

namespace tavro {

enum class FlvStatus {
    ok,
    notFlv, // no "FLV" signature
    noTags, // a header, but no tag could be read after it
    readError,
};

enum class FlvProblem {
    badDataOffset,      // the header's data offset is not 9 (clamped, or used as given)
    badPreviousTagSize, // a back pointer disagrees with the tag before it
    badTag,             // a tag of an unknown type or past its parent: the walk stopped
    truncatedTag,       // the file ends inside its last tag
    noMetadata,         // no onMetaData script tag at the head
    durationMismatch,   // onMetaData's duration and the tags' timestamps disagree
    flagsDisagree,      // the header's audio/video flags and the tags found differ
    tooManyTags,        // the tag cap ended the head walk
};

struct FlvAudio {
    bool present = false;
    uint8_t soundFormat = 0; // codec id of the tag's first byte; 9 for an enhanced FourCC
    std::string fourcc;      // enhanced audio: "Opus", "fLaC", "ac-3", "ec-3", "mp4a"
    std::string codec;       // family name; "" unknown
    uint32_t flagRate = 0;   // the rate the flag bits give
    uint32_t sampleBits = 0; // 8 or 16
    uint32_t flagChannels = 0;
    AacConfig aac; // from the AAC sequence header
    uint32_t firstTimestamp = 0;
};

struct FlvVideo {
    bool present = false;
    uint8_t codecId = 0; // codec id of the tag's first byte; 0 for an enhanced FourCC
    std::string fourcc;  // enhanced video: "hvc1", "av01", "vp09", "avc1"
    std::string codec;
    AvcConfig avc;                  // from the AVC sequence header
    HevcConfig hevc;                // from the HEVC sequence header
    uint32_t width = 0, height = 0; // from a Sorenson Spark picture header
    uint32_t firstTimestamp = 0;
};

struct FlvFile {
    FlvStatus status = FlvStatus::notFlv;
    std::vector<FlvProblem> problems;

    uint64_t fileSize = 0;
    uint64_t bytesRead = 0;
    uint8_t version = 0;
    bool flagAudio = false, flagVideo = false;
    uint32_t dataOffset = 0;

    bool hasMetadata = false;
    AmfScript metadata; // onMetaData
    double metaSeconds = 0;
    double metaWidth = 0, metaHeight = 0, metaFrameRate = 0;
    double metaVideoKbps = 0, metaAudioKbps = 0, metaSampleRate = 0;
    double metaAudioCodecId = -1, metaVideoCodecId = -1; // -1 not given
    double metaFileSize = 0;

    FlvAudio audio;
    FlvVideo video;

    uint64_t tagsRead = 0;
    bool tailRead = false;
    bool haveTimestamps = false;
    uint32_t firstTimestamp = 0; // ms, the first audio or video tag
    uint32_t lastTimestamp = 0;  // ms, the greatest seen at the end of the file
    bool endKnown = false;       // the last tag was found (the file's end was walked)
    uint64_t truncatedBytes = 0; // missing from the last tag

    double tagSeconds() const; // last minus first timestamp; 0 unknown
    bool has(FlvProblem p) const;
    void note(FlvProblem p);
};

} // namespace tavro

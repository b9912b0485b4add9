// What the Matroska/WebM reader learns about a file: the EBML header, the Segment's
// layout, each track's codec and sizes, the time reached by the clusters read, and
// what is missing or broken.
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

enum class MkvStatus {
    ok,
    notEbml,   // the file does not open with an EBML header
    noSegment, // an EBML header, but no Segment after it
    readError,
};

enum class MkvProblem {
    unknownDocType,    // neither "matroska" nor "webm"
    segmentPastEnd,    // the Segment declares more bytes than the file holds
    elementPastParent, // an element's size runs past its parent (or the file): clamped
    badElement,        // an element header that does not parse; the walk stopped there
    tooManyElements,   // a cap on elements visited was reached
    tooManyTracks,     // tracks past the cap were counted, not read
    nestingTooDeep,    // elements nested past the depth cap were passed over
    readBudget,        // the cap on bytes read was reached; later parts were not read
    seekPastEnd,       // a SeekHead entry points past the end of the file
    seekMismatch,      // a SeekHead entry points at something else than it names
    elementTooLarge,   // a metadata element larger than the reader holds was skipped
    unknownSizeSegment,
    unknownSizeCluster,
    noCues,
    noTracks,
    lastClusterCut, // the file ends inside a cluster
};

struct MkvTrack {
    uint64_t number = 0;
    uint64_t uid = 0;
    uint64_t type = 0; // TrackType as written: 1 video, 2 audio, 17 subtitle, ...
    std::string codecId;
    std::string codec; // family name ("AVC", "Opus", "SubRip"); "" unknown
    std::string name;
    std::string language = "eng"; // the element's default when absent
    bool hasLanguage = false;     // the Language element was there, not just its default
    std::string languageBcp47;
    bool enabled = true;
    bool isDefault = true;
    bool forced = false;
    bool compressed = false;       // ContentEncodings present (compression or encryption)
    uint64_t defaultDuration = 0;  // ns per frame
    uint64_t codecPrivateSize = 0; // as written

    // Video.
    uint32_t width = 0, height = 0;
    uint32_t displayWidth = 0, displayHeight = 0;
    uint64_t displayUnit = 0;
    uint32_t bitsPerChannel = 0; // Colour
    // Audio.
    double samplingFrequency = 0;
    double outputSamplingFrequency = 0;
    uint32_t channels = 0;
    uint32_t bitDepth = 0;

    // From the codec configuration (CodecPrivate, or the first frame).
    std::string profile;
    std::string level;
    std::string chroma;
    uint32_t codecBitDepth = 0;
    uint32_t codecWidth = 0, codecHeight = 0;
    uint32_t codecSampleRate = 0;
    uint32_t codecChannels = 0;
    uint32_t fourcc = 0;    // V_MS/VFW/FOURCC
    uint16_t formatTag = 0; // A_MS/ACM

    // Statistics tags (mkvmerge, ffmpeg): "BPS", "DURATION".
    uint64_t tagBitrate = 0;
    double tagSeconds = 0;
};

struct MkvFile {
    MkvStatus status = MkvStatus::notEbml;
    std::vector<MkvProblem> problems; // each kind once, in the order met

    uint64_t fileSize = 0;
    std::string docType;
    uint64_t docTypeVersion = 0;
    uint64_t docTypeReadVersion = 0;

    uint64_t segmentOffset = 0;    // of the Segment's ID
    uint64_t segmentDataStart = 0; // SeekHead positions count from here
    bool segmentSizeUnknown = false;
    uint64_t segmentDeclaredEnd = 0; // as written (unknown: the file's end)
    uint64_t bytesMissing = 0;       // declared end past the file's end

    bool hasSeekHead = false, hasInfo = false, hasTracks = false, hasTags = false;
    bool hasCues = false, hasChapters = false, hasAttachments = false;
    uint64_t seekEntries = 0;

    uint64_t timestampScale = 1000000; // ns per timestamp unit
    bool hasDuration = false;
    double duration = 0; // in timestamp units, as written
    double seconds = 0;
    std::string title;
    std::string muxingApp, writingApp;

    uint64_t trackCount = 0; // every TrackEntry, read or not
    std::vector<MkvTrack> tracks;

    // Clusters: the first one read, and the last complete one found in the tail.
    uint64_t firstClusterOffset = 0;
    bool hasCluster = false;
    bool clusterSizeUnknown = false;
    bool hasLastCluster = false;
    uint64_t lastClusterOffset = 0;
    uint64_t lastClusterTimestamp = 0; // timestamp units
    double lastClusterSeconds = 0;     // start of the last complete cluster
    double lastBlockSeconds = 0;       // the latest block start in it (>= the cluster's)
    double endSeconds = 0;             // the last block's end, where a frame length says
    // The time the data reaches: the last whole block in the tail, in a cluster cut
    // short after the last complete one if there is such.
    double reachedSeconds = 0;

    uint64_t bytesRead = 0;

    bool has(MkvProblem p) const;
    void note(MkvProblem p);
};

} // namespace tavro

// What the raw-stream reader learns from the head of a file that is one bare codec
// stream: H.264 or HEVC with start codes, AAC in ADTS frames, AC-3, E-AC-3 or DTS.
#pragma once
#include <cstdint>
#include <vector>

#include "analysis/codec_config/aac_config.h"
#include "analysis/codec_config/ac3_frame.h"
#include "analysis/codec_config/dts_frame.h"
#include "analysis/codec_config/h264_config.h"
#include "analysis/codec_config/hevc_config.h"

namespace tavro {

enum class ElementaryStatus {
    ok,
    notRecognised, // no run of valid frames (or parameter sets) in the head
    readError,
};

enum class ElementaryKind { unknown, h264, hevc, adts, ac3, eac3, dts };

enum class ElementaryProblem {
    leadingJunk,  // the first frame is not at the start (after any ID3v2 tag)
    syncLost,     // the frames stop following each other inside the head
    lastFrameCut, // the file ends inside its last frame
    id3PastEnd,   // an ID3v2 tag claims more than the file holds
};

struct ElementaryFile {
    ElementaryStatus status = ElementaryStatus::notRecognised;
    ElementaryKind kind = ElementaryKind::unknown;
    std::vector<ElementaryProblem> problems; // each kind once, in the order met
    uint64_t fileSize = 0;
    uint64_t headBytes = 0;     // bytes read after any ID3v2 tags
    bool wholeFileRead = false; // the head is the whole file
    uint64_t id3Bytes = 0;
    uint64_t firstFrameOffset = 0;

    // Audio: frames followed one after another through the head.
    uint64_t frames = 0;     // frames that carry their own time (not dependent ones)
    uint64_t frameBytes = 0; // bytes from the first frame to the end of the last whole one
    uint64_t junkBytes = 0;  // skipped between runs of frames
    uint64_t samples = 0;    // decoded samples in the counted frames
    uint32_t sampleRate = 0;
    uint32_t channels = 0;
    uint32_t samplesPerFrame = 0;
    uint32_t nominalBitrate = 0; // from the frame header, where it has one
    AdtsHeader adts;
    Ac3FrameHeader ac3;
    DtsFrameHeader dts;

    // Video: NAL units and pictures in the head, and the parameter set.
    uint64_t nalUnits = 0;
    uint64_t pictures = 0;
    H264Sps h264;
    HevcSps hevc;
    double frameRate = 0; // from the SPS timing; 0 unknown

    double seconds = 0;        // 0 unknown
    bool extrapolated = false; // counted over the head and scaled to the file size
    uint64_t bitrate = 0;      // overall, bits per second; 0 unknown

    bool has(ElementaryProblem p) const;
    void note(ElementaryProblem p);
};

} // namespace tavro

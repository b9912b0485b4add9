// What the FLAC reader learns about a .flac file: the stream information block, the
// Vorbis comments, where the audio frames start and end, and what is missing.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tavro {

enum class FlacStatus {
    ok,
    notFlac,      // no "fLaC" marker at the start (or after an ID3v2 tag)
    noStreamInfo, // the marker is there, the stream information block is not
    readError,
};

enum class FlacProblem {
    id3PastEnd,          // an ID3v2 tag claims more bytes than the file holds
    blockPastEnd,        // a metadata block runs past the end of the file
    badStreamInfo,       // the stream information block has the wrong length or values
    streamInfoNotFirst,  // the stream information is not the first block
    badBlockType,        // block type 127, which the format forbids
    tooManyBlocks,       // the cap on metadata blocks was reached
    commentsDamaged,     // the Vorbis comment block's lengths do not add up
    tooManyComments,     // comments past the cap were counted, not kept
    noFrameAtAudioStart, // no frame header where the metadata say the audio begins
    noFrames,            // no frame header found in the tail either
    samplesExceedData,   // the declared sample count is more than the frames hold
};

struct FlacPicture {
    uint32_t type = 0; // 3 front cover, ...
    std::string mime;
    uint32_t width = 0, height = 0;
    uint64_t dataBytes = 0;
};

// A frame header found in the audio, as far as the reader needs it.
struct FlacFrameHeader {
    bool ok = false;
    bool variableBlockSize = false;
    uint64_t number = 0; // frame number (fixed block size) or first sample (variable)
    uint32_t blockSize = 0;
    uint32_t sampleRate = 0; // 0 when the header defers to the stream information
    uint32_t channels = 0;
    uint32_t bitsPerSample = 0; // 0 when the header defers to the stream information
    uint32_t headerBytes = 0;
};

struct FlacFile {
    FlacStatus status = FlacStatus::notFlac;
    std::vector<FlacProblem> problems; // each kind once, in the order met
    uint64_t fileSize = 0;
    uint64_t id3Bytes = 0; // ID3v2 tags before the marker
    uint64_t markerOffset = 0;

    uint64_t blockCount = 0; // metadata blocks walked
    bool hasStreamInfo = false;
    uint32_t minBlockSize = 0, maxBlockSize = 0;
    uint32_t minFrameSize = 0, maxFrameSize = 0; // 0 unknown
    uint32_t sampleRate = 0;
    uint32_t channels = 0;
    uint32_t bitsPerSample = 0;
    uint64_t totalSamples = 0; // 0 unknown
    uint8_t md5[16] = {};

    std::string vendor;
    uint64_t commentCount = 0;                                 // as declared
    std::vector<std::pair<std::string, std::string>> comments; // NAME (upper case), value
    std::vector<FlacPicture> pictures;
    uint64_t pictureCount = 0;

    uint64_t audioOffset = 0; // first byte after the metadata
    uint64_t audioBytes = 0;  // to the end of the file, less a trailing ID3v1 tag
    bool firstFrameFound = false;
    FlacFrameHeader firstFrame;

    // The last frame header found in the file's tail, and the samples the frames
    // reach to with it (its first sample plus its block size).
    bool lastFrameFound = false;
    uint64_t lastFrameOffset = 0;
    FlacFrameHeader lastFrame;
    uint64_t samplesInData = 0;
    uint64_t samplesMissing = 0; // declared total less samplesInData, when positive

    double seconds = 0;       // declared total over the rate; 0 unknown
    double secondsInData = 0; // samplesInData over the rate
    double secondsMissing = 0;
    uint64_t bitrate = 0; // audio bytes over the duration

    uint64_t bytesRead = 0;

    bool has(FlacProblem p) const;
    void note(FlacProblem p);
    // The first comment of that name (upper case), or "".
    std::string comment(const char* name) const;
};

} // namespace tavro

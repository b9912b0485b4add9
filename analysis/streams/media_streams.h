// What Tavro reports of a file read by one of the modern container readers (MP4,
// Matroska, TS, FLV, FLAC, ASF, raw streams): every stream with typed numbers, the
// whole file's duration and what is wrong with it. Each reader fills it from its own
// record; the report, the JSON and the codec status read only this.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tavro {

enum class StreamKind : uint8_t { video, audio, subtitle, other };

const char* streamKindText(StreamKind kind); // "video", "audio", "subtitle", "other"

struct StreamFacts {
    StreamKind kind = StreamKind::other;
    uint64_t id = 0;     // track number, PID, stream number: as the container numbers it
    std::string codecId; // as the container writes it: "avc1", "V_MPEG4/ISO/AVC", "0x1B"
    std::string codec;   // family, in the names of codec_family.h: "AVC", "AAC", ...
    // The keys the codec status looks up: a FourCC (video) or a wave format tag
    // (audio). Zero means "take them from the family" (see codecKeysFor).
    uint32_t fourcc = 0;
    uint16_t formatTag = 0;

    std::string profile;            // "High", "Main 10", "LC", "HE-AAC v2"
    std::string level;              // "4.1", "5.1@High"; "" unknown
    uint32_t bitDepth = 0;          // bits per sample (video luma or audio); 0 unknown
    std::string chroma;             // "4:2:0", "4:2:2", "4:4:4", "4:0:0"; "" unknown
    uint32_t width = 0, height = 0; // coded size, after cropping
    uint32_t displayWidth = 0, displayHeight = 0; // 0 when not given apart
    double frameRate = 0;                         // frames per second; 0 unknown

    uint32_t sampleRate = 0;
    uint32_t channels = 0;

    double seconds = 0;   // this stream's duration; 0 unknown
    uint64_t bitrate = 0; // bits per second; 0 unknown
    std::string language; // as written: "eng", "en-US"; "" none
    std::string title;
    bool isDefault = false;
    bool forced = false;
};

// Something wrong with (or worth knowing about) the file, worst first. `status` is a
// short line for the File Status field; `detail` is the explanation's paragraph.
enum class Severity : uint8_t { note, warning, broken };

struct FileFinding {
    Severity severity = Severity::note;
    std::string code;   // stable key for scripts and tests: "mp4.no_moov", "ts.cc_errors"
    std::string status; // "Truncated: recording cut off before its index was written"
    std::string detail; // plain words: what happened, what is still there, what to do
};

struct MediaStreams {
    bool present = false;  // a modern reader described the file
    std::string container; // "MPEG-4", "QuickTime", "Matroska", "WebM", "MPEG-TS", ...
    std::string brand;     // major brand, DocType, ... ("isom", "webm"); "" none
    std::string title;
    double seconds = 0;            // the file's duration; 0 unknown
    bool secondsEstimated = false; // taken from data read, not from a header
    uint64_t bitrate = 0;          // overall, bits per second; 0 unknown
    uint64_t streamCount = 0;      // every stream the file declares, listed or not
    std::vector<StreamFacts> streams;
    std::vector<FileFinding> findings;

    const StreamFacts* first(StreamKind kind) const;
    void add(Severity severity, std::string code, std::string status, std::string detail);
    // The worst finding, or null when the file reads clean.
    const FileFinding* worst() const;
};

// A duration for lists and JSON-side texts: "1:02:03.500", "3.250 s", "unknown".
std::string secondsText(double seconds);

} // namespace tavro

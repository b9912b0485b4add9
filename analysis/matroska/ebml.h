// EBML, the byte syntax under Matroska and WebM: variable-size integers for element
// IDs and sizes, element headers, and typed reads of element payloads in memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace tavro {

// Element IDs the reader knows, with their length marker kept as written.
namespace mkvid {
constexpr uint32_t kEbml = 0x1A45DFA3;
constexpr uint32_t kDocType = 0x4282;
constexpr uint32_t kDocTypeVersion = 0x4287;
constexpr uint32_t kDocTypeReadVersion = 0x4285;
constexpr uint32_t kSegment = 0x18538067;
constexpr uint32_t kSeekHead = 0x114D9B74;
constexpr uint32_t kSeek = 0x4DBB;
constexpr uint32_t kSeekId = 0x53AB;
constexpr uint32_t kSeekPosition = 0x53AC;
constexpr uint32_t kInfo = 0x1549A966;
constexpr uint32_t kTimestampScale = 0x2AD7B1;
constexpr uint32_t kDuration = 0x4489;
constexpr uint32_t kTitle = 0x7BA9;
constexpr uint32_t kMuxingApp = 0x4D80;
constexpr uint32_t kWritingApp = 0x5741;
constexpr uint32_t kTracks = 0x1654AE6B;
constexpr uint32_t kTrackEntry = 0xAE;
constexpr uint32_t kTrackNumber = 0xD7;
constexpr uint32_t kTrackUid = 0x73C5;
constexpr uint32_t kTrackType = 0x83;
constexpr uint32_t kFlagEnabled = 0xB9;
constexpr uint32_t kFlagDefault = 0x88;
constexpr uint32_t kFlagForced = 0x55AA;
constexpr uint32_t kDefaultDuration = 0x23E383;
constexpr uint32_t kName = 0x536E;
constexpr uint32_t kLanguage = 0x22B59C;
constexpr uint32_t kLanguageBcp47 = 0x22B59D;
constexpr uint32_t kCodecId = 0x86;
constexpr uint32_t kCodecPrivate = 0x63A2;
constexpr uint32_t kContentEncodings = 0x6D80;
constexpr uint32_t kVideo = 0xE0;
constexpr uint32_t kPixelWidth = 0xB0;
constexpr uint32_t kPixelHeight = 0xBA;
constexpr uint32_t kDisplayWidth = 0x54B0;
constexpr uint32_t kDisplayHeight = 0x54BA;
constexpr uint32_t kDisplayUnit = 0x54B2;
constexpr uint32_t kColour = 0x55B0;
constexpr uint32_t kBitsPerChannel = 0x55B2;
constexpr uint32_t kAudio = 0xE1;
constexpr uint32_t kSamplingFrequency = 0xB5;
constexpr uint32_t kOutputSamplingFrequency = 0x78B5;
constexpr uint32_t kChannels = 0x9F;
constexpr uint32_t kBitDepth = 0x6264;
constexpr uint32_t kTags = 0x1254C367;
constexpr uint32_t kTag = 0x7373;
constexpr uint32_t kTargets = 0x63C0;
constexpr uint32_t kTagTrackUid = 0x63C5;
constexpr uint32_t kSimpleTag = 0x67C8;
constexpr uint32_t kTagName = 0x45A3;
constexpr uint32_t kTagString = 0x4487;
constexpr uint32_t kCues = 0x1C53BB6B;
constexpr uint32_t kChapters = 0x1043A770;
constexpr uint32_t kAttachments = 0x1941A469;
constexpr uint32_t kCluster = 0x1F43B675;
constexpr uint32_t kTimestamp = 0xE7;
constexpr uint32_t kSimpleBlock = 0xA3;
constexpr uint32_t kBlockGroup = 0xA0;
constexpr uint32_t kBlock = 0xA1;
constexpr uint32_t kBlockDuration = 0x9B;
constexpr uint32_t kVoid = 0xEC;
constexpr uint32_t kCrc32 = 0xBF;
} // namespace mkvid

// True for the IDs that live directly in a Segment: an unknown-size Cluster ends where
// one of them (or a new EBML header or Segment) begins.
bool isSegmentLevelId(uint32_t id);

enum class VintStatus { ok, shortRead, invalid };

// A variable-size integer at the start of `data`. `length` is 1..`maxLength` from the
// leading zeros of the first byte; `value` drops the length marker. `allOnes` is set
// when every value bit is 1 (an unknown size), whatever the length.
struct Vint {
    uint64_t value = 0;
    uint32_t raw = 0; // the bytes as written, marker kept (IDs); only for lengths <= 4
    size_t length = 0;
    bool allOnes = false;
};
VintStatus readVint(const uint8_t* data, size_t available, size_t maxLength, Vint& out);

struct ElementHeader {
    uint32_t id = 0;
    uint64_t offset = 0;   // of the ID's first byte
    size_t headerSize = 0; // ID and size bytes
    uint64_t size = 0;     // payload bytes, after clamping to the parent
    uint64_t claimedSize = 0;
    bool unknownSize = false; // the size said "unknown": runs to the parent's end
    bool clamped = false;     // the size ran past the parent and was cut
    uint64_t payloadOffset() const { return offset + headerSize; }
    uint64_t end() const { return offset + headerSize + size; }
};

enum class HeaderStatus { ok, shortRead, invalid };

// Reads the header at `offset` from `data` (`available` bytes from there) inside a
// parent ending at `parentEnd`; an unknown size or one past the parent is cut to it.
HeaderStatus parseElementHeader(const uint8_t* data, size_t available, uint64_t offset,
                                uint64_t parentEnd, ElementHeader& out);

// Typed payloads. Unsigned integers of more than 8 bytes and floats of sizes other
// than 0, 4 and 8 are invalid and read as `fallback`.
uint64_t ebmlUint(const uint8_t* data, size_t size, uint64_t fallback = 0);
double ebmlFloat(const uint8_t* data, size_t size, double fallback = 0);
// Text up to the first zero byte, at most `cap` bytes of it.
std::string ebmlString(const uint8_t* data, size_t size, size_t cap = 512);

// Visits the children of a master element held in memory, at most `maxChildren`.
// `visit(header, payload)` returns false to stop. An unknown size runs to the end of
// the span, a size past it is clamped; `clamped` reports either kind of cut and `bad`
// a header that does not parse (the walk stops there).
struct ChildWalk {
    bool clamped = false;
    bool bad = false;
    bool capped = false;
};
template <typename Visit>
ChildWalk forEachChild(const uint8_t* data, size_t size, size_t maxChildren, Visit&& visit) {
    ChildWalk w;
    size_t pos = 0;
    for (size_t n = 0; pos < size; ++n) {
        if (n == maxChildren) {
            w.capped = true;
            break;
        }
        ElementHeader h;
        const HeaderStatus s = parseElementHeader(data + pos, size - pos, pos, size, h);
        if (s != HeaderStatus::ok) {
            w.bad = true;
            break;
        }
        if (h.clamped) w.clamped = true;
        if (!visit(h, data + pos + h.headerSize)) break;
        pos = static_cast<size_t>(h.end()); // a header is at least two bytes: it advances
    }
    return w;
}

} // namespace tavro

// What the ASF reader learns about a .wmv/.wma/.asf file: the header's file and
// stream properties, the titles and tags, where the packets lie and what is missing.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tavro {

enum class AsfStatus {
    ok,
    notAsf,        // no Header Object at the start
    headerDamaged, // the Header Object's size cannot be right (smaller than its fields)
    readError,
};

enum class AsfProblem {
    headerPastEnd,           // the Header Object claims more bytes than the file holds
    headerTooLarge,          // the header is larger than the reader holds; its head was read
    objectPastParent,        // a child object claims more bytes than its parent holds
    badObjectSize,           // an object size smaller than its own header
    tooManyObjects,          // a cap on objects visited was reached
    objectCountMismatch,     // the header's child count differs from the objects found
    noFileProperties,        // the File Properties Object is missing or short
    streamDamaged,           // a Stream Properties Object is short or its data lengths lie
    tooManyStreams,          // streams past the cap were counted, not kept
    extensionDamaged,        // Header Extension or one of its objects does not add up
    tagsDamaged,             // a description object's lengths do not add up
    tooManyTags,             // tags past the cap were counted, not kept
    noDataObject,            // the header is followed by no Data Object
    dataTruncated,           // the Data Object runs past the end of the file
    fileShorterThanDeclared, // File Properties' size is more than the file holds
    broadcast,               // the broadcast flag: duration and size are not valid
};

enum class AsfStreamType {
    unknown,
    audio,
    video,
    command,
    jfif,
    degradableJpeg,
    fileTransfer,
    binary
};

struct AsfStream {
    uint16_t number = 0; // 1..127
    AsfStreamType type = AsfStreamType::unknown;
    bool encrypted = false;
    uint64_t timeOffset = 0; // 100 ns units
    // Audio: the WAVEFORMATEX.
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t avgBytesPerSecond = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    // Video: the encoded size and the BITMAPINFOHEADER.
    uint32_t width = 0, height = 0;
    uint32_t fourcc = 0; // biCompression, first character lowest
    uint16_t bitCount = 0;
    // Extended Stream Properties, Stream Bitrate Properties.
    bool hasExtended = false;
    uint64_t startTime = 0, endTime = 0; // ms
    uint32_t dataBitrate = 0;
    uint16_t languageIndex = 0xFFFF;  // into AsfFile::languages; 0xFFFF none
    uint64_t averageTimePerFrame = 0; // 100 ns units; 0 unknown
    uint32_t averageBitrate = 0;      // Stream Bitrate Properties
    std::string name;
    std::string language; // resolved from the language list
};

struct AsfFile {
    AsfStatus status = AsfStatus::notAsf;
    std::vector<AsfProblem> problems; // each kind once, in the order met
    uint64_t fileSize = 0;

    uint64_t headerSize = 0;        // as written
    uint32_t headerObjectCount = 0; // as written
    uint64_t headerObjectsFound = 0;

    bool hasFileProperties = false;
    uint64_t declaredFileSize = 0;
    uint64_t packetCount = 0;
    uint64_t playDuration = 0; // 100 ns units, preroll included
    uint64_t sendDuration = 0;
    uint64_t preroll = 0; // ms
    uint32_t flags = 0;
    bool broadcast = false;
    bool seekable = false;
    uint32_t minPacketSize = 0, maxPacketSize = 0;
    uint32_t maxBitrate = 0;

    uint64_t streamCount = 0; // Stream Properties Objects met
    std::vector<AsfStream> streams;
    std::vector<std::string> languages;
    std::string title, author, copyright, description;
    uint64_t tagCount = 0; // Extended Content Description entries, as declared
    std::vector<std::pair<std::string, std::string>> tags; // name, value as text
    bool hasCodecList = false;

    bool hasData = false;
    uint64_t dataOffset = 0;
    uint64_t dataClaimedSize = 0;
    uint64_t dataSize = 0;    // clamped to the file
    uint64_t dataPackets = 0; // the Data Object's own count
    bool hasIndex = false;
    uint64_t topObjectCount = 0;

    double seconds = 0; // play duration less preroll; 0 unknown
    // A cut Data Object: the bytes and packets past the end, and their time.
    uint64_t bytesMissing = 0;
    uint64_t packetsMissing = 0;
    double secondsMissing = 0;

    uint64_t bytesRead = 0;

    bool has(AsfProblem p) const;
    void note(AsfProblem p);
    AsfStream* stream(uint16_t number); // null when not listed
    std::string tag(const char* name) const;
};

} // namespace tavro

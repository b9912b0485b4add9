// The pieces of an Ogg logical stream that Tavro reads by hand: what a BOS page
// announces, the 56-byte OGM stream header and a Vorbis-style comment packet
// (OGM video streams carry one that no library decodes for us).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavro {

// What a logical stream carries, decided from the body of its BOS page.
enum class OggStreamType : int {
    Undefined = 0,     // slot not in use
    VorbisAudio = 1,   // Vorbis identification header
    StandardAudio = 2, // OGM header, type text "audio"
    Video = 3,         // OGM header, type text "video"
    Text = 4,          // OGM header, type text "text"
    Unknown = 5,       // any other OGM type text, or neither Vorbis nor OGM
};
constexpr int kOggStreamTypeCount = 6;

OggStreamType classifyBosPage(const uint8_t* body, size_t length);

// The OGM stream header: the 56 bytes after the packet type byte, little-endian.
struct OgmStreamHeader {
    char streamType[8];       // "video", "audio", "text", zero-padded
    char subtype[4];          // video FourCC; audio format tag as four hex digits
    uint32_t size;            // size of the structure
    uint64_t timeUnit;        // 100 ns units per frame or sample unit
    uint64_t samplesPerUnit;  //
    uint32_t defaultLength;   //
    uint32_t bufferSize;      //
    uint16_t bitsPerSample;   //
    uint16_t alignment;       // ignored
    uint32_t widthOrAudio;    // video: width; audio: channels (low 16) and block align
    uint32_t heightOrAvgRate; // video: height; audio: average bytes per second
    uint32_t reserved;        // copied, not used
    uint16_t channels() const { return static_cast<uint16_t>(widthOrAudio & 0xFFFF); }
};
constexpr size_t kOgmHeaderBytes = 56;

// Reads the header from an OGM header packet (type byte first). A short packet
// gives what it holds and zeros for the rest, so nothing is read past its end.
// False when not even the type byte and one header byte are there.
bool parseOgmHeader(const uint8_t* packet, size_t length, OgmStreamHeader& out);

// The audio format tag written as hexadecimal digits in an OGM subtype ("0055"
// gives 0x0055). Reading stops at the first character that is not a hex digit.
uint16_t ogmAudioFormatTag(const char subtype[4]);

// A Vorbis-style comment block: vendor text and "NAME=value" user comments.
struct VorbisCommentBlock {
    std::string vendor;
    std::vector<std::string> comments;
};

// Decodes a comment header packet: type byte 3, "vorbis", the vendor and the
// user comments with 32-bit lengths, and a set framing bit. Every length is
// checked against the bytes left; false leaves `out` empty.
bool parseVorbisCommentPacket(const uint8_t* packet, size_t length, VorbisCommentBlock& out);

} // namespace tavro

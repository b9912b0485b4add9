// FLV tags: the 11-byte tag header, and what the first bytes of an audio or video tag
// say about its codec (with the sequence header's configuration record).
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/flv/flv_file.h"

namespace tavro {

constexpr uint8_t kFlvAudioTag = 8;
constexpr uint8_t kFlvVideoTag = 9;
constexpr uint8_t kFlvScriptTag = 18;
constexpr size_t kFlvTagHeaderBytes = 11;

struct FlvTagHeader {
    uint8_t type = 0; // 8, 9 or 18 (the filter bit taken off)
    bool filtered = false;
    uint32_t dataSize = 0;
    uint32_t timestamp = 0; // ms, the extended byte on top
    uint32_t streamId = 0;
    bool knownType() const {
        return type == kFlvAudioTag || type == kFlvVideoTag || type == kFlvScriptTag;
    }
};

// Reads the header at the start of `p` (11 bytes there).
FlvTagHeader parseFlvTagHeader(const uint8_t* p);

// Notes the first audio tag's codec, and the AAC configuration when `data` is an AAC
// sequence header (even when it is not the first tag). `data` is the tag's body.
void readFlvAudioTag(const uint8_t* data, size_t size, uint32_t timestamp, FlvAudio& audio);
void readFlvVideoTag(const uint8_t* data, size_t size, uint32_t timestamp, FlvVideo& video);

// The family name of an audio sound format or video codec id ("" unknown).
const char* flvAudioCodec(uint8_t soundFormat);
const char* flvVideoCodec(uint8_t codecId);

} // namespace tavro

// The codec families the modern readers name, and the keys under which the codec
// data base and the installed-codec lists know each one. One table, so every reader
// names a codec the same way and the status lookup needs no reader's help.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/streams/media_streams.h"

namespace tavro {

struct CodecKeys {
    const char* family = nullptr; // "AVC"
    StreamKind kind = StreamKind::other;
    // The FourCCs (video) or wave format tags (audio) the codec travels under on
    // Windows, the usual one first. A decoder registered under any of them decodes it.
    std::vector<uint32_t> fourccs;
    std::vector<uint16_t> formatTags;
};

// Null when the family is not known.
const CodecKeys* codecKeysFor(const char* family);
const std::vector<CodecKeys>& codecFamilies();

// A level as people write it, from the number the family's configuration codes:
// AVC 41 -> "4.1", HEVC 123 -> "4.1", AV1 seq_level_idx 8 -> "4.0", VP9 31 -> "3.1".
// "" for zero or a family without levels.
std::string levelText(const char* family, uint32_t coded);
// 0 -> "4:0:0", 1 -> "4:2:0", 2 -> "4:2:2", 3 -> "4:4:4"; "" otherwise.
const char* chromaText(uint32_t chromaFormat);

// FourCC from four characters, first character lowest ("H264" -> 0x34363248).
constexpr uint32_t fourccOf(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}

} // namespace tavro

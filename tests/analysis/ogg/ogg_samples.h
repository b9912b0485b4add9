// The sample files make_samples writes, and what the reader must make of them.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/ogg_reader.h"
#include "tests/analysis/ogg/ogg_test_support.h"

namespace tavro::test {

// The program reads at most this much of a file.
inline constexpr size_t kHeadBytes = 524288;

inline bool loadHead(const std::string& name, Bytes& out) {
    const std::string path = std::string(OGG_SAMPLE_DIR) + "/" + name;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    out.resize(kHeadBytes);
    out.resize(std::fread(out.data(), 1, out.size(), f));
    std::fclose(f);
    return true;
}

inline std::string fourcc(const uint8_t* p) {
    return std::string(reinterpret_cast<const char*>(p), 4);
}

struct FileCase {
    const char* name;
    int code;
    const char* video; // FourCC, or null for none
    std::vector<uint16_t> audioTags;
    size_t commentRows;
};

inline const FileCase kFiles[] = {
    {"vorbis_serial0.ogg", kOggOk, nullptr, {0x674F}, 3},
    {"vorbis_serial1234.ogg", kOggPageRefused, nullptr, {}, 0},
    {"vorbis_serial1.ogg", kOggPageRefused, nullptr, {}, 0},
    {"vorbis_cbr_mono.ogg", kOggOk, nullptr, {0x674F}, 1},
    {"vorbis_many_comments.ogg", kOggOk, nullptr, {0x674F}, 301},
    {"chained_0_1.ogg", kOggOk, nullptr, {0x674F, 0x674F}, 3},
    {"chained_0_0.ogg", kOggPageRefused, nullptr, {}, 0},
    {"ff_vorbis.ogg", kOggOk, nullptr, {0x674F}, 3},
    {"ff_flac.ogg", kOggOk, nullptr, {}, 0},
    {"ff_opus.ogg", kOggOk, nullptr, {}, 0},
    {"ff_theora_vorbis.ogg", kOggOk, nullptr, {0x674F}, 0},
    {"ogm_vorbis.ogm", kOggOk, "XVID", {0x674F}, 1},
    {"ogm_mp3_ac3_text.ogm", kOggOk, "XVID", {0x0055, 0x2000}, 1},
    {"ogm_four_audio.ogm", kOggOk, "XVID", {0x674F, 0x0055, 0x2000}, 1},
};

} // namespace tavro::test

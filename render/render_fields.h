// The render test's findings as the six report fields show them, and the codec
// matching of the two decoders that the texts and the detail view rest on.
#pragma once
#include <string>

#include "codecs/audio_codec_inventory.h"
#include "codecs/codec_database.h"
#include "codecs/video_codec_inventory.h"
#include "render/filter_roles.h"
#include "render/filter_table.h"

namespace tavro {

// Sets the video decoder's primary FourCC and video codec index, and the audio
// decoder's audio codec index, from the inventories (either may be null).
void matchDecoderCodecs(FilterTable& table, const FilterRoles& roles, const CodecDatabase* db,
                        const VideoCodecInventory* video, const AudioCodecInventory* audio);

// The index of the installed video codec a graph filter stands for, -1 for none:
// by FourCC for the VfW wrapper, else by friendly name.
int matchVideoCodec(const FilterRecord& filter, const VideoCodecInventory* video);
// The installed audio codec a graph filter stands for: by format name, else by
// format tag for the ACM wrapper.
int matchAudioCodec(const FilterRecord& filter, const AudioCodecInventory* audio);

struct RenderField {
    std::string text;
    int link = -1; // FilterTable index the field's link opens, -1 for none
};

struct RenderFieldTexts {
    RenderField sourceMedia;
    RenderField videoMedia;
    RenderField audioMedia;
    RenderField splitter;
    RenderField videoCodec;
    RenderField audioCodec;
};

// The display name of a pin's subtype ("" for none or the null GUID).
std::string mediaSubtypeName(const CodecDatabase* db, const Guid& subtype);

RenderFieldTexts renderFieldTexts(const FilterTable& table, const FilterRoles& roles,
                                  const CodecDatabase* db, const VideoCodecInventory* video,
                                  const AudioCodecInventory* audio);

// The status after a test: success only for a result of exactly 0; any other
// result shows the start of the error text.
std::string renderStatusText(int32_t result, const std::string& errorText);

// "0x%08x: NAME - text" from the data base's result codes, "0x%08x: [unknown]"
// when it has none; at most kMaxErrorText characters. `matched` (optional)
// receives the data base entry, or null.
constexpr size_t kMaxErrorText = 511;
std::string renderErrorText(const CodecDatabase* db, int32_t result,
                            const CodecDatabaseEntry** matched);

} // namespace tavro

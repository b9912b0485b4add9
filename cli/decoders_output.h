// The "decoders" array of a file's JSON: for each stream with a Windows codec
// key, the decoders each kind of player would find, best first.
#pragma once
#include <nlohmann/json.hpp>

#include "analysis/media_info.h"
#include "codecs/codec_inventories.h"

namespace tavro {

// One object per looked-up stream: {"stream", "kind", "keys", "players": {
// "directShow32", "directShow64", "mediaFoundation"}}, a player kind whose
// codecs were not read being null.
nlohmann::json decodersJson(const MediaInfo& info, const CodecInventories& inventories);

} // namespace tavro

// The rows of the detail tables of one installed codec: three cells each (source,
// property, value), in the order the detail dialogs show them.
#pragma once
#include <string>
#include <vector>

#include "codecs/audio_codec_inventory.h"
#include "codecs/codec_database.h"
#include "codecs/video_codec_inventory.h"

namespace tavro {

using DetailRows = std::vector<std::vector<std::string>>;

// "VIDEO: details". `appendSubtypeGuids`: the registered media types also show
// their GUID text after a name (as the graph filter view shows them).
DetailRows videoDetailRows(const VideoCodecRecord& record, const CodecDatabase& db,
                           bool appendSubtypeGuids = false);
// "AUDIO: details".
DetailRows audioDetailRows(const AudioCodecRecord& record, const CodecDatabase& db);

// The ACM rows, DirectShow class and driver file of an audio codec, as the graph
// filter view adds them.
DetailRows audioCodecSummaryRows(const AudioCodecRecord& record, const CodecDatabase& db);

// A warning row: "- -", "- - Warning - -", the text.
std::vector<std::string> warningRow(const std::string& text);

} // namespace tavro

// The rows of the detail table of one graph filter of the render test: its pins
// and media types, then the installed codec it stands for, if any.
#pragma once
#include "codecs/detail_tables.h"
#include "render/filter_table.h"

namespace tavro {

DetailRows filterDetailRows(const FilterRecord& filter, const CodecDatabase& db,
                            const VideoCodecInventory* video, const AudioCodecInventory* audio);

} // namespace tavro

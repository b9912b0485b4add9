// The MP4/MOV reader's record in the common form the report reads.
#pragma once
#include "analysis/isobmff/iso_file.h"
#include "analysis/streams/media_streams.h"

namespace tavro {

MediaStreams describeIsoFile(const IsoFile& file);

} // namespace tavro

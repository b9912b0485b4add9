// The transport stream reader's record in the common form the report reads.
#pragma once
#include "analysis/mpegts/ts_file.h"
#include "analysis/streams/media_streams.h"

namespace tavro {

MediaStreams describeTransportStream(const TsFile& file);

} // namespace tavro

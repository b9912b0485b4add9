// The FLV reader's record in the common form the report reads.
#pragma once
#include "analysis/flv/flv_file.h"
#include "analysis/streams/media_streams.h"

namespace tavro {

MediaStreams describeFlv(const FlvFile& file);

} // namespace tavro

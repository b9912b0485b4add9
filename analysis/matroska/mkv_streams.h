// The common stream record of a Matroska/WebM file, and its findings in plain words.
#pragma once
#include "analysis/matroska/mkv_file.h"
#include "analysis/streams/media_streams.h"

namespace tavro {

MediaStreams describeMatroska(const MkvFile& file);

} // namespace tavro

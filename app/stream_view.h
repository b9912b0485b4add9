// The View menu's list of a file's streams, for files a modern container reader
// described: one row per stream with the facts the main fields show only for the
// first video and audio stream.
#pragma once
#include "analysis/streams/media_streams.h"
#include "app/ui/table_model.h"

namespace tavro {

// False when the current file was not read to the stream level.
bool streamTable(const MediaStreams& streams, TableSpec* out);

} // namespace tavro

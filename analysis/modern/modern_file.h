// The modern containers Tavro reads to the stream level: which identification rows
// lead to a reader, and the read itself, bounded by each reader's budget.
#pragma once
#include "analysis/streams/media_streams.h"
#include "analysis/streams/random_access.h"
#include "common/container_kind.h"

namespace tavro {

// True when a reader exists for the row that named the file.
bool readsModern(ContainerKind kind);
// The file's streams and findings; `present` is false when no reader takes the kind.
MediaStreams readModernFile(ContainerKind kind, RandomAccessReader& reader);

} // namespace tavro

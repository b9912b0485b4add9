// The modern containers Tavro reads to the stream level: which identification rows
// lead to a reader, and the read itself, bounded by each reader's budget.
#pragma once
#include "analysis/file_spans.h"
#include "analysis/streams/media_streams.h"
#include "analysis/streams/random_access.h"
#include "common/container_kind.h"

namespace tavro {

// True when a reader exists for the row that named the file.
bool readsModern(ContainerKind kind);
// The file's streams and findings; `present` is false when no reader takes the kind.
// `spans`, when set, is told where the reader found the file's parts and each
// stream's data, and each stream's name as the report lists it.
MediaStreams readModernFile(ContainerKind kind, RandomAccessReader& reader,
                            SpanSink* spans = nullptr);

// A file no row named, read as a raw H.264/HEVC, ADTS AAC, AC-3/E-AC-3 or DTS stream;
// `present` only when one was recognised.
MediaStreams readRawStream(RandomAccessReader& reader, SpanSink* spans = nullptr);

} // namespace tavro

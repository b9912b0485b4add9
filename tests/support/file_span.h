// One span as a reader would report it, for tests that feed a file map by hand.
#pragma once
#include <cstdint>

#include "analysis/file_spans.h"

namespace tavro {
namespace test {

inline FileSpan span(uint64_t offset, uint64_t size, SpanKind kind, int stream = kNoSpanStream,
                     double start = -1, double end = -1) {
    return fileSpan(offset, size, kind, stream, start, end);
}

} // namespace test
} // namespace tavro

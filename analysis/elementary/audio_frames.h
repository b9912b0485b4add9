// Runs of ADTS, AC-3/E-AC-3 and DTS frames in a byte span: where one starts, and
// how many follow one another from there.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/elementary/elementary_file.h"

namespace tavro {

// One frame header as the run walk needs it.
struct AudioFrame {
    bool ok = false;
    ElementaryKind kind = ElementaryKind::unknown;
    uint32_t bytes = 0;
    uint32_t samples = 0;
    uint32_t sampleRate = 0;
    bool timed = true; // false for E-AC-3 dependent substreams, which share their time
};

// The frame of any of the three kinds whose header starts at data[0].
AudioFrame audioFrameAt(const uint8_t* data, size_t size);

// True when `count` frames of the same kind and rate follow one another from `pos`
// (the last header must be in the span; its body need not be).
bool audioRunAt(const uint8_t* data, size_t size, size_t pos, uint32_t count);

} // namespace tavro

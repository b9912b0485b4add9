// Finding readable text (encoder names, notes) in JUNK padding.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

constexpr size_t kTextRunScanLimit = 8192;

struct TextRun {
    size_t start = 0;
    size_t length = 0;
};

// A run starts with six letters, digits or spaces in a row, each differing from the
// one before (so fill patterns do not count), and extends over all the text
// characters that follow. Looks at no more than 8192 bytes of `data`.
bool findTextRun(const uint8_t* data, size_t length, TextRun* run);

} // namespace tavro

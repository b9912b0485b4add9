// Subtitle samples on the renderer's text pin: "GAB1" record streams or plain text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nerrorend {

struct SubtitleCue {
    int32_t startMs = 0;
    int32_t stopMs = 0;
    std::string text;
};

// A sample starting with "GAB1" and a NUL holds records {16-bit type, 16-bit size,
// size bytes}; type 1 carries start and stop in milliseconds and a NUL-terminated
// text. A record that does not fit the valid length ends the walk; a type-1
// record without its NUL is skipped.
bool isGab1Sample(const uint8_t* data, size_t length);
std::vector<SubtitleCue> parseGab1(const uint8_t* data, size_t length);

// Plain text: up to the first NUL, without its closing line break. Samples of two
// bytes or less carry nothing.
bool parsePlainSubtitle(const uint8_t* data, size_t length, std::string& text);

// Milliseconds of a sample time in 100 ns units, the segment start added.
int32_t sampleTimeMs(int64_t time, int64_t segmentStart);

} // namespace nerrorend

#include "filters/video/subtitle_sample.h"

#include <cstring>

namespace nerrorend {
namespace {

constexpr uint8_t kGab1Magic[5] = {'G', 'A', 'B', '1', 0};
constexpr uint16_t kGab1Entry = 1;
// Start and stop times, and at least the text's NUL.
constexpr size_t kGab1EntryMinimum = 9;

uint16_t le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

bool isGab1Sample(const uint8_t* data, size_t length) {
    return data && length >= sizeof kGab1Magic &&
           std::memcmp(data, kGab1Magic, sizeof kGab1Magic) == 0;
}

std::vector<SubtitleCue> parseGab1(const uint8_t* data, size_t length) {
    std::vector<SubtitleCue> cues;
    if (!isGab1Sample(data, length)) return cues;
    size_t pos = sizeof kGab1Magic;
    // Every record moves on by at least its 4 header bytes, so the walk ends.
    while (length - pos >= 4) {
        const uint16_t type = le16(data + pos);
        const size_t size = le16(data + pos + 2);
        pos += 4;
        if (size > length - pos) break;
        const uint8_t* payload = data + pos;
        pos += size;
        if (type != kGab1Entry || size < kGab1EntryMinimum) continue;
        const uint8_t* text = payload + 8;
        const void* nul = std::memchr(text, 0, size - 8);
        if (!nul) continue;
        SubtitleCue cue;
        cue.startMs = int32_t(le32(payload));
        cue.stopMs = int32_t(le32(payload + 4));
        cue.text.assign(reinterpret_cast<const char*>(text),
                        static_cast<const uint8_t*>(nul) - text);
        cues.push_back(cue);
    }
    return cues;
}

bool parsePlainSubtitle(const uint8_t* data, size_t length, std::string& text) {
    text.clear();
    if (!data || length <= 2) return false;
    const void* nul = std::memchr(data, 0, length);
    const size_t end = nul ? size_t(static_cast<const uint8_t*>(nul) - data) : length;
    text.assign(reinterpret_cast<const char*>(data), end);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return true;
}

int32_t sampleTimeMs(int64_t time, int64_t segmentStart) {
    // Saturating: a hostile time must not overflow the sum.
    int64_t sum;
    if (__builtin_add_overflow(time, segmentStart, &sum)) sum = time < 0 ? INT64_MIN : INT64_MAX;
    const int64_t ms = sum / 10000;
    if (ms > INT32_MAX) return INT32_MAX;
    if (ms < INT32_MIN) return INT32_MIN;
    return int32_t(ms);
}

} // namespace nerrorend

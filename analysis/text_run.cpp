#include "analysis/text_run.h"

namespace tavro {
namespace {

// Letters, digits and space, looked up: JUNK payloads are scanned byte by byte.
struct TextChars {
    bool is[256] = {};
    constexpr TextChars() {
        is[' '] = true;
        for (int c = '0'; c <= '9'; ++c)
            is[c] = true;
        for (int c = 'A'; c <= 'Z'; ++c)
            is[c] = is[c + 'a' - 'A'] = true;
    }
};
constexpr TextChars kTextChars;

bool isTextChar(uint8_t c) {
    return kTextChars.is[c];
}

} // namespace

bool findTextRun(const uint8_t* data, size_t length, TextRun* run) {
    if (length > kTextRunScanLimit) length = kTextRunScanLimit;
    int count = 0;
    for (size_t i = 0; i < length; ++i) {
        bool differs = i == 0 || data[i] != data[i - 1];
        if (!isTextChar(data[i]) || !differs) {
            count = 0;
            continue;
        }
        if (++count <= 5) continue;
        size_t end = i + 1;
        while (end < length && isTextChar(data[end]))
            ++end;
        run->start = i - 5;
        run->length = end - run->start;
        return true;
    }
    return false;
}

} // namespace tavro

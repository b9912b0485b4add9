#include "codecs/guid.h"

#include <cstdio>
#include <cstring>

namespace tavro {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads `digits` hex digits at text[at]; false on anything that is not a digit.
bool readHex(const char* text, size_t at, int digits, uint32_t* value) {
    uint32_t v = 0;
    for (int i = 0; i < digits; ++i) {
        int d = hexValue(text[at + i]);
        if (d < 0) return false;
        v = (v << 4) | static_cast<uint32_t>(d);
    }
    *value = v;
    return true;
}

} // namespace

bool operator==(const Guid& a, const Guid& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

bool parseRegistryGuid(const char* text, size_t length, Guid* out) {
    static const size_t kLength = 38;
    if (!text || length < kLength) return false;
    // Stop at a terminator before 38 characters: the text is shorter than a GUID.
    if (std::memchr(text, '\0', kLength) != nullptr) return false;
    if (text[0] != '{' || text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-' ||
        text[37] != '}')
        return false;
    Guid g{};
    uint32_t v = 0;
    if (!readHex(text, 1, 8, &v)) return false;
    g.Data1 = v;
    if (!readHex(text, 10, 4, &v)) return false;
    g.Data2 = static_cast<uint16_t>(v);
    if (!readHex(text, 15, 4, &v)) return false;
    g.Data3 = static_cast<uint16_t>(v);
    // The last two groups are the eight Data4 bytes in text order.
    static const size_t kByteAt[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!readHex(text, kByteAt[i], 2, &v)) return false;
        g.Data4[i] = static_cast<uint8_t>(v);
    }
    *out = g;
    return true;
}

void formatRegistryGuid(const Guid& g, char out[39]) {
    std::snprintf(out, 39, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
}

} // namespace tavro

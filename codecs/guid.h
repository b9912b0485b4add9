// A GUID as 16 bytes in the platform's own layout, so a value handed over by
// DirectShow can be compared byte for byte with one parsed from text.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

struct Guid {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
static_assert(sizeof(Guid) == 16, "Guid must match the platform GUID layout");

bool operator==(const Guid& a, const Guid& b);
inline bool operator!=(const Guid& a, const Guid& b) {
    return !(a == b);
}

// Registry form: "{" 8-4-4-4-12 hex digits "}", 38 characters, either case.
// Reads at most `length` characters of `text`; anything else is refused.
bool parseRegistryGuid(const char* text, size_t length, Guid* out);

// Writes the registry form in upper case; `out` must hold 39 bytes.
void formatRegistryGuid(const Guid& guid, char out[39]);

} // namespace tavro

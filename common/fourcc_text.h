// Four-character codes as text, and the ASCII-only, case-blind comparisons that codes,
// chunk ids and data base keys are matched with (the user's locale never takes part).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace tavro {

inline char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
inline char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The code's bytes in file order; a zero byte ends the text early, so a three-letter
// code with a zero fourth byte reads as three characters.
std::string fourccText(const uint8_t* bytes);
std::string fourccText(uint32_t code);
// The same into a fixed five-byte field, always terminated.
void fourccText(uint32_t code, char out[5]);

bool equalsNoCase(const char* a, const char* b);
bool equalsNoCase(const std::string& a, const std::string& b);
// True when the first strlen(prefix) of the `size` bytes at `data` equal `prefix`.
bool startsWithNoCase(const uint8_t* data, size_t size, const char* prefix);

} // namespace tavro

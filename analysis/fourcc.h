// Four-character codes as the report shows them.
#pragma once
#include <cstdint>
#include <string>

namespace tavro {

// The code's bytes as text, ending early at a zero byte (a three-letter code with a
// zero fourth byte reads as three characters).
std::string fourccText(const uint8_t* bytes);
std::string fourccText(uint32_t value);
// Case-insensitive comparison of two texts (ASCII letters only).
bool equalsNoCase(const std::string& a, const std::string& b);
bool startsWithNoCase(const uint8_t* data, size_t size, const char* prefix);

} // namespace tavro

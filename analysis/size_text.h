// Byte counts as the report writes them: grouped digits, KB and MB texts, and the
// compact and full size texts. Sizes are 64-bit so files past 4 GiB read right.
#pragma once
#include <cstdint>
#include <string>

namespace tavro {

std::string groupDigits(uint64_t n);
std::string mbText(uint64_t n);
std::string kbText(uint64_t n);
std::string sizeText(uint64_t n, bool compact);

} // namespace tavro

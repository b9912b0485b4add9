// Searches for one byte value, through the C library's vector code where it has it:
// the readers look for rare bytes (a start code's 0x01, an ID's first byte) across
// megabytes, where a loop over every byte costs more than all the parsing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tavro {

// The last of the `size` bytes at `data` that equals `value`, or null.
inline const uint8_t* findLastByte(const uint8_t* data, size_t size, uint8_t value) {
    if (size == 0) return nullptr;
#if defined(__GLIBC__)
    return static_cast<const uint8_t*>(memrchr(data, value, size));
#else
    for (size_t i = size; i-- > 0;)
        if (data[i] == value) return data + i;
    return nullptr;
#endif
}

} // namespace tavro

// Bounds-checked little-endian reads over the valid bytes of a buffer. A read that
// would leave the span yields 0 instead of touching memory past it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tavro {

class ByteView {
  public:
    ByteView() = default;
    ByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

    // True when `count` bytes starting at `offset` lie inside the span.
    bool has(uint64_t offset, uint64_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }
    uint8_t u8(uint64_t offset) const { return has(offset, 1) ? data_[offset] : 0; }
    uint16_t u16(uint64_t offset) const {
        if (!has(offset, 2)) return 0;
        const uint8_t* p = data_ + offset;
        return static_cast<uint16_t>(p[0] | (p[1] << 8));
    }
    uint32_t u32(uint64_t offset) const {
        if (!has(offset, 4)) return 0;
        const uint8_t* p = data_ + offset;
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
    // Compares `count` bytes at `offset` with `text`; false when they are not all there.
    bool equals(uint64_t offset, const char* text, size_t count) const {
        return has(offset, count) && std::memcmp(data_ + offset, text, count) == 0;
    }
    // Copies up to `available` bytes at `offset` (fewer when the span ends first) into
    // `out`, and zero-fills the rest of its `outSize` bytes. Returns the bytes copied.
    size_t copyOut(uint64_t offset, uint64_t available, uint8_t* out, size_t outSize) const {
        size_t n = 0;
        if (offset < size_) {
            uint64_t left = size_ - offset;
            uint64_t take = available < left ? available : left;
            n = take < outSize ? static_cast<size_t>(take) : outSize;
            std::memcpy(out, data_ + offset, n);
        }
        std::memset(out + n, 0, outSize - n);
        return n;
    }

  private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

inline uint16_t readLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t readLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

} // namespace tavro

// Builds bit fields the way the parsers read them, for hand-made headers in tests.
#pragma once
#include <cstdint>
#include <vector>

namespace tavro::test {

using Bytes = std::vector<uint8_t>;

class BitWriter {
  public:
    BitWriter& bits(uint64_t value, int count) {
        for (int i = count - 1; i >= 0; --i)
            bit((value >> i) & 1);
        return *this;
    }
    BitWriter& ue(uint32_t value) {
        const uint64_t v = uint64_t{value} + 1;
        int length = 0;
        while ((v >> length) > 1)
            ++length;
        bits(0, length);
        return bits(v, length + 1);
    }
    BitWriter& se(int32_t value) {
        return ue(value > 0 ? 2 * static_cast<uint32_t>(value) - 1
                            : 2 * static_cast<uint32_t>(-static_cast<int64_t>(value)));
    }
    // rbsp_trailing_bits: a one, then zeros to the byte boundary.
    BitWriter& trailing() {
        bit(1);
        while (count_ % 8)
            bit(0);
        return *this;
    }
    Bytes bytes() const { return bytes_; }
    size_t bitCount() const { return count_; }

  private:
    void bit(uint64_t b) {
        if (count_ % 8 == 0) bytes_.push_back(0);
        if (b) bytes_.back() |= static_cast<uint8_t>(0x80 >> (count_ % 8));
        ++count_;
    }
    Bytes bytes_;
    size_t count_ = 0;
};

// Inserts emulation-prevention bytes, as an encoder does when it wraps an RBSP in a NAL.
inline Bytes escapeNal(const Bytes& rbsp) {
    Bytes out;
    int zeros = 0;
    for (uint8_t b : rbsp) {
        if (zeros >= 2 && b <= 3) {
            out.push_back(3);
            zeros = 0;
        }
        out.push_back(b);
        zeros = b == 0 ? zeros + 1 : 0;
    }
    return out;
}

inline Bytes prefix(const Bytes& b, size_t n) {
    return Bytes(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
}

} // namespace tavro::test

// A most-significant-bit-first reader over a byte span, as the video and audio
// configuration syntaxes are written. Reads past the end give zeros and set a sticky
// overrun flag, so a parser reads a whole header and checks once at the end.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

class BitReader {
  public:
    BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // Up to 32 bits, first bit highest. Zero and the overrun flag when they are not all there.
    uint32_t bits(int count);
    uint64_t bits64(int count);
    bool flag() { return bits(1) != 0; }
    void skip(uint64_t count);
    void byteAlign() { skip((8 - pos_ % 8) % 8); }

    // Exp-Golomb codes. More than 31 leading zeros cannot be a valid value: it counts as
    // an overrun, and so do the zeros of a code that runs off the end.
    uint32_t ue();
    int32_t se();
    // AV1's variable-length code (leading zeros then value bits), capped like ue().
    uint32_t uvlc();
    // Little-endian base-128, whole bytes at a byte-aligned position; at most 8 bytes.
    uint64_t leb128();

    bool overrun() const { return overrun_; }
    bool byteAligned() const { return pos_ % 8 == 0; }
    uint64_t position() const { return pos_; }
    uint64_t bitsLeft() const { return pos_ < size_ * 8 ? size_ * 8 - pos_ : 0; }

  private:
    uint32_t leadingZeros();

    const uint8_t* data_;
    size_t size_;
    uint64_t pos_ = 0;
    bool overrun_ = false;
};

// leb128 from a byte span: the value and how many bytes it took. False when the span
// ends inside it or it runs longer than 8 bytes.
bool readLeb128(const uint8_t* data, size_t size, uint64_t& value, size_t& length);

// Copies a NAL unit's payload without its emulation-prevention bytes (the 03 of
// 00 00 03) into `out`, stopping at `capacity`. Returns the bytes written.
size_t removeEmulationPrevention(const uint8_t* nal, size_t size, uint8_t* out, size_t capacity);

// One NAL unit found between start codes (00 00 01, or 00 00 00 01).
struct NalSpan {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// Finds the next NAL unit at or after `offset` and moves `offset` to its end. False
// when there is no further start code. Trailing zero bytes before the next start
// code are left out of the unit, and empty units are passed over.
bool nextStartCodeNal(const uint8_t* data, size_t size, size_t& offset, NalSpan& nal);

// The first NAL unit of a start-code stream that `isWanted` picks and `parse` reads
// with `ok` set; an empty result when none does.
template <typename Result, typename IsWanted, typename Parse>
Result firstParsedNal(const uint8_t* data, size_t size, IsWanted isWanted, Parse parse) {
    size_t offset = 0;
    NalSpan nal;
    while (nextStartCodeNal(data, size, offset, nal)) {
        if (!isWanted(nal)) continue;
        Result r = parse(nal.data, nal.size);
        if (r.ok) return r;
    }
    return Result{};
}

} // namespace tavro

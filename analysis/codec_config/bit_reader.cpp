#include "analysis/codec_config/bit_reader.h"

#include <cstring>

namespace tavro {

uint32_t BitReader::bits(int count) {
    return static_cast<uint32_t>(bits64(count > 32 ? 32 : count));
}

uint64_t BitReader::bits64(int count) {
    if (count <= 0) return 0;
    if (count > 64) count = 64;
    if (static_cast<uint64_t>(count) > bitsLeft()) {
        overrun_ = true;
        pos_ = static_cast<uint64_t>(size_) * 8;
        return 0;
    }
    uint64_t value = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t byte = data_[pos_ / 8];
        value = (value << 1) | ((byte >> (7 - pos_ % 8)) & 1u);
        ++pos_;
    }
    return value;
}

void BitReader::skip(uint64_t count) {
    if (count > bitsLeft()) {
        overrun_ = true;
        pos_ = static_cast<uint64_t>(size_) * 8;
        return;
    }
    pos_ += count;
}

uint32_t BitReader::leadingZeros() {
    uint32_t zeros = 0;
    while (!overrun_ && bits(1) == 0) {
        if (++zeros > 31) {
            overrun_ = true;
            break;
        }
    }
    return zeros;
}

uint32_t BitReader::ue() {
    const uint32_t zeros = leadingZeros();
    if (overrun_) return 0;
    // 2^zeros - 1 + suffix stays below 2^32 for zeros <= 31.
    const uint64_t value = ((uint64_t{1} << zeros) - 1) + bits64(static_cast<int>(zeros));
    return overrun_ ? 0 : static_cast<uint32_t>(value);
}

int32_t BitReader::se() {
    const uint32_t k = ue();
    const int64_t magnitude = (static_cast<int64_t>(k) + 1) / 2;
    return static_cast<int32_t>(k & 1 ? magnitude : -magnitude);
}

uint32_t BitReader::uvlc() {
    return ue();
}

uint64_t BitReader::leb128() {
    if (!byteAligned()) {
        overrun_ = true;
        return 0;
    }
    const uint64_t at = pos_ / 8;
    uint64_t value = 0;
    size_t length = 0;
    if (!readLeb128(data_ + at, size_ - static_cast<size_t>(at), value, length)) {
        overrun_ = true;
        pos_ = static_cast<uint64_t>(size_) * 8;
        return 0;
    }
    pos_ += length * 8;
    return value;
}

bool readLeb128(const uint8_t* data, size_t size, uint64_t& value, size_t& length) {
    value = 0;
    length = 0;
    for (size_t i = 0; i < 8; ++i) {
        if (i >= size) return false;
        value |= static_cast<uint64_t>(data[i] & 0x7F) << (7 * i);
        if (!(data[i] & 0x80)) {
            length = i + 1;
            return true;
        }
    }
    return false;
}

size_t removeEmulationPrevention(const uint8_t* nal, size_t size, uint8_t* out, size_t capacity) {
    size_t written = 0;
    int zeros = 0;
    for (size_t i = 0; i < size && written < capacity; ++i) {
        const uint8_t b = nal[i];
        if (zeros >= 2 && b == 3) {
            zeros = 0;
            continue;
        }
        zeros = b == 0 ? zeros + 1 : 0;
        out[written++] = b;
    }
    return written;
}

namespace {

constexpr size_t kNoStartCode = static_cast<size_t>(-1);

// Offset of the first 00 00 01 at or after `from`, or kNoStartCode.
size_t findStartCode(const uint8_t* data, size_t size, size_t from) {
    // A code ends in the rare byte 0x01: jump from one to the next and look back.
    for (size_t j = from + 2; j < size;) {
        const auto* one = static_cast<const uint8_t*>(std::memchr(data + j, 1, size - j));
        if (!one) break;
        j = static_cast<size_t>(one - data);
        if (data[j - 1] == 0 && data[j - 2] == 0) return j - 2;
        ++j;
    }
    return kNoStartCode;
}

} // namespace

bool nextStartCodeNal(const uint8_t* data, size_t size, size_t& offset, NalSpan& nal) {
    // Each pass moves past a start code, so the loop ends; empty units are skipped.
    while (offset < size) {
        const size_t code = findStartCode(data, size, offset);
        if (code == kNoStartCode) break;
        const size_t begin = code + 3;
        const size_t next = findStartCode(data, size, begin);
        offset = next == kNoStartCode ? size : next;
        size_t end = offset;
        while (end > begin && data[end - 1] == 0)
            --end;
        if (end > begin) {
            nal.data = data + begin;
            nal.size = end - begin;
            return true;
        }
    }
    offset = size;
    return false;
}

} // namespace tavro

// Box headers and a checked big-endian cursor over box payloads held in memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace tavro {

constexpr uint32_t fourCC(const char (&t)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(t[0])) << 24 |
           static_cast<uint32_t>(static_cast<uint8_t>(t[1])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(t[2])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(t[3]));
}

// The code of four characters given at run time (`text` holds at least four).
inline uint32_t fourCCOf(const char* text) {
    return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) << 24 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[3]));
}

// The four characters of a code, with anything unprintable shown as '?'.
std::string fourCCText(uint32_t code);

enum class BoxHeaderStatus {
    ok,
    clamped,   // the box claims more than its parent holds; its size was cut to fit
    shortRead, // fewer header bytes than the header needs
    badSize,   // a 32-bit size of 2..7, or a 64-bit size smaller than its own header
};

struct BoxHeader {
    uint32_t type = 0;
    uint64_t offset = 0;     // of the box's first byte
    uint64_t headerSize = 0; // 8, 16 with a 64-bit size, 16 more for a uuid type
    uint64_t size = 0;       // whole box, after clamping to the parent
    uint64_t claimedSize = 0;
    bool toEnd = false; // size 0: the box runs to the end of its parent
    uint64_t payloadOffset() const { return offset + headerSize; }
    uint64_t payloadSize() const { return size - headerSize; }
    uint64_t end() const { return offset + size; }
};

// Reads the header at `offset` from `bytes` (`available` of them, taken from that
// offset) inside a parent that ends at `parentEnd`.
BoxHeaderStatus parseBoxHeader(const uint8_t* bytes, size_t available, uint64_t offset,
                               uint64_t parentEnd, BoxHeader& out);

// Big-endian reads that stop at the end of the span: a read past it yields 0 and
// leaves the cursor marked as overrun.
class BeCursor {
  public:
    BeCursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t u8();
    uint16_t u16();
    uint32_t u24();
    uint32_t u32();
    uint64_t u64();
    void skip(size_t count);
    // Pointer to the next `count` bytes and moves past them; null when they are not there.
    const uint8_t* take(size_t count);
    size_t left() const { return size_ - pos_; }
    size_t position() const { return pos_; }
    const uint8_t* here() const { return data_ + pos_; }
    bool overrun() const { return overrun_; }

  private:
    bool need(size_t count);
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool overrun_ = false;
};

// A box whose payload is in memory.
struct BoxSpan {
    BoxHeader header;
    const uint8_t* payload = nullptr;
    size_t payloadSize = 0;
};

// Visits the boxes laid end to end in `data` (a parent's payload in memory), at most
// `maxBoxes` of them. Stops at the first header that does not parse. Returns false
// when it stopped early (bad header, or the cap), true when it used up the bytes.
template <typename Visit>
bool forEachBox(const uint8_t* data, size_t size, size_t maxBoxes, Visit&& visit) {
    size_t pos = 0;
    for (size_t n = 0; pos < size; ++n) {
        if (n == maxBoxes) return false;
        BoxHeader h;
        const BoxHeaderStatus s = parseBoxHeader(data + pos, size - pos, pos, size, h);
        if (s == BoxHeaderStatus::shortRead || s == BoxHeaderStatus::badSize) return false;
        BoxSpan box{h, data + pos + h.headerSize, static_cast<size_t>(h.payloadSize())};
        if (!visit(box)) return true;
        pos = static_cast<size_t>(h.end());
        if (s == BoxHeaderStatus::clamped) return false;
    }
    return true;
}

} // namespace tavro

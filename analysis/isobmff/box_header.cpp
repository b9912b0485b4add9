#include "analysis/isobmff/box_header.h"

namespace tavro {

std::string fourCCText(uint32_t code) {
    std::string text(4, '?');
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>(code >> (24 - 8 * i));
        if (c >= 0x20 && c < 0x7f) text[static_cast<size_t>(i)] = c;
    }
    return text;
}

namespace {

uint32_t be32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

} // namespace

BoxHeaderStatus parseBoxHeader(const uint8_t* bytes, size_t available, uint64_t offset,
                               uint64_t parentEnd, BoxHeader& out) {
    out = BoxHeader{};
    out.offset = offset;
    if (available < 8 || offset > parentEnd || parentEnd - offset < 8)
        return BoxHeaderStatus::shortRead;
    const uint32_t small = be32(bytes);
    out.type = be32(bytes + 4);
    out.headerSize = 8;
    const uint64_t room = parentEnd - offset;
    if (small == 1) {
        if (available < 16 || room < 16) return BoxHeaderStatus::shortRead;
        out.claimedSize = uint64_t{be32(bytes + 8)} << 32 | be32(bytes + 12);
        out.headerSize = 16;
    } else if (small == 0) {
        out.toEnd = true;
        out.claimedSize = room;
    } else {
        out.claimedSize = small;
    }
    if (out.type == fourCC("uuid")) out.headerSize += 16;
    if (out.headerSize > room) return BoxHeaderStatus::shortRead;
    if (out.claimedSize < out.headerSize) return BoxHeaderStatus::badSize;
    if (out.claimedSize > room) {
        out.size = room;
        return BoxHeaderStatus::clamped;
    }
    out.size = out.claimedSize;
    return BoxHeaderStatus::ok;
}

bool BeCursor::need(size_t count) {
    if (overrun_ || count > size_ - pos_) {
        overrun_ = true;
        pos_ = size_;
        return false;
    }
    return true;
}

uint8_t BeCursor::u8() {
    if (!need(1)) return 0;
    return data_[pos_++];
}

uint16_t BeCursor::u16() {
    if (!need(2)) return 0;
    const uint16_t v = static_cast<uint16_t>(data_[pos_] << 8 | data_[pos_ + 1]);
    pos_ += 2;
    return v;
}

uint32_t BeCursor::u24() {
    if (!need(3)) return 0;
    const uint32_t v = static_cast<uint32_t>(data_[pos_]) << 16 |
                       static_cast<uint32_t>(data_[pos_ + 1]) << 8 | data_[pos_ + 2];
    pos_ += 3;
    return v;
}

uint32_t BeCursor::u32() {
    if (!need(4)) return 0;
    const uint32_t v = be32(data_ + pos_);
    pos_ += 4;
    return v;
}

uint64_t BeCursor::u64() {
    const uint64_t high = u32();
    return high << 32 | u32();
}

void BeCursor::skip(size_t count) {
    if (need(count)) pos_ += count;
}

const uint8_t* BeCursor::take(size_t count) {
    if (!need(count)) return nullptr;
    const uint8_t* p = data_ + pos_;
    pos_ += count;
    return p;
}

} // namespace tavro

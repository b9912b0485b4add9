#include "analysis/mpegts/psi_section.h"

namespace tavro {

namespace {

// The section's body between its 8-byte long header and its CRC; false when the
// declared length does not fit the bytes or leaves no room for the header and CRC.
bool sectionBody(const uint8_t* s, size_t size, size_t& bodyEnd) {
    if (size < 12 || (s[1] & 0x80) == 0) return false; // section_syntax_indicator
    const size_t length = size_t(s[1] & 0x0F) << 8 | s[2];
    if (length < 9 || length > size - 3) return false;
    bodyEnd = 3 + length - 4;
    return true;
}

bool printable(const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (p[i] < 0x20 || p[i] > 0x7E) return false;
    return true;
}

std::string textOf(const uint8_t* p, size_t n) {
    return printable(p, n) ? std::string(reinterpret_cast<const char*>(p), n) : std::string();
}

// Walks a descriptor loop; each descriptor's length is checked against the loop's end.
template <typename Visit> void forEachDescriptor(const uint8_t* p, size_t size, Visit&& visit) {
    size_t at = 0;
    for (int guard = 0; guard < 256 && size - at >= 2; ++guard) {
        const uint8_t tag = p[at], length = p[at + 1];
        if (length > size - at - 2) return;
        visit(tag, p + at + 2, size_t(length));
        at += 2 + size_t(length);
    }
}

} // namespace

uint32_t mpegCrc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < size; ++i) {
        crc ^= uint32_t(data[i]) << 24;
        for (int b = 0; b < 8; ++b)
            crc = crc & 0x80000000 ? crc << 1 ^ 0x04C11DB7 : crc << 1;
    }
    return crc;
}

PatSection parsePatSection(const uint8_t* s, size_t size, size_t maxPrograms) {
    PatSection pat;
    size_t end = 0;
    if (size < 1 || s[0] != 0x00 || !sectionBody(s, size, end)) return pat;
    pat.crcOk = mpegCrc32(s, end + 4) == 0;
    pat.transportStreamId = static_cast<uint16_t>(s[3] << 8 | s[4]);
    for (size_t at = 8; end - at >= 4 && at < end; at += 4) {
        const uint16_t number = static_cast<uint16_t>(s[at] << 8 | s[at + 1]);
        const uint16_t pid = static_cast<uint16_t>((s[at + 2] & 0x1F) << 8 | s[at + 3]);
        if (number == 0) continue; // network information PID
        ++pat.programsDeclared;
        if (pat.programs.size() < maxPrograms) pat.programs.push_back({number, pid});
    }
    pat.ok = true;
    return pat;
}

PmtSection parsePmtSection(const uint8_t* s, size_t size, size_t maxStreams) {
    PmtSection pmt;
    size_t end = 0;
    if (size < 1 || s[0] != 0x02 || !sectionBody(s, size, end) || end < 12) return pmt;
    pmt.crcOk = mpegCrc32(s, end + 4) == 0;
    pmt.programNumber = static_cast<uint16_t>(s[3] << 8 | s[4]);
    pmt.pcrPid = static_cast<uint16_t>((s[8] & 0x1F) << 8 | s[9]);
    const size_t infoLength = size_t(s[10] & 0x0F) << 8 | s[11];
    if (infoLength > end - 12) return pmt;
    forEachDescriptor(s + 12, infoLength, [&](uint8_t tag, const uint8_t* d, size_t n) {
        if (tag == 0x05 && n >= 4) pmt.registration = textOf(d, 4);
    });
    size_t at = 12 + infoLength;
    for (size_t guard = 0; guard < 1024 && end - at >= 5; ++guard) {
        PmtStreamEntry e;
        e.streamType = s[at];
        e.pid = static_cast<uint16_t>((s[at + 1] & 0x1F) << 8 | s[at + 2]);
        const size_t esInfo = size_t(s[at + 3] & 0x0F) << 8 | s[at + 4];
        at += 5;
        if (esInfo > end - at) break; // the loop claims more than the section holds
        forEachDescriptor(s + at, esInfo, [&](uint8_t tag, const uint8_t* d, size_t n) {
            switch (tag) {
            case 0x05: // registration
                if (n >= 4) e.registration = textOf(d, 4);
                break;
            case 0x0A: // ISO 639 language: code then audio type
            case 0x59: // DVB subtitling: code, type, page ids
            case 0x56: // teletext: code, type and page
                if (n >= 3 && e.language.empty()) e.language = textOf(d, 3);
                if (tag != 0x0A) e.codecDescriptor = tag;
                break;
            case 0x6A: // DVB AC-3
            case 0x7A: // DVB enhanced AC-3
            case 0x7B: // DVB DTS
            case 0x7F: // DVB extension (AC-4, DTS-HD, ...)
                e.codecDescriptor = tag;
                break;
            }
        });
        at += esInfo;
        ++pmt.streamsDeclared;
        if (pmt.streams.size() < maxStreams) pmt.streams.push_back(std::move(e));
    }
    pmt.ok = true;
    return pmt;
}

} // namespace tavro

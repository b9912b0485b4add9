// Builders for Ogg test input: header packets laid out by hand and pages made
// by libogg itself, so byte-built cases differ from real files only where a
// test wants them to.
#pragma once
#include <ogg/ogg.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace tavro::test {

using Bytes = std::vector<uint8_t>;

inline uint32_t le32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline void put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void put64(Bytes& b, uint64_t v) {
    put32(b, static_cast<uint32_t>(v));
    put32(b, static_cast<uint32_t>(v >> 32));
}
inline void putText(Bytes& b, const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
}

struct VorbisIdent {
    uint8_t channels = 2;
    uint32_t rate = 44100;
    int32_t upper = -1, nominal = 128000, lower = -1;
};

inline Bytes vorbisIdentPacket(const VorbisIdent& v = {}) {
    Bytes b{1};
    putText(b, "vorbis");
    put32(b, 0);
    b.push_back(v.channels);
    put32(b, v.rate);
    put32(b, static_cast<uint32_t>(v.upper));
    put32(b, static_cast<uint32_t>(v.nominal));
    put32(b, static_cast<uint32_t>(v.lower));
    b.push_back(0xB8); // block sizes 256 and 2048
    b.push_back(1);    // framing
    return b;
}

inline Bytes vorbisCommentPacket(const std::string& vendor,
                                 const std::vector<std::string>& comments, uint8_t framing = 1) {
    Bytes b{3};
    putText(b, "vorbis");
    put32(b, static_cast<uint32_t>(vendor.size()));
    putText(b, vendor);
    put32(b, static_cast<uint32_t>(comments.size()));
    for (const auto& c : comments) {
        put32(b, static_cast<uint32_t>(c.size()));
        putText(b, c);
    }
    b.push_back(framing);
    return b;
}

struct OgmFields {
    std::string type = "video";
    std::string subtype = "XVID";
    uint64_t timeUnit = 400000; // 25 frames per second
    uint64_t samplesPerUnit = 1;
    uint32_t wOrAudio = 320;   // width, or channels | blockAlign << 16
    uint32_t hOrAvgRate = 240; // height, or average bytes per second
};

inline Bytes ogmHeaderPacket(const OgmFields& f) {
    Bytes b{1};
    std::string type = f.type;
    type.resize(8, '\0');
    putText(b, type);
    std::string sub = f.subtype;
    sub.resize(4, '\0');
    putText(b, sub);
    put32(b, 56);
    put64(b, f.timeUnit);
    put64(b, f.samplesPerUnit);
    put32(b, 0);     // default length
    put32(b, 65536); // buffer size
    b.push_back(16); // bits per sample
    b.push_back(0);
    b.push_back(0); // alignment
    b.push_back(0);
    put32(b, f.wOrAudio);
    put32(b, f.hOrAvgRate);
    put32(b, 0);
    return b;
}

inline OgmFields ogmAudio(const std::string& subtype, uint16_t channels, uint32_t rate,
                          uint32_t avgBytes) {
    OgmFields f;
    f.type = "audio";
    f.subtype = subtype;
    f.timeUnit = 10000000;
    f.samplesPerUnit = rate;
    f.wOrAudio = channels | (4u << 16);
    f.hOrAvgRate = avgBytes;
    return f;
}

// Writes packets into pages with libogg; every call flushes, so each packet
// (or group of packets) ends its own page(s).
class OggBuilder {
  public:
    ~OggBuilder() {
        for (auto& s : streams_)
            ogg_stream_clear(&s.second.state);
    }
    OggBuilder& packets(int serial, const std::vector<Bytes>& packets, bool eos = false) {
        Stream& s = stream(serial);
        for (size_t i = 0; i < packets.size(); ++i) {
            ogg_packet p{};
            p.packet = const_cast<unsigned char*>(packets[i].data());
            p.bytes = static_cast<long>(packets[i].size());
            p.b_o_s = s.packetNo == 0;
            p.e_o_s = eos && i + 1 == packets.size();
            p.granulepos = 0;
            p.packetno = s.packetNo++;
            ogg_stream_packetin(&s.state, &p);
        }
        ogg_page page;
        while (ogg_stream_flush(&s.state, &page)) {
            bytes_.insert(bytes_.end(), page.header, page.header + page.header_len);
            bytes_.insert(bytes_.end(), page.body, page.body + page.body_len);
        }
        return *this;
    }
    OggBuilder& packet(int serial, const Bytes& p, bool eos = false) {
        return packets(serial, {p}, eos);
    }
    OggBuilder& raw(const Bytes& b) {
        bytes_.insert(bytes_.end(), b.begin(), b.end());
        return *this;
    }
    const Bytes& bytes() const { return bytes_; }

  private:
    struct Stream {
        ogg_stream_state state;
        int64_t packetNo = 0;
    };
    Stream& stream(int serial) {
        auto it = streams_.find(serial);
        if (it == streams_.end()) {
            it = streams_.emplace(serial, Stream{}).first;
            ogg_stream_init(&it->second.state, serial);
        }
        return it->second;
    }
    std::map<int, Stream> streams_;
    Bytes bytes_;
};

// One page laid out by hand (libogg puts a BOS packet alone on its page), then
// given its checksum by libogg. Each packet must be shorter than 255 bytes.
inline Bytes handPage(uint32_t serial, uint8_t flags, uint32_t pageNo,
                      const std::vector<Bytes>& packets) {
    Bytes b{'O', 'g', 'g', 'S', 0, flags};
    put64(b, 0);
    put32(b, serial);
    put32(b, pageNo);
    put32(b, 0);
    b.push_back(static_cast<uint8_t>(packets.size()));
    for (const Bytes& p : packets)
        b.push_back(static_cast<uint8_t>(p.size()));
    for (const Bytes& p : packets)
        b.insert(b.end(), p.begin(), p.end());
    ogg_page page;
    page.header = b.data();
    page.header_len = static_cast<long>(27 + packets.size());
    page.body = b.data() + page.header_len;
    page.body_len = static_cast<long>(b.size()) - page.header_len;
    ogg_page_checksum_set(&page);
    return b;
}

// Calls `fn(header, headerLen, body, bodyLen)` for each page found by its
// capture pattern, then recomputes the page's checksum through libogg.
template <typename Fn> void editPages(Bytes& b, Fn fn) {
    for (size_t at = 0; at + 27 <= b.size();) {
        if (std::memcmp(&b[at], "OggS", 4) != 0) {
            ++at;
            continue;
        }
        const size_t segs = b[at + 26];
        if (at + 27 + segs > b.size()) break;
        size_t body = 0;
        for (size_t i = 0; i < segs; ++i)
            body += b[at + 27 + i];
        if (at + 27 + segs + body > b.size()) break;
        ogg_page page;
        page.header = &b[at];
        page.header_len = static_cast<long>(27 + segs);
        page.body = &b[at + 27 + segs];
        page.body_len = static_cast<long>(body);
        fn(page);
        ogg_page_checksum_set(&page);
        at += 27 + segs + body;
    }
}

inline void setSerial(ogg_page& page, uint32_t serial) {
    for (int i = 0; i < 4; ++i)
        page.header[14 + i] = static_cast<uint8_t>(serial >> (8 * i));
}

} // namespace tavro::test

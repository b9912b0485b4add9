#include "analysis/oggcodec/ogg_codecs.h"

#include <ogg/ogg.h>

#include <cstring>
#include <map>
#include <vector>

#include "analysis/codec_config/opus_head.h"

namespace tavro {
namespace {

uint32_t le32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}
uint16_t be16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}
uint32_t be24(const uint8_t* p) {
    return uint32_t(p[0]) << 16 | p[1] << 8 | p[2];
}
uint32_t be32(const uint8_t* p) {
    return be24(p) << 8 | p[3];
}

bool startsWith(const uint8_t* data, size_t size, const char* magic, size_t n) {
    return size >= n && std::memcmp(data, magic, n) == 0;
}

struct OggStream {
    StreamFacts facts;
    uint32_t preSkip = 0;     // Opus: samples to drop at the start
    uint32_t granuleRate = 0; // granule positions per second; 0 when not a sample count
    int64_t lastGranule = -1;
};

// The first packet of a stream, which the format puts alone on the first page.
void describeFirstPacket(const uint8_t* p, size_t n, OggStream& s) {
    StreamFacts& f = s.facts;
    if (startsWith(p, n, "OpusHead", 8)) {
        const OpusHead head = parseOpusHead(p, n);
        f.kind = StreamKind::audio, f.codec = "Opus", f.codecId = "Opus";
        if (head.ok) {
            f.channels = head.channels;
            f.sampleRate = 48000;
            s.preSkip = head.preSkip;
            s.granuleRate = 48000;
        }
    } else if (startsWith(p, n,
                          "\x7f"
                          "FLAC",
                          5) &&
               n >= 13 + 4 + 34 && startsWith(p + 9, n - 9, "fLaC", 4)) {
        // The mapping header, "fLaC", then the STREAMINFO block with its 4-byte header.
        const uint8_t* info = p + 17;
        f.kind = StreamKind::audio, f.codec = "FLAC", f.codecId = "FLAC";
        f.sampleRate = be24(info + 10) >> 4;
        f.channels = ((info[12] >> 1) & 7) + 1;
        f.bitDepth = ((info[12] & 1) << 4 | info[13] >> 4) + 1;
        s.granuleRate = f.sampleRate;
    } else if (startsWith(p, n, "\x01vorbis", 7) && n >= 30) {
        f.kind = StreamKind::audio, f.codec = "Vorbis", f.codecId = "Vorbis";
        f.channels = p[11];
        f.sampleRate = le32(p + 12);
        const uint32_t nominal = le32(p + 20);
        if (nominal && nominal < 0x7FFFFFFF) f.bitrate = nominal;
        s.granuleRate = f.sampleRate;
    } else if (startsWith(p, n, "Speex   ", 8) && n >= 40) {
        f.kind = StreamKind::audio, f.codec = "Speex", f.codecId = "Speex";
        f.sampleRate = le32(p + 36);
        // The channel count follows the mode fields.
        f.channels = n >= 52 && le32(p + 48) <= 255 ? le32(p + 48) : 0;
        s.granuleRate = f.sampleRate;
    } else if (startsWith(p, n, "\x80theora", 7) && n >= 42) {
        f.kind = StreamKind::video, f.codec = "Theora", f.codecId = "Theora";
        f.width = be24(p + 14);
        f.height = be24(p + 17);
        const uint32_t num = be32(p + 22), den = be32(p + 26);
        if (num && den) f.frameRate = double(num) / den;
    } else if (startsWith(p, n, "OVP80", 5) && n >= 26) {
        f.kind = StreamKind::video, f.codec = "VP8", f.codecId = "VP8";
        f.width = be16(p + 8);
        f.height = be16(p + 10);
        const uint32_t num = be32(p + 18), den = be32(p + 22);
        if (num && den) f.frameRate = double(num) / den;
    } else {
        f.kind = StreamKind::other;
    }
    if (!f.sampleRate) s.granuleRate = 0;
}

// Every complete page in `bytes`, in order; libogg finds and checks them.
template <typename Visit> void forEachPage(const ByteBuffer& bytes, Visit visit) {
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char* buffer = ogg_sync_buffer(&sync, static_cast<long>(bytes.size()));
    if (buffer && !bytes.empty()) {
        std::memcpy(buffer, bytes.data(), bytes.size());
        ogg_sync_wrote(&sync, static_cast<long>(bytes.size()));
        ogg_page page;
        // pageout skips what is not a page (a tail read begins mid-page) and returns
        // 0 once no complete page is left, so the loop ends with the bytes.
        for (int r; (r = ogg_sync_pageout(&sync, &page)) != 0;)
            if (r > 0) visit(page);
    }
    ogg_sync_clear(&sync);
}

ByteBuffer readRange(RandomAccessReader& reader, uint64_t offset, size_t want) {
    ByteBuffer bytes;
    if (!reader.readInto(offset, want, bytes)) bytes.clear();
    return bytes;
}

} // namespace

MediaStreams readOggCodecs(RandomAccessReader& reader, const OggCodecLimits& limits) {
    MediaStreams m;
    const uint64_t size = reader.size();
    const size_t head = size < limits.headBytes ? static_cast<size_t>(size) : limits.headBytes;
    std::map<int, OggStream> streams;
    std::vector<int> order;
    uint64_t extra = 0;
    forEachPage(readRange(reader, 0, head), [&](ogg_page& page) {
        const int serial = ogg_page_serialno(&page);
        if (ogg_page_bos(&page)) {
            if (streams.count(serial)) return;
            if (streams.size() >= limits.maxStreams) {
                ++extra;
                return;
            }
            OggStream& s = streams[serial];
            s.facts.id = static_cast<uint32_t>(serial);
            describeFirstPacket(page.body, static_cast<size_t>(page.body_len), s);
            order.push_back(serial);
        }
        auto it = streams.find(serial);
        if (it != streams.end() && ogg_page_granulepos(&page) >= 0)
            it->second.lastGranule = ogg_page_granulepos(&page);
    });
    if (streams.empty()) return m;
    const uint64_t tailStart = size > limits.tailBytes ? size - limits.tailBytes : 0;
    if (tailStart > head) {
        forEachPage(readRange(reader, tailStart, limits.tailBytes), [&](ogg_page& page) {
            auto it = streams.find(ogg_page_serialno(&page));
            if (it != streams.end() && ogg_page_granulepos(&page) >= 0)
                it->second.lastGranule = ogg_page_granulepos(&page);
        });
    }
    m.present = true;
    m.container = "Ogg";
    m.streamCount = streams.size() + extra;
    for (int serial : order) {
        OggStream& s = streams[serial];
        if (s.granuleRate && s.lastGranule > static_cast<int64_t>(s.preSkip))
            s.facts.seconds = double(s.lastGranule - s.preSkip) / s.granuleRate;
        if (s.facts.seconds > m.seconds) m.seconds = s.facts.seconds;
        m.streams.push_back(s.facts);
    }
    if (m.seconds > 0) {
        const double rate = size * 8.0 / m.seconds;
        m.bitrate = rate < 1e15 ? static_cast<uint64_t>(rate) : 0;
        // One stream: the file's rate is the stream's, near enough.
        if (m.streams.size() == 1 && !m.streams[0].bitrate) m.streams[0].bitrate = m.bitrate;
    }
    return m;
}

} // namespace tavro

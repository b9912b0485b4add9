#include "analysis/ogg_reader.h"

#include <ogg/ogg.h>
#include <vorbis/codec.h>

#include <cstring>

namespace tavro {

namespace {

constexpr size_t kFeedBytes = 16384;

void putLe16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void putLe32(uint8_t* p, uint32_t v) {
    putLe16(p, v);
    putLe16(p + 2, v >> 16);
}

// Every library record of one read. The destructor releases them all, so a
// failure anywhere in the walk leaks nothing.
struct OggReadState {
    ogg_sync_state sync;
    ogg_stream_state streams[kOggMaxStreams];
    bool streamLive[kOggMaxStreams] = {};
    vorbis_info info[kOggMaxStreams];
    vorbis_comment comment[kOggMaxStreams];
    int vorbisHeaders[kOggMaxStreams] = {};
    OgmStreamHeader ogm[kOggMaxStreams];
    OggStreamType type[kOggMaxStreams] = {};
    int count = 0;
    VorbisCommentBlock videoComments;
    bool videoCommentsFilled = false;

    OggReadState() {
        ogg_sync_init(&sync);
        std::memset(streams, 0, sizeof streams);
        std::memset(ogm, 0, sizeof ogm);
        for (int i = 0; i < kOggMaxStreams; ++i) {
            vorbis_info_init(&info[i]);
            vorbis_comment_init(&comment[i]);
        }
    }
    ~OggReadState() {
        for (int i = 0; i < kOggMaxStreams; ++i) {
            if (streamLive[i]) ogg_stream_clear(&streams[i]);
            vorbis_comment_clear(&comment[i]);
            vorbis_info_clear(&info[i]);
        }
        ogg_sync_clear(&sync);
    }
    OggReadState(const OggReadState&) = delete;
    OggReadState& operator=(const OggReadState&) = delete;
};

void writeVideo(const OgmStreamHeader& h, OggReadResult& out) {
    std::memset(out.videoHeader, 0, sizeof out.videoHeader);
    std::memcpy(out.videoHeader + kStrhType, h.subtype, 4);
    std::memcpy(out.videoHeader + kStrhHandler, h.subtype, 4);
    std::memset(out.mainHeader, 0, sizeof out.mainHeader);
    putLe32(out.mainHeader + kAvihMicroSecPerFrame, static_cast<uint32_t>(h.timeUnit) / 10);
    putLe32(out.mainHeader + kAvihWidth, h.widthOrAudio);
    putLe32(out.mainHeader + kAvihHeight, h.heightOrAvgRate);
    std::memset(out.videoFormat, 0, sizeof out.videoFormat);
    std::memcpy(out.videoFormat + kBihCompression, h.subtype, 4);
    out.hasVideo = true;
    ++out.videoStreams;
}

void handlePacket(OggReadState& s, int index, bool bos, ogg_packet& packet, OggReadResult& out) {
    const uint8_t* data = packet.packet;
    const size_t bytes = packet.bytes > 0 ? static_cast<size_t>(packet.bytes) : 0;
    switch (s.type[index]) {
    case OggStreamType::VorbisAudio:
        // Identification, then comment header; a bad header just leaves the
        // records as they are. The setup header is never needed.
        if (++s.vorbisHeaders[index] <= 2)
            vorbis_synthesis_headerin(&s.info[index], &s.comment[index], &packet);
        break;
    case OggStreamType::StandardAudio:
        if (bos) parseOgmHeader(data, bytes, s.ogm[index]);
        break;
    case OggStreamType::Video:
        if (bos) {
            parseOgmHeader(data, bytes, s.ogm[index]);
            writeVideo(s.ogm[index], out);
        } else if (!s.videoCommentsFilled) {
            s.videoCommentsFilled = parseVorbisCommentPacket(data, bytes, s.videoComments);
        }
        break;
    default:
        break;
    }
}

bool nextAudioSlot(OggReadResult& out, uint8_t*& format) {
    if (out.audioStreams >= kOggMaxAudioStreams) {
        ++out.audioStreamsDropped;
        return false;
    }
    format = out.audioFormat[out.audioStreams];
    std::memset(format, 0, 16);
    return true;
}

void writeAudio(const OggReadState& s, OggReadResult& out) {
    out.audioStreams = 0;
    for (int i = 0; i < s.count; ++i) {
        uint8_t* format = nullptr;
        if (s.type[i] == OggStreamType::VorbisAudio && s.info[i].bitrate_nominal != 0) {
            if (!nextAudioSlot(out, format)) continue;
            const vorbis_info& vi = s.info[i];
            putLe16(format + kWaveFormatTag, kVorbisFormatTag);
            putLe16(format + kWaveChannels, static_cast<uint32_t>(vi.channels));
            putLe32(format + kWaveSamplesPerSec, static_cast<uint32_t>(vi.rate));
            // A negative nominal rate is the header's "unset", not a huge rate.
            const long nominal = vi.bitrate_nominal > 0 ? vi.bitrate_nominal : 0;
            putLe32(format + kWaveAvgBytesPerSec, static_cast<uint32_t>(nominal / 8));
            out.rateMode[out.audioStreams] = vi.bitrate_nominal == vi.bitrate_upper ? 1 : 2;
            ++out.audioStreams;
        } else if (s.type[i] == OggStreamType::StandardAudio) {
            if (!nextAudioSlot(out, format)) continue;
            const OgmStreamHeader& h = s.ogm[i];
            putLe16(format + kWaveFormatTag, ogmAudioFormatTag(h.subtype));
            putLe16(format + kWaveChannels, h.channels());
            putLe32(format + kWaveSamplesPerSec, static_cast<uint32_t>(h.samplesPerUnit));
            putLe32(format + kWaveAvgBytesPerSec, h.heightOrAvgRate);
            out.rateMode[out.audioStreams] = 0;
            ++out.audioStreams;
        }
    }
    out.audioWritten = true;
}

// Comment texts end at their first zero byte, as every text of the report does.
std::string cText(const char* p, size_t n) {
    const void* zero = std::memchr(p, 0, n);
    return std::string(p, zero ? static_cast<const char*>(zero) - p : n);
}

void addCommentRow(const char* source, std::string text, OggReadResult& out) {
    const size_t eq = text.find('=');
    if (eq == std::string::npos)
        out.comments.push_back({source, std::string(), std::move(text)});
    else
        out.comments.push_back({source, text.substr(0, eq), text.substr(eq + 1)});
}

void listComments(const OggReadState& s, OggReadResult& out) {
    const vorbis_comment& vc = s.comment[0];
    if (vc.vendor) {
        out.comments.push_back({"aud", "VENDOR", cText(vc.vendor, std::strlen(vc.vendor))});
        for (int i = 0; i < vc.comments; ++i) {
            if (!vc.user_comments[i]) continue;
            const size_t n = vc.comment_lengths[i] > 0 ? vc.comment_lengths[i] : 0;
            addCommentRow("aud", cText(vc.user_comments[i], n), out);
        }
    }
    if (s.videoCommentsFilled) {
        const VorbisCommentBlock& v = s.videoComments;
        out.comments.push_back({"vid", "VENDOR", cText(v.vendor.data(), v.vendor.size())});
        for (const std::string& c : v.comments)
            addCommentRow("vid", cText(c.data(), c.size()), out);
    }
}

// One page: find or start its stream, take at most one packet and handle it.
int readPage(OggReadState& s, ogg_page& page, OggReadResult& out) {
    const bool bos = ogg_page_bos(&page) != 0;
    int index;
    if (bos) {
        if (s.count >= kOggMaxStreams) return kOggTooManyStreams;
        index = s.count;
        // The slot number doubles as the serial number, so only streams numbered
        // 0, 1, 2... in BOS order are accepted by the page-in below.
        if (ogg_stream_init(&s.streams[index], index) != 0) return kOggStreamInit;
        s.streamLive[index] = true;
        s.type[index] = classifyBosPage(page.body, page.body_len > 0 ? page.body_len : 0);
        ++s.count;
    } else {
        const int serial = ogg_page_serialno(&page);
        if (serial < 0 || serial >= kOggMaxStreams) return kOggTooManyStreams;
        // A slot without a BOS page has no stream state to take the page.
        if (serial >= s.count) return kOggPageRefused;
        index = serial;
    }
    if (ogg_stream_pagein(&s.streams[index], &page) < 0) return kOggPageRefused;
    ogg_packet packet;
    const int got = ogg_stream_packetout(&s.streams[index], &packet);
    if (got < 0) return kOggPacketGap;
    // No complete packet yet: nothing to handle (the last packet is not taken again).
    if (got == 0) return kOggOk;
    handlePacket(s, index, bos, packet, out);
    return kOggOk;
}

// Seconds per granule of stream i, 0 when its headers give no rate.
double secondsPerGranule(const OggReadState& s, int i) {
    if (s.type[i] == OggStreamType::VorbisAudio)
        return s.info[i].rate > 0 ? 1.0 / s.info[i].rate : 0;
    const OgmStreamHeader& h = s.ogm[i];
    if (s.type[i] == OggStreamType::Unknown || h.timeUnit == 0 || h.samplesPerUnit == 0) return 0;
    return double(h.timeUnit) / (double(h.samplesPerUnit) * 1e7);
}

std::string streamName(const OggReadState& s, int i) {
    switch (s.type[i]) {
    case OggStreamType::VorbisAudio:
        return "Vorbis " + std::to_string(i + 1);
    case OggStreamType::StandardAudio:
        return "Audio " + std::to_string(i + 1);
    case OggStreamType::Video:
        return "Video " + std::string(s.ogm[i].subtype, strnlen(s.ogm[i].subtype, 4));
    case OggStreamType::Text:
        return "Text " + std::to_string(i + 1);
    default:
        return "Stream " + std::to_string(i + 1);
    }
}

// Tells the sink where the page just taken out lies: the sync layer holds the bytes
// fed (`fed`) but not yet returned, and the page ends where those begin.
void mapPage(const OggReadState& s, const ogg_page& page, size_t fed, double* lastEnd,
             SpanSink& sink) {
    const uint64_t pageBytes = uint64_t(page.header_len) + uint64_t(page.body_len);
    const uint64_t pending =
        s.sync.fill > s.sync.returned ? uint64_t(s.sync.fill - s.sync.returned) : 0;
    if (pending + pageBytes > fed) return;
    FileSpan span;
    span.offset = fed - pending - pageBytes;
    span.size = pageBytes;
    const int serial = ogg_page_serialno(&page);
    if (serial < 0 || serial >= s.count) {
        span.kind = SpanKind::Data;
        sink.addSpan(span);
        return;
    }
    if (ogg_page_bos(&page)) sink.nameStream(serial, streamName(s, serial));
    span.stream = serial;
    const ogg_int64_t granule = ogg_page_granulepos(&page);
    const double perGranule = secondsPerGranule(s, serial);
    // Pages at granule 0 carry the stream's headers.
    span.kind = granule == 0 ? SpanKind::Header : SpanKind::Data;
    if (granule > 0 && perGranule > 0) {
        span.start = lastEnd[serial];
        span.end = double(granule) * perGranule;
        lastEnd[serial] = span.end;
    }
    sink.addSpan(span);
}

} // namespace

int readOggStreams(const uint8_t* head, size_t length, OggReadResult& out, SpanSink* spans) {
    out = OggReadResult{};
    OggReadState s;
    double lastEnd[kOggMaxStreams] = {};
    size_t pos = 0;
    for (;;) {
        ogg_page page;
        const int got = ogg_sync_pageout(&s.sync, &page);
        if (got < 0) return kOggLostSync;
        if (got == 0) {
            if (pos >= length) break;
            const size_t n = length - pos < kFeedBytes ? length - pos : kFeedBytes;
            char* buffer = ogg_sync_buffer(&s.sync, static_cast<long>(n));
            if (!buffer) return kOggSyncWrite;
            std::memcpy(buffer, head + pos, n);
            pos += n;
            if (ogg_sync_wrote(&s.sync, static_cast<long>(n)) < 0) return kOggSyncWrite;
            continue;
        }
        const int result = readPage(s, page, out);
        if (spans) mapPage(s, page, pos, lastEnd, *spans);
        for (int i = 0; i < s.count; ++i)
            out.streamTypes[i] = s.type[i];
        out.streamCount = s.count;
        if (result != kOggOk) return result;
    }
    writeAudio(s, out);
    listComments(s, out);
    return kOggOk;
}

} // namespace tavro

#include "analysis/mpegts/ts_codecs.h"

namespace tavro {

namespace {

using Kind = TsStream::Kind;

void set(TsStream& s, Kind kind, const char* codec) {
    s.kind = kind;
    s.codec = codec;
}

// stream_type 0x06 (PES private data) and unknown types: the descriptors decide.
void classifyByDescriptors(TsStream& s) {
    const std::string& r = s.registration;
    if (r == "AC-3") return set(s, Kind::audio, "AC-3");
    if (r == "EAC3") return set(s, Kind::audio, "E-AC-3");
    if (r == "Opus") return set(s, Kind::audio, "Opus");
    if (r == "HEVC") return set(s, Kind::video, "HEVC");
    if (r == "DTS1" || r == "DTS2" || r == "DTS3") return set(s, Kind::audio, "DTS");
    if (r == "VC-1") return set(s, Kind::video, "VC-1");
    switch (s.descriptorTag) {
    case 0x6A:
        return set(s, Kind::audio, "AC-3");
    case 0x7A:
        return set(s, Kind::audio, "E-AC-3");
    case 0x7B:
        return set(s, Kind::audio, "DTS");
    case 0x59:
        return set(s, Kind::subtitle, "DVB Subtitle");
    case 0x56:
        return set(s, Kind::subtitle, "Teletext");
    }
}

// A header found by `parse` at some offset, and another agreeing one a frame later
// (or the span ending inside that frame), so stray sync patterns are passed over.
template <typename Header, typename Parse, typename Same>
Header findFramed(const uint8_t* d, size_t size, uint8_t first, Parse parse, Same same) {
    for (size_t i = 0; size >= 2 && i < size - 1; ++i) {
        if (d[i] != first) continue;
        const Header h = parse(d + i, size - i);
        if (!h.ok || h.frameBytes == 0) continue;
        const size_t left = size - i;
        if (h.frameBytes >= left) return h;
        const Header next = parse(d + i + h.frameBytes, left - h.frameBytes);
        if (next.ok && same(h, next)) return h;
    }
    return Header{};
}

struct AdtsFramed {
    bool ok = false;
    uint32_t frameBytes = 0;
    AdtsHeader h;
};

AdtsFramed parseAdtsFramed(const uint8_t* d, size_t n) {
    AdtsFramed f;
    f.h = parseAdtsHeader(d, n);
    f.ok = f.h.ok && f.h.sampleRate != 0;
    f.frameBytes = f.h.frameLength;
    return f;
}

} // namespace

void classifyTsStream(TsStream& s, const std::string& programRegistration) {
    const bool hdmv = programRegistration == "HDMV" || programRegistration == "HDPR";
    switch (s.streamType) {
    case 0x01:
        return set(s, Kind::video, "MPEG-1 Video");
    case 0x02:
        return set(s, Kind::video, "MPEG-2 Video");
    case 0x03:
    case 0x04:
        return set(s, Kind::audio, "MPEG Audio");
    case 0x0F:
    case 0x11:
        return set(s, Kind::audio, "AAC");
    case 0x10:
        return set(s, Kind::video, "MPEG-4 Visual");
    case 0x1B:
        return set(s, Kind::video, "AVC");
    case 0x24:
        return set(s, Kind::video, "HEVC");
    case 0xEA:
        return set(s, Kind::video, "VC-1");
    case 0x81:
        return set(s, Kind::audio, "AC-3");
    case 0x87:
        return set(s, Kind::audio, "E-AC-3");
    case 0x90:
        return set(s, Kind::subtitle, "PGS");
    }
    if (hdmv) {
        switch (s.streamType) {
        case 0x80:
            return set(s, Kind::audio, "PCM");
        case 0x82:
        case 0x85:
        case 0x86:
        case 0xA2:
            return set(s, Kind::audio, "DTS");
        case 0x83:
            return set(s, Kind::audio, "TrueHD");
        case 0x84:
        case 0xA1:
            return set(s, Kind::audio, "E-AC-3");
        }
    } else if (s.streamType == 0x82 || s.streamType == 0x85 || s.streamType == 0x86) {
        // Outside Blu-ray these types are not fixed; DTS unless the descriptors say.
        classifyByDescriptors(s);
        if (s.codec.empty()) set(s, Kind::audio, "DTS");
        return;
    }
    classifyByDescriptors(s);
}

void probeTsStream(TsStream& s, const uint8_t* d, size_t size) {
    if (!d || size == 0) return;
    const std::string& c = s.codec;
    if (c == "AVC") {
        s.avc = findH264SpsInByteStream(d, size);
        s.configFound = s.avc.ok;
    } else if (c == "HEVC") {
        s.hevc = findHevcSpsInByteStream(d, size);
        s.configFound = s.hevc.ok;
    } else if (c == "MPEG-1 Video" || c == "MPEG-2 Video") {
        s.mpegVideo = findMpegVideoSequence(d, size);
        s.configFound = s.mpegVideo.ok;
    } else if (c == "AAC" && s.streamType != 0x11) {
        const AdtsFramed f = findFramed<AdtsFramed>(
            d, size, 0xFF, parseAdtsFramed, [](const AdtsFramed& a, const AdtsFramed& b) {
                return a.h.sampleRate == b.h.sampleRate && a.h.channelConfig == b.h.channelConfig;
            });
        s.adts = f.h;
        s.configFound = f.ok;
    } else if (c == "AC-3" || c == "E-AC-3") {
        s.ac3 = findFramed<Ac3FrameHeader>(
            d, size, 0x0B, parseAc3FrameHeader,
            [](const Ac3FrameHeader& a, const Ac3FrameHeader& b) { return a.bsid == b.bsid; });
        s.configFound = s.ac3.ok;
        // The frames tell AC-3 from E-AC-3 better than a private stream type does.
        if (s.ac3.ok) s.codec = s.ac3.enhanced ? "E-AC-3" : "AC-3";
    } else if (c == "DTS") {
        // A 32-bit sync rarely turns up by chance, and an HD extension may follow the
        // core frame, so the first core header that parses is taken.
        for (size_t i = 0; size >= 4 && i <= size - 4 && !s.dts.ok; ++i)
            if (d[i] == 0x7F && d[i + 1] == 0xFE && d[i + 2] == 0x80 && d[i + 3] == 0x01)
                s.dts = parseDtsFrameHeader(d + i, size - i);
        s.configFound = s.dts.ok;
    } else if (c == "MPEG Audio") {
        s.mpegAudio = findMpegAudioHeader(d, size);
        s.configFound = s.mpegAudio.ok;
    }
}

double configFrameRate(const TsStream& s) {
    if (s.avc.ok && s.avc.frameRateDen)
        return double(s.avc.frameRateNum) / double(s.avc.frameRateDen);
    if (s.mpegVideo.ok && s.mpegVideo.frameRateDen)
        return double(s.mpegVideo.frameRateNum) / double(s.mpegVideo.frameRateDen);
    return 0;
}

uint64_t frameTicksOf(const TsStream& s) {
    auto ticks = [](uint64_t samples, uint32_t rate) -> uint64_t {
        return rate ? samples * 90000 / rate : 0;
    };
    // A picture shown for over ten seconds is a timing field gone wrong, not a rate.
    if (s.kind == TsStream::Kind::video)
        return s.frameRate > 0.1 ? static_cast<uint64_t>(90000.0 / s.frameRate + 0.5) : 0;
    if (s.adts.ok) return ticks(1024ull * s.adts.rawDataBlocks, s.adts.sampleRate);
    if (s.ac3.ok) return ticks(s.ac3.samplesPerFrame, s.ac3.sampleRate);
    if (s.dts.ok) return ticks(s.dts.samplesPerFrame, s.dts.sampleRate);
    if (s.mpegAudio.ok) return ticks(s.mpegAudio.samplesPerFrame, s.mpegAudio.sampleRate);
    return 0;
}

double snapFrameRate(double counted) {
    static const double kRates[] = {
        24000.0 / 1001, 24, 25, 30000.0 / 1001, 30, 48, 50, 60000.0 / 1001, 60, 100, 120};
    for (double r : kRates)
        if (counted > r * 0.99 && counted < r * 1.01) return r;
    return counted;
}

} // namespace tavro

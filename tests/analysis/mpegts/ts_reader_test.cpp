// The transport stream reader over hand-built packets: one small valid stream, then
// lost, scrambled, garbled, cut and oversized shapes of it.
#include <gtest/gtest.h>

#include <algorithm>

#include "analysis/mpegts/ts_packet.h"
#include "analysis/mpegts/ts_reader.h"
#include "analysis/mpegts/ts_streams.h"
#include "tests/analysis/mpegts/ts_builder.h"

namespace tavro {
namespace {

using namespace test;

constexpr uint16_t kPmtPid = 0x1000;
constexpr uint16_t kVideoPid = 0x100;
constexpr uint16_t kAudioPid = 0x101;

// Counts what the reader asks for, to hold it to its budget.
class CountingReader : public BufferReader {
  public:
    using BufferReader::BufferReader;
    bool readAt(uint64_t offset, void* buffer, size_t want, size_t* got) override {
        requested += want;
        return BufferReader::readAt(offset, buffer, want, got);
    }
    uint64_t requested = 0;
};

TsFile read(const Bytes& b, const TsLimits& limits = TsLimits{}) {
    BufferReader reader(b.data(), b.size());
    return readTransportStream(reader, limits);
}

void append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

Bytes tables(uint8_t cc = 0) {
    Bytes out = packet({0, true, cc}, psiPayload(pat({{1, kPmtPid}})));
    const Bytes langEng = {0x0A, 0x04, 'e', 'n', 'g', 0x00};
    append(out, packet({kPmtPid, true, cc},
                       psiPayload(pmt(1, {{0x02, kVideoPid, {}}, {0x0F, kAudioPid, langEng}}))));
    return out;
}

// Tables, then `frames` pictures and audio frames 40 ms apart from `pts0`, each video
// PES over two packets; `mutate` may change each packet's spec.
template <typename Mutate> Bytes stream(int frames, uint64_t pts0, Mutate mutate) {
    Bytes out = tables();
    uint8_t vcc = 0, acc = 0;
    for (int k = 0; k < frames; ++k) {
        const uint64_t pts = (pts0 + uint64_t(k) * 3600) & ((1ull << 33) - 1);
        Bytes video = pes(0xE0, pts, mpeg2Sequence(352, 288, 3));
        video.resize(300, 0x00);
        PacketSpec first{kVideoPid, true, vcc++};
        PacketSpec second{kVideoPid, false, vcc++};
        mutate(k, first);
        mutate(k, second);
        append(out, packet(first, Bytes(video.begin(), video.begin() + 184)));
        append(out, packet(second, Bytes(video.begin() + 184, video.end())));
        PacketSpec audio{kAudioPid, true, acc++};
        mutate(k, audio);
        append(out, packet(audio, pes(0xC0, pts, adtsFrames())));
    }
    return out;
}

Bytes stream(int frames, uint64_t pts0 = 900000) {
    return stream(frames, pts0, [](int, PacketSpec&) {});
}

bool hasFinding(const MediaStreams& m, const std::string& code) {
    return std::any_of(m.findings.begin(), m.findings.end(),
                       [&](const FileFinding& f) { return f.code == code; });
}

TEST(TsReader, SmallStream) {
    const TsFile f = read(stream(25));
    ASSERT_EQ(f.status, TsStatus::ok);
    EXPECT_EQ(f.packetSize, 188u);
    EXPECT_TRUE(f.problems.empty());
    ASSERT_EQ(f.streams.size(), 2u);
    const MediaStreams m = describeTransportStream(f);
    EXPECT_TRUE(m.present);
    EXPECT_TRUE(m.findings.empty());
    ASSERT_EQ(m.streams.size(), 2u);
    const StreamFacts& v = m.streams[0];
    EXPECT_EQ(v.codec, "MPEG-2 Video");
    EXPECT_EQ(v.codecId, "0x02");
    EXPECT_EQ(v.profile, "Main");
    EXPECT_EQ(v.level, "Main");
    EXPECT_EQ(v.width, 352u);
    EXPECT_EQ(v.height, 288u);
    EXPECT_DOUBLE_EQ(v.frameRate, 25);
    EXPECT_NEAR(v.seconds, 1.0, 1e-9); // 24 intervals and the last picture
    const StreamFacts& a = m.streams[1];
    EXPECT_EQ(a.codec, "AAC");
    EXPECT_EQ(a.profile, "LC");
    EXPECT_EQ(a.sampleRate, 48000u);
    EXPECT_EQ(a.channels, 2u);
    EXPECT_EQ(a.language, "eng");
    EXPECT_NEAR(m.seconds, 1.0, 0.001);
}

// The same stream framed as M2TS (timestamp before each packet) and with 16 parity
// bytes after each, and starting mid-packet.
TEST(TsReader, FramingsAndStartOffsets) {
    const Bytes plain = stream(10);
    struct Case {
        uint32_t stride;
        size_t lead;
    };
    for (const Case c : {Case{188, 0}, Case{192, 0}, Case{204, 0}, Case{188, 77}, Case{192, 100}}) {
        Bytes out(c.lead, 0x00);
        for (size_t at = 0; at < plain.size(); at += 188) {
            if (c.stride == 192) append(out, {0x00, 0x01, 0x02, 0x03});
            out.insert(out.end(), plain.begin() + static_cast<long>(at),
                       plain.begin() + static_cast<long>(at + 188));
            if (c.stride == 204) out.insert(out.end(), 16, 0xAA);
        }
        const TsFile f = read(out);
        EXPECT_EQ(f.status, TsStatus::ok) << c.stride << "/" << c.lead;
        EXPECT_EQ(f.packetSize, c.stride) << c.lead;
        EXPECT_EQ(f.streams.size(), 2u) << c.stride;
        EXPECT_EQ(f.resyncs, 0u) << c.stride;
        EXPECT_FALSE(f.has(TsProblem::truncatedPacket)) << c.stride << "/" << c.lead;
    }
}

// Damage each finding names, table-driven: what is done to the packets, what is found.
TEST(TsReader, DamageIsFound) {
    struct Case {
        const char* name;
        Bytes bytes;
        TsProblem problem;
        const char* code;
    };
    auto lose = [](int k, PacketSpec& s) {
        if (s.pid == kVideoPid && k >= 5) s.cc = uint8_t(s.cc + 3); // three packets lost
    };
    auto scramble = [](int k, PacketSpec& s) {
        if (s.pid == kAudioPid && k > 2) s.scrambling = 2;
    };
    Bytes garbled = stream(10);
    garbled.insert(garbled.begin() + 188 * 6, 50, 0x11);
    Bytes cut = stream(10);
    cut.resize(cut.size() - 100);
    const Case cases[] = {
        {"lost", stream(10, 0, lose), TsProblem::ccErrors, "ts.cc_errors"},
        {"scrambled", stream(10, 0, scramble), TsProblem::scrambled, "ts.scrambled"},
        {"garbled", garbled, TsProblem::syncLost, "ts.sync_lost"},
        {"cut", cut, TsProblem::truncatedPacket, "ts.truncated"},
    };
    for (const Case& c : cases) {
        const TsFile f = read(c.bytes);
        EXPECT_EQ(f.status, TsStatus::ok) << c.name;
        EXPECT_TRUE(f.has(c.problem)) << c.name;
        EXPECT_TRUE(hasFinding(describeTransportStream(f), c.code)) << c.name;
    }
    const TsFile lost = read(cases[0].bytes);
    EXPECT_EQ(lost.ccErrors, 1u);
    EXPECT_EQ(lost.streams[0].ccErrors, 1u);
    EXPECT_EQ(read(garbled).bytesSkipped, 50u);
    EXPECT_EQ(read(cut).truncatedBytes, 88u);
}

// A repeated packet and a flagged discontinuity are not losses.
TEST(TsReader, AllowedCounterJumps) {
    Bytes b = stream(8, 0, [](int k, PacketSpec& s) {
        if (s.pid != kVideoPid || k < 6) return;
        s.cc = uint8_t(s.cc + 7);
        s.discontinuity = k == 6 && s.unitStart;
    });
    const Bytes last(b.end() - 188, b.end());
    append(b, last);
    const TsFile f = read(b);
    EXPECT_EQ(f.status, TsStatus::ok);
    EXPECT_EQ(f.ccErrors, 0u);
}

// A huge claimed length over a span of a few ticks gives no bitrate, not an overflow.
TEST(TsReader, BitrateOfTinySpan) {
    const Bytes b = stream(2, 0, [](int, PacketSpec&) {});
    BufferReader reader(b.data(), b.size(), ~uint64_t(0));
    const MediaStreams m = describeTransportStream(readTransportStream(reader));
    EXPECT_GT(m.seconds, 0);
    EXPECT_LT(m.bitrate, uint64_t(1e15));
}

// What a program map's stream types and descriptors name, table-driven.
TEST(TsReader, StreamTypesAndDescriptors) {
    const Bytes reg = {0x05, 0x04, 'E', 'A', 'C', '3'};
    const Bytes opus = {0x05, 0x04, 'O', 'p', 'u', 's'};
    const Bytes dvbAc3 = {0x6A, 0x01, 0x00};
    const Bytes subtitles = {0x59, 0x08, 'd', 'e', 'u', 0x10, 0x00, 0x01, 0x00, 0x01};
    const Bytes teletext = {0x56, 0x05, 'f', 'r', 'a', 0x09, 0x00};
    const Bytes cutDescriptor = {0x0A, 0x09, 'e', 'n', 'g'}; // claims more than the loop holds
    const struct {
        uint8_t type;
        Bytes descriptors;
        StreamKind kind;
        const char* codec;
        const char* language;
    } cases[] = {
        {0x1B, {}, StreamKind::video, "AVC", ""},
        {0x24, {}, StreamKind::video, "HEVC", ""},
        {0x10, {}, StreamKind::video, "MPEG-4 Visual", ""},
        {0xEA, {}, StreamKind::video, "VC-1", ""},
        {0x04, {}, StreamKind::audio, "MPEG Audio", ""},
        {0x11, {}, StreamKind::audio, "AAC", ""},
        {0x81, {}, StreamKind::audio, "AC-3", ""},
        {0x87, {}, StreamKind::audio, "E-AC-3", ""},
        {0x86, {}, StreamKind::audio, "DTS", ""},
        {0x90, {}, StreamKind::subtitle, "PGS", ""},
        {0x06, reg, StreamKind::audio, "E-AC-3", ""},
        {0x06, opus, StreamKind::audio, "Opus", ""},
        {0x06, dvbAc3, StreamKind::audio, "AC-3", ""},
        {0x06, subtitles, StreamKind::subtitle, "DVB Subtitle", "deu"},
        {0x06, teletext, StreamKind::subtitle, "Teletext", "fra"},
        {0x06, {}, StreamKind::other, "", ""},
        {0x03, cutDescriptor, StreamKind::audio, "MPEG Audio", ""},
    };
    for (const auto& c : cases) {
        Bytes b = packet({0, true, 0}, psiPayload(pat({{1, kPmtPid}})));
        append(b, packet({kPmtPid, true, 0}, psiPayload(pmt(1, {{c.type, 0x300, c.descriptors}}))));
        const MediaStreams m = describeTransportStream(read(b));
        ASSERT_EQ(m.streams.size(), 1u) << int(c.type);
        EXPECT_EQ(m.streams[0].kind, c.kind) << int(c.type);
        EXPECT_EQ(m.streams[0].codec, c.codec) << int(c.type);
        EXPECT_EQ(m.streams[0].language, c.language) << int(c.type);
    }
}

TEST(TsReader, PtsWrapsAt33Bits) {
    const TsFile f = read(stream(50, (1ull << 33) - 90000));
    ASSERT_EQ(f.status, TsStatus::ok);
    EXPECT_NEAR(f.seconds, 2.0, 0.001);
}

TEST(TsReader, NotTransportStreams) {
    const Bytes flv = {'F', 'L', 'V', 1, 5, 0, 0, 0, 9, 0, 0, 0, 0};
    Bytes lone(188 * 3, 0x00);
    lone[0] = 0x47; // one sync byte is not a rhythm
    Bytes noPat;
    for (uint8_t k = 0; k < 10; ++k)
        append(noPat, packet({0x200, false, k}, Bytes(184, 0x00)));
    Bytes noPmt;
    for (uint8_t k = 0; k < 10; ++k)
        append(noPmt, packet({0, true, k}, psiPayload(pat({{1, kPmtPid}}))));
    const struct {
        const char* name;
        Bytes bytes;
        TsStatus status;
        const char* code;
    } cases[] = {
        {"empty", {}, TsStatus::notTransportStream, "ts.not_ts"},
        {"one byte", {0x47}, TsStatus::notTransportStream, "ts.not_ts"},
        {"flv", flv, TsStatus::notTransportStream, "ts.not_ts"},
        {"lone sync", lone, TsStatus::notTransportStream, "ts.not_ts"},
        {"no pat", noPat, TsStatus::noPat, "ts.no_pat"},
        {"no pmt", noPmt, TsStatus::noPmt, "ts.no_pmt"},
    };
    for (const auto& c : cases) {
        const TsFile f = read(c.bytes);
        EXPECT_EQ(f.status, c.status) << c.name;
        const MediaStreams m = describeTransportStream(f);
        EXPECT_TRUE(hasFinding(m, c.code)) << c.name;
        EXPECT_NE(std::string(tsStatusText(f.status)), "") << c.name;
    }
}

// Section lengths and pointer fields past the packet, a table failing its CRC, and an
// adaptation field longer than the packet: noted, never read past.
TEST(TsReader, HostileTables) {
    Bytes longSection = psiPayload(pat({{1, kPmtPid}}));
    longSection[2] = 0xBF; // section_length 0xFFF
    longSection[3] = 0xFF;
    Bytes farPointer = psiPayload(pat({{1, kPmtPid}}));
    farPointer[0] = 200;
    Bytes badCrc = psiPayload(pat({{1, kPmtPid}}));
    badCrc[10] ^= 0x01;
    Bytes badAdaptation = packet({0, true, 0}, psiPayload(pat({{1, kPmtPid}})));
    badAdaptation[3] |= 0x20;
    badAdaptation[4] = 0xFF;
    for (const Bytes& payload : {longSection, farPointer, badCrc}) {
        Bytes b;
        for (uint8_t k = 0; k < 6; ++k)
            append(b, packet({0, true, k}, payload));
        const TsFile f = read(b);
        EXPECT_EQ(f.status, TsStatus::noPat);
        EXPECT_TRUE(f.has(TsProblem::badSection));
    }
    Bytes b;
    for (int k = 0; k < 6; ++k)
        append(b, badAdaptation);
    EXPECT_EQ(read(b).status, TsStatus::noPat);
}

// Hundreds of programs of many streams each: counted, a bounded number kept.
TEST(TsReader, ManyProgramsAndStreams) {
    std::vector<std::pair<uint16_t, uint16_t>> programs;
    for (uint16_t k = 1; k <= 250; ++k)
        programs.push_back({k, uint16_t(0x20 + k)});
    Bytes b = sectionPackets(0, pat(programs));
    for (uint16_t k = 1; k <= 250; ++k) {
        std::vector<EsSpec> es;
        for (uint16_t n = 0; n < 30; ++n)
            es.push_back({0x1B, uint16_t(0x400 + k * 30 + n), {}});
        append(b, packet({uint16_t(0x20 + k), true, 0}, psiPayload(pmt(k, es))));
    }
    TsLimits limits;
    const TsFile f = read(b, limits);
    EXPECT_EQ(f.status, TsStatus::ok);
    EXPECT_EQ(f.programCount, 250u);
    EXPECT_EQ(f.pmtCount, limits.maxPrograms);
    EXPECT_EQ(f.streams.size(), limits.maxStreams);
    EXPECT_GT(f.streamCount, f.streams.size());
    EXPECT_TRUE(f.has(TsProblem::tooManyStreams));
    EXPECT_TRUE(hasFinding(describeTransportStream(f), "ts.many_streams"));
}

// Cut anywhere, the reader reports a status and stays within the bytes it has.
TEST(TsReader, EveryTruncation) {
    const Bytes whole = stream(6);
    for (size_t n = 0; n <= whole.size(); n += 7) {
        const Bytes part(whole.begin(), whole.begin() + static_cast<long>(n));
        const TsFile f = read(part);
        if (n <= 188) { // two sync bytes a packet apart make the least stream
            EXPECT_EQ(f.status, TsStatus::notTransportStream) << n;
        } else {
            EXPECT_NE(f.status, TsStatus::notTransportStream) << n;
            EXPECT_EQ(f.has(TsProblem::truncatedPacket), n % 188 != 0) << n;
        }
        EXPECT_LE(f.bytesRead, n);
    }
}

// A large file is read at its head and tail only; a claimed length far past the bytes
// held neither reads more nor fails.
TEST(TsReader, ReadsStayWithinBudget) {
    const Bytes small = stream(400); // about 225 KiB
    TsLimits limits;
    limits.headBytes = 64 << 10;
    limits.tailBytes = 32 << 10;
    limits.longTailBytes = 48 << 10;
    for (uint64_t claimed : {uint64_t(small.size()), uint64_t(1) << 32, ~uint64_t(0)}) {
        CountingReader reader(small.data(), small.size(), claimed);
        const TsFile f = readTransportStream(reader, limits);
        EXPECT_EQ(f.status, TsStatus::ok) << claimed;
        EXPECT_LE(reader.requested, limits.headBytes + limits.longTailBytes) << claimed;
        EXPECT_EQ(f.tailRead, true) << claimed;
    }
    CountingReader reader(small.data(), small.size());
    const TsFile f = readTransportStream(reader, limits);
    EXPECT_NEAR(f.seconds, 16.0, 0.001); // the tail's PTS, though the middle went unread
}

// A stream the small tail holds nothing of (its last 100 frames gone) makes the
// reader look further back, to where it last appears; the larger read adds only the
// bytes before the small one.
TEST(TsReader, TailGrowsUntilEveryTimedStreamAppears) {
    const Bytes b = stream(400, 900000, [](int k, PacketSpec& p) {
        if (k >= 300 && p.pid == kAudioPid) p.pid = kNullPid;
    });
    struct Case {
        uint64_t longTail;
        double audioSeconds; // from the head alone when the tail never reaches it
    };
    for (const Case c : {Case{32 << 10, 4.5}, Case{96 << 10, 12.0}}) {
        SCOPED_TRACE(c.longTail);
        TsLimits limits;
        limits.headBytes = 64 << 10;
        limits.tailBytes = 32 << 10;
        limits.longTailBytes = c.longTail;
        CountingReader reader(b.data(), b.size());
        const MediaStreams m = describeTransportStream(readTransportStream(reader, limits));
        EXPECT_LE(reader.requested, limits.headBytes + std::max(limits.tailBytes, c.longTail));
        ASSERT_EQ(m.streams.size(), 2u);
        EXPECT_NEAR(m.streams[0].seconds, 16.0, 0.001);
        EXPECT_NEAR(m.streams[1].seconds, c.audioSeconds, 0.5);
    }
}

// Pictures 40 ms apart whose PES packets hold `bytes(k)` bytes, over as many packets
// as that takes; every second one carries no time when `halfTimed`.
template <typename Size> Bytes pictures(int frames, Size bytes, bool halfTimed = false) {
    Bytes out = tables();
    uint8_t cc = 0;
    for (int k = 0; k < frames; ++k) {
        Bytes video = pes(0xE0, 900000 + uint64_t(k) * 3600, mpeg2Sequence(352, 288, 3));
        if (halfTimed && k % 2 == 1) {
            video.erase(video.begin() + 9, video.begin() + 14); // the PTS
            video[7] = 0x00;
            video[8] = 0;
        }
        video.resize(bytes(k), 0x00);
        for (size_t at = 0; at < video.size(); at += 184) {
            const auto from = video.begin() + static_cast<long>(at);
            const size_t n = std::min<size_t>(184, video.size() - at);
            append(out, packet({kVideoPid, at == 0, cc++}, Bytes(from, from + static_cast<long>(n))));
        }
    }
    return out;
}

// A stream's bitrate is its bytes over the time they last. Of the pictures read whole
// (the window may cut the last), the latest ends the span, so its own bytes are left
// out; a PES packet without a time counts with the one before. The tail's steady
// rate stands over large first pictures.
TEST(TsReader, BitrateIsTheSteadyRate) {
    struct Case {
        int frames;
        int largeFirst; // pictures of 1200 bytes before the 300-byte ones
        bool halfTimed;
        uint64_t headBytes, tailBytes;
        double bitrate;
    };
    for (const Case c : {Case{100, 0, false, 512 << 10, 256 << 10, 60000},
                         Case{100, 0, true, 512 << 10, 256 << 10, 60000},
                         Case{2000, 100, false, 64 << 10, 32 << 10, 60000},
                         Case{2000, 2000, false, 64 << 10, 32 << 10, 240000},
                         Case{100, 50, false, 512 << 10, 256 << 10,
                              (50 * 1200 + 48 * 300) * 8 / 3.92}}) {
        SCOPED_TRACE(testing::Message() << c.largeFirst << (c.halfTimed ? " half timed" : ""));
        TsLimits limits;
        limits.headBytes = c.headBytes;
        limits.tailBytes = limits.longTailBytes = c.tailBytes;
        const Bytes b =
            pictures(c.frames, [&](int k) { return k < c.largeFirst ? 1200 : 300; }, c.halfTimed);
        const MediaStreams m = describeTransportStream(read(b, limits));
        ASSERT_EQ(m.streams.size(), 2u);
        EXPECT_NEAR(double(m.streams[0].bitrate), c.bitrate, 1.0);
        EXPECT_EQ(m.streams[1].bitrate, 0u); // no packets, no rate
    }
}

} // namespace
} // namespace tavro

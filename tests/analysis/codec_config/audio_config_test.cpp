#include "analysis/codec_config/aac_config.h"
#include "analysis/codec_config/ac3_frame.h"
#include "analysis/codec_config/dts_frame.h"
#include "analysis/codec_config/opus_head.h"

#include <gtest/gtest.h>

#include "tests/analysis/codec_config/bit_writer.h"

namespace tavro {
namespace {

using test::BitWriter;
using test::Bytes;

BitWriter lcCore(uint32_t index, uint32_t channels) {
    return BitWriter().bits(2, 5).bits(index, 4).bits(channels, 4).bits(0, 3);
}

// LC, 48 kHz, channel configuration 0, then a program config element: front one SCE
// and one CPE, back one CPE, one LFE, a matrix mixdown and a two-byte comment.
Bytes pceConfig() {
    BitWriter w;
    w.bits(2, 5).bits(3, 4).bits(0, 4).bits(0, 3);
    w.bits(0, 10).bits(2, 4).bits(0, 4).bits(1, 4).bits(1, 2).bits(0, 3).bits(0, 4);
    w.bits(0, 2).bits(1, 1).bits(5, 3);                  // mixdowns: matrix only
    w.bits(0, 5).bits(0x10, 5).bits(0x10, 5).bits(0, 4); // elements, LFE; byte-aligned here
    return w.bits(2, 8).bits(0x4142, 16).bytes();
}

TEST(AacConfig, ObjectTypesRatesChannelsAndSbrSignalling) {
    struct Case {
        const char* what;
        Bytes asc;
        bool ok;
        const char* name;
        uint32_t rate, outputRate, channels;
        bool truncates; // every shorter prefix fails (no optional tail)
    };
    const Case cases[] = {
        {"LC 44.1 kHz stereo", lcCore(4, 2).bytes(), true, "LC", 44100, 44100, 2, true},
        {"escaped object type", BitWriter().bits(31, 5).bits(7, 6).bits(3, 4).bits(1, 4).bytes(),
         true, "ELD", 48000, 48000, 1, true},
        {"explicit frequency",
         BitWriter().bits(2, 5).bits(15, 4).bits(12345, 24).bits(1, 4).bits(0, 3).bytes(), true,
         "LC", 12345, 12345, 1, true},
        {"explicit SBR",
         BitWriter().bits(5, 5).bits(6, 4).bits(2, 4).bits(3, 4).bits(2, 5).bits(0, 3).bytes(),
         true, "HE-AAC", 24000, 48000, 2, true},
        {"explicit PS",
         BitWriter().bits(29, 5).bits(6, 4).bits(1, 4).bits(3, 4).bits(2, 5).bits(0, 3).bytes(),
         true, "HE-AACv2", 24000, 48000, 1, true},
        {"sync extension SBR and PS",
         lcCore(6, 2)
             .bits(0x2B7, 11)
             .bits(5, 5)
             .bits(1, 1)
             .bits(3, 4)
             .bits(0x548, 11)
             .bits(1, 1)
             .bytes(),
         true, "HE-AACv2", 24000, 48000, 2, false},
        {"sync extension without SBR", lcCore(3, 6).bits(0x2B7, 11).bits(5, 5).bits(0, 1).bytes(),
         true, "LC", 48000, 48000, 6, false},
        {"program config element", pceConfig(), true, "LC", 48000, 48000, 6, true},
        {"reserved frequency index", lcCore(13, 2).bytes(), false, "", 0, 0, 0, false},
        {"escaped frequency of zero",
         BitWriter().bits(2, 5).bits(15, 4).bits(0, 24).bits(1, 4).bits(0, 3).bytes(), false, "", 0,
         0, 0, false},
        {"object type zero", BitWriter().bits(0, 5).bits(4, 4).bits(2, 4).bytes(), false, "", 0, 0,
         0, false},
    };
    for (const Case& c : cases) {
        const AacConfig a = parseAacConfig(c.asc.data(), c.asc.size());
        ASSERT_EQ(a.ok, c.ok) << c.what;
        if (!c.ok) continue;
        EXPECT_STREQ(aacProfileName(a), c.name) << c.what;
        EXPECT_EQ(a.sampleRate, c.rate) << c.what;
        EXPECT_EQ(a.outputSampleRate, c.outputRate) << c.what;
        EXPECT_EQ(a.channels, c.channels) << c.what;
        for (size_t n = 0; c.truncates && n < c.asc.size(); ++n)
            EXPECT_FALSE(parseAacConfig(c.asc.data(), n).ok) << c.what << " at " << n;
    }
}

TEST(AdtsHeader, FieldsAndRejections) {
    // MPEG-4, no CRC, LC, 44.1 kHz, stereo, 371 bytes, VBR fullness, one block.
    const Bytes good = {0xFF, 0xF1, 0x50, 0x80, 0x2E, 0x7F, 0xFC};
    const AdtsHeader h = parseAdtsHeader(good.data(), good.size());
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(h.objectType, 2);
    EXPECT_EQ(h.sampleRate, 44100u);
    EXPECT_EQ(h.channelConfig, 2);
    EXPECT_EQ(h.frameLength, 371u);
    EXPECT_EQ(h.rawDataBlocks, 1);
    auto with = [&](size_t at, uint8_t v) {
        Bytes b = good;
        b[at] = v;
        return parseAdtsHeader(b.data(), b.size()).ok;
    };
    EXPECT_FALSE(with(1, 0xF3)) << "layer 1";
    EXPECT_FALSE(with(2, 0x74)) << "frequency index 13";
    EXPECT_FALSE(with(4, 0x00)) << "frame shorter than its header";
    EXPECT_FALSE(with(1, 0xF0)) << "CRC announced: 9 bytes needed";
    EXPECT_FALSE(parseAdtsHeader(good.data(), 6).ok);
}

TEST(OpusHead, ChecksVersionAndMappingTable) {
    const Bytes stereo = {'O',  'p', 'u',  's',  'H', 'e', 'a',  'd',  1, 2,
                          0x38, 1,   0x80, 0xBB, 0,   0,   0x00, 0xFF, 0};
    Bytes surround = stereo;
    surround[9] = 6;
    surround[18] = 1;
    surround.insert(surround.end(), {4, 2, 0, 4, 1, 2, 3, 5});
    auto edit = [](Bytes b, size_t at, uint8_t v) {
        b[at] = v;
        return b;
    };
    const struct {
        const char* what;
        Bytes head;
        bool ok;
    } cases[] = {
        {"stereo", stereo, true},
        {"5.1", surround, true},
        {"major version 1", edit(stereo, 8, 0x10), false},
        {"family 0 with 3 channels", edit(stereo, 9, 3), false},
        {"coupled above streams", edit(surround, 20, 5), false},
        {"mapping past the streams", edit(surround, 26, 6), false},
        {"table cut short", test::prefix(surround, surround.size() - 1), false},
    };
    for (const auto& c : cases) {
        const OpusHead h = parseOpusHead(c.head.data(), c.head.size());
        EXPECT_EQ(h.ok, c.ok) << c.what;
    }
    const OpusHead h = parseOpusHead(stereo.data(), stereo.size());
    EXPECT_EQ(h.preSkip, 312);
    EXPECT_EQ(h.inputSampleRate, 48000u);
    EXPECT_EQ(h.outputGain, -256);
}

TEST(Ac3FrameHeader, Ac3AndEnhancedByBsid) {
    const struct {
        const char* what;
        Bytes frame;
        bool ok, enhanced;
        uint32_t rate, bitRate, frameBytes, channels;
    } cases[] = {
        {"48 kHz 192k stereo",
         {0x0B, 0x77, 0, 0, 0x14, 0x40, 0x40},
         true,
         false,
         48000,
         192000,
         768,
         2},
        {"44.1 kHz 384k odd size code 5.1",
         {0x0B, 0x77, 0, 0, 0x5D, 0x40, 0xE1, 0x00},
         true,
         false,
         44100,
         384000,
         1672,
         6},
        {"32 kHz 64k mono",
         {0x0B, 0x77, 0, 0, 0x88, 0x40, 0x20},
         true,
         false,
         32000,
         64000,
         384,
         1},
        {"E-AC-3 48 kHz stereo",
         {0x0B, 0x77, 0x00, 0xFF, 0x34, 0x80},
         true,
         true,
         48000,
         128000,
         512,
         2},
        {"bsid 17", {0x0B, 0x77, 0x00, 0xFF, 0xD0, 0x8F}, false, true, 0, 0, 0, 0},
        {"E-AC-3 22.05 kHz 5.1",
         {0x0B, 0x77, 0x00, 0xFF, 0xDF, 0x80},
         true,
         true,
         22050,
         58800,
         512,
         6},
        {"reserved fscod", {0x0B, 0x77, 0, 0, 0xD4, 0x40, 0x40}, false, false, 0, 0, 0, 0},
        {"frame size code 38", {0x0B, 0x77, 0, 0, 0x26, 0x40, 0x40}, false, false, 0, 0, 0, 0},
        {"bsid 20", {0x0B, 0x77, 0, 0, 0x14, 0xA0, 0x40}, false, false, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const Ac3FrameHeader h = parseAc3FrameHeader(c.frame.data(), c.frame.size());
        ASSERT_EQ(h.ok, c.ok) << c.what;
        if (!c.ok) continue;
        EXPECT_EQ(h.enhanced, c.enhanced) << c.what;
        EXPECT_EQ(h.sampleRate, c.rate) << c.what;
        EXPECT_EQ(h.bitRate, c.bitRate) << c.what;
        EXPECT_EQ(h.frameBytes, c.frameBytes) << c.what;
        EXPECT_EQ(h.channels, c.channels) << c.what;
        for (size_t n = 0; n + 1 < c.frame.size(); ++n)
            EXPECT_FALSE(parseAc3FrameHeader(c.frame.data(), n).ok) << c.what << " at " << n;
    }
}

TEST(DtsFrameHeader, CoreFieldsAndRejections) {
    auto frame = [](uint32_t blocks, uint32_t amode, uint32_t sfreq, uint32_t lff) {
        return BitWriter()
            .bits(0x7FFE8001, 32)
            .bits(1, 1)
            .bits(31, 5)
            .bits(0, 1)
            .bits(blocks - 1, 7)
            .bits(2012, 14)
            .bits(amode, 6)
            .bits(sfreq, 4)
            .bits(15, 5)
            .bits(0, 10)
            .bits(lff, 2)
            .bits(0, 6)
            .bytes();
    };
    const Bytes good = frame(16, 9, 13, 1);
    const DtsFrameHeader h = parseDtsFrameHeader(good.data(), good.size());
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(h.samplesPerFrame, 512u);
    EXPECT_EQ(h.frameBytes, 2013u);
    EXPECT_EQ(h.channels, 6u);
    EXPECT_EQ(h.sampleRate, 48000u);
    EXPECT_EQ(h.bitRate, 768000u);
    for (size_t n = 0; n + 1 < good.size(); ++n)
        EXPECT_FALSE(parseDtsFrameHeader(good.data(), n).ok) << n;
    for (const Bytes& bad : {frame(5, 9, 13, 1), frame(16, 9, 4, 1), frame(16, 9, 13, 3)})
        EXPECT_FALSE(parseDtsFrameHeader(bad.data(), bad.size()).ok);
    const Bytes userMode = frame(16, 40, 8, 0);
    EXPECT_EQ(parseDtsFrameHeader(userMode.data(), userMode.size()).channels, 0u);
}

} // namespace
} // namespace tavro

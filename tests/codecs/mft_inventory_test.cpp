#include "codecs/mft_inventory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "codecs/codec_claims.h"
#include "codecs/codec_inventories.h"
#include "codecs/media_guids.h"
#include "codecs/mft_tables.h"
#include "common/settings.h"
#include "tests/codecs/fake_codec_sources.h"
#include "tests/codecs/inventory_test_db.h"

namespace tavro {
namespace {

const char kBase[] = "Software\\Classes\\MediaFoundation\\Transforms";
const char kH264Clsid[] = "62ce7e72-4c71-4d20-b15d-452831a87d9d";
const char kAacClsid[] = "32d186a7-218f-4c75-8876-dd77273a8999";

std::vector<uint8_t> typeBlob(const std::vector<MediaTypePair>& pairs) {
    std::vector<uint8_t> blob;
    for (const MediaTypePair& p : pairs) {
        uint8_t bytes[16];
        guidToBytes(p.major, bytes);
        blob.insert(blob.end(), bytes, bytes + 16);
        guidToBytes(p.subtype, bytes);
        blob.insert(blob.end(), bytes, bytes + 16);
    }
    return blob;
}

Guid guidOf(const std::string& keyName) {
    Guid g{};
    EXPECT_TRUE(parseGuidKeyName(keyName, &g)) << keyName;
    return g;
}

// Registers a transform the way the MediaFoundation key holds one.
void registerMft(FakeRegistry& reg, const Guid& category, const std::string& clsid,
                 const std::string& name, uint32_t flags, std::vector<uint8_t> inputs) {
    char cat[39];
    formatRegistryGuid(category, cat);
    const std::string catKey = std::string(cat).substr(1, 36);
    auto& names = reg.subkeys[{static_cast<int>(RegistryRoot::LocalMachine),
                               std::string(kBase) + "\\Categories"}];
    if (std::find(names.begin(), names.end(), catKey) == names.end()) names.push_back(catKey);
    reg.subkeys[{static_cast<int>(RegistryRoot::LocalMachine),
                 std::string(kBase) + "\\Categories\\" + catKey}]
        .push_back(clsid);
    const std::string key = std::string(kBase) + "\\" + clsid;
    reg.set(RegistryRoot::LocalMachine, key, textValue("", name));
    reg.set(RegistryRoot::LocalMachine, key, dwordValue("MFTFlags", flags));
    reg.set(RegistryRoot::LocalMachine, key, binaryValue("InputTypes", std::move(inputs)));
}

TEST(MftInventory, TypePairsAndKeyNames) {
    const MediaTypePair h264{kMediaTypeVideo, fourccGuid("H264")};
    struct Case {
        size_t bytes, limit, pairs;
    };
    // A trailing part of a pair and anything past the limit are ignored.
    const Case cases[] = {{0, 8, 0}, {31, 8, 0}, {32, 8, 1}, {63, 8, 1}, {96, 8, 3}, {320, 4, 4}};
    for (const Case& c : cases) {
        std::vector<uint8_t> blob = typeBlob(std::vector<MediaTypePair>(10, h264));
        blob.resize(c.bytes);
        const auto pairs = parseMftTypePairs(blob, c.limit);
        EXPECT_EQ(pairs.size(), c.pairs) << c.bytes;
        for (const auto& p : pairs)
            EXPECT_TRUE(p.major == kMediaTypeVideo && p.subtype == h264.subtype);
    }
    const struct {
        const char* text;
        bool ok;
    } names[] = {{"d6c02d4b-6833-45b4-971a-05a4b04bab91", true},
                 {"{D6C02D4B-6833-45B4-971A-05A4B04BAB91}", true},
                 {"d6c02d4b-6833-45b4-971a-05a4b04bab9", false},
                 {"d6c02d4b-6833-45b4-971a-05a4b04bab91x", false},
                 {"d6c02d4b+6833-45b4-971a-05a4b04bab91", false},
                 {"", false}};
    for (const auto& n : names) {
        Guid g{};
        EXPECT_EQ(parseGuidKeyName(n.text, &g), n.ok) << n.text;
        if (n.ok) {
            EXPECT_TRUE(g == kMftCategoryVideoDecoder);
        }
    }
}

class MftBuild : public ::testing::Test {
  protected:
    void SetUp() override {
        loadInventoryTestDb(db);
        MftEntry h264;
        h264.clsid = guidOf(kH264Clsid);
        h264.category = kMftCategoryVideoDecoder;
        h264.name = "H264 Decoder";
        h264.flags = 0x1;
        h264.inputs = {{kMediaTypeVideo, fourccGuid("H264")}};
        h264.outputs = {{kMediaTypeVideo, fourccGuid("NV12")}};
        MftEntry hw = h264;
        hw.name = "Hardware H264";
        hw.clsid.Data1 ^= 1;
        hw.flags = 0x4 | 0x2;
        hw.hasMerit = true;
        hw.merit = 8;
        m.mft.transforms = {h264, hw, h264}; // the same transform twice: one row
        registerMft(
            other, kMftCategoryAudioDecoder, kAacClsid, "AAC Decoder", 1,
            typeBlob({{kMediaTypeAudio, tagGuid(0x1610)}, {kMediaTypeAudio, tagGuid(0x0055)}}));
        other.setServer("{32D186A7-218F-4C75-8876-DD77273A8999}", "C:\\windows\\syswow64\\aac.dll");
        // A category key that is no GUID is skipped, not trusted.
        other
            .subkeys[{static_cast<int>(RegistryRoot::LocalMachine),
                      std::string(kBase) + "\\Categories"}]
            .push_back("not-a-guid");
    }
    CodecSources sources() {
        CodecSources s = m.sources();
        s.mft = &m.mft;
        s.otherRegistry = &other;
        s.ownBits = 64;
        return s;
    }
    CodecDatabase db;
    FakeMachine m;
    FakeRegistry other;
};

TEST_F(MftBuild, BothArchitecturesWithWhereEachCameFrom) {
    struct Case {
        const char* what;
        bool mfPresent;
        uint32_t bits;
        std::vector<std::string> rows; // arch, category, name, loadable
    };
    const Case cases[] = {
        {"everything",
         true,
         0xFFFFFFFF,
         {"64-bit|Video Decoder|H264 Decoder|1", "64-bit|Video Decoder|Hardware H264|1",
          "32-bit|Audio Decoder|AAC Decoder|0"}},
        // Without the registry the other architecture cannot be seen.
        {"no registry",
         true,
         0xFFFFFFFF & ~kEnableRegistry,
         {"64-bit|Video Decoder|H264 Decoder|1", "64-bit|Video Decoder|Hardware H264|1"}},
        {"information only", true, 0, {}},
        // Without Media Foundation, this architecture's registrations are listed unloadable.
        {"no media foundation", false, 0xFFFFFFFF, {"32-bit|Audio Decoder|AAC Decoder|0"}},
    };
    for (const Case& c : cases) {
        m.mft.present = c.mfPresent;
        MftInventory inv;
        inv.build(sources(), c.bits);
        std::vector<std::string> rows;
        for (const MftRecord& r : inv.records())
            rows.push_back(architectureText(r.bits) + "|" + mftCategoryName(r.entry.category) +
                           "|" + r.entry.name + "|" + (r.loadable ? "1" : "0"));
        EXPECT_EQ(rows, c.rows) << c.what;
    }
    m.mft.present = true;
    MftInventory inv;
    inv.build(sources(), 0xFFFFFFFF);
    const MftRecord& aac = inv.records().back();
    EXPECT_EQ(aac.entry.flags, 1u);
    ASSERT_EQ(aac.entry.inputs.size(), 2u);
    EXPECT_TRUE(aac.entry.inputs[0].subtype == tagGuid(0x1610));
    EXPECT_EQ(aac.serverFile, "C:\\windows\\syswow64\\aac.dll");
}

TEST_F(MftBuild, TableAndDetails) {
    MftInventory inv;
    inv.build(sources(), 0xFFFFFFFF);
    const InventoryTable table = installedMftTable(&inv, db);
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(table.columns[0], "Arch");
    EXPECT_EQ(table.rows[0],
              (std::vector<std::string>{"64-bit", "Video Decoder", "H264 Decoder", "H264", "NV12",
                                        "sync", "", "{62CE7E72-4C71-4D20-B15D-452831A87D9D}"}));
    EXPECT_EQ(table.rows[1][5], "async, hardware");
    EXPECT_EQ(table.rows[1][6], "8");
    // Wave formats: the data base's name where it has one, else the tag.
    EXPECT_EQ(table.rows[2][3], "0x1610, WAVE_FORMAT_MPEGLAYER3 (0x0055)");
    EXPECT_EQ(installedMftTable(nullptr, db).rows.size(), 0u);

    const DetailRows other = mftDetailRows(inv.records()[2], db, 64);
    EXPECT_EQ(other[0],
              warningRow("--> Registered for 32-bit programs; this program cannot load it"));
    const DetailRows own = mftDetailRows(inv.records()[1], db, 64);
    EXPECT_EQ(own[0], (std::vector<std::string>{"MFT", "Friendly Name", "Hardware H264"}));
    bool sawInput = false;
    for (const auto& row : own)
        if (row[1] == "Input Type 01") {
            sawInput = true;
            EXPECT_EQ(row[2], "Video / H264 {34363248-0000-0010-8000-00AA00389B71}");
        }
    EXPECT_TRUE(sawInput);
}

TEST(MftTables, SubtypeNamesAndLongCells) {
    CodecDatabase db;
    loadInventoryTestDb(db);
    Guid odd = fourccGuid("AB\x01Z");
    Guid foreign = kMftCategoryOther;
    const struct {
        Guid major, guid;
        const char* name;
    } cases[] = {
        {kMediaTypeVideo, fourccGuid("H264"), "H264"},
        {kMediaTypeVideo, fourccGuid("MP4 "), "MP4"},
        {kMediaTypeVideo, fourccGuid("MVS2"), "Named MVS2"}, // the data base's name comes first
        {kMediaTypeVideo, odd, "{5A014241-0000-0010-8000-00AA00389B71}"},
        {kMediaTypeVideo, foreign, "{90175D57-B7EA-4901-AEB3-933A8747756F}"},
        // Small numbers: a Direct3D format for video, a wave format for audio.
        {kMediaTypeVideo, tagGuid(22), "RGB32"},
        {kMediaTypeVideo, tagGuid(7), "D3DFMT 7"},
        {kMediaTypeAudio, tagGuid(0x0055), "WAVE_FORMAT_MPEGLAYER3 (0x0055)"},
        {kMediaTypeAudio, tagGuid(0x1234), "0x1234"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mediaSubtypeName(db, {c.major, c.guid}), c.name);
    const std::vector<MediaTypePair> many(100, {kMediaTypeVideo, foreign});
    const std::string cell = subtypeListCell(db, many);
    EXPECT_EQ(cell.size(), 259u);
    EXPECT_EQ(cell.substr(256), "...");
    EXPECT_EQ(mftFlagsText(0x41), "sync, 0x40");
    EXPECT_EQ(mftCategoryName(kMftCategoryVideoProcessor), "Video Processor");
}

TEST(MftInventory, RegistryLimitStopsTheWalk) {
    FakeRegistry reg;
    for (int i = 0; i < 5; ++i) {
        char clsid[40];
        std::snprintf(clsid, sizeof clsid, "%08x-0000-0000-0000-000000000000", i + 1);
        registerMft(reg, kMftCategoryVideoDecoder, clsid, "T", 1, {});
    }
    int seen = 0;
    readRegisteredMfts(reg, 3, [&](const MftEntry&) { ++seen; });
    EXPECT_EQ(seen, 3);
}

} // namespace
} // namespace tavro

namespace tavro {
namespace {

// A format no searched decoder takes may still be claimed by a transform or by a
// codec of the other architecture; the "not installed" text names them.
TEST_F(MftBuild, ClaimsOnAFormatFromTransformsAndTheOtherArchitecture) {
    CodecInventories inv;
    inv.mft = std::make_unique<MftInventory>();
    inv.mft->build(sources(), 0xFFFFFFFF);
    OtherArchCodec xvid;
    xvid.bits = 32;
    xvid.source = kSourceVfw;
    xvid.video = true;
    xvid.key = "XVID";
    xvid.name = "vidc.xvid";
    xvid.file = "xvidvfw.dll";
    OtherArchCodec mp3 = xvid;
    mp3.video = false;
    mp3.source = kSourceAcm;
    mp3.key = "0x0055";
    mp3.name = "msacm.l3acm";
    inv.otherArch =
        std::make_unique<std::vector<OtherArchCodec>>(std::vector<OtherArchCodec>{xvid, mp3});

    auto names = [](const std::vector<CodecClaim>& claims) {
        std::vector<std::string> out;
        for (const CodecClaim& c : claims)
            out.push_back(c.kind + "|" + c.name + "|" + std::to_string(c.bits) + "|" +
                          (c.loadableHere ? "here" : "not here"));
        return out;
    };
    using Names = std::vector<std::string>;
    // FourCCs compare without case; a tag is no FourCC and a FourCC no tag.
    EXPECT_EQ(names(videoCodecClaims(inv, {fourccGuid("h264").Data1})),
              (Names{"Media Foundation transform|H264 Decoder|64|here",
                     "Media Foundation transform|Hardware H264|64|here"}));
    EXPECT_EQ(names(videoCodecClaims(inv, {fourccGuid("DIVX").Data1, fourccGuid("xvid").Data1})),
              (Names{"VfW driver|vidc.xvid|32|not here"}));
    EXPECT_EQ(names(audioCodecClaims(inv, {0x0055})),
              (Names{"Media Foundation transform|AAC Decoder|32|not here",
                     "ACM driver|msacm.l3acm|32|not here"}));
    EXPECT_TRUE(videoCodecClaims(inv, {0x0055}).empty());
    EXPECT_TRUE(audioCodecClaims(inv, {0x1234}).empty());
    EXPECT_EQ(videoCodecClaims(inv, {fourccGuid("H264").Data1}, 1).size(), 1u);
    EXPECT_TRUE(videoCodecClaims(CodecInventories(), {fourccGuid("H264").Data1}).empty());
}

} // namespace
} // namespace tavro

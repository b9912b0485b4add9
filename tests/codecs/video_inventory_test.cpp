#include "codecs/video_codec_inventory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codecs/media_guids.h"
#include "common/settings.h"
#include "tests/codecs/fake_codec_sources.h"
#include "tests/codecs/inventory_test_db.h"

namespace tavro {
namespace {

const char kA[] = "{11111111-0000-0000-0000-000000000001}";
const char kB[] = "{11111111-0000-0000-0000-000000000002}";
const char kC[] = "{11111111-0000-0000-0000-000000000003}";

uint32_t fcc(const char* t) {
    return fourccGuid(t).Data1;
}

class VideoInventory : public ::testing::Test {
  protected:
    void SetUp() override { loadInventoryTestDb(db); }
    std::unique_ptr<VideoCodecInventory> build(uint32_t bits = 0xFFFFFFFF) {
        auto inv = VideoCodecInventory::create();
        CodecSources s = m.sources();
        inv->build(s, bits, db);
        return inv;
    }
    std::vector<FakeMoniker>& category() {
        if (m.directShow.categories.empty())
            m.directShow.categories.push_back({kVideoCompressorCategory, {}});
        return m.directShow.categories[0].second;
    }
    std::vector<FakeMoniker>& mapper() {
        if (m.directShow.queries.empty())
            m.directShow.queries.push_back(
                {{kMediaTypeVideo, kNullGuid}, {kMediaTypeVideo, kNullGuid}, {}});
        return m.directShow.queries[0].result;
    }
    void addDmo(const char* name, const Guid& clsid, std::vector<Guid> subtypes = {}) {
        m.dmo.dmos.push_back(
            {kDmoCategoryVideoDecoder, DmoEntry{clsid, name, std::move(subtypes)}});
    }
    CodecDatabase db;
    FakeMachine m;
};

Guid guidOf(const char* text) {
    Guid g{};
    parseRegistryGuid(text, 38, &g);
    return g;
}

TEST_F(VideoInventory, SearchPassOrderPrefersDmoThenDirectShowThenVfwThenSubtypeThenAny) {
    struct Case {
        const char* search;
        int expected;
    };
    // 0: VfW-backed XVID, 1: DirectShow XVID, 2: DirectShow listing only subtype DIVX,
    // 3: VfW DIVX, 4: DMO with FourCC derived from its subtype (DIVX)
    category().push_back(moniker("Xvid VfW", kA, "xvid"));
    category().push_back(moniker("Xvid DS", "{44495658-0000-0010-8000-00AA00389B71}"));
    category().push_back(moniker("Subtype only", kC));
    category().push_back(moniker("DivX VfW", "{11111111-0000-0000-0000-000000000004}", "divx"));
    m.vfw.drivers[fcc("XVID")] = {"xvidvfw", "Xvid VfW codec", "xvidvfw.dll"};
    m.vfw.drivers[fcc("DIVX")] = {"divx", "DivX VfW", "divx.dll"};
    m.registry.setFilterData(
        kC, guidBlob({kMediaTypeVideo, fourccGuid("MP42"), kMediaTypeVideo, fourccGuid("DIVX")}));
    addDmo("DivX DMO", guidOf("{22222222-0000-0000-0000-000000000001}"), {fourccGuid("divx")});
    auto inv = build();
    ASSERT_EQ(inv->count(), 5);
    EXPECT_EQ(inv->record(0).source, kSourceVfw);
    EXPECT_EQ(inv->record(1).source, kSourceDirectShow);
    EXPECT_STREQ(inv->record(2).fourcc, "MP42"); // completed from its first FourCC subtype
    EXPECT_EQ(inv->record(4).source, kSourceDmo);
    EXPECT_STREQ(inv->record(4).fourcc, "DIVX");
    const Case cases[] = {
        {"xvid", 1},   // DirectShow before the earlier VfW-backed entry
        {"divx", 4},   // the DMO before everything
        {"MP42", 2},   // plain FourCC of a DirectShow record
        {"Mp42", 2},   // case-blind
        {"DIVXX", -1}, // whole-text comparison
        {"none", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(inv->find(c.search), c.expected) << c.search;
}

TEST_F(VideoInventory, RegisteredSubtypeIsFoundOnlyInItsOwnPass) {
    category().push_back(moniker("Only lists XVID", kA, "ABCD"));
    m.registry.setFilterData(kA, guidBlob({kMediaTypeVideo, fourccGuid("XVID")}));
    category().push_back(moniker("VfW xvid", kB, "XVID"));
    m.vfw.drivers[fcc("XVID")] = {"x", "x", "x.dll"};
    auto inv = build();
    EXPECT_EQ(inv->find("XVID"), 1); // the VfW pass comes before the subtype pass
    category().pop_back();
    inv = build();
    EXPECT_EQ(inv->find("xvid"), 0);
    EXPECT_EQ(inv->find("ABCD"), 0);
}

TEST_F(VideoInventory, FilterDataKeepsFourccSubtypesAfterTheFirstVideoMajorType) {
    category().push_back(moniker("F", kA, "F000"));
    std::vector<Guid> blob = {fourccGuid("EARL"), kMediaTypeVideo, fourccGuid("ONE "),
                              kMediaTypeMpeg2Pes, kMediaTypeVideo};
    for (int i = 0; i < 20; ++i)
        blob.push_back(fourccGuid("MANY"));
    m.registry.setFilterData(kA, guidBlob(blob));
    auto inv = build();
    const VideoCodecRecord& r = inv->record(0);
    EXPECT_EQ(r.subtypes[0], fourccGuid("ONE "));
    EXPECT_EQ(r.subtypes[1], kMediaTypeVideo); // a later video major type has the FourCC form
    EXPECT_EQ(r.subtypes[15], fourccGuid("MANY"));
}

TEST_F(VideoInventory, FilterDataWalkStopsBeforeALastWholeWindowAndAtTheReadLimit) {
    struct Case {
        size_t tail;
        size_t padding; // windows of zeros before the interesting part
        bool found;
    };
    const Case cases[] = {
        {16, 0, true},    // one window more than needed
        {0, 0, false},    // the subtype ends exactly at the value's end: not walked
        {16, 126, false}, // beyond the 2048 bytes read
        {16, 125, true},
    };
    for (const Case& c : cases) {
        m = FakeMachine();
        category().push_back(moniker("F", kA, "F000"));
        std::vector<Guid> blob(c.padding, kNullGuid);
        blob.push_back(kMediaTypeVideo);
        blob.push_back(fourccGuid("SUBT"));
        m.registry.setFilterData(kA, guidBlob(blob, c.tail));
        auto inv = build();
        EXPECT_EQ(inv->record(0).subtypes[0] == fourccGuid("SUBT"), c.found)
            << c.tail << "/" << c.padding;
    }
}

TEST_F(VideoInventory, FourccCompletionFromClassOrSubtypeUnlessTheDataBaseNamesIt) {
    category().push_back(moniker("From class", "{34363248-0000-0010-8000-00aa00389b71}"));
    category().push_back(moniker("From subtype", kA));
    m.registry.setFilterData(kA, guidBlob({kMediaTypeVideo, tagGuid(0x55), fourccGuid("mpg4")}));
    category().push_back(moniker("Named in data base", kB));
    m.registry.setFilterData(kB, guidBlob({kMediaTypeVideo, fourccGuid("MVS2")}));
    category().push_back(moniker("Wave form only", kC));
    m.registry.setFilterData(kC, guidBlob({kMediaTypeVideo, tagGuid(0x55)}));
    auto inv = build();
    EXPECT_STREQ(inv->record(0).fourcc, "H264");
    EXPECT_STREQ(inv->record(1).fourcc, "MPG4");
    EXPECT_STREQ(inv->record(2).fourcc, "");
    EXPECT_STREQ(inv->record(3).fourcc, "");
}

TEST_F(VideoInventory, MonikerFieldsVfwUpgradeAndUnusableEntries) {
    FakeMoniker wrongType = moniker("Odd type", kA, "cvid");
    wrongType.properties["FriendlyName"] = BagProperty{BagProperty::Kind::OtherType, "garbage"};
    category().push_back(wrongType);
    category().push_back(moniker("No class", ""));
    FakeMoniker unbound = moniker("Unbound", kB);
    unbound.bindFails = true;
    category().push_back(unbound);
    FakeMoniker badClass = moniker("Class of other type", kC);
    badClass.properties["CLSID"] = BagProperty{BagProperty::Kind::OtherType, "{x}"};
    category().push_back(badClass);
    m.vfw.drivers[fcc("CVID")] = {"cvid", "Cinepak Codec", "iccvid.dll"};
    m.registry.setServer(kA, "C:\\windows\\system32\\quartz.dll");
    auto inv = build();
    ASSERT_EQ(inv->count(), 1);
    const VideoCodecRecord& r = inv->record(0);
    EXPECT_STREQ(r.friendlyName, ""); // a non-text property counts as absent
    EXPECT_STREQ(r.fourcc, "CVID");
    EXPECT_EQ(r.source, kSourceVfw);
    EXPECT_STREQ(r.vfwDescription, "Cinepak Codec");
    EXPECT_STREQ(r.associatedFile, "C:\\windows\\system32\\quartz.dll");
    EXPECT_EQ(inv->record(1).source, kSourceNone); // the skipped entries left no trace
}

TEST_F(VideoInventory, MissingFlagFollowsVersionResourceAndFileExistence) {
    struct Case {
        const char* name;
        bool hasVersion, exists, vfw;
        uint32_t bits;
        int missing;
    };
    const Case cases[] = {
        {"version readable", true, true, true, 0xFFFFFFFF, 0},
        {"no resource but present", false, true, true, 0xFFFFFFFF, 0},
        {"absent driver", false, false, true, 0xFFFFFFFF, 1},
        {"absent, driver files off", false, false, true, ~0u & ~kEnableDriverFiles, 0},
        {"absent server file", false, false, false, 0xFFFFFFFF, 1},
    };
    for (const Case& c : cases) {
        m = FakeMachine();
        category().push_back(moniker("F", kA, "ABCD"));
        m.registry.setServer(kA, "C:\\quartz.dll");
        const std::string file = c.vfw ? "drv.dll" : "C:\\quartz.dll";
        if (c.vfw) m.vfw.drivers[fcc("ABCD")] = {"abcd", "d", file};
        if (c.hasVersion)
            m.files.companies[file] = "Vendor";
        else if (c.exists)
            m.files.plainFiles.push_back(file);
        m.files.plainFiles.push_back(c.vfw ? "C:\\quartz.dll" : "other");
        auto inv = build(c.bits);
        EXPECT_EQ(inv->record(0).missing, c.missing) << c.name;
        EXPECT_STREQ(inv->record(0).version.get(kCompanyName),
                     c.hasVersion && (c.bits & kEnableDriverFiles) ? "Vendor" : "")
            << c.name;
    }
}

TEST_F(VideoInventory, DmoRecordsCarryWrapperAndOwnServerFiles) {
    char wrapper[39];
    formatRegistryGuid(kDmoWrapperFilter, wrapper);
    m.registry.setServer(wrapper, "C:\\windows\\system32\\qasf.dll");
    const Guid wmv = guidOf("{82D353DF-90BD-4382-8BC2-3F6192B76E34}");
    m.registry.setServer("{82D353DF-90BD-4382-8BC2-3F6192B76E34}", "C:\\wmvdecod.dll");
    std::vector<Guid> subtypes;
    for (int i = 0; i < 20; ++i)
        subtypes.push_back(fourccGuid("WMV3"));
    addDmo("WMVideo Decoder DMO", wmv, subtypes);
    auto inv = build(0xFFFFFFFF);
    const VideoCodecRecord& r = inv->record(0);
    EXPECT_EQ(r.source, kSourceDmo);
    EXPECT_STREQ(r.clsidText, "{82D353DF-90BD-4382-8BC2-3F6192B76E34}");
    EXPECT_STREQ(r.associatedFile, "C:\\windows\\system32\\qasf.dll");
    EXPECT_STREQ(r.vfwDriver, "C:\\wmvdecod.dll");
    EXPECT_STREQ(r.fourcc, "WMV3");
    EXPECT_EQ(r.missing, 0); // DMOs get no missing test
    EXPECT_EQ(r.subtypes[15], fourccGuid("WMV3"));
}

TEST_F(VideoInventory, EachEnableBitRemovesExactlyItsSource) {
    category().push_back(moniker("Cat", kA, "cvid"));
    mapper().push_back(moniker("Mapper", kB));
    m.vfw.drivers[fcc("CVID")] = {"cvid", "Cinepak", "iccvid.dll"};
    m.registry.setFilterData(kB, guidBlob({kMediaTypeVideo, fourccGuid("MAPP")}));
    addDmo("Dmo", guidOf(kC), {fourccGuid("DMOS")});
    struct Case {
        uint32_t clear;
        int count, dsCalls, vfwCalls, dmoCalls;
        const char* mapperFourcc;
    };
    const Case cases[] = {
        {0, 3, 2, 1, 1, "MAPP"},
        {kEnableDirectShow, 1, 0, 0, 1, nullptr},
        {kEnableDmo, 2, 2, 1, 0, "MAPP"},
        {kEnableVfw, 3, 2, 0, 1, "MAPP"},
        {kEnableRegistry, 3, 2, 1, 1, ""},
        {kEnableAcm | kEnableRendering | kNoBatchRendering, 3, 2, 1, 1, "MAPP"},
    };
    for (const Case& c : cases) {
        m.directShow.calls = m.vfw.calls = m.dmo.calls = 0;
        auto inv = build(0xFFFFFFFF & ~c.clear);
        EXPECT_EQ(inv->count(), c.count) << c.clear;
        EXPECT_EQ(m.directShow.calls, c.dsCalls) << c.clear;
        EXPECT_EQ(m.vfw.calls, c.vfwCalls) << c.clear;
        EXPECT_EQ(m.dmo.calls, c.dmoCalls) << c.clear;
        if (c.mapperFourcc) {
            EXPECT_STREQ(inv->record(1).fourcc, c.mapperFourcc) << c.clear;
        }
        if (c.clear == kEnableVfw) {
            EXPECT_EQ(inv->record(0).source, kSourceDirectShow);
        }
    }
}

TEST_F(VideoInventory, CapacityLeavesTheLastSlotEmpty) {
    for (int i = 0; i < 250; ++i)
        category().push_back(moniker("F" + std::to_string(i), kA, "ABCD"));
    auto inv = build(kEnableDirectShow);
    EXPECT_EQ(inv->count(), VideoCodecInventory::kCapacity - 1);
    EXPECT_EQ(findInstalledVideoCodec(nullptr, "ABCD"), -1);
}

} // namespace
} // namespace tavro

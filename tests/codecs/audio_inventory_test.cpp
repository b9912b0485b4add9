#include "codecs/audio_codec_inventory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codecs/media_guids.h"
#include "common/settings.h"
#include "tests/codecs/fake_codec_sources.h"

namespace tavro {
namespace {

const char kA[] = "{11111111-0000-0000-0000-00000000000A}";
const char kB[] = "{11111111-0000-0000-0000-00000000000B}";
const char kC[] = "{11111111-0000-0000-0000-00000000000C}";
const char kCacheKey[] = "SOFTWARE\\Microsoft\\AudioCompressionManager\\DriverCache";
const char kPriorityKey[] =
    "Software\\Microsoft\\Multimedia\\Audio Compression Manager\\Priority v4.00";

class AudioInventory : public ::testing::Test {
  protected:
    std::unique_ptr<AudioCodecInventory> build(uint32_t bits = 0xFFFFFFFF) {
        auto inv = AudioCodecInventory::create();
        CodecSources s = m.sources();
        inv->build(s, bits);
        return inv;
    }
    std::vector<FakeMoniker>& category() {
        if (m.directShow.categories.empty())
            m.directShow.categories.push_back({kAudioCompressorCategory, {}});
        return m.directShow.categories[0].second;
    }
    std::vector<FakeMoniker>& query(const Guid& outMajor, const Guid& outSub) {
        for (auto& q : m.directShow.queries)
            if (q.output.major == outMajor && q.output.subtype == outSub) return q.result;
        m.directShow.queries.push_back({{kMediaTypeAudio, kNullGuid}, {outMajor, outSub}, {}});
        return m.directShow.queries.back().result;
    }
    // An ACM driver registered in the driver cache under `alias`.
    void cacheDriver(const std::string& alias, const std::string& file, std::vector<uint8_t> cache,
                     uint32_t declared) {
        m.registry.subkeys[{static_cast<int>(RegistryRoot::LocalMachine), kCacheKey}].push_back(
            alias);
        const std::string key = std::string(kCacheKey) + "\\" + alias;
        m.registry.set(RegistryRoot::LocalMachine, key, dwordValue("cFormatTags", declared));
        m.registry.set(RegistryRoot::LocalMachine, key, binaryValue("aFormatTagCache", cache));
        m.acm.aliasFiles[alias] = file;
    }
    static std::vector<uint8_t> tagCache(std::vector<uint32_t> tags) {
        std::vector<uint8_t> out;
        for (uint32_t t : tags)
            for (int i = 0; i < 8; ++i)
                out.push_back(i < 4 ? static_cast<uint8_t>(t >> (8 * i)) : 0xEE);
        return out;
    }
    FakeMachine m;
};

TEST(AcmPriority, PriorityListParsing) {
    struct Case {
        const char* name;
        std::vector<RegistryValue> values;
        int priority;
        bool disabled;
    };
    const std::string alias = "msacm.imaadpcm";
    const Case cases[] = {
        {"enabled", {textValue("Priority3", "1, msacm.imaadpcm")}, 3, false},
        {"disabled", {textValue("Priority12", "0, MSACM.IMAADPCM")}, 12, true},
        {"first match wins",
         {textValue("Priority1", "1, msacm.imaadpcm"), textValue("Priority2", "0, msacm.imaadpcm")},
         1,
         false},
        {"other alias", {textValue("Priority1", "0, msacm.msadpcm")}, 0, false},
        {"not a string", {binaryValue("Priority1", {'0', ',', ' ', 'm'})}, 0, false},
        {"name without number", {textValue("Priority", "0, msacm.imaadpcm")}, 0, true},
        {"short name", {textValue("P4", "0, msacm.imaadpcm")}, 0, true},
        {"data too short", {textValue("Priority5", "0,"), textValue("Priority6", "")}, 0, false},
        {"unterminated data, read within its size",
         {binaryValue("Priority7", {'1', ',', ' ', 'm', 's', 'a', 'c', 'm', '.', 'i', 'm', 'a', 'a',
                                    'd', 'p', 'c', 'm'})},
         7,
         false},
        {"none", {}, 0, false},
    };
    for (const Case& c : cases) {
        std::vector<RegistryValue> values = c.values;
        if (std::string(c.name) == "unterminated data, read within its size")
            values[0].type = kRegSz;
        AcmPriority p = acmPriorityOf(values, alias);
        EXPECT_EQ(p.priority, c.priority) << c.name;
        EXPECT_EQ(p.disabled, c.disabled) << c.name;
    }
}

TEST(AcmPriority, TagCacheIsBoundedByCountSizeAndTen) {
    struct Case {
        size_t bytes;
        uint32_t declared;
        size_t tags;
    };
    const Case cases[] = {
        {24, 5, 3},    // the value is shorter than its count says
        {40, 2, 2},    // the count is smaller than the value
        {23, 5, 2},    // a partial item is not read
        {200, 50, 10}, // only 80 bytes are read, ten tags at most
        {80, 12, 10},  {0, 5, 0},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> cache(c.bytes);
        for (size_t i = 0; i < c.bytes; ++i)
            cache[i] = static_cast<uint8_t>(i % 8 == 0 ? i / 8 + 2 : 0);
        std::vector<uint32_t> tags = acmCachedTags(cache, c.declared);
        ASSERT_EQ(tags.size(), c.tags) << c.bytes << "/" << c.declared;
        if (!tags.empty()) {
            EXPECT_EQ(tags.back(), c.tags + 1);
        }
    }
}

TEST_F(AudioInventory, AcmTagsBecomeRecordsExceptPcm) {
    m.acm.drivers.push_back(
        acmDriver("Microsoft IMA ADPCM CODEC", {acmTag(1, "PCM"), acmTag(0x11, "IMA ADPCM")}));
    m.acm.drivers.push_back(acmDriver("Microsoft ADPCM CODEC", {acmTag(0x2, "Microsoft ADPCM")}));
    auto inv = build();
    ASSERT_EQ(inv->count(), 2);
    EXPECT_EQ(inv->record(0).source, kSourceAcm);
    EXPECT_STREQ(inv->record(0).formatName(), "IMA ADPCM");
    EXPECT_STREQ(inv->record(0).driverDetails.szLongName, "Microsoft IMA ADPCM CODEC");
    EXPECT_EQ(inv->find("0x0011"), 0);
    EXPECT_EQ(inv->find("0X0002"), 1);
    EXPECT_EQ(inv->find("0x0001"), -1);
    EXPECT_EQ(inv->record(0).link, -1);
}

// An ACM driver's file comes from its registration, its vendor from the file's
// version block, even where the system keeps no driver cache (Wine, newer Windows).
TEST_F(AudioInventory, AcmDriverFileAndVendorFromTheRegistration) {
    AcmDriver mp3 =
        acmDriver("MPEG Layer-3 Codec", {acmTag(0x55, "MPEG Layer-3"), acmTag(1, "PCM")});
    mp3.file = "C:\\windows\\system32\\l3codeca.acm";
    m.acm.drivers.push_back(mp3);
    m.acm.drivers.push_back(acmDriver("Unregistered", {acmTag(0x31, "GSM 6.10")}));
    // A file without a version block: the driver's manufacturer id names the vendor.
    AcmDriver gsm = acmDriver("GSM 6.10 Codec", {acmTag(0x31, "GSM 6.10")});
    gsm.file = "C:\\windows\\system32\\msgsm32.acm";
    gsm.details.wMid = 1;
    m.acm.drivers.push_back(gsm);
    m.files.companies[mp3.file] = "Fraunhofer";
    struct Case {
        uint32_t bits;
        const char* file;
        const char* vendor;
    } cases[] = {{0xFFFFFFFF, "C:\\windows\\system32\\l3codeca.acm", "Fraunhofer"},
                 {~kEnableDriverFiles, "C:\\windows\\system32\\l3codeca.acm", ""},
                 {~kEnableRegistry, "", ""}};
    for (const Case& c : cases) {
        auto inv = build(c.bits);
        ASSERT_EQ(inv->count(), 3);
        EXPECT_STREQ(inv->record(0).driverFile, c.file) << c.bits;
        EXPECT_STREQ(inv->record(0).version.get(kCompanyName), c.vendor) << c.bits;
        EXPECT_STREQ(inv->record(1).driverFile, "") << c.bits;
        EXPECT_STREQ(inv->record(2).version.get(kCompanyName),
                     c.vendor[0] ? "Microsoft Corporation" : "")
            << c.bits;
    }
}

TEST_F(AudioInventory, DirectShowEntriesMergeIntoAcmRecordsByName) {
    m.acm.drivers.push_back(acmDriver("MP3 ACM", {acmTag(0x55, "MPEG Layer-3")}));
    category().push_back(moniker("MPEG Layer-3", kA));
    category().push_back(moniker("PCM", kB));
    category().push_back(moniker("mpeg layer-3", kC)); // names compare case-sensitively
    category().push_back(moniker("No class", ""));
    m.registry.setServer(kA, "C:\\windows\\system32\\quartz.dll");
    m.registry.setServer(kC, "C:\\other.dll");
    m.files.companies["C:\\other.dll"] = "Other Corp";
    auto inv = build();
    ASSERT_EQ(inv->count(), 2);
    const AudioCodecRecord& merged = inv->record(0);
    EXPECT_EQ(merged.source, kSourceAcm);
    EXPECT_STREQ(merged.clsidText, kA);
    EXPECT_STREQ(merged.dshowDriverFile, "C:\\windows\\system32\\quartz.dll");
    const AudioCodecRecord& added = inv->record(1);
    EXPECT_EQ(added.source, kSourceDirectShow);
    EXPECT_STREQ(added.driverFile, "C:\\other.dll");
    EXPECT_STREQ(added.driverDetails.szLongName, "C:\\other.dll description");
    EXPECT_EQ(added.missing, 0);
    EXPECT_EQ(inv->findByName("PCM"), -1);
}

TEST_F(AudioInventory, DriverCacheSetsVersionPriorityAndDisabledByTag) {
    m.acm.drivers.push_back(acmDriver("GSM", {acmTag(0x31, "GSM 6.10")}));
    m.acm.drivers.push_back(acmDriver("MP3", {acmTag(0x55, "MPEG Layer-3")}));
    m.acm.drivers.push_back(acmDriver("MP3 again", {acmTag(0x55, "MPEG Layer-3 #2")}));
    cacheDriver("msacm.msgsm610", "C:\\msgsm32.acm", tagCache({0x31, 1}), 2);
    cacheDriver("msacm.l3acm", "C:\\l3codeca.acm", tagCache({0x55}), 1);
    cacheDriver("msacm.noversion", "C:\\nover.acm", tagCache({0x31}), 1);
    m.files.companies["C:\\msgsm32.acm"] = "Microsoft";
    m.files.companies["C:\\l3codeca.acm"] = "Fraunhofer";
    m.registry.set(RegistryRoot::CurrentUser, kPriorityKey,
                   textValue("Priority2", "1, msacm.msgsm610"));
    m.registry.set(RegistryRoot::CurrentUser, kPriorityKey,
                   textValue("Priority7", "0, msacm.l3acm"));
    struct Case {
        uint32_t bits;
        bool applied;
    };
    const Case cases[] = {
        {0xFFFFFFFF, true}, {~0u & ~kEnableDriverFiles, false}, {~0u & ~kEnableRegistry, false}};
    for (const Case& c : cases) {
        auto inv = build(c.bits);
        ASSERT_EQ(inv->count(), 3);
        const AudioCodecRecord& gsm = inv->record(0);
        EXPECT_STREQ(gsm.driverFile, c.applied ? "C:\\msgsm32.acm" : "") << c.bits;
        EXPECT_EQ(gsm.priority, c.applied ? 2 : 0);
        EXPECT_EQ(gsm.disabled, 0);
        EXPECT_STREQ(gsm.version.get(kCompanyName), c.applied ? "Microsoft" : "");
        for (int i : {1, 2}) { // every record of the tag
            EXPECT_EQ(inv->record(i).disabled, c.applied ? 1 : 0) << i;
            EXPECT_EQ(inv->record(i).priority, c.applied ? 7 : 0) << i;
        }
    }
}

TEST_F(AudioInventory, FilterDataGivesTagsAndTheMpegLink) {
    category().push_back(moniker("MPEG Audio Decoder", kA));
    m.registry.setServer(kA, "C:\\quartz.dll");
    m.files.companies["C:\\quartz.dll"] = "Wine";
    m.registry.setFilterData(kA, guidBlob({kMediaSubtypeMpeg1Audio, tagGuid(0x40), kMediaTypeAudio,
                                           kMediaSubtypeMpeg1Audio, tagGuid(0x50), tagGuid(0x55)}));
    query(kMediaTypeMpeg2Pes, kNullGuid).push_back(moniker("PES decoder", kB));
    query(kMediaSubtypeMpeg1Audio, kNullGuid).push_back(moniker("Layer 1/2 decoder", kC));
    struct Case {
        uint32_t bits;
        int count;
        uint32_t tag;
    };
    const Case cases[] = {
        {0xFFFFFFFF, 3, 0x50}, {~0u & ~kEnableRegistry, 1, 0}, {~0u & ~kEnableDriverFiles, 1, 0}};
    for (const Case& c : cases) {
        auto inv = build(c.bits);
        ASSERT_EQ(inv->count(), c.count) << c.bits;
        EXPECT_EQ(inv->record(0).formatTag(), c.tag);
        if (c.count == 3) {
            EXPECT_EQ(inv->record(1).link, 0);
            EXPECT_EQ(inv->record(2).link, 0);
            EXPECT_EQ(inv->record(1).missing, 1); // no server file registered
            EXPECT_EQ(inv->find("0x0050"), 0);
        }
    }
}

TEST_F(AudioInventory, FilterDataLongerThanTheReadLimitIsCut) {
    category().push_back(moniker("Big", kA));
    std::vector<Guid> blob(254, kNullGuid); // 4064 bytes of padding
    blob.push_back(kMediaTypeAudio);
    blob.push_back(tagGuid(0x161)); // bytes 4080..4095: inside the limit but the last window
    blob.push_back(tagGuid(0x162));
    m.registry.setFilterData(kA, guidBlob(blob, 100));
    auto inv = build();
    EXPECT_EQ(inv->record(0).formatTag(), 0u);
}

TEST_F(AudioInventory, DmosHaveNoTagAndAreFoundOnlyForTagZero) {
    Guid clsid{};
    parseRegistryGuid("{BBEEA841-0A63-4F52-A7AB-A9B3A84ED38A}", 38, &clsid);
    m.dmo.dmos.push_back(
        {kDmoCategoryAudioDecoder, DmoEntry{clsid, "MP3 Decoder DMO", {tagGuid(0x55)}}});
    m.dmo.dmos.push_back({kDmoCategoryVideoDecoder, DmoEntry{clsid, "Video one", {}}});
    char wrapper[39];
    formatRegistryGuid(kDmoWrapperFilter, wrapper);
    m.registry.setServer(wrapper, "C:\\qasf.dll");
    m.registry.setServer("{BBEEA841-0A63-4F52-A7AB-A9B3A84ED38A}", "C:\\mp3dmod.dll");
    m.files.companies["C:\\mp3dmod.dll"] = "Wine";
    auto inv = build();
    ASSERT_EQ(inv->count(), 1);
    const AudioCodecRecord& r = inv->record(0);
    EXPECT_EQ(r.source, kSourceDmo);
    EXPECT_STREQ(r.formatName(), "MP3 Decoder DMO");
    EXPECT_STREQ(r.driverFile, "C:\\qasf.dll");
    EXPECT_STREQ(r.driverDetails.szLongName, "C:\\mp3dmod.dll description");
    EXPECT_EQ(inv->find("0x0055"), -1);
    EXPECT_EQ(inv->find("0x0000"), 0);
}

TEST_F(AudioInventory, EachEnableBitRemovesExactlyItsSource) {
    m.acm.drivers.push_back(acmDriver("IMA", {acmTag(0x11, "IMA ADPCM")}));
    category().push_back(moniker("DS filter", kA));
    Guid clsid{};
    parseRegistryGuid(kB, 38, &clsid);
    m.dmo.dmos.push_back({kDmoCategoryAudioDecoder, DmoEntry{clsid, "DMO", {}}});
    struct Case {
        uint32_t clear;
        std::vector<int32_t> sources;
    };
    const Case cases[] = {
        {0, {kSourceAcm, kSourceDirectShow, kSourceDmo}},
        {kEnableAcm, {kSourceDirectShow, kSourceDmo}},
        {kEnableDirectShow, {kSourceAcm, kSourceDmo}},
        {kEnableDmo, {kSourceAcm, kSourceDirectShow}},
        {kEnableVfw | kEnableRendering, {kSourceAcm, kSourceDirectShow, kSourceDmo}},
    };
    for (const Case& c : cases) {
        auto inv = build(0xFFFFFFFF & ~c.clear);
        std::vector<int32_t> got;
        for (int i = 0; i < inv->count(); ++i)
            got.push_back(inv->record(i).source);
        EXPECT_EQ(got, c.sources) << c.clear;
    }
}

TEST_F(AudioInventory, TheThreeHundredFirstCodecIsDropped) {
    std::vector<AcmFormatTagDetails> tags;
    for (uint32_t t = 2; t < 400; ++t)
        tags.push_back(acmTag(t, "tag"));
    m.acm.drivers.push_back(acmDriver("Many", tags));
    category().push_back(moniker("Late filter", kA));
    auto inv = build();
    EXPECT_EQ(inv->count(), AudioCodecInventory::kCapacity);
    EXPECT_EQ(inv->findByName("Late filter"), -1);
    EXPECT_EQ(inv->find("0x012d"), 299);
    EXPECT_EQ(inv->find("0x012e"), -1);
}

} // namespace
} // namespace tavro

#include "codecs/other_arch_codecs.h"

#include <gtest/gtest.h>

#include "codecs/codec_source.h"
#include "codecs/media_guids.h"
#include "common/settings.h"
#include "tests/codecs/fake_codec_sources.h"

namespace tavro {
namespace {

const char kDrivers32[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
const char kObjects[] = "Software\\Classes\\DirectShow\\MediaObjects";

std::vector<uint8_t> pairBlob(const Guid& major, const Guid& subtype) {
    std::vector<uint8_t> blob(32);
    guidToBytes(major, blob.data());
    guidToBytes(subtype, blob.data() + 16);
    return blob;
}

void addDmo(FakeRegistry& reg, const char* category, const char* clsid, const char* name,
            std::vector<uint8_t> inputs) {
    reg.subkeys[{static_cast<int>(RegistryRoot::LocalMachine),
                 std::string(kObjects) + "\\Categories\\" + category}]
        .push_back(clsid);
    reg.set(RegistryRoot::LocalMachine, std::string(kObjects) + "\\" + clsid, textValue("", name));
    reg.set(RegistryRoot::LocalMachine, std::string(kObjects) + "\\" + clsid,
            binaryValue("InputTypes", std::move(inputs)));
}

TEST(OtherArchCodecs, DriversAndDmosOfTheOtherViewPerEnabledSource) {
    FakeMachine m;
    FakeRegistry other;
    other.set(RegistryRoot::LocalMachine, kDrivers32, textValue("vidc.cvid", "iccvid.dll"));
    other.set(RegistryRoot::LocalMachine, kDrivers32, textValue("VIDC.x", "short.dll"));
    other.set(RegistryRoot::LocalMachine, kDrivers32, textValue("msacm.imaadpcm", "imaadp32.acm"));
    other.set(RegistryRoot::LocalMachine, kDrivers32, textValue("wavemapper", "msacm32.drv"));
    other.set(RegistryRoot::LocalMachine, kDrivers32, dwordValue("vidc.dword", 1));
    addDmo(other, "4A69B442-28BE-4991-969C-B500ADF5D8A8", "82D353DF-90BD-4382-8BC2-3F6192B76E34",
           "WMVideo Decoder DMO", pairBlob(kMediaTypeVideo, fourccGuid("wmv3")));
    addDmo(other, "57F2DB8B-E6BB-4513-9D43-DCD2A6593125", "2EEB4ADF-4578-4D10-BCA7-BB955F56320A",
           "WMAudio Decoder DMO", pairBlob(kMediaTypeAudio, tagGuid(0x161)));
    addDmo(other, "57F2DB8B-E6BB-4513-9D43-DCD2A6593125", "not a clsid", "Broken", {});
    other.setServer("{2EEB4ADF-4578-4D10-BCA7-BB955F56320A}", "C:\\windows\\system32\\wmadmod.dll");
    CodecSources sources = m.sources();
    sources.otherRegistry = &other;
    sources.ownBits = 32;
    sources.systemDir = "C:\\Windows\\system32";
    sources.otherSystemDir = "C:\\Windows\\Sysnative";
    // Version texts come from the other architecture's copy of each file.
    m.files.companies["C:\\Windows\\Sysnative\\iccvid.dll"] = "Radius";
    m.files.companies["C:\\Windows\\Sysnative\\wmadmod.dll"] = "Microsoft";

    struct Case {
        const char* what;
        uint32_t bits;
        std::vector<std::string> rows; // source|video|key|name|file|company
    };
    const std::string all[] = {
        "VFW|1|CVID|vidc.cvid|iccvid.dll|Radius", "VFW|1|X|VIDC.x|short.dll|",
        "ACM|0||msacm.imaadpcm|imaadp32.acm|", "DMO|1|WMV3|WMVideo Decoder DMO||",
        "DMO|0|0x0161|WMAudio Decoder DMO|C:\\windows\\system32\\wmadmod.dll|Microsoft"};
    const Case cases[] = {
        {"everything", 0xFFFFFFFF, {all[0], all[1], all[2], all[3], all[4]}},
        {"no VfW", 0xFFFFFFFF & ~kEnableVfw, {all[2], all[3], all[4]}},
        {"no DMO", 0xFFFFFFFF & ~kEnableDmo, {all[0], all[1], all[2]}},
        {"no driver files",
         0xFFFFFFFF & ~kEnableDriverFiles,
         {"VFW|1|CVID|vidc.cvid|iccvid.dll|", all[1], all[2], all[3],
          "DMO|0|0x0161|WMAudio Decoder DMO|C:\\windows\\system32\\wmadmod.dll|"}},
        {"no registry", 0xFFFFFFFF & ~kEnableRegistry, {}},
        {"information only", 0, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> rows;
        for (const OtherArchCodec& o : readOtherArchitectureCodecs(sources, c.bits)) {
            EXPECT_EQ(o.bits, 64);
            rows.push_back(std::string(codecSourceText(o.source)) + "|" + (o.video ? "1" : "0") +
                           "|" + o.key + "|" + o.name + "|" + o.file + "|" +
                           o.version.get(kCompanyName));
        }
        EXPECT_EQ(rows, c.rows) << c.what;
    }
    sources.otherRegistry = nullptr; // 32-bit Windows: no other view
    EXPECT_TRUE(readOtherArchitectureCodecs(sources, 0xFFFFFFFF).empty());
}

TEST(OtherArchCodecs, PathsInTheOtherSystemFolder) {
    const std::string sys = "C:\\WINDOWS\\system32", other = "C:\\WINDOWS\\SysWOW64";
    const struct {
        const char *file, *path;
    } cases[] = {
        {"iccvid.dll", "C:\\WINDOWS\\SysWOW64\\iccvid.dll"},
        {"c:\\windows\\SYSTEM32\\l3codecx.acm", "C:\\WINDOWS\\SysWOW64\\l3codecx.acm"},
        {"%SystemRoot%\\System32\\wmadmod.dll", "C:\\WINDOWS\\SysWOW64\\wmadmod.dll"},
        // Files outside the system folder are the same file for both architectures.
        {"C:\\Program Files\\x\\codec.dll", "C:\\Program Files\\x\\codec.dll"},
        {"C:\\WINDOWS\\system32x\\a.dll", "C:\\WINDOWS\\system32x\\a.dll"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(otherArchitecturePath(c.file, sys, other), c.path) << c.file;
    EXPECT_EQ(otherArchitecturePath("iccvid.dll", sys, ""), "");
    // Without this process's folder only the %SystemRoot% forms are moved.
    EXPECT_EQ(otherArchitecturePath("\\a.dll", "", other), "\\a.dll");
}

} // namespace
} // namespace tavro

namespace tavro {
namespace {

// A FilterData value of the version 2 layout: header, pins, their types, then
// the GUIDs the types point at.
struct BlobPin {
    bool output;
    std::vector<MediaTypePair> types;
};
std::vector<uint8_t> filterData(uint32_t merit, const std::vector<BlobPin>& pins) {
    std::vector<uint8_t> d;
    auto u32 = [&d](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            d.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    size_t typeCount = 0;
    for (const BlobPin& p : pins)
        typeCount += p.types.size();
    uint32_t guidAt = static_cast<uint32_t>(16 + pins.size() * 24 + typeCount * 16);
    std::vector<Guid> guids;
    u32(2), u32(merit), u32(static_cast<uint32_t>(pins.size())), u32(0);
    for (size_t n = 0; n < pins.size(); ++n) {
        d.insert(d.end(), {static_cast<uint8_t>('0' + n), 'p', 'i', '3'});
        u32(pins[n].output ? 8 : 0), u32(0), u32(static_cast<uint32_t>(pins[n].types.size())),
            u32(0), u32(0);
        for (const MediaTypePair& t : pins[n].types) {
            d.insert(d.end(), {'0', 't', 'y', '3'});
            u32(0), u32(guidAt), u32(guidAt + 16);
            guidAt += 32;
            guids.push_back(t.major);
            guids.push_back(t.subtype);
        }
    }
    for (const Guid& g : guids) {
        uint8_t bytes[16];
        guidToBytes(g, bytes);
        d.insert(d.end(), bytes, bytes + 16);
    }
    return d;
}

TEST(FilterData, PinsTypesAndHostileValues) {
    const MediaTypePair h264{kMediaTypeVideo, fourccGuid("H264")};
    const MediaTypePair yv12{kMediaTypeVideo, fourccGuid("YV12")};
    const std::vector<uint8_t> good = filterData(0x600000, {{false, {h264}}, {true, {yv12}}});
    FilterDataInfo info;
    ASSERT_TRUE(parseFilterData(good, &info));
    EXPECT_EQ(info.merit, 0x600000u);
    ASSERT_EQ(info.pins.size(), 2u);
    EXPECT_FALSE(info.pins[0].output);
    EXPECT_TRUE(info.pins[1].output);
    EXPECT_TRUE(info.pins[0].types[0].subtype == h264.subtype);

    struct Case {
        const char* what;
        size_t at; // byte to overwrite (little-endian u32), or size to cut to
        uint32_t value;
        bool cut;
    };
    const Case cases[] = {
        {"version 1", 0, 1, false},
        {"pin count past the cap", 8, 100000, false},
        {"type count past the cap", 16 + 12, 0xFFFFFFFF, false},
        {"major type offset past the end", 16 + 24 + 8, static_cast<uint32_t>(good.size()), false},
        {"subtype offset that wraps", 16 + 24 + 12, 0xFFFFFFF8, false},
        {"mediums past the end", 16 + 16, 1000, false},
        {"cut inside the header", 10, 0, true},
        {"cut inside a pin", 30, 0, true},
        {"cut before the GUIDs end", good.size() - 1, 0, true},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = good;
        if (c.cut)
            bad.resize(c.at);
        else
            for (int i = 0; i < 4; ++i)
                bad[c.at + i] = static_cast<uint8_t>(c.value >> (8 * i));
        EXPECT_FALSE(parseFilterData(bad, &info)) << c.what;
    }
}

TEST(OtherArchCodecs, DecodingFiltersOfTheOtherView) {
    FakeMachine m;
    FakeRegistry other;
    const std::string base =
        "Software\\Classes\\CLSID\\{083863F1-70DE-11d0-BD40-00A0C911CE86}\\Instance";
    const MediaTypePair h264{kMediaTypeVideo, fourccGuid("h264")};
    const MediaTypePair nv12{kMediaTypeVideo, fourccGuid("NV12")};
    const MediaTypePair aac{kMediaTypeAudio, tagGuid(0xFF)};
    const MediaTypePair pcm{kMediaTypeAudio, tagGuid(1)};
    const struct {
        const char* clsid;
        const char* name;
        std::vector<uint8_t> data;
    } filters[] = {
        {"{00000000-0000-0000-0000-000000000001}", "Video Decoder",
         filterData(0x600000, {{false, {h264}}, {true, {nv12}}})},
        {"{00000000-0000-0000-0000-000000000002}", "Audio Decoder",
         filterData(0x800000, {{false, {aac}}, {true, {pcm}}})},
        // Below normal merit, a renderer (no output) and a broken value: not decoders.
        {"{00000000-0000-0000-0000-000000000003}", "Unlikely",
         filterData(0x200000, {{false, {h264}}, {true, {nv12}}})},
        {"{00000000-0000-0000-0000-000000000004}", "Renderer",
         filterData(0x800000, {{false, {nv12}}})},
        {"{00000000-0000-0000-0000-000000000005}", "Broken", {2, 0, 0, 0}},
    };
    auto& names = other.subkeys[{static_cast<int>(RegistryRoot::LocalMachine), base}];
    for (const auto& f : filters) {
        names.push_back(f.clsid);
        other.set(RegistryRoot::LocalMachine, base + "\\" + f.clsid,
                  textValue("FriendlyName", f.name));
        other.set(RegistryRoot::LocalMachine, base + "\\" + f.clsid,
                  binaryValue("FilterData", f.data));
    }
    other.setServer("{00000000-0000-0000-0000-000000000001}", "C:\\x\\dec.ax");
    CodecSources sources = m.sources();
    sources.otherRegistry = &other;
    sources.ownBits = 64;
    std::vector<std::string> rows;
    for (const OtherArchCodec& c : readOtherArchitectureCodecs(sources, 0xFFFFFFFF))
        rows.push_back(std::string(codecSourceText(c.source)) + "|" + (c.video ? "1" : "0") + "|" +
                       c.key + "|" + c.name + "|" + c.file + "|" + std::to_string(c.bits));
    EXPECT_EQ(rows, (std::vector<std::string>{"DSH|1|H264|Video Decoder|C:\\x\\dec.ax|32",
                                              "DSH|0|0x00ff|Audio Decoder||32"}));
    EXPECT_TRUE(readOtherArchitectureCodecs(sources, 0xFFFFFFFF & ~kEnableDirectShow).empty());
}

} // namespace
} // namespace tavro

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

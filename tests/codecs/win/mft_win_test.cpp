// The Media Foundation inventory over the transforms the Wine prefix registers,
// and over one the test registers itself; the other architecture's DMOs.
#undef WINVER
#undef _WIN32_WINNT
#define WINVER 0x0601
#define _WIN32_WINNT 0x0601
#include <windows.h>

#include <initguid.h>

#include <mfapi.h>
#include <mftransform.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "codecs/codec_inventories.h"
#include "codecs/media_guids.h"
#include "codecs/mft_tables.h"
#include "codecs/other_arch_codecs.h"
#include "codecs/win/win_codec_sources.h"

namespace tavro {
namespace {

bool same(const Guid& ours, const GUID& sdk) {
    return std::memcmp(&ours, &sdk, sizeof sdk) == 0;
}

std::string text(const Guid& g) {
    char t[39];
    formatRegistryGuid(g, t);
    return t;
}

// "category|clsid|name" of every transform a registry view lists under our
// categories, read here with the plain registry calls.
std::set<std::string> registeredTransforms(REGSAM view) {
    std::set<std::string> found;
    const std::string base = "Software\\Classes\\MediaFoundation\\Transforms";
    for (const MftCategoryInfo& category : mftCategories()) {
        const std::string catKey = base + "\\Categories\\" + text(category.guid).substr(1, 36);
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, catKey.c_str(), 0, KEY_READ | view, &key) !=
            ERROR_SUCCESS)
            continue;
        char name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = sizeof name;
            if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            Guid clsid;
            if (!parseGuidKeyName(name, &clsid)) continue;
            char friendly[512] = "";
            DWORD size = sizeof friendly - 1;
            HKEY transform;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (base + "\\" + name).c_str(), 0, KEY_READ | view,
                              &transform) == ERROR_SUCCESS) {
                RegQueryValueExA(transform, nullptr, nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(friendly), &size);
                RegCloseKey(transform);
            }
            found.insert(text(category.guid) + "|" + text(clsid) + "|" + friendly);
        }
        RegCloseKey(key);
    }
    return found;
}

std::set<std::string> inventoryRows(const MftInventory& inv, int bits) {
    std::set<std::string> rows;
    for (const MftRecord& r : inv.records())
        if (r.bits == bits)
            rows.insert(text(r.entry.category) + "|" + text(r.entry.clsid) + "|" + r.entry.name);
    return rows;
}

std::unique_ptr<MftInventory> buildInventory() {
    WinCodecSystem system;
    auto inv = std::make_unique<MftInventory>();
    inv->build(system.sources(), 0xFFFFFFFF);
    return inv;
}

class WineMft : public ::testing::Test {
  protected:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(WineMft, OurCategoriesAreTheSdkOnes) {
    EXPECT_TRUE(same(kMftCategoryVideoDecoder, MFT_CATEGORY_VIDEO_DECODER));
    EXPECT_TRUE(same(kMftCategoryAudioDecoder, MFT_CATEGORY_AUDIO_DECODER));
    EXPECT_TRUE(same(kMftCategoryVideoEncoder, MFT_CATEGORY_VIDEO_ENCODER));
    EXPECT_TRUE(same(kMftCategoryAudioEncoder, MFT_CATEGORY_AUDIO_ENCODER));
    EXPECT_TRUE(same(kMftCategoryVideoEffect, MFT_CATEGORY_VIDEO_EFFECT));
    EXPECT_TRUE(same(kMftCategoryAudioEffect, MFT_CATEGORY_AUDIO_EFFECT));
    EXPECT_TRUE(same(kMftCategoryVideoProcessor, MFT_CATEGORY_VIDEO_PROCESSOR));
    EXPECT_TRUE(same(kMftCategoryMultiplexer, MFT_CATEGORY_MULTIPLEXER));
    EXPECT_TRUE(same(kMftCategoryDemultiplexer, MFT_CATEGORY_DEMULTIPLEXER));
    EXPECT_TRUE(same(kMftCategoryOther, MFT_CATEGORY_OTHER));
}

TEST_F(WineMft, ListEqualsWhatEachViewRegisters) {
    auto inv = buildInventory();
    const int own = ownArchitectureBits();
    const std::set<std::string> ownRegistered = registeredTransforms(0);
    ASSERT_FALSE(ownRegistered.empty()) << "the prefix registers no transform";
    EXPECT_EQ(inventoryRows(*inv, own), ownRegistered);
    const REGSAM otherView = otherArchitectureView();
    if (otherView != 0) {
        EXPECT_EQ(inventoryRows(*inv, own == 64 ? 32 : 64), registeredTransforms(otherView));
    }
    for (const MftRecord& r : inv->records()) {
        // Only this architecture's transforms came from Media Foundation itself.
        EXPECT_EQ(r.loadable, r.bits == own) << r.entry.name;
        if (r.loadable) {
            EXPECT_FALSE(r.entry.inputs.empty()) << r.entry.name;
            EXPECT_FALSE(r.entry.outputs.empty()) << r.entry.name;
        }
    }
}

// The DMO decoders one registry view lists, read with the plain registry calls.
std::set<std::string> registeredDmoDecoders(REGSAM view) {
    std::set<std::string> found;
    const std::string base = "Software\\Classes\\DirectShow\\MediaObjects";
    for (const Guid& category : {kDmoCategoryVideoDecoder, kDmoCategoryAudioDecoder}) {
        HKEY key;
        const std::string catKey = base + "\\Categories\\" + text(category).substr(1, 36);
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, catKey.c_str(), 0, KEY_READ | view, &key) !=
            ERROR_SUCCESS)
            continue;
        char name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = sizeof name;
            if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            char friendly[512] = "";
            DWORD size = sizeof friendly - 1;
            HKEY dmo;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (base + "\\" + name).c_str(), 0, KEY_READ | view,
                              &dmo) == ERROR_SUCCESS) {
                RegQueryValueExA(dmo, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(friendly),
                                 &size);
                RegCloseKey(dmo);
            }
            found.insert(friendly);
        }
        RegCloseKey(key);
    }
    return found;
}

TEST_F(WineMft, OtherArchitectureDmosAreThatViewsRegistrations) {
    const REGSAM view = otherArchitectureView();
    if (view == 0) GTEST_SKIP() << "no other architecture on this system";
    WinCodecSystem system;
    std::set<std::string> listed;
    int withVendor = 0, present = 0;
    for (const OtherArchCodec& c : readOtherArchitectureCodecs(system.sources(), 0xFFFFFFFF)) {
        EXPECT_EQ(c.bits, ownArchitectureBits() == 64 ? 32 : 64);
        if (c.source == kSourceDmo) listed.insert(c.name);
        if (!c.file.empty()) {
            // Read from the other architecture's system folder, as data.
            const std::string path =
                otherArchitecturePath(c.file, systemFolder(), otherSystemFolder());
            EXPECT_EQ(path.rfind(otherSystemFolder(), 0), 0u) << path;
            VersionStrings direct;
            readVersionStrings(path, &direct);
            EXPECT_STREQ(c.version.get(kCompanyName), direct.get(kCompanyName)) << path;
            if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) ++present;
            if (c.version.get(kCompanyName)[0]) ++withVendor;
        }
    }
    EXPECT_EQ(listed, registeredDmoDecoders(view));
    // A 64-bit Wine without its 32-bit half registers the other side's codecs but
    // installs none of their files: then there is nothing to read.
    if (present > 0)
        EXPECT_GT(withVendor, 0) << "no version texts read from the other system folder";
}

TEST_F(WineMft, RegisteredDecoderAppearsWithItsTypesAndGoesWhenUnregistered) {
    // A class and a subtype nobody else uses.
    const GUID clsid = {
        0x7a3e1d20, 0x5c4b, 0x4f1e, {0x9a, 0x11, 0x54, 0x41, 0x56, 0x52, 0x4f, 0x01}};
    const GUID subtype = {
        0x30525654, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    MFT_REGISTER_TYPE_INFO in = {MFMediaType_Video, subtype};
    MFT_REGISTER_TYPE_INFO out = {MFMediaType_Video, MFVideoFormat_NV12};
    wchar_t name[] = L"Tavro Test Decoder";
    // Whatever an interrupted run left behind goes first; and ours goes at the end.
    MFTUnregister(clsid);
    struct Unregister {
        const GUID& clsid;
        ~Unregister() { MFTUnregister(clsid); }
    } unregister{clsid};
    ASSERT_EQ(MFTRegister(clsid, MFT_CATEGORY_VIDEO_DECODER, name, 0, 1, &in, 1, &out, nullptr),
              S_OK);
    auto findOurs = [&](const MftInventory& inv) -> const MftRecord* {
        for (const MftRecord& r : inv.records())
            if (same(r.entry.clsid, clsid)) return &r;
        return nullptr;
    };
    {
        auto inv = buildInventory();
        const MftRecord* ours = findOurs(*inv);
        ASSERT_NE(ours, nullptr);
        EXPECT_EQ(ours->entry.name, "Tavro Test Decoder");
        EXPECT_TRUE(same(ours->entry.category, MFT_CATEGORY_VIDEO_DECODER));
        EXPECT_TRUE(ours->loadable);
        EXPECT_EQ(ours->bits, ownArchitectureBits());
        ASSERT_EQ(ours->entry.inputs.size(), 1u);
        EXPECT_TRUE(same(ours->entry.inputs[0].major, MFMediaType_Video));
        EXPECT_TRUE(same(ours->entry.inputs[0].subtype, subtype));
        ASSERT_EQ(ours->entry.outputs.size(), 1u);
        EXPECT_TRUE(same(ours->entry.outputs[0].subtype, MFVideoFormat_NV12));
        EXPECT_FALSE(ours->entry.hasMerit);
        // The list row names the made-up FourCC.
        CodecDatabase db;
        const InventoryTable table = installedMftTable(inv.get(), db);
        bool listed = false;
        for (const auto& row : table.rows)
            if (row[2] == "Tavro Test Decoder") {
                listed = true;
                EXPECT_EQ(row[3], "TVR0");
                EXPECT_EQ(row[4], "NV12");
                EXPECT_EQ(row[1], "Video Decoder");
            }
        EXPECT_TRUE(listed);
    }
    ASSERT_EQ(MFTUnregister(clsid), S_OK);
    auto after = buildInventory();
    EXPECT_EQ(findOurs(*after), nullptr);
}

} // namespace
} // namespace tavro

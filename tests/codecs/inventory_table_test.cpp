#include "codecs/inventory_table.h"

#include <gtest/gtest.h>

#include "codecs/codec_inventories.h"
#include "codecs/media_guids.h"
#include "tests/codecs/fake_codec_sources.h"
#include "tests/codecs/inventory_test_db.h"

namespace tavro {
namespace {

TEST(InventoryTable, DriverCell) {
    struct Case {
        const char *first, *second;
        bool missing, disabled;
        const char* cell;
    };
    const Case cases[] = {
        {"C:\\windows\\quartz.dll", "C:\\windows\\iccvid.dll", false, false,
         "quartz.dll --> iccvid.dll"},
        {"C:\\windows\\quartz.dll", "C:\\x\\iccvid.dll", true, true,
         "--> MISSING: quartz.dll --> iccvid.dll"},
        {"", "C:\\msadp32.acm", false, true, "--> DISABLED: msadp32.acm"},
        // A bare driver name is its own file name.
        {"iccvid.dll", "C:\\a\\b.dll", false, false, "iccvid.dll --> b.dll"},
        {"", "", false, false, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(driverCell(c.first, c.second, c.missing, c.disabled), c.cell) << c.cell;
    const std::string longPath = "C:\\" + std::string(300, 'a');
    EXPECT_EQ(driverCell(longPath.c_str(), "", false, false).size(), 259u);
}

TEST(InventoryTable, RowsTextAndJson) {
    CodecDatabase db;
    loadInventoryTestDb(db);
    FakeMachine m;
    m.directShow.categories.push_back(
        {kVideoCompressorCategory,
         {moniker("Cinepak Codec by Radius", "{00000000-0000-0000-0000-000000000001}", "cvid")}});
    m.registry.setServer("{00000000-0000-0000-0000-000000000001}",
                         "C:\\windows\\system32\\quartz.dll");
    m.vfw.drivers[fourccGuid("CVID").Data1] = {"cvid", "Cinepak",
                                               "C:\\windows\\system32\\iccvid.dll"};
    m.files.companies["C:\\windows\\system32\\iccvid.dll"] = "Radius";
    m.acm.drivers.push_back(acmDriver("Microsoft IMA ADPCM", {acmTag(0x11, "IMA ADPCM")}));
    m.dmo.dmos.push_back({kDmoCategoryAudioDecoder, DmoEntry{{1, 2, 3, {}}, "Tagless DMO", {}}});
    m.registry.setServer("{00000001-0002-0003-0000-000000000000}", "C:\\dmo.dll");
    m.files.companies["C:\\dmo.dll"] = "DMO Corp";
    RecordingPrompter prompter;
    Settings settings;
    CodecInventories inv;
    CodecSources sources = m.sources();
    ensureCodecInventories(inv, {sources, db, settings, prompter});

    // The other architecture's codecs follow this one's, each kind in its own list.
    const std::vector<OtherArchCodec> other = {
        {64, kSourceVfw, true, "XVID", "vidc.xvid", "C:\\windows\\system32\\xvidvfw.dll"},
        {64, kSourceAcm, false, "", "msacm.l3acm", "l3codecx.acm"}};
    InventoryTable video = installedVideoTable(inv.video.get(), 32, &other);
    ASSERT_EQ(video.rows.size(), 2u);
    EXPECT_EQ(video.rows[0],
              (std::vector<std::string>{"VFW", "CVID", "Cinepak Codec by Radius", "Radius",
                                        "quartz.dll --> iccvid.dll", "32-bit"}));
    EXPECT_EQ(video.rows[1],
              (std::vector<std::string>{"VFW", "XVID", "vidc.xvid", "", "xvidvfw.dll", "64-bit"}));
    InventoryTable audio = installedAudioTable(inv.audio.get(), 32, &other);
    ASSERT_EQ(audio.rows.size(), 3u);
    EXPECT_EQ(audio.rows[2][2], "msacm.l3acm");
    EXPECT_EQ(audio.rows[2][5], "64-bit");
    EXPECT_EQ(audio.rows[0][1], "0x0011");
    EXPECT_EQ(audio.rows[1][0], "DMO");
    EXPECT_EQ(audio.rows[1][1], ""); // tag 0 shows as an empty cell

    const std::string text = formatInventoryTable(installedVideoTable(inv.video.get()));
    EXPECT_EQ(text,
              "VIDEO: Installed codecs\n"
              "Type  FourCC  Codec                    Vendor  Driver File                Arch\n"
              "VFW   CVID    Cinepak Codec by Radius  Radius  quartz.dll --> iccvid.dll\n");
    nlohmann::json j = inventoryTableJson(audio);
    EXPECT_EQ(j["title"], "AUDIO: Installed codecs");
    EXPECT_EQ(j["rows"][0]["Codec"], "IMA ADPCM");
    EXPECT_EQ(j["rows"][1]["Fmt Tag"], "");
    EXPECT_TRUE(installedVideoTable(nullptr).rows.empty());
}

TEST(InventoryTable, KnownFormatListsAndRecordsWithoutNames) {
    CodecDatabase db;
    loadInventoryTestDb(db);
    const InventoryTable video = knownVideoTable(db);
    ASSERT_EQ(static_cast<int>(video.rows.size()), db.videoListCount());
    ASSERT_FALSE(video.rows.empty());
    EXPECT_EQ(video.rows[0][1], db.video(1).name);
    EXPECT_EQ(video.columns, (std::vector<std::string>{"FourCC", "Codec", "Vendor"}));
    const InventoryTable audio = knownAudioTable(db);
    EXPECT_EQ(static_cast<int>(audio.rows.size()), db.audioListCount());
    EXPECT_EQ(audio.title, "AUDIO: Known Compression Formats");

    // A record with an empty friendly name does not end the installed list.
    FakeMachine m;
    m.directShow.categories.push_back(
        {kVideoCompressorCategory,
         {moniker("", "{00000000-0000-0000-0000-000000000001}", "abcd"),
          moniker("Second", "{00000000-0000-0000-0000-000000000002}", "efgh")}});
    RecordingPrompter prompter;
    Settings settings;
    CodecInventories inv;
    CodecSources sources = m.sources();
    ensureCodecInventories(inv, {sources, db, settings, prompter});
    ASSERT_EQ(inv.video->count(), 2);
    EXPECT_EQ(installedVideoTable(inv.video.get()).rows.size(), 2u);
}

} // namespace
} // namespace tavro

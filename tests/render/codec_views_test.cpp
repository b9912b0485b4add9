// The list and detail tables as the dialogs receive them: rows, order, copied
// text, and detail views that rebuild discarded inventories and check indices.
#include <gtest/gtest.h>

#include "app/codec_views.h"
#include "app/ui/table_model.h"
#include "tests/codecs/fake_codec_sources.h"
#include "tests/codecs/inventory_test_db.h"
#include "tests/codecs/recording_prompter.h"
#include "tests/render/graph_builder.h"

namespace tavro {
namespace {

TEST(TableModel, RowsEndSortAndCopy) {
    TableSpec spec;
    spec.rows = {{"b", "2"}, {"B", "1"}, {"a", "3"}, {"", "x"}, {"z", "9"}};
    EXPECT_EQ(shownRowCount(spec), 3u);
    EXPECT_EQ(sortedRows(spec, 0), (std::vector<int>{2, 0, 1})); // case-blind, stable
    EXPECT_EQ(sortedRows(spec, 1), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(sortedRows(spec, 7), (std::vector<int>{0, 1, 2})); // no such column: all equal
    EXPECT_EQ(copiedText(spec, {2, 0}), "a\t3\r\nb\t2\r\n");
    EXPECT_EQ(copiedText(spec, {}), "");
    EXPECT_EQ(scaledColumnWidth(75, true), 56);
    EXPECT_EQ(scaledColumnWidth(75, false), 75);
    EXPECT_TRUE(isDetailTitle("DirectShow Filter: details"));
    EXPECT_FALSE(isDetailTitle("VIDEO: Installed codecs"));
}

// A detail view lists properties with values first, in every order.
TEST(TableModel, EmptyRowsLastInDetailViews) {
    TableSpec spec;
    spec.rows = {{"FIL", "Comments", ""},
                 {"ACM", "Short Name", "MPEG Layer-3"},
                 {"REG", "Driver File", "l3codeca.acm"},
                 {"DSH", "DirectShow Codec", ""},
                 {"ACM", "Features", ""},
                 {"FIL", "Company Name", "Fraunhofer"}};
    struct Case {
        int column;
        bool emptyLast;
        std::vector<int> order;
    } cases[] = {{0, false, {1, 4, 3, 0, 5, 2}},
                 {0, true, {1, 5, 2, 4, 3, 0}},
                 {1, true, {5, 2, 1, 0, 3, 4}},
                 {2, true, {5, 2, 1, 0, 3, 4}}};
    for (const Case& c : cases) {
        spec.emptyRowsLast = c.emptyLast;
        EXPECT_EQ(sortedRows(spec, c.column), c.order) << c.column << c.emptyLast;
    }
}

class Views : public ::testing::Test {
  protected:
    void SetUp() override {
        loadInventoryTestDb(db);
        m.directShow.categories.push_back(
            {kVideoCompressorCategory,
             {moniker("Cinepak Codec by Radius", "{00000000-0000-0000-0000-000000000001}",
                      "cvid")}});
        m.vfw.drivers[fourccGuid("CVID").Data1] = {"cvid", "Cinepak", "iccvid.dll"};
        m.acm.drivers.push_back(acmDriver("Microsoft IMA ADPCM", {acmTag(0x11, "IMA ADPCM")}));
        sources = m.sources();
        services.db = &db;
        services.sources = &sources;
    }
    CodecDatabase db;
    FakeMachine m;
    CodecSources sources;
    CodecServices services;
    Settings settings;
    RecordingPrompter prompter;
};

TEST_F(Views, DetailsRebuildDiscardedInventoriesAndCheckTheIndex) {
    CodecViews views(services, settings, prompter, nullptr);
    TableSpec spec;
    ASSERT_TRUE(views.installedVideo(&spec));
    EXPECT_EQ(spec.columns.size(), 6u);
    EXPECT_EQ(spec.columns[5].title, "Arch");
    EXPECT_EQ(spec.columns[4].title, "Driver File");
    EXPECT_EQ(spec.columns[4].width, 175);

    services.inventories.discard(); // the Settings dialog ended with OK
    ASSERT_TRUE(views.videoDetails(0, &spec));
    EXPECT_EQ(spec.title, "VIDEO: details");
    // The driver file is not on this fake machine: the warning row comes first.
    ASSERT_GE(spec.rows.size(), 20u);
    EXPECT_EQ(spec.rows[0][1], "- - Warning - -");
    EXPECT_EQ(spec.rows[1], (std::vector<std::string>{"DSH", "4CC", "CVID"}));
    EXPECT_EQ(spec.rows[7], (std::vector<std::string>{"VFW", "Driver File", "iccvid.dll"}));
    EXPECT_FALSE(views.videoDetails(1, &spec));
    EXPECT_FALSE(views.videoDetails(-1, &spec));
    ASSERT_TRUE(views.audioDetails(0, &spec));
    EXPECT_EQ(spec.rows[0], (std::vector<std::string>{"ACM", "Format Tag", "0x0011"}));
    EXPECT_EQ(spec.rows[9], (std::vector<std::string>{"REG", "ACM Priority", "0"}));
    EXPECT_EQ(spec.rows[10][1], "CompanyName");
    EXPECT_FALSE(views.audioDetails(5, &spec));
    EXPECT_FALSE(views.filterDetails(0, &spec)); // no render test
}

TEST_F(Views, MediaFoundationListAndDetails) {
    MftEntry decoder;
    decoder.clsid = fourccGuid("MFT1");
    decoder.category = kMftCategoryVideoDecoder;
    decoder.name = "Test Decoder MFT";
    decoder.flags = 1;
    decoder.inputs = {{kMediaTypeVideo, fourccGuid("H264")}};
    m.mft.transforms = {decoder};
    sources.mft = &m.mft;
    sources.ownBits = 32;
    CodecViews views(services, settings, prompter, nullptr);
    TableSpec spec;
    ASSERT_TRUE(views.installedMft(&spec));
    EXPECT_EQ(spec.title, "MEDIA FOUNDATION: Installed transforms");
    ASSERT_EQ(spec.columns.size(), 8u);
    ASSERT_EQ(spec.rows.size(), 1u);
    EXPECT_EQ(spec.rows[0][0], "32-bit");
    EXPECT_EQ(spec.rows[0][3], "H264");
    services.inventories.discard();
    ASSERT_TRUE(views.mftDetails(0, &spec));
    EXPECT_EQ(spec.title, "MEDIA FOUNDATION: details");
    EXPECT_EQ(spec.rows[0], (std::vector<std::string>{"MFT", "Friendly Name", "Test Decoder MFT"}));
    EXPECT_FALSE(views.mftDetails(1, &spec));
    EXPECT_FALSE(views.mftDetails(-1, &spec));
}

TEST_F(Views, FilterDetailsShowPinsAndTheMatchedCodec) {
    ReportModel report;
    RenderStep step(report, prompter, settings, &services);
    test::GraphSketch g;
    const int vr = g.add("Video Renderer");
    const int dec = g.add("AVI Decompressor", kClsidAviDec);
    const int src = g.add("clip.avi");
    g.connect(src, dec, test::kMediaTypeStream, fourccSubtype('c', 'v', 'i', 'd'));
    g.connect(dec, vr, kMediaTypeVideo, kMediaSubtypeRgb24, "XForm Out");
    struct Fixed : GraphBuilder {
        GraphDescription graph;
        int32_t renderFile(const std::string&, size_t, GraphDescription* out, bool* made) override {
            *out = graph;
            *made = true;
            return 0;
        }
    } builder;
    builder.graph = g.graph;
    step.setGraphBuilder(&builder);
    auto info = MediaInfo::create();
    step.run("clip.avi", *info, 1, false);
    ASSERT_EQ(step.result(), 1);

    CodecViews views(services, settings, prompter, &step);
    TableSpec spec;
    ASSERT_TRUE(views.filterDetails(dec, &spec));
    EXPECT_EQ(spec.title, "DirectShow Filter: details");
    EXPECT_EQ(spec.rows[0], (std::vector<std::string>{"GRF", "Name", "AVI Decompressor"}));
    EXPECT_EQ(spec.rows[7][1], "Output1 pin name");
    EXPECT_EQ(spec.rows[7][2], "XForm Out");
    // The VfW wrapper matched the installed Cinepak codec: its rows follow.
    ASSERT_GT(spec.rows.size(), 13u);
    EXPECT_EQ(spec.rows[13], (std::vector<std::string>{"DSH", "4CC", "CVID"}));
    // The source shows no codec at all, never codec 0.
    ASSERT_TRUE(views.filterDetails(src, &spec));
    EXPECT_EQ(spec.rows.size(), 13u);
    EXPECT_FALSE(views.filterDetails(3, &spec)); // past the recorded filters
    EXPECT_FALSE(views.filterDetails(10, &spec));
}

} // namespace
} // namespace tavro

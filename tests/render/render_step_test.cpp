// The render step through the analysis driver: enabling rules on the report, the
// progress texts shown while the graph is built, fields, links and results.
#include <gtest/gtest.h>

#include "app/analysis_driver.h"
#include "app/explanation_facts.h"
#include "render/render_fields.h"
#include "tests/render/graph_builder.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/riff_builder.h"

namespace tavro {
namespace {

using namespace test;

// Builds a fixed graph and notes what the report showed while it ran.
class WatchingBuilder : public GraphBuilder {
  public:
    explicit WatchingBuilder(const ReportModel& report) : report_(report) {}
    int32_t hr = 0;
    GraphDescription graph;
    int calls = 0;
    std::string fileStatusDuring, renderStatusDuring, videoStatusDuring;
    int32_t renderFile(const std::string&, size_t maxFilters, GraphDescription* out,
                       bool* managerCreated) override {
        ++calls;
        fileStatusDuring = report_.text(field::FileStatus);
        renderStatusDuring = report_.text(field::RenderStatus);
        videoStatusDuring = report_.text(field::VideoStatus);
        *out = graph;
        *managerCreated = true;
        EXPECT_EQ(maxFilters, 10u);
        return hr;
    }

  private:
    const ReportModel& report_;
};

GraphDescription aviGraph(bool withVideo) {
    GraphSketch g;
    const int renderer = g.add("Video Renderer");
    const int sound = g.add("DirectSound");
    const int splitter = g.add("AVI Splitter");
    const int source = g.add("clip.avi");
    g.connect(source, splitter, kMediaTypeStream, kMediaSubtypeAvi);
    if (withVideo) {
        const int decoder = g.add("MJPEG Decompressor");
        g.connect(splitter, decoder, kMediaTypeVideo, fourccSubtype('M', 'J', 'P', 'G'));
        g.connect(decoder, renderer, kMediaTypeVideo, kMediaSubtypeRgb24);
    }
    g.connect(splitter, sound, kMediaTypeAudio, kMediaSubtypePcm);
    return g.graph;
}

class RenderStepTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs.files["a.avi"] = {simpleAvi(), UINT64_MAX, false};
        fs.files["b.avi"] = {simpleAvi(), UINT64_MAX, false};
        settings.runMode = kRunModeFull;
        driver = AnalysisDriver::create(report, prompter, fs, settings, &services);
        driver->renderStep().setGraphBuilder(&builder);
        builder.graph = aviGraph(true);
    }
    void analyse(std::vector<std::string> files, int current = 0) {
        driver->fileList().clear();
        for (const auto& f : files)
            driver->fileList().add(f);
        driver->fileList().current = current;
        driver->analyseCurrentFile();
    }

    MemoryFileSystem fs;
    RecordingPrompter prompter;
    ReportModel report;
    Settings settings;
    CodecServices services;
    WatchingBuilder builder{report};
    std::unique_ptr<AnalysisDriver> driver;
};

TEST_F(RenderStepTest, SuccessfulRenderFillsFieldsWithLinks) {
    analyse({"a.avi"});
    ASSERT_EQ(builder.calls, 1);
    EXPECT_EQ(builder.renderStatusDuring, "Rendering...");
    EXPECT_EQ(builder.fileStatusDuring, "processing...");
    EXPECT_EQ(builder.videoStatusDuring, "processing...");
    EXPECT_EQ(report.text(field::RenderStatus),
              "File rendered successfully; no errors reported   (details...)");
    EXPECT_TRUE(report.enabled(field::RenderStatus));
    EXPECT_EQ(report.text(field::FileStatus), "File Length Correct"); // restored
    EXPECT_EQ(report.text(field::VideoCodec), "MJPEG Decompressor");
    EXPECT_EQ(report.linkTarget(field::VideoCodec), "tavro://4.filtergraph.info");
    EXPECT_EQ(report.text(field::AudioCodec), "[ handled by AVI Splitter ]");
    EXPECT_EQ(report.linkTarget(field::AudioCodec), "tavro://2.filtergraph.info");
    EXPECT_EQ(report.linkTarget(field::SourceMedia), "tavro://3.filtergraph.info");
    EXPECT_EQ(report.text(field::SplitterOther), "AVI Splitter");
    EXPECT_EQ(driver->renderStep().result(), 1);
    ASSERT_NE(driver->renderStep().videoDecoder(), nullptr);
    EXPECT_STREQ(driver->renderStep().videoDecoder()->name, "MJPEG Decompressor");

    // A later, partial render without video leaves no stale decoder behind.
    builder.graph = aviGraph(false);
    builder.hr = 0x00040242;
    analyse({"a.avi"});
    EXPECT_EQ(driver->renderStep().videoDecoder(), nullptr);
    EXPECT_EQ(driver->renderStep().result(), -1);
    EXPECT_EQ(report.text(field::VideoCodec), "");
    EXPECT_EQ(report.linkTarget(field::VideoCodec), "");
    EXPECT_EQ(report.text(field::AudioCodec), "AVI Splitter"); // its first output is the audio
    EXPECT_EQ(report.text(field::RenderStatus).substr(0, 12), "0x00040242: ");
}

// The explanations keep the latest test's result and error, and the video decoder of
// the latest test that found one, as copies that survive the table being refilled.
TEST_F(RenderStepTest, ExplanationFactsFollowTheLatestTests) {
    RenderFacts facts;
    analyse({"a.avi"});
    noteRenderTest(facts, driver->renderStep());
    EXPECT_EQ(facts.result, 1);
    EXPECT_FALSE(facts.errorMatched);
    EXPECT_TRUE(facts.decoder.found);
    EXPECT_EQ(facts.decoder.codecIndex, -1); // no inventory to match against here

    builder.graph = aviGraph(false);
    builder.hr = 0x00040242;
    analyse({"a.avi"});
    noteRenderTest(facts, driver->renderStep());
    EXPECT_EQ(facts.result, -1);
    EXPECT_TRUE(facts.decoder.found); // still the earlier test's decoder

    driver->fileList().clear();
    driver->fileList().add("a.avi");
    driver->fileList().add("b.avi");
    driver->fileList().current = 0;
    driver->analyseCurrentFile(); // a batch of two: the test does not run
    noteRenderTest(facts, driver->renderStep());
    EXPECT_EQ(facts.result, 0);
    EXPECT_TRUE(facts.decoder.found);
}

TEST_F(RenderStepTest, BatchShowsEscapeTextAndObeysTheBatchOption) {
    analyse({"a.avi", "b.avi"});
    EXPECT_EQ(builder.calls, 0);
    for (int id : kRenderFields) {
        EXPECT_EQ(report.text(id), "<disabled>");
        EXPECT_FALSE(report.enabled(id));
        EXPECT_EQ(report.linkTarget(id), "");
    }
    EXPECT_EQ(report.text(field::RenderStatus),
              "Disabled by default when processing multiple files (see prefs)");
    EXPECT_EQ(driver->renderStep().result(), 0);

    settings.enableBits &= ~kNoBatchRendering;
    driver->batchRunning = true;
    analyse({"a.avi", "b.avi"}, 1);
    EXPECT_EQ(builder.calls, 1);
    EXPECT_EQ(builder.fileStatusDuring, "ESC to cancel...");
    EXPECT_TRUE(report.enabled(field::VideoCodec));
}

// A builder the window can cancel: ESC is offered for a single file too, and a
// cancelled test is a failure said in words, with every field left empty.
TEST_F(RenderStepTest, CancellableTestOffersEscapeAndACancelIsAClearFailure) {
    driver->renderStep().setCancellable(true);
    builder.hr = kRenderCancelled;
    builder.graph = GraphDescription();
    analyse({"a.avi"});
    ASSERT_EQ(builder.calls, 1);
    EXPECT_EQ(builder.fileStatusDuring, "ESC to cancel...");
    EXPECT_EQ(builder.videoStatusDuring, "processing...");
    EXPECT_EQ(driver->renderStep().result(), -1);
    EXPECT_EQ(report.text(field::RenderStatus),
              "0x800704c7: ERROR_CANCELLED - Render test cancelled with ESC...   (more)");
    EXPECT_EQ(report.text(field::FileStatus), "File Length Correct");
    for (int id : kRenderFields)
        EXPECT_EQ(report.text(id), "");
    EXPECT_EQ(renderErrorText(nullptr, kRenderCancelled, nullptr).substr(0, 27),
              "0x800704c7: ERROR_CANCELLED");
}

TEST_F(RenderStepTest, ForcedRenderIgnoresTheRulesAndNoBuilderIsAClearFailure) {
    settings.runMode = kRunModeInformationOnly;
    analyse({"a.avi"});
    EXPECT_EQ(builder.calls, 0);
    EXPECT_EQ(report.text(field::RenderStatus), "Disabled due to Run Mode setting");
    driver->renderStep().setForced(true);
    analyse({"a.avi", "b.avi"});
    EXPECT_EQ(builder.calls, 1);

    driver->renderStep().setGraphBuilder(nullptr);
    analyse({"a.avi"});
    EXPECT_EQ(report.text(field::RenderStatus), "0x80040154: [unknown]...   (more)");
    EXPECT_EQ(report.text(field::VideoCodec), "");
    EXPECT_EQ(driver->renderStep().result(), -1);
    EXPECT_EQ(driver->renderStep().table().count, 0);
}

} // namespace
} // namespace tavro

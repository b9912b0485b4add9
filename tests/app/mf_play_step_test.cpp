// The Media Foundation test in the window's report, through the analysis driver:
// it runs after the render test under the same rules, shows its progress while the
// player works, then its result, and gives the progress texts back.
#include <gtest/gtest.h>

#include "app/analysis_driver.h"
#include "app/mf_play_step.h"
#include "codecs/media_guids.h"
#include "render/render_guids.h"
#include "render/render_test.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/riff_builder.h"

namespace tavro {
namespace {

using namespace test;

// Answers a fixed description and notes what the report showed meanwhile.
class WatchingPlayer : public MfPlayer {
  public:
    explicit WatchingPlayer(const ReportModel& report) : report_(report) {}
    MfPlayDescription description;
    int calls = 0;
    std::string statusDuring, fileStatusDuring, audioStatusDuring;
    int32_t describeFile(const std::string&, size_t, MfPlayDescription* out) override {
        ++calls;
        statusDuring = report_.text(field::MfPlayStatus);
        fileStatusDuring = report_.text(field::FileStatus);
        audioStatusDuring = report_.text(field::AudioStatus);
        *out = description;
        return description.hr;
    }

  private:
    const ReportModel& report_;
};

MfStreamFacts videoStream(const char* decoder) {
    MfStreamFacts s;
    s.major = kMediaTypeVideo;
    s.subtype = fourccSubtype('H', '2', '6', '4');
    s.selected = s.searched = true;
    if (decoder) s.decoders.push_back({decoder, Guid{}});
    return s;
}

TEST(MfPlayStepReport, StatusFollowsTheTestFromProgressToResult) {
    const char kRendered[] = "File rendered successfully; no errors reported   (details...)";
    struct Case {
        const char* name;
        int runMode;
        int files;
        bool batch, cancellable;
        MfPlayDescription description;
        const char* during;   // the file status while the player works; null: not run
        const char* status;   // afterwards
        const char* explains; // a phrase of the explanation
    } cases[] = {
        {"decodable",
         kRunModeFull,
         1,
         false,
         false,
         {MfPlayStage::None, 0, {videoStream("H264 Decoder MFT")}, 1},
         "processing...",
         kRendered,
         "Video: H264 -> H264 Decoder MFT"},
        {"no decoder accepts the video",
         kRunModeFull,
         1,
         false,
         false,
         {MfPlayStage::None, 0, {videoStream(nullptr)}, 1},
         "processing...",
         "0xc00d5212: [unknown]...   (more)",
         "Video: H264 -> no decoder accepts it"},
        {"the window's cancellable test, cancelled",
         kRunModeFull,
         1,
         false,
         true,
         {MfPlayStage::Cancelled, kRenderCancelled, {}, 0},
         "ESC to cancel...",
         "0x800704c7: ERROR_CANCELLED - Render test cancelled with ESC...   (more)",
         "cancelled before Media Foundation answered"},
        {"a running batch answers ESC",
         kRunModeFull,
         1,
         true,
         false,
         {MfPlayStage::OpenSource, static_cast<int32_t>(0xC00D36C4), {}, 0},
         "ESC to cancel...",
         "0xc00d36c4: [unknown]...   (more)",
         "no media source that opens this file"},
        {"no rendering in this run mode",
         kRunModeNoRendering,
         1,
         false,
         false,
         {},
         nullptr,
         "Disabled due to Run Mode setting",
         "currently disabled"},
        {"several files",
         kRunModeFull,
         2,
         false,
         false,
         {},
         nullptr,
         "Disabled by default when processing multiple files (see prefs)",
         "currently disabled"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFileSystem fs;
        fs.files["a.avi"] = {simpleAvi(), UINT64_MAX, false};
        fs.files["b.avi"] = {simpleAvi(), UINT64_MAX, false};
        RecordingPrompter prompter;
        ReportModel report;
        Settings settings;
        settings.runMode = c.runMode;
        CodecServices services;
        std::unique_ptr<AnalysisDriver> driver =
            AnalysisDriver::create(report, prompter, fs, settings, &services);
        ASSERT_NE(driver, nullptr);
        WatchingPlayer player(report);
        player.description = c.description;
        MfPlayStep step(settings, nullptr);
        step.setPlayer(&player);
        step.setCancellable(c.cancellable);
        int refreshes = 0;
        step.showIn(&report, [&] { ++refreshes; });
        driver->setMfPlayStep(&step);
        driver->batchRunning = c.batch;
        driver->fileList().add("a.avi");
        if (c.files > 1) driver->fileList().add("b.avi");
        driver->fileList().current = 0;
        driver->analyseCurrentFile();

        EXPECT_EQ(player.calls, c.during ? 1 : 0);
        if (c.during) {
            EXPECT_EQ(player.statusDuring, kMfPlayRunningText);
            EXPECT_EQ(player.fileStatusDuring, c.during);
            EXPECT_EQ(player.audioStatusDuring, "processing...");
            EXPECT_EQ(refreshes, 1); // painted before the player starts
        }
        EXPECT_EQ(report.text(field::MfPlayStatus), c.status);
        EXPECT_EQ(report.text(field::MfPlayStatus), step.statusText());
        EXPECT_TRUE(report.enabled(field::MfPlayStatus));
        EXPECT_EQ(report.text(field::FileStatus), "File Length Correct"); // given back
        EXPECT_NE(report.text(field::AudioStatus), "processing...");
        EXPECT_NE(step.explanation().find(c.explains), std::string::npos) << step.explanation();
    }
}

} // namespace
} // namespace tavro

// The DirectShow render test of the current file, as the window and the Windows
// tavro-cli run it: the enabling rules, the progress texts, the test itself and
// the six render fields and status written into the report model. Owns the
// filter table the detail views and explanations read by index.
#pragma once
#include <string>

#include "analysis/media_info.h"
#include "app/codec_status.h"
#include "app/report_model.h"
#include "common/prompter.h"
#include "common/settings.h"
#include "render/filter_table.h"
#include "render/render_test.h"

namespace tavro {

class RenderStep {
  public:
    RenderStep(ReportModel& report, Prompter& prompter, const Settings& settings,
               CodecServices* services);

    // The platform's graph builder; without one an allowed test reports that
    // DirectShow is not available (the class-not-registered result).
    void setGraphBuilder(GraphBuilder* builder) { builder_ = builder; }
    // Render every file, whatever the settings and the file allow (tavro-cli --render).
    void setForced(bool forced) { forced_ = forced; }
    // The number of files of the whole run, where the driver's own list holds only a
    // part of it (tavro-cli analyses each file in a list of one); 0: the list's count.
    void setRunSize(int files) { runSize_ = files; }
    // The builder answers ESC while it works (the window's background test): the
    // file status then says "ESC to cancel..." for a single file too.
    void setCancellable(bool cancellable) { cancellable_ = cancellable; }

    // Decides whether the test may run for the file just analysed, prepares the
    // six fields and the status, and runs the test when allowed.
    void run(const std::string& path, const MediaInfo& info, int fileCount, bool batchRunning);
    // A new file was opened: its render result is "not run".
    void resetForFile();

    bool enabled() const { return enabled_; }
    const FilterTable& table() const { return table_; }
    const RenderOutcome& outcome() const { return outcome_; }
    // 0 not run, 1 success, -1 failure or partial render.
    int result() const { return outcome_.result; }
    // The video decoder's record of the latest test, null when that test found none.
    const FilterRecord* videoDecoder() const { return table_.at(outcome_.roles.videoDecoder); }

  private:
    void renderFileTest(const std::string& path, bool batchRunning);
    void showFields();

    ReportModel& report_;
    Prompter& prompter_;
    const Settings& settings_;
    CodecServices* services_;
    GraphBuilder* builder_ = nullptr;
    bool forced_ = false;
    int runSize_ = 0;
    bool cancellable_ = false;
    bool enabled_ = false;
    FilterTable table_;
    RenderOutcome outcome_;
};

// The six render fields, "Source Media" to "Audio Codec".
extern const int kRenderFields[6];

} // namespace tavro

// The Media Foundation play test of the current file, beside the DirectShow
// render test: the same enabling rules, result texts and explanation style.
#pragma once
#include <functional>
#include <string>

#include "analysis/media_info.h"
#include "app/report_model.h"
#include "codecs/codec_database.h"
#include "common/settings.h"
#include "render/mf_play_test.h"

namespace tavro {

namespace field {
// The window's status link of the test; the CLI gives the test its own JSON member.
constexpr int MfPlayStatus = 1029;
} // namespace field

// The status while the test runs.
inline constexpr char kMfPlayRunningText[] = "Opening through Media Foundation...";

class MfPlayStep {
  public:
    MfPlayStep(const Settings& settings, const CodecDatabase* db) : settings_(settings), db_(db) {}

    // The platform's Media Foundation; without one an allowed test reports that
    // Media Foundation is not available.
    void setPlayer(MfPlayer* player) { player_ = player; }
    // Run for every file, whatever the settings and the file allow.
    void setForced(bool forced) { forced_ = forced; }
    // Shows the test in `report` (the window's): its status field, and while it
    // runs the progress texts the render test shows. `refresh` (may be empty)
    // paints them before the test starts.
    void showIn(ReportModel* report, std::function<void()> refresh) {
        report_ = report;
        refresh_ = std::move(refresh);
    }
    // The player answers ESC while it works: the file status says so.
    void setCancellable(bool cancellable) { cancellable_ = cancellable; }

    // Decides whether the test may run for the file just analysed (as the
    // render test decides) and runs it when allowed.
    void run(const std::string& path, const MediaInfo& info, int fileCount,
             bool batchRunning = false);

    bool enabled() const { return reason_.empty(); }
    const std::string& disabledReason() const { return reason_; }
    const MfPlayOutcome& outcome() const { return outcome_; }
    // The disabled reason, or the result in the render test's words.
    std::string statusText() const;
    std::string explanation() const { return explainMfPlay(outcome_, reason_); }

  private:
    const Settings& settings_;
    const CodecDatabase* db_;
    MfPlayer* player_ = nullptr;
    bool forced_ = false;
    ReportModel* report_ = nullptr;
    std::function<void()> refresh_;
    bool cancellable_ = false;
    std::string reason_ = "Not run";
    MfPlayOutcome outcome_;
};

} // namespace tavro

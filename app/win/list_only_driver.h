// A stand-in driver until the analysis driver is connected: it keeps the batch list
// and shows each file's path and the batch counter, and analyses nothing.
#pragma once
#include "app/win/window_driver.h"

namespace tavro {

class ListOnlyDriver : public WindowDriver {
  public:
    explicit ListOnlyDriver(ReportView& view) : view_(view) {}

    bool leaveCurrentFile(const char*) override { return true; }
    void openList(std::vector<std::string> paths) override;
    bool hasNext() const override { return current_ + 1 < static_cast<int>(paths_.size()); }
    void next() override;
    void setBatchRunning(bool) override {}
    void selectAudioStream(int) override {}
    Explanation explanation(int kind) override;
    void followStreamLink(const LinkTarget&) override {}
    void settingsChanged() override {}
    bool command(int) override { return false; }

  private:
    void showCurrent();

    ReportView& view_;
    std::vector<std::string> paths_;
    int current_ = 0;
};

} // namespace tavro

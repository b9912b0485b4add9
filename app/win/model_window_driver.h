// The window's analysis side: runs the analysis driver over the batch list and
// mirrors its report model into the window's controls after every step.
#pragma once
#include <memory>

#include "app/analysis_driver.h"
#include "app/codec_status.h"
#include "app/report_model.h"
#include "app/win/info_edit_controller.h"
#include "app/win/message_box_prompter.h"
#include "app/win/window_driver.h"
#include "codecs/win/win_codec_sources.h"
#include "common/settings.h"

namespace tavro {

class ModelWindowDriver : public WindowDriver {
  public:
    ModelWindowDriver(ReportView& view, const Settings& settings);

    bool start() override;
    bool leaveCurrentFile(const char* caption) override { return infoEdit_.leave(caption); }
    void openList(std::vector<std::string> paths) override;
    bool hasNext() const override;
    void next() override;
    void setBatchRunning(bool running) override;
    void selectAudioStream(int stream) override;
    Explanation explanation(int kind) override;
    void followStreamLink(const LinkTarget&) override {}
    void settingsChanged() override { services_.inventories.discard(); }
    bool command(int id) override;

  private:
    void mirror();
    void mirrorComments(HWND list);

    ReportView& view_;
    const Settings& settings_;
    MessageBoxPrompter prompter_;
    ReportModel report_;
    CodecDatabase db_;
    WinCodecSystem system_;
    CodecSources sources_;
    CodecServices services_;
    std::unique_ptr<AnalysisDriver> driver_;
    InfoEditController infoEdit_;
};

} // namespace tavro

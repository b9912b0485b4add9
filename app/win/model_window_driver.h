// The window's analysis side: runs the analysis driver over the batch list and
// mirrors its report model into the window's controls after every step.
#pragma once
#include <memory>

#include "app/analysis_driver.h"
#include "app/codec_status.h"
#include "app/codec_views.h"
#include "app/explanation_facts.h"
#include "app/export_step.h"
#include "app/report_model.h"
#include "app/win/background_mf_player.h"
#include "app/win/background_render.h"
#include "app/win/file_map_window.h"
#include "app/win/graph_window.h"
#include "app/win/info_edit_controller.h"
#include "app/win/message_box_prompter.h"
#include "app/win/window_driver.h"
#include "codecs/win/win_codec_sources.h"
#include "common/settings.h"
#include "render/win/dshow_graph_builder.h"
#include "render/win/mf_player.h"
#include "report/map/file_map.h"

namespace tavro {

class ModelWindowDriver : public WindowDriver {
  public:
    // `settings` is the window's own record: a failed export switches its export off.
    ModelWindowDriver(ReportView& view, Settings& settings);

    bool start() override;
    bool leaveCurrentFile(const char* caption) override { return infoEdit_.leave(caption); }
    void openList(std::vector<std::string> paths) override;
    bool hasNext() const override;
    void next() override;
    void setBatchRunning(bool running) override;
    void selectAudioStream(int stream) override;
    Explanation explanation(int kind) override;
    Explanation explanationOf(int kind, int linkId) override;
    void followStreamLink(const LinkTarget& link) override;
    void settingsChanged() override { services_.inventories.discard(); }
    bool command(int id) override;

  private:
    void analysed();
    void saveHeader();
    void mirror();
    void mirrorField(HWND window, int id);
    void showTable(TableSpec spec);
    void showVideoDetails(int index);
    void showAudioDetails(int index);
    void showFilterDetails(int index);
    void showMftDetails(int index);
    void showRenderGraph();
    void mirrorComments(HWND list);

    ReportView& view_;
    Settings& settings_;
    MessageBoxPrompter prompter_;
    ExportStep export_;
    // What the render test found; "not run" until it reports here.
    RenderFacts render_;
    ReportModel report_;
    CodecDatabase db_;
    WinCodecSystem system_;
    CodecSources sources_;
    CodecServices services_;
    // DirectShow's builder, made on the worker thread of each test.
    BackgroundGraphBuilder graphs_{[] { return std::make_unique<DirectShowGraphBuilder>(); }};
    // Media Foundation's player for the test beside it, likewise made on its worker.
    BackgroundMfPlayer mfPlayers_{[] { return std::make_unique<WinMfPlayer>(); }};
    MfPlayStep mfPlay_{settings_, &db_};
    // The current file's map, filled by the analysis; the map window draws it.
    FileMap map_;
    FileMapWindow mapWindow_;
    GraphWindow graphWindow_;
    std::unique_ptr<AnalysisDriver> driver_;
    InfoEditController infoEdit_;
};

} // namespace tavro

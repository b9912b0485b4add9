// The program's only top-level window: a modal dialog that mirrors the report into
// its controls and turns user actions into WindowDriver calls.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/win/explanation_popup.h"
#include "app/win/link_button.h"
#include "app/win/main_tooltips.h"
#include "app/win/registry_settings_store.h"
#include "app/win/report_field.h"
#include "app/win/window_driver.h"
#include "common/settings.h"

namespace tavro {

class MainWindow : public ReportView {
  public:
    static constexpr UINT_PTR kBatchTimer = 103;
    static constexpr UINT kBatchIntervalMs = 100;

    // `commandLineFiles`: the files named on the command line, opened at start.
    explicit MainWindow(std::vector<std::string> commandLineFiles);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // The analysis side; without one the window keeps a list and shows paths only.
    void setDriver(std::unique_ptr<WindowDriver> driver) { driver_ = std::move(driver); }
    Settings& settings() { return settings_; }
    SettingsStore& settingsStore() { return store_; }

    // Runs the dialog modally; returns the dialog's result (-1 on a fatal start-up failure).
    INT_PTR run(HINSTANCE instance);

    // ReportView
    ReportField* field(int id) override;
    LinkButton* link(int id) override;
    void* windowHandle() override { return hwnd_; }

    // Follows a link target: web, local help, or a codec / filter-graph detail view.
    void followLink(const std::string& target);
    // `linkId`: the status link clicked, which picks the text within the kind.
    void showExplanation(int kind, int linkId = 0);

  private:
    static INT_PTR CALLBACK dialogProc(HWND, UINT, WPARAM, LPARAM);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool onInitDialog();
    void attachControls();
    void onCommand(WORD id, WORD code);
    void onLinkCommand(int id, LPARAM code);
    INT_PTR onColour(HDC dc, HWND control);
    void onTimer(UINT_PTR id);
    void onCancel();
    void onDestroy();

    // main_window_files.cpp
    void openFiles();
    bool askForFiles(std::vector<std::string>& paths);
    void onDropFiles(HDROP drop);
    void startList(std::vector<std::string> paths);

    void nextFile();
    void allFiles();
    void stopBatch();
    void selectAudioStream(int stream);
    void updateBatchCommands();

    HWND hwnd_ = nullptr;
    HINSTANCE instance_ = nullptr;
    bool comInitialised_ = false;
    std::vector<std::string> commandLineFiles_;
    RegistrySettingsStore store_;
    Settings settings_;
    std::unique_ptr<WindowDriver> driver_;
    std::unique_ptr<wchar_t[]> openFileBuffer_; // the wide Open dialog's names
    bool batchRunning_ = false;
    int linkReentry_ = 0;
    HBRUSH fieldBrush_ = nullptr;
    std::map<int, std::unique_ptr<ReportField>> fields_;
    std::map<int, std::unique_ptr<LinkButton>> links_;
    MainTooltips tooltips_;
    ExplanationPopup popup_;
};

// Set when 100 dialog units come out narrower than 175 pixels; list dialogs then
// scale their column widths to three quarters.
bool smallDialogUnits();

} // namespace tavro

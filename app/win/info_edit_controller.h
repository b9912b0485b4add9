// The INFO commands of the main window: Edit, Delete and New on the comments list,
// Save and Save As, Close, and the question about unsaved edits before the file is
// left. The rebuild and the write are the portable infoedit code; this is the glue.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/analysis_driver.h"
#include "app/report_model.h"
#include "app/win/window_driver.h"
#include "common/file_system.h"
#include "common/prompter.h"
#include "infoedit/info_rebuild.h"

namespace tavro {

class InfoEditController {
  public:
    struct Hooks {
        std::function<void()> mirror;                           // report -> window
        std::function<void(std::vector<std::string>)> openList; // analyse a fresh list
    };
    InfoEditController(ReportView& view, ReportModel& report, Prompter& prompter, Hooks hooks)
        : view_(view), report_(report), prompter_(prompter), hooks_(std::move(hooks)) {}

    void setDriver(AnalysisDriver* driver) { driver_ = driver; }
    // After every analysis of a file: the head as read, and the file's stamp.
    void fileAnalysed();
    // Edit, Delete, New, Save, Save As, Close and the list's selection; false for others.
    bool command(int id);
    // Unsaved edits: asks under `caption`; false when the user cancels or the save fails.
    bool leave(const char* caption);
    // Enables the Edit menu's commands and Save / Save As for the current state.
    void updateMenus();
    bool dirty() const { return dirty_; }

  private:
    struct Row {
        int index = -1;
        std::string code, name, text;
        uint32_t chunk = 0;
    };
    bool allowed() const;
    bool selectedRow(Row* row) const;
    bool rowEditable(const Row& row) const;
    void editField(bool remove);
    void newField();
    // Runs the rebuild and takes its head, or says why not; re-reads the report either way.
    void finishEdit(const std::vector<uint8_t>& from, const InfoEdit& edit);
    bool save(bool ask);
    void saveAs();
    void close();
    void fileStatus(const std::string& text);
    HWND window() const { return static_cast<HWND>(view_.windowHandle()); }

    ReportView& view_;
    ReportModel& report_;
    Prompter& prompter_;
    Hooks hooks_;
    AnalysisDriver* driver_ = nullptr;
    std::string path_;
    std::vector<uint8_t> original_; // the head as the file holds it
    FileStamp stamp_;
    bool stamped_ = false;
    bool dirty_ = false;
};

} // namespace tavro

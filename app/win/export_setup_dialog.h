// The "Export Setup" dialog of Options > Export...: export on or off, the file
// mode and its folder or file, the template, and four help links.
#pragma once
#include <windows.h>

#include <map>
#include <memory>

#include "app/ui/settings_store.h"
#include "app/win/explanation_popup.h"
#include "app/win/link_button.h"
#include "common/settings.h"

namespace tavro {

class ExportSetupDialog {
  public:
    // Works on a copy of `global`; OK and Apply store the copy into `global` and `store`.
    ExportSetupDialog(Settings& global, SettingsStore& store)
        : global_(global), store_(store), copy_(global) {}

    // Modal; true when the dialog ended with OK.
    bool run(HWND owner, HINSTANCE instance);

  private:
    static INT_PTR CALLBACK dialogProc(HWND, UINT, WPARAM, LPARAM);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onInit();
    void onCommand(int id, int code);
    void showPath();
    void updateControls();
    void setEditing(bool editing);
    void takeTemplate();
    void store();
    void browse();
    void showHelp(int linkId);

    HWND hwnd_ = nullptr;
    HINSTANCE instance_ = nullptr;
    Settings& global_;
    SettingsStore& store_;
    Settings copy_;
    bool editing_ = false; // the template box is editable and "Modify..." reads "Apply"
    bool showingPath_ = false;
    HBRUSH brush_ = nullptr;
    std::map<int, std::unique_ptr<LinkButton>> links_;
    ExplanationPopup popup_;
};

} // namespace tavro

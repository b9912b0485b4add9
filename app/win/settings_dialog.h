// The "Settings" dialog of Options > General...: run mode and diagnostic sources.
#pragma once
#include <windows.h>

#include "app/ui/settings_dialog_model.h"
#include "app/ui/settings_store.h"
#include "common/settings.h"

namespace tavro {

class SettingsDialog {
  public:
    SettingsDialog(Settings& global, SettingsStore& store)
        : global_(global), store_(store), model_(global) {}

    // Modal; true when the dialog's result is OK (OK pressed, or Cancel after
    // "Save as default").
    bool run(HWND owner, HINSTANCE instance);

  private:
    static INT_PTR CALLBACK dialogProc(HWND, UINT, WPARAM, LPARAM);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    void show();
    void onCommand(int id);

    HWND hwnd_ = nullptr;
    Settings& global_;
    SettingsStore& store_;
    SettingsDialogModel model_;
};

} // namespace tavro

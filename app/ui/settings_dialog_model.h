// The Settings dialog's state without the dialog: which boxes are ticked and
// enabled, which run mode is chosen, and what OK, "Save as default" and Cancel do.
#pragma once
#include "app/ui/settings_store.h"
#include "common/settings.h"

namespace tavro {

// Check boxes in the order of the EnableBits bits (box i is bit 1 << i). The last
// one, "Render in batch mode also (slow)", is ticked when its bit is clear.
constexpr int kSettingsBoxCount = 8;
constexpr int kRenderInBatchBox = 7;
constexpr int kDirectShowRenderingBox = 4;

class SettingsDialogModel {
  public:
    explicit SettingsDialogModel(const Settings& settings);

    bool checked(int box) const;
    bool boxEnabled(int box) const;
    int mode() const { return mode_; }
    bool saveDefaultEnabled() const { return saveDefaultEnabled_; }

    void selectMode(int mode);
    void setChecked(int box, bool checked);

    // OK: the dialog's choices replace `global`.
    void ok(Settings& global) const;
    // "Save as default": as OK, then EnableBits and RunMode are stored; the button is
    // disabled. Returns whether the store took both.
    bool saveAsDefault(Settings& global, SettingsStore& store);
    // Cancel reports OK when "Save as default" was pressed during this opening.
    bool cancelReportsOk() const { return savedDefaults_; }

  private:
    Settings readBack() const;

    Settings copy_;
    bool checked_[kSettingsBoxCount] = {};
    int mode_ = kRunModeFull;
    bool saveDefaultEnabled_ = true;
    bool savedDefaults_ = false;
};

} // namespace tavro

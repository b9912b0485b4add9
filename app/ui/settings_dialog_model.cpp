#include "app/ui/settings_dialog_model.h"

#include "app/ui/settings_io.h"

namespace tavro {

SettingsDialogModel::SettingsDialogModel(const Settings& settings) : copy_(settings) {
    for (int box = 0; box < kSettingsBoxCount; ++box) {
        const bool bit = (settings.enableBits & (1u << box)) != 0;
        checked_[box] = box == kRenderInBatchBox ? !bit : bit;
    }
    // Anything but 2 or 3 (a stored 7, say) shows as normal mode.
    mode_ = settings.runMode == kRunModeNoRendering || settings.runMode == kRunModeInformationOnly
                ? settings.runMode
                : kRunModeFull;
}

bool SettingsDialogModel::checked(int box) const {
    return box >= 0 && box < kSettingsBoxCount && checked_[box];
}

bool SettingsDialogModel::boxEnabled(int box) const {
    if (box < 0 || box >= kSettingsBoxCount) return false;
    if (box == kRenderInBatchBox) return true;
    if (mode_ == kRunModeInformationOnly) return false;
    if (mode_ == kRunModeNoRendering) return box != kDirectShowRenderingBox;
    return true;
}

void SettingsDialogModel::selectMode(int mode) {
    mode_ = mode == kRunModeNoRendering || mode == kRunModeInformationOnly ? mode : kRunModeFull;
}

void SettingsDialogModel::setChecked(int box, bool checked) {
    if (box < 0 || box >= kSettingsBoxCount) return;
    checked_[box] = checked;
    saveDefaultEnabled_ = true;
}

Settings SettingsDialogModel::readBack() const {
    Settings settings = copy_;
    settings.runMode = mode_;
    uint32_t bits = 0;
    for (int box = 0; box < kSettingsBoxCount; ++box) {
        const bool bit = box == kRenderInBatchBox ? !checked_[box] : checked_[box];
        if (bit) bits |= 1u << box;
    }
    // Bits above the eight boxes are nobody's to clear.
    settings.enableBits = (copy_.enableBits & ~0xFFu) | bits;
    return settings;
}

void SettingsDialogModel::ok(Settings& global) const {
    global = readBack();
}

bool SettingsDialogModel::saveAsDefault(Settings& global, SettingsStore& store) {
    global = readBack();
    saveDefaultEnabled_ = false;
    savedDefaults_ = true;
    return saveDefaults(store, global);
}

} // namespace tavro

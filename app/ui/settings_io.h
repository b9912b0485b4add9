// Reading and writing the Settings record through a SettingsStore.
#pragma once
#include "app/ui/settings_store.h"
#include "common/settings.h"

namespace tavro {

// Every field with its default when missing or unreadable; texts cut to their limits.
Settings loadSettings(SettingsStore& store);

// ExportMode, FileMaskIndex, ExportFile, ExportPath, ExportFormat, LastMediaFile;
// true when every write succeeded (all are attempted regardless).
bool saveWorkingSettings(SettingsStore& store, const Settings& settings);

// EnableBits and RunMode; true when both writes succeeded.
bool saveDefaults(SettingsStore& store, const Settings& settings);

// Removes the section key, then the program key, then the company key, each only
// when the one before went; true when all three did.
bool deleteRegistryEntries(SettingsStore& store);

} // namespace tavro

#include "app/ui/settings_io.h"

#include "report/export_template.h"

namespace tavro {
namespace {

void readText(SettingsStore& store, const char* name, std::size_t limit, std::string& field) {
    std::string value;
    if (store.readText(name, value)) field = value.substr(0, limit);
}

} // namespace

Settings loadSettings(SettingsStore& store) {
    Settings settings;
    int32_t value = 0;
    if (store.readInt("EnableBits", value)) settings.enableBits = static_cast<uint32_t>(value);
    if (store.readInt("RunMode", value)) settings.runMode = value;
    if (store.readInt("ExportMode", value)) settings.exportMode = value;
    if (store.readInt("FileMaskIndex", value)) settings.fileMaskIndex = value;
    // A first run starts with the default template: an empty one would export a bare
    // line end per file.
    settings.exportFormat = kDefaultExportTemplate;
    readText(store, "ExportFormat", 255, settings.exportFormat);
    readText(store, "ExportFile", 259, settings.exportFile);
    readText(store, "ExportPath", 259, settings.exportPath);
    readText(store, "LastMediaFile", 259, settings.lastMediaFile);
    return settings;
}

bool saveWorkingSettings(SettingsStore& store, const Settings& settings) {
    bool ok = store.writeInt("ExportMode", settings.exportMode);
    ok = store.writeInt("FileMaskIndex", settings.fileMaskIndex) && ok;
    ok = store.writeText("ExportFile", settings.exportFile) && ok;
    ok = store.writeText("ExportPath", settings.exportPath) && ok;
    ok = store.writeText("ExportFormat", settings.exportFormat) && ok;
    ok = store.writeText("LastMediaFile", settings.lastMediaFile) && ok;
    return ok;
}

bool saveDefaults(SettingsStore& store, const Settings& settings) {
    bool ok = store.writeInt("EnableBits", static_cast<int32_t>(settings.enableBits));
    ok = store.writeInt("RunMode", settings.runMode) && ok;
    return ok;
}

bool deleteRegistryEntries(SettingsStore& store) {
    return store.deleteKey(SettingsKey::Section) && store.deleteKey(SettingsKey::Program) &&
           store.deleteKey(SettingsKey::Company);
}

} // namespace tavro

// Settings under HKCU "Software\Orlent\Tavro\Settings": numbers as DWORD values,
// texts as string values.
#pragma once
#include "app/ui/settings_store.h"

namespace tavro {

class RegistrySettingsStore : public SettingsStore {
  public:
    bool readInt(const char* name, int32_t& value) override;
    bool readText(const char* name, std::string& value) override;
    bool writeInt(const char* name, int32_t value) override;
    bool writeText(const char* name, const std::string& value) override;
    bool deleteKey(SettingsKey key) override;

    static const char* keyPath(SettingsKey key);
};

} // namespace tavro

#include <algorithm>

#include "app/ui/settings_store.h"

namespace tavro {

bool MemorySettingsStore::readInt(const char* name, int32_t& value) {
    auto found = ints.find(name);
    if (found == ints.end()) return false;
    value = found->second;
    return true;
}

bool MemorySettingsStore::readText(const char* name, std::string& value) {
    auto found = texts.find(name);
    if (found == texts.end()) return false;
    value = found->second;
    return true;
}

bool MemorySettingsStore::writeInt(const char* name, int32_t value) {
    if (failWrites) return false;
    texts.erase(name);
    ints[name] = value;
    written.push_back(name);
    return true;
}

bool MemorySettingsStore::writeText(const char* name, const std::string& value) {
    if (failWrites) return false;
    ints.erase(name);
    texts[name] = value;
    written.push_back(name);
    return true;
}

bool MemorySettingsStore::deleteKey(SettingsKey key) {
    if (std::find(failDeletes.begin(), failDeletes.end(), key) != failDeletes.end()) return false;
    deleted.push_back(key);
    if (key == SettingsKey::Section) {
        ints.clear();
        texts.clear();
    }
    return true;
}

} // namespace tavro

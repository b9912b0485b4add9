#include "app/win/registry_settings_store.h"

#include <windows.h>

#include <vector>

#include "common/win/wide_text.h"

namespace tavro {
namespace {

class Key {
  public:
    Key(bool create) {
        const char* path = RegistrySettingsStore::keyPath(SettingsKey::Section);
        const LONG result = create ? RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0,
                                                     KEY_WRITE, nullptr, &key_, nullptr)
                                   : RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key_);
        if (result != ERROR_SUCCESS) key_ = nullptr;
    }
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

} // namespace

const char* RegistrySettingsStore::keyPath(SettingsKey key) {
    switch (key) {
    case SettingsKey::Section:
        return "Software\\Orlent\\Tavro\\Settings";
    case SettingsKey::Program:
        return "Software\\Orlent\\Tavro";
    case SettingsKey::Company:
        return "Software\\Orlent";
    }
    return "";
}

bool RegistrySettingsStore::readInt(const char* name, int32_t& value) {
    Key key(false);
    if (!key.get()) return false;
    DWORD type = 0, data = 0, size = sizeof data;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof data)
        return false;
    value = static_cast<int32_t>(data);
    return true;
}

// Texts go through the wide API as UTF-8, like every text of the program: a path
// from the Open dialog may hold any script.
bool RegistrySettingsStore::readText(const char* name, std::string& value) {
    Key key(false);
    if (!key.get()) return false;
    const std::wstring wideName = wideFromUtf8(name);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ || size > 65536)
        return false;
    // The stored bytes need not end in a zero; the extra character guarantees one.
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, L'\0');
    if (RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    value = utf8FromWide(std::wstring(data.data()));
    return true;
}

bool RegistrySettingsStore::writeInt(const char* name, int32_t value) {
    Key key(true);
    const DWORD data = static_cast<DWORD>(value);
    return key.get() &&
           RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}

bool RegistrySettingsStore::writeText(const char* name, const std::string& value) {
    Key key(true);
    const std::wstring wide = wideFromUtf8(value);
    return key.get() &&
           RegSetValueExW(key.get(), wideFromUtf8(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool RegistrySettingsStore::deleteKey(SettingsKey key) {
    return RegDeleteKeyA(HKEY_CURRENT_USER, keyPath(key)) == ERROR_SUCCESS;
}

} // namespace tavro

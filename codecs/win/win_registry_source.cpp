// Registry reads of codec and filter data. Values are read whole, whatever their
// size: a value that grew between the size query and the read is asked again.
#include <windows.h>

#include <vector>

#include "codecs/win/win_codec_sources.h"
#include "codecs/win/win_handles.h"

namespace tavro {
namespace {

constexpr DWORD kMaxValueBytes = 1 << 20; // nothing we read is near this; larger is refused
constexpr DWORD kMaxEntries = 10000;
constexpr int kRetries = 3;

HKEY rootKey(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser:
        return HKEY_CURRENT_USER;
    default:
        return HKEY_LOCAL_MACHINE;
    }
}

} // namespace

int ownArchitectureBits() {
    return sizeof(void*) == 8 ? 64 : 32;
}

uint32_t otherArchitectureView() {
    if (ownArchitectureBits() == 64) return KEY_WOW64_32KEY;
    // A 32-bit process has another view only on 64-bit Windows. Looked up at
    // run time: the call is missing from the oldest systems we run on.
    using IsWow64Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64 = reinterpret_cast<IsWow64Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    if (isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64) return KEY_WOW64_64KEY;
    return 0;
}

bool WinRegistrySource::readValue(RegistryRoot root, const std::string& key,
                                  const std::string& name, RegistryValue* out) {
    RegKey k;
    if (!k.open(rootKey(root), key, view_)) return false;
    const char* valueName = name.empty() ? nullptr : name.c_str();
    for (int attempt = 0; attempt < kRetries; ++attempt) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(k.get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            size > kMaxValueBytes)
            return false;
        std::vector<uint8_t> data(size);
        DWORD got = size;
        const LONG rc = RegQueryValueExA(k.get(), valueName, nullptr, &type,
                                         data.empty() ? nullptr : data.data(), &got);
        if (rc == ERROR_MORE_DATA) continue;
        if (rc != ERROR_SUCCESS) return false;
        data.resize(got < size ? got : size);
        out->name = name;
        out->type = type;
        out->data = std::move(data);
        return true;
    }
    return false;
}

std::vector<std::string> WinRegistrySource::subkeyNames(RegistryRoot root, const std::string& key) {
    std::vector<std::string> names;
    RegKey k;
    if (!k.open(rootKey(root), key, view_)) return names;
    for (DWORD i = 0; i < kMaxEntries; ++i) {
        char name[256]; // key names have at most 255 characters
        DWORD length = sizeof name;
        const LONG rc =
            RegEnumKeyExA(k.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) continue;
        names.emplace_back(name, length < sizeof name ? length : sizeof name - 1);
    }
    return names;
}

std::vector<RegistryValue> WinRegistrySource::values(RegistryRoot root, const std::string& key) {
    std::vector<RegistryValue> values;
    RegKey k;
    if (!k.open(rootKey(root), key, view_)) return values;
    for (DWORD i = 0; i < kMaxEntries; ++i) {
        DWORD maxName = 0, maxData = 0;
        if (RegQueryInfoKeyA(k.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             &maxName, &maxData, nullptr, nullptr) != ERROR_SUCCESS ||
            maxData > kMaxValueBytes)
            break;
        std::vector<char> name(maxName + 2);
        std::vector<uint8_t> data(maxData + 1);
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataLength = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG rc = RegEnumValueA(k.get(), i, name.data(), &nameLength, nullptr, &type,
                                      data.data(), &dataLength);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) continue; // changed under us: skip this one
        RegistryValue v;
        v.name.assign(name.data(), nameLength < name.size() ? nameLength : name.size() - 1);
        v.type = type;
        v.data.assign(data.begin(),
                      data.begin() + (dataLength < data.size() ? dataLength : data.size()));
        values.push_back(std::move(v));
    }
    return values;
}

} // namespace tavro

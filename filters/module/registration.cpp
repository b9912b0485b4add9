// Self-registration: one HKEY_CLASSES_ROOT\CLSID\{...} key per row of the class
// table, naming the row and pointing InprocServer32 at this module. No filter
// categories, pins or merit: clients create the filters by CLSID.
#include <objbase.h>
#include <windows.h>

#include "filters/base/factory_template.h"
#include "filters/module/class_table.h"

namespace {

// Registry calls answer Win32 codes; as HRESULTs they must read as failures.
HRESULT fromWin32(LONG code) {
    return code == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(code));
}

class RegKey {
  public:
    RegKey() = default;
    ~RegKey() {
        if (key_) RegCloseKey(key_);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

// "CLSID\{xxxxxxxx-...}"
bool clsidKeyName(const CLSID& clsid, WCHAR* name, int capacity) {
    WCHAR text[40];
    if (!StringFromGUID2(clsid, text, 40)) return false;
    lstrcpynW(name, L"CLSID\\", capacity);
    if (lstrlenW(name) + lstrlenW(text) >= capacity) return false;
    lstrcatW(name, text);
    return true;
}

HRESULT setString(HKEY key, const WCHAR* valueName, const WCHAR* text) {
    DWORD bytes = static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(WCHAR));
    return fromWin32(
        RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes));
}

HRESULT modulePath(WCHAR* path, DWORD capacity) {
    DWORD n = GetModuleFileNameW(g_hInst, path, capacity);
    if (n == 0) return HRESULT_FROM_WIN32(GetLastError());
    if (n >= capacity) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    return S_OK;
}

HRESULT registerRow(const CFactoryTemplate& row, const WCHAR* path) {
    WCHAR name[64];
    if (!clsidKeyName(*row.m_ClsID, name, 64)) return E_UNEXPECTED;
    RegKey classKey;
    HRESULT hr = fromWin32(RegCreateKeyExW(HKEY_CLASSES_ROOT, name, 0, nullptr, 0, KEY_WRITE,
                                           nullptr, classKey.out(), nullptr));
    if (FAILED(hr)) return hr;
    hr = setString(classKey.get(), nullptr, row.m_Name);
    if (FAILED(hr)) return hr;
    RegKey server;
    hr = fromWin32(RegCreateKeyExW(classKey.get(), L"InprocServer32", 0, nullptr, 0, KEY_WRITE,
                                   nullptr, server.out(), nullptr));
    if (FAILED(hr)) return hr;
    hr = setString(server.get(), nullptr, path);
    if (FAILED(hr)) return hr;
    return setString(server.get(), L"ThreadingModel", L"Both");
}

// Removes a row's keys only when they name this module: another copy of the
// filters registered elsewhere keeps its entries.
HRESULT unregisterRow(const CFactoryTemplate& row, const WCHAR* path) {
    WCHAR name[64];
    if (!clsidKeyName(*row.m_ClsID, name, 64)) return E_UNEXPECTED;
    RegKey classKey;
    LONG code = RegOpenKeyExW(HKEY_CLASSES_ROOT, name, 0, KEY_READ | KEY_WRITE, classKey.out());
    if (code == ERROR_FILE_NOT_FOUND) return S_OK; // nothing registered
    if (code != ERROR_SUCCESS) return fromWin32(code);
    {
        RegKey server;
        code = RegOpenKeyExW(classKey.get(), L"InprocServer32", 0, KEY_READ, server.out());
        if (code == ERROR_FILE_NOT_FOUND) return S_OK; // not a server of ours
        if (code != ERROR_SUCCESS) return fromWin32(code);
        WCHAR registered[MAX_PATH + 1] = {};
        DWORD bytes = sizeof(registered) - sizeof(WCHAR);
        DWORD type = 0;
        code = RegQueryValueExW(server.get(), nullptr, nullptr, &type,
                                reinterpret_cast<BYTE*>(registered), &bytes);
        if (code != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return S_OK;
        if (lstrcmpiW(registered, path) != 0) return S_OK;
    }
    // The subkey first: a key with subkeys cannot be deleted.
    code = RegDeleteKeyW(classKey.get(), L"InprocServer32");
    if (code != ERROR_SUCCESS && code != ERROR_FILE_NOT_FOUND) return fromWin32(code);
    code = RegDeleteKeyW(HKEY_CLASSES_ROOT, name);
    if (code != ERROR_SUCCESS && code != ERROR_FILE_NOT_FOUND) return fromWin32(code);
    return S_OK;
}

HRESULT registerAll(bool add) {
    WCHAR path[MAX_PATH + 1];
    HRESULT hr = modulePath(path, MAX_PATH + 1);
    if (FAILED(hr)) return hr;
    HRESULT init = CoInitialize(nullptr);
    HRESULT result = S_OK;
    for (int i = 0; i < g_cTemplates; ++i) {
        hr = add ? registerRow(g_Templates[i], path) : unregisterRow(g_Templates[i], path);
        if (FAILED(hr)) {
            result = hr;
            if (add) break; // a half registration is undone by the caller's unregister
        }
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return result;
}

} // namespace

extern "C" HRESULT WINAPI DllRegisterServer() {
    return registerAll(true);
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    return registerAll(false);
}

// Self-registration: seven CLSID keys that point at this module, nothing else, and
// an unregistration that removes only what is ours.
#include <gtest/gtest.h>

#include <string>

#include "filter_test_support.h"

using namespace filtertest;

namespace {

const CLSID* const kRows[] = {&kVRendererClsid, &kQualityPageClsid, &kAboutPageClsid,
                              &kCallbackClsid,  &kAudioXformClsid,  &kAudioXform2Clsid,
                              &kNullClsid};
const wchar_t* const kNames[] = {
    L"Nerro VRenderer v1", L"Quality Property Page", L"About Page", L"Nerro cbVRenderer v1",
    L"Nerro Audio xform",  L"Nerro Audio xform2",    L"Nerro Null"};

std::wstring keyOf(const CLSID& clsid, const wchar_t* sub = nullptr) {
    wchar_t text[40];
    StringFromGUID2(clsid, text, 40);
    std::wstring key = L"CLSID\\";
    key += text;
    if (sub) {
        key += L"\\";
        key += sub;
    }
    return key;
}

bool readString(const std::wstring& key, const wchar_t* value, std::wstring* out) {
    HKEY handle;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    LONG code =
        RegQueryValueExW(handle, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    RegCloseKey(handle);
    if (code != ERROR_SUCCESS) return false;
    *out = buffer;
    return true;
}

// `view` picks the 32-bit or the 64-bit registry; 0 is the process's own.
bool keyExists(const std::wstring& key, REGSAM view = 0) {
    HKEY handle;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

// The DirectShow filter category: registered filters would appear under it.
const wchar_t* kFilterCategory = L"CLSID\\{083863F1-70DE-11d0-BD40-00A0C911CE86}\\Instance";

void expectRegistered(const wchar_t* modulePath) {
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        std::wstring text;
        ASSERT_TRUE(readString(keyOf(*kRows[i]), nullptr, &text));
        EXPECT_EQ(text, kNames[i]);
        ASSERT_TRUE(readString(keyOf(*kRows[i], L"InprocServer32"), nullptr, &text));
        EXPECT_EQ(lstrcmpiW(text.c_str(), modulePath), 0);
        ASSERT_TRUE(readString(keyOf(*kRows[i], L"InprocServer32"), L"ThreadingModel", &text));
        EXPECT_EQ(text, L"Both");
        wchar_t guid[40];
        StringFromGUID2(*kRows[i], guid, 40);
        EXPECT_FALSE(keyExists(std::wstring(kFilterCategory) + L"\\" + guid));
    }
}

void expectUnregistered() {
    for (const CLSID* row : kRows)
        EXPECT_FALSE(keyExists(keyOf(*row)));
}

DWORD runRegsvr32(const std::wstring& arguments) {
    std::wstring command = L"regsvr32.exe /s " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 0xffffffff;
    DWORD code = 0xfffffffe;
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

TEST(Registration, RegisterAndUnregisterRoundTrip) {
    FilterModule& module = FilterModule::instance();
    ASSERT_EQ(module.registerServer(), S_OK);
    expectRegistered(module.path());
    // Twice is as good as once.
    ASSERT_EQ(module.registerServer(), S_OK);
    ASSERT_EQ(module.unregisterServer(), S_OK);
    expectUnregistered();
    // With nothing registered there is nothing to fail on.
    EXPECT_EQ(module.unregisterServer(), S_OK);
}

TEST(Registration, Regsvr32RoundTrip) {
    FilterModule& module = FilterModule::instance();
    std::wstring quoted = std::wstring(L"\"") + module.path() + L"\"";
    ASSERT_EQ(runRegsvr32(quoted), 0u);
    expectRegistered(module.path());
    ASSERT_EQ(runRegsvr32(L"/u " + quoted), 0u);
    expectUnregistered();
}

// A 64-bit module is found only by 64-bit programs and a 32-bit one only by 32-bit
// programs, so each registers in its own view of the classes.
TEST(Registration, LandsInTheModulesOwnRegistryViewOnly) {
    const bool is64 = sizeof(void*) == 8;
    BOOL wow64 = FALSE;
    const bool twoViews = is64 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
    const REGSAM own = is64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    const REGSAM other = is64 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    FilterModule& module = FilterModule::instance();
    ASSERT_EQ(module.registerServer(), S_OK);
    for (const CLSID* row : kRows) {
        EXPECT_TRUE(keyExists(keyOf(*row, L"InprocServer32"), own));
        if (twoViews) {
            EXPECT_FALSE(keyExists(keyOf(*row), other));
        }
    }
    ASSERT_EQ(module.unregisterServer(), S_OK);
    expectUnregistered();
}

TEST(Registration, UnregisterLeavesAnotherModulesKeys) {
    FilterModule& module = FilterModule::instance();
    ASSERT_EQ(module.registerServer(), S_OK);
    // Another copy of the filters now owns the null renderer's class.
    std::wstring server = keyOf(kNullClsid, L"InprocServer32");
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, server.c_str(), 0, KEY_WRITE, &key), ERROR_SUCCESS);
    const wchar_t other[] = L"C:\\elsewhere\\nerrorend.ax";
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(other), sizeof(other));
    RegCloseKey(key);

    ASSERT_EQ(module.unregisterServer(), S_OK);
    std::wstring text;
    EXPECT_TRUE(readString(server, nullptr, &text));
    EXPECT_EQ(text, other);
    EXPECT_FALSE(keyExists(keyOf(kCallbackClsid)));
    RegDeleteKeyW(HKEY_CLASSES_ROOT, server.c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, keyOf(kNullClsid).c_str());
}

} // namespace

namespace {

TEST(Registration, RegistryErrorsAreFailureResults) {
    FilterModule& module = FilterModule::instance();
    ASSERT_EQ(module.registerServer(), S_OK);
    // A key with a subkey cannot be deleted: the registry's error code must come
    // back as a failing HRESULT, never as a positive number that reads as success.
    std::wstring extra = keyOf(kNullClsid, L"InprocServer32\\Extra");
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, extra.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    HRESULT hr = module.unregisterServer();
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    EXPECT_EQ(HRESULT_FACILITY(hr), FACILITY_WIN32) << std::hex << hr;
    RegDeleteKeyW(HKEY_CLASSES_ROOT, extra.c_str());
    EXPECT_EQ(module.unregisterServer(), S_OK);
    expectUnregistered();
}

} // namespace

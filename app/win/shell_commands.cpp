#include "app/win/shell_commands.h"

#include <shellapi.h>

#include "app/win/program_folder.h"
#include "app/win/registry_settings_store.h"
#include "app/win/window_messages.h"
#include "common/win/wide_text.h"
#include "resource.h"
#include "shell/shell_dialogs.h"

namespace tavro {
namespace {

const char kReadme[] = "README.md";

// Nothing of another program may go with the company key: no subkeys, no values.
bool keyIsEmpty(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD subkeys = 1, values = 1;
    LONG status = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                   &values, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && subkeys == 0 && values == 0;
}

ShellDialogEnv environment(HWND window) {
    ShellDialogEnv env;
    env.followLink = [window](const std::string& target) {
        SendMessageA(window, kMsgFollowLink, 0, reinterpret_cast<LPARAM>(target.c_str()));
    };
    // Any key Tavro wrote counts: export and run-mode settings are stored before any
    // file is opened, and exit stores the working settings whatever they are.
    env.settingsStored = [] {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, RegistrySettingsStore::keyPath(SettingsKey::Program),
                          0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    };
    env.deleteSettings = [] { return deleteTavroRegistryEntries(); };
    const std::string readme = programFolder() + kReadme;
    if (GetFileAttributesW(widePath(readme).c_str()) != INVALID_FILE_ATTRIBUTES) {
        env.readmeName = kReadme;
        env.openReadme = [readme](HWND owner) {
            const std::wstring path = widePath(readme);
            const auto opened = reinterpret_cast<INT_PTR>(
                ShellExecuteW(owner, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
            // A system with no program for ".md" still has Notepad.
            if (opened <= 32) {
                const std::wstring quoted = L"\"" + path + L"\"";
                ShellExecuteW(owner, L"open", L"notepad.exe", quoted.c_str(), nullptr,
                              SW_SHOWNORMAL);
            }
        };
    }
    env.dialogEnded = [window] { SendMessageA(window, kMsgClosePopup, 0, 0); };
    return env;
}

} // namespace

bool deleteTavroRegistryEntries() {
    RegistrySettingsStore store;
    if (!store.deleteKey(SettingsKey::Section) || !store.deleteKey(SettingsKey::Program))
        return false;
    if (!keyIsEmpty(RegistrySettingsStore::keyPath(SettingsKey::Company))) return false;
    return store.deleteKey(SettingsKey::Company);
}

bool runShellCommand(HWND window, int id) {
    if (id == IDM_OPTIONS_INSTALL)
        runInstallDialog(window, environment(window));
    else if (id == IDM_HELP_ABOUT)
        runAboutBox(window, environment(window));
    else
        return false;
    return true;
}

} // namespace tavro

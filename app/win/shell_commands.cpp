#include "app/win/shell_commands.h"

#include "app/win/registry_settings_store.h"
#include "app/win/window_messages.h"
#include "resource.h"
#include "shell/shell_dialogs.h"

namespace tavro {
namespace {

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
    env.settingsStored = [] {
        RegistrySettingsStore store;
        std::string last;
        return store.readText("LastMediaFile", last) && !last.empty();
    };
    env.deleteSettings = [] { return deleteTavroRegistryEntries(); };
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

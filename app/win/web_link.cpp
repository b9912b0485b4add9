#include "app/win/web_link.h"

#include <shellapi.h>

#include <vector>

#include "common/win/wide_text.h"

namespace tavro {
namespace {

std::string defaultValue(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    DWORD type = 0, size = 0;
    std::string value;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size < 4096) {
        std::vector<char> data(size + 1, '\0');
        if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                             &size) == ERROR_SUCCESS)
            value = data.data();
    }
    RegCloseKey(key);
    return value;
}

// The ".htm" class's open command with "%1" replaced by the link.
bool openThroughHtmCommand(const std::string& url) {
    const std::string htmClass = defaultValue(HKEY_CLASSES_ROOT, ".htm");
    if (htmClass.empty()) return false;
    std::string command = defaultValue(HKEY_CLASSES_ROOT, htmClass + "\\shell\\open\\command");
    if (command.empty()) return false;
    const std::size_t slot = command.find("%1");
    if (slot != std::string::npos)
        command.replace(slot, 2, url);
    else
        command += " " + url;
    // A local link (the README beside the program) may name a folder in any script.
    std::wstring line = wideFromUtf8(command);
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

} // namespace

bool openWebLink(HWND owner, const std::string& url) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, L"open", wideFromUtf8(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32 || openThroughHtmCommand(url)) return true;
    MessageBeep(MB_ICONEXCLAMATION);
    const std::string text = "Unable to open " + url + " in a web browser.";
    MessageBoxA(owner, text.c_str(), "Tavro", MB_OK | MB_ICONEXCLAMATION);
    return false;
}

} // namespace tavro

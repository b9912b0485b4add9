#include "shell/shortcuts.h"

#include <objbase.h>
#include <shlobj.h>

#include "common/win/wide_text.h"

namespace tavro {
namespace {

using FolderFunction = BOOL(WINAPI*)(HWND, LPWSTR, int, BOOL);

// Looked up at run time: older shells lack it, and then every routine fails.
FolderFunction folderFunction() {
    static FolderFunction function = [] {
        HMODULE shell = LoadLibraryA("SHELL32.DLL");
        return shell ? reinterpret_cast<FolderFunction>(reinterpret_cast<void*>(
                           GetProcAddress(shell, "SHGetSpecialFolderPathW")))
                     : nullptr;
    }();
    return function;
}

// Wide throughout: a profile folder in a script the ANSI code page lacks is common.
bool folderPath(HWND owner, ShortcutPlace place, bool create, std::wstring* out) {
    FolderFunction get = folderFunction();
    wchar_t folder[MAX_PATH + 1] = {};
    if (!get || !get(owner, folder, static_cast<int>(place), create ? TRUE : FALSE)) return false;
    *out = folder;
    return !out->empty();
}

std::wstring wideShortcutPath(HWND owner, ShortcutPlace place, bool createFolder) {
    std::wstring folder;
    if (!folderPath(owner, place, createFolder, &folder)) return std::wstring();
    return folder + L"\\Tavro.lnk";
}

template <typename T> class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T** out() { return &p_; }
    T* operator->() const { return p_; }
    T* get() const { return p_; }

  private:
    T* p_ = nullptr;
};

} // namespace

std::string shortcutPath(HWND owner, ShortcutPlace place, bool createFolder) {
    return utf8FromWide(wideShortcutPath(owner, place, createFolder));
}

int createShortcut(HWND owner, ShortcutPlace place) {
    const std::wstring link = wideShortcutPath(owner, place, true);
    wchar_t program[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameW(nullptr, program, MAX_PATH);
    if (link.empty() || n == 0 || n >= MAX_PATH) return 1;
    // A longer path would not fit the platform's buffers: refused, never cut.
    if (link.size() >= MAX_PATH) {
        const std::wstring text = L"The shortcut path is too long:\n\n" + link;
        MessageBoxW(owner, text.c_str(), L"Error", MB_OK | MB_ICONEXCLAMATION);
        return 1;
    }
    ComPtr<IShellLinkW> shellLink;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(shellLink.out()));
    if (FAILED(hr)) return hr;
    shellLink->SetPath(program);
    shellLink->SetDescription(L"Tavro Vistrel");
    ComPtr<IPersistFile> file;
    hr = shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.out()));
    if (FAILED(hr)) return hr;
    hr = file->Save(link.c_str(), TRUE);
    if (FAILED(hr)) {
        MessageBoxA(owner, "IPersistFile->Save() Error", "Error", MB_OK);
        return hr;
    }
    SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW | SHCNF_FLUSH, link.c_str(), nullptr);
    return 0;
}

int removeShortcut(HWND owner, ShortcutPlace place) {
    const std::wstring link = wideShortcutPath(owner, place, false);
    if (link.empty() || link.size() >= MAX_PATH || !DeleteFileW(link.c_str())) return 0;
    SHChangeNotify(SHCNE_DELETE, SHCNF_PATHW | SHCNF_FLUSH, link.c_str(), nullptr);
    return 1;
}

int shortcutExists(HWND owner, ShortcutPlace place) {
    const std::wstring link = wideShortcutPath(owner, place, false);
    return !link.empty() && link.size() < MAX_PATH &&
           GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int shellFoldersAvailable(HWND owner) {
    std::wstring folder;
    return folderPath(owner, ShortcutPlace::Desktop, false, &folder);
}

} // namespace tavro

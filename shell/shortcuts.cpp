#include "shell/shortcuts.h"

#include <objbase.h>
#include <shlobj.h>

namespace tavro {
namespace {

using FolderFunction = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);

// Looked up at run time: older shells lack it, and then every routine fails.
FolderFunction folderFunction() {
    static FolderFunction function = [] {
        HMODULE shell = LoadLibraryA("SHELL32.DLL");
        return shell ? reinterpret_cast<FolderFunction>(reinterpret_cast<void*>(
                           GetProcAddress(shell, "SHGetSpecialFolderPathA")))
                     : nullptr;
    }();
    return function;
}

bool folderPath(HWND owner, ShortcutPlace place, bool create, std::string* out) {
    FolderFunction get = folderFunction();
    char folder[MAX_PATH + 1] = {};
    if (!get || !get(owner, folder, static_cast<int>(place), create ? TRUE : FALSE)) return false;
    *out = folder;
    return !out->empty();
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
    std::string folder;
    if (!folderPath(owner, place, createFolder, &folder)) return std::string();
    return folder + "\\Tavro.lnk";
}

int createShortcut(HWND owner, ShortcutPlace place) {
    const std::string link = shortcutPath(owner, place, true);
    char program[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, program, MAX_PATH);
    if (link.empty() || n == 0 || n >= MAX_PATH) return 1;
    // A longer path would not fit the platform's buffers: refused, never cut.
    if (link.size() >= MAX_PATH) {
        MessageBoxA(owner, ("The shortcut path is too long:\n\n" + link).c_str(), "Error",
                    MB_OK | MB_ICONEXCLAMATION);
        return 1;
    }
    WCHAR wide[MAX_PATH + 1] = {};
    if (!MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, link.c_str(), -1, wide, MAX_PATH)) return 1;
    ComPtr<IShellLinkA> shellLink;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(shellLink.out()));
    if (FAILED(hr)) return hr;
    shellLink->SetPath(program);
    shellLink->SetDescription("Tavro Vistrel");
    ComPtr<IPersistFile> file;
    hr = shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.out()));
    if (FAILED(hr)) return hr;
    hr = file->Save(wide, TRUE);
    if (FAILED(hr)) {
        MessageBoxA(owner, "IPersistFile->Save() Error", "Error", MB_OK);
        return hr;
    }
    SHChangeNotify(SHCNE_CREATE, SHCNF_PATHA | SHCNF_FLUSH, link.c_str(), nullptr);
    return 0;
}

int removeShortcut(HWND owner, ShortcutPlace place) {
    const std::string link = shortcutPath(owner, place, false);
    if (link.empty() || link.size() >= MAX_PATH || !DeleteFileA(link.c_str())) return 0;
    SHChangeNotify(SHCNE_DELETE, SHCNF_PATHA | SHCNF_FLUSH, link.c_str(), nullptr);
    return 1;
}

int shortcutExists(HWND owner, ShortcutPlace place) {
    const std::string link = shortcutPath(owner, place, false);
    return !link.empty() && link.size() < MAX_PATH &&
           GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int shellFoldersAvailable(HWND owner) {
    std::string folder;
    return folderPath(owner, ShortcutPlace::Desktop, false, &folder);
}

} // namespace tavro

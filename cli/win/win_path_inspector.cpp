#include <cwchar>
#include <windows.h>

#include "cli/path_inspector.h"

namespace tavro {

std::string systemErrorText(uint32_t code);

namespace {

std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
    return out;
}

std::string utf8(const wchar_t* text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

std::string lastErrorText() {
    std::string text = systemErrorText(GetLastError());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

// A reparse point (symbolic link or junction) to a folder met inside a folder is not
// followed, so a link loop cannot hold the walk.
PathInfo fromAttributes(DWORD attributes, bool followLink) {
    PathInfo info;
    if (attributes & FILE_ATTRIBUTE_DEVICE) {
        info.kind = PathKind::Other;
        info.error = "Is a device, not a regular file";
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        info.kind = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && !followLink
                        ? PathKind::FolderLink
                        : PathKind::Folder;
    } else {
        info.kind = PathKind::File;
    }
    return info;
}

// What looks like a file may be a FIFO or device (Wine shows a Unix FIFO as a file):
// asked through a handle opened without read access, so nothing is read or waited on.
void checkFileType(const std::string& path, PathInfo& info) {
    if (info.kind != PathKind::File) return;
    HANDLE h = CreateFileW(wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return; // the open that follows tells why
    DWORD type = GetFileType(h);
    CloseHandle(h);
    if (type == FILE_TYPE_DISK) return;
    info.kind = PathKind::Other;
    info.error = type == FILE_TYPE_PIPE ? "Is a pipe, not a regular file"
                                        : "Is a device, not a regular file";
}

class WinPathInspector : public PathInspector {
  public:
    PathInfo inspect(const std::string& path, bool followLink) override {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &data)) {
            // Wine refuses the attributes of a FIFO, yet opens it for a type query.
            PathInfo info;
            info.error = lastErrorText();
            PathInfo asFile;
            asFile.kind = PathKind::File;
            checkFileType(path, asFile);
            return asFile.kind == PathKind::Other ? asFile : info;
        }
        PathInfo info = fromAttributes(data.dwFileAttributes, followLink);
        checkFileType(path, info);
        return info;
    }

    bool list(const std::string& folder, FolderListing& names, std::string& error) override {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW(wide(join(folder, "*")).c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_NOT_FOUND) return true; // an empty drive root
            error = lastErrorText();
            return false;
        }
        do {
            if (std::wcscmp(data.cFileName, L".") == 0 || std::wcscmp(data.cFileName, L"..") == 0)
                continue;
            std::string name = utf8(data.cFileName);
            // Every entry is looked at in turn: the attributes cannot tell a pipe or a
            // device (a FIFO on a Wine drive reads as a plain file here).
            names.add(name.data(), name.size(), false);
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return true;
    }

    std::string join(const std::string& folder, const std::string& name) override {
        if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/' ||
                                (folder.size() == 2 && folder[1] == ':')))
            return folder + name;
        // Keep to the separator the user wrote.
        bool slashes =
            folder.find('/') != std::string::npos && folder.find('\\') == std::string::npos;
        return folder + (slashes ? "/" : "\\") + name;
    }
};

} // namespace

PathInspector& platformPathInspector() {
    static WinPathInspector inspector;
    return inspector;
}

} // namespace tavro

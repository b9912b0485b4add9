#include "common/file_system.h"

#include <windows.h>

#include <vector>

#include "common/win/wide_text.h"

namespace tavro {

std::string systemErrorText(uint32_t code);

namespace {

FileError lastError() {
    FileError e;
    e.code = GetLastError();
    e.systemText = systemErrorText(e.code);
    return e;
}

bool identity(const std::string& path, BY_HANDLE_FILE_INFORMATION* info);

// Opens an existing file and reads its size and time (one call for both); on failure
// the error is the system's and no handle stays open.
HANDLE openExisting(const std::string& path, DWORD access, DWORD share, DWORD flags,
                    FileStamp* stamp, FileError* error);

bool stampOfHandle(HANDLE h, FileStamp* out) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info)) return false;
    out->size = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    out->modified =
        (uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
    return true;
}

class WinFile : public InputFile {
  public:
    WinFile(HANDLE h, const FileStamp& opened) : handle_(h), size_(opened.size), opened_(opened) {}
    ~WinFile() override { CloseHandle(handle_); }
    WinFile(const WinFile&) = delete;
    WinFile& operator=(const WinFile&) = delete;

    bool read(void* buffer, size_t want, size_t* got, FileError* error) override {
        size_t total = 0;
        auto* out = static_cast<unsigned char*>(buffer);
        while (total < want) {
            DWORD chunk = static_cast<DWORD>(want - total > 0x10000000 ? 0x10000000 : want - total);
            DWORD n = 0;
            if (!ReadFile(handle_, out + total, chunk, &n, nullptr)) {
                if (error) *error = lastError();
                *got = total;
                return false;
            }
            if (n == 0) break;
            total += n;
        }
        *got = total;
        return true;
    }
    uint64_t size() const override { return size_; }
    bool seek(uint64_t offset, FileError* error) override {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(offset);
        if (offset <= static_cast<uint64_t>(INT64_MAX) &&
            SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN))
            return true;
        if (error) *error = lastError();
        return false;
    }
    bool openedStamp(FileStamp* out) const override {
        *out = opened_;
        return true;
    }
    bool currentStamp(FileStamp* out, FileError* error) override {
        if (stampOfHandle(handle_, out)) return true;
        if (error) *error = lastError();
        return false;
    }

  private:
    HANDLE handle_;
    uint64_t size_;
    FileStamp opened_;
};

class WinUpdateFile : public UpdateFile {
  public:
    WinUpdateFile(HANDLE h, uint64_t size) : handle_(h), size_(size) {}
    ~WinUpdateFile() override { CloseHandle(handle_); }
    WinUpdateFile(const WinUpdateFile&) = delete;
    WinUpdateFile& operator=(const WinUpdateFile&) = delete;

    uint64_t size() const override { return size_; }
    bool readAt(uint64_t offset, void* buffer, size_t want, size_t* got,
                FileError* error) override {
        *got = 0;
        if (!seek(offset, error)) return false;
        DWORD n = 0;
        if (!ReadFile(handle_, buffer, static_cast<DWORD>(want), &n, nullptr)) {
            if (error) *error = lastError();
            *got = n;
            return false;
        }
        *got = n;
        return true;
    }
    bool writeAt(uint64_t offset, const void* data, size_t count, size_t* written,
                 FileError* error) override {
        *written = 0;
        if (!seek(offset, error)) return false;
        DWORD n = 0;
        BOOL ok = WriteFile(handle_, data, static_cast<DWORD>(count), &n, nullptr);
        // Taken at once: a later call may overwrite it, and a short write without an
        // error code would otherwise read "The operation completed successfully."
        DWORD code = GetLastError();
        *written = n;
        if (offset + n > size_) size_ = offset + n;
        if (ok && n == count) return true;
        if (error) {
            if (ok || code == 0) code = ERROR_DISK_FULL;
            error->code = code;
            error->systemText = systemErrorText(code);
        }
        return false;
    }
    bool flush(FileError* error) override {
        if (FlushFileBuffers(handle_)) return true;
        if (error) *error = lastError();
        return false;
    }

  private:
    bool seek(uint64_t offset, FileError* error) {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(offset);
        if (SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN)) return true;
        if (error) *error = lastError();
        return false;
    }
    HANDLE handle_;
    uint64_t size_;
};

class WinFileSystem : public FileSystem {
  public:
    std::unique_ptr<InputFile> openRead(const std::string& path, FileError* error) override {
        // Writers are let in: a recording or a download in progress is read while it
        // grows, and the stamps tell that it changed.
        FileStamp opened;
        HANDLE h = openExisting(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                FILE_ATTRIBUTE_NORMAL, &opened, error);
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<WinFile>(h, opened);
    }
    bool exists(const std::string& path) override {
        WIN32_FIND_DATAW data;
        HANDLE h = FindFirstFileW(widePath(path).c_str(), &data);
        if (h == INVALID_HANDLE_VALUE) return false;
        FindClose(h);
        return true;
    }
    std::unique_ptr<UpdateFile> openUpdate(const std::string& path, FileError* error) override {
        // The read-only mark is honoured even where the system would not enforce it.
        const DWORD attributes = GetFileAttributesW(widePath(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
            if (error) {
                error->code = ERROR_ACCESS_DENIED;
                error->systemText = systemErrorText(ERROR_ACCESS_DENIED);
            }
            return nullptr;
        }
        // Not shared: nobody else reads a half-written head or writes beside us.
        FileStamp opened;
        HANDLE h = openExisting(path, GENERIC_READ | GENERIC_WRITE, 0, FILE_FLAG_RANDOM_ACCESS,
                                &opened, error);
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<WinUpdateFile>(h, opened.size);
    }
    bool stamp(const std::string& path, FileStamp* out, FileError* error) override {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(widePath(path).c_str(), GetFileExInfoStandard, &data)) {
            if (error) *error = lastError();
            return false;
        }
        out->size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        out->modified = (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) |
                        data.ftLastWriteTime.dwLowDateTime;
        return true;
    }
    bool copyFile(const std::string& from, const std::string& to, FileError* error) override {
        if (CopyFileW(widePath(from).c_str(), widePath(to).c_str(), FALSE)) return true;
        if (error) *error = lastError();
        DeleteFileW(widePath(to).c_str());
        return false;
    }
    bool sameFile(const std::string& a, const std::string& b) override {
        BY_HANDLE_FILE_INFORMATION ia, ib;
        return identity(a, &ia) && identity(b, &ib) &&
               ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
               ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
    }
    std::unique_ptr<UpdateFile> create(const std::string& path, FileError* error) override {
        HANDLE h = CreateFileW(widePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (error) *error = lastError();
            return nullptr;
        }
        return std::make_unique<WinUpdateFile>(h, 0);
    }
    bool remove(const std::string& path, FileError* error) override {
        if (DeleteFileW(widePath(path).c_str())) return true;
        if (error) *error = lastError();
        return false;
    }
    bool rename(const std::string& from, const std::string& to, FileError* error) override {
        if (MoveFileExW(widePath(from).c_str(), widePath(to).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        if (error) *error = lastError();
        return false;
    }
    std::string userFolder() override {
        std::vector<wchar_t> buf(32768);
        const DWORD n =
            GetEnvironmentVariableW(L"APPDATA", buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0 || n >= buf.size()) return std::string();
        const std::string folder = utf8FromWide(buf.data(), n) + "\\Tavro";
        const std::wstring wide = widePath(folder);
        if (!CreateDirectoryW(wide.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return std::string();
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return std::string();
        return folder + "\\";
    }
    std::string programFolder() override {
        std::vector<wchar_t> buf(32768);
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        const std::string p = n < buf.size() ? utf8FromWide(buf.data(), n) : std::string();
        size_t slash = p.rfind('\\');
        return slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
    }
};

HANDLE openExisting(const std::string& path, DWORD access, DWORD share, DWORD flags,
                    FileStamp* stamp, FileError* error) {
    HANDLE h =
        CreateFileW(widePath(path).c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (error) *error = lastError();
        return h;
    }
    if (!stampOfHandle(h, stamp)) {
        if (error) *error = lastError();
        CloseHandle(h);
        return INVALID_HANDLE_VALUE;
    }
    return h;
}

bool identity(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
    HANDLE h = CreateFileW(widePath(path).c_str(), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BOOL ok = GetFileInformationByHandle(h, info);
    CloseHandle(h);
    return ok != FALSE;
}

} // namespace

std::string systemErrorText(uint32_t code) {
    // UTF-8 like every other text of the program, whatever the system's language.
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out = n && text ? utf8FromWide(text, n) : std::string();
    if (text) LocalFree(text);
    return out;
}

FileSystem& platformFileSystem() {
    static WinFileSystem fs;
    return fs;
}

} // namespace tavro

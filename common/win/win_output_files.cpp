#include <windows.h>

#include "common/output_files.h"
#include "common/win/wide_text.h"

namespace tavro {

std::string systemErrorText(uint32_t code);

namespace {

FileError errorOf(DWORD code) {
    FileError e;
    e.code = code;
    e.systemText = systemErrorText(code);
    return e;
}

class WinOutputFile : public OutputFile {
  public:
    explicit WinOutputFile(HANDLE h) : handle_(h) {}
    ~WinOutputFile() override { CloseHandle(handle_); }
    WinOutputFile(const WinOutputFile&) = delete;
    WinOutputFile& operator=(const WinOutputFile&) = delete;

    bool append(const void* data, size_t size, FileError* error) override {
        LARGE_INTEGER zero = {}, start = {};
        if (!SetFilePointerEx(handle_, zero, &start, FILE_END)) {
            if (error) *error = errorOf(GetLastError());
            return false;
        }
        if (size > 0x7FFFFFFF) {
            if (error) *error = diskFullError();
            return false;
        }
        DWORD written = 0;
        const BOOL ok = WriteFile(handle_, data, static_cast<DWORD>(size), &written, nullptr);
        const DWORD code = ok ? 0 : GetLastError(); // taken at once: the cut below resets it
        if (ok && written == size) return true;
        if (error) *error = code ? errorOf(code) : diskFullError();
        if (SetFilePointerEx(handle_, start, nullptr, FILE_BEGIN)) SetEndOfFile(handle_);
        return false;
    }

  private:
    HANDLE handle_;
};

std::unique_ptr<OutputFile> openWith(const std::string& path, DWORD disposition, FileError* error) {
    if (path.empty()) {
        if (error) *error = errorOf(ERROR_PATH_NOT_FOUND);
        return nullptr;
    }
    HANDLE h = CreateFileW(widePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (error) *error = errorOf(GetLastError());
        return nullptr;
    }
    return std::make_unique<WinOutputFile>(h);
}

// Volume and file index name one file whatever path spelling reached it.
bool fileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
    HANDLE h = CreateFileW(widePath(path).c_str(), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const BOOL ok = GetFileInformationByHandle(h, info);
    CloseHandle(h);
    return ok != FALSE;
}

class WinOutputFiles : public OutputFiles {
  public:
    std::unique_ptr<OutputFile> openForAppend(const std::string& path, FileError* error) override {
        return openWith(path, OPEN_ALWAYS, error);
    }
    std::unique_ptr<OutputFile> create(const std::string& path, FileError* error) override {
        return openWith(path, CREATE_ALWAYS, error);
    }
    bool remove(const std::string& path) override {
        return DeleteFileW(widePath(path).c_str()) != FALSE;
    }
    bool sameFile(const std::string& a, const std::string& b) override {
        BY_HANDLE_FILE_INFORMATION ia = {}, ib = {};
        if (!fileIdentity(a, &ia) || !fileIdentity(b, &ib)) return false;
        return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
               ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
    }
};

} // namespace

OutputFiles& platformOutputFiles() {
    static WinOutputFiles files;
    return files;
}

FileError nameTooLongError() {
    return errorOf(ERROR_FILENAME_EXCED_RANGE);
}

FileError diskFullError() {
    return errorOf(ERROR_DISK_FULL);
}

} // namespace tavro

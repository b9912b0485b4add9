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

class WinFile : public InputFile {
  public:
    WinFile(HANDLE h, uint64_t size) : handle_(h), size_(size) {}
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

  private:
    HANDLE handle_;
    uint64_t size_;
};

class WinFileSystem : public FileSystem {
  public:
    std::unique_ptr<InputFile> openRead(const std::string& path, FileError* error) override {
        // Wide names: a path in any script, and past MAX_PATH with the long-path prefix.
        HANDLE h = CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (error) *error = lastError();
            return nullptr;
        }
        LARGE_INTEGER size;
        if (!GetFileSizeEx(h, &size)) {
            if (error) *error = lastError();
            CloseHandle(h);
            return nullptr;
        }
        return std::make_unique<WinFile>(h, static_cast<uint64_t>(size.QuadPart));
    }
    bool exists(const std::string& path) override {
        WIN32_FIND_DATAW data;
        HANDLE h = FindFirstFileW(widePath(path).c_str(), &data);
        if (h == INVALID_HANDLE_VALUE) return false;
        FindClose(h);
        return true;
    }
    std::string programFolder() override {
        std::vector<wchar_t> buf(32768);
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        const std::string p = n < buf.size() ? utf8FromWide(buf.data(), n) : std::string();
        size_t slash = p.rfind('\\');
        return slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
    }
};

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

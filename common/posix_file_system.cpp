#include "common/file_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavro {
namespace {

FileError errorFromErrno() {
    FileError e;
    e.code = static_cast<uint32_t>(errno);
    e.systemText = std::strerror(errno);
    return e;
}

class PosixFile : public InputFile {
  public:
    PosixFile(int fd, uint64_t size) : fd_(fd), size_(size) {}
    ~PosixFile() override { ::close(fd_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    bool read(void* buffer, size_t want, size_t* got, FileError* error) override {
        size_t total = 0;
        auto* out = static_cast<unsigned char*>(buffer);
        while (total < want) {
            ssize_t n = ::read(fd_, out + total, want - total);
            if (n < 0) {
                if (errno == EINTR) continue;
                if (error) *error = errorFromErrno();
                *got = total;
                return false;
            }
            if (n == 0) break;
            total += static_cast<size_t>(n);
        }
        *got = total;
        return true;
    }
    uint64_t size() const override { return size_; }

  private:
    int fd_;
    uint64_t size_;
};

class PosixFileSystem : public FileSystem {
  public:
    std::unique_ptr<InputFile> openRead(const std::string& path, FileError* error) override {
        // Only regular files are read: opening a FIFO would wait for a writer, and
        // opening a device may act on it.
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            errno = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
            if (error) *error = errorFromErrno();
            return nullptr;
        }
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            if (error) *error = errorFromErrno();
            return nullptr;
        }
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            errno = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
            if (error) *error = errorFromErrno();
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<PosixFile>(fd, static_cast<uint64_t>(st.st_size));
    }
    bool exists(const std::string& path) override {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0;
    }
    std::string programFolder() override {
        char buf[4096];
        ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
        if (n <= 0) return std::string();
        std::string p(buf, static_cast<size_t>(n));
        size_t slash = p.rfind('/');
        return slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
    }
};

} // namespace

FileSystem& platformFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

} // namespace tavro

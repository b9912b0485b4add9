#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/output_files.h"

namespace tavro {
namespace {

FileError errorOf(int code) {
    FileError e;
    e.code = static_cast<uint32_t>(code);
    e.systemText = std::strerror(code);
    return e;
}

class PosixOutputFile : public OutputFile {
  public:
    explicit PosixOutputFile(int fd) : fd_(fd) {}
    ~PosixOutputFile() override { ::close(fd_); }
    PosixOutputFile(const PosixOutputFile&) = delete;
    PosixOutputFile& operator=(const PosixOutputFile&) = delete;

    bool append(const void* data, size_t size, FileError* error) override {
        const off_t start = ::lseek(fd_, 0, SEEK_END);
        if (start < 0) {
            if (error) *error = errorOf(errno);
            return false;
        }
        ssize_t n;
        do {
            n = ::write(fd_, data, size);
        } while (n < 0 && errno == EINTR);
        const int code = n < 0 ? errno : 0; // taken before anything else can change it
        if (n >= 0 && static_cast<size_t>(n) == size) return true;
        if (error) *error = code ? errorOf(code) : diskFullError();
        if (::ftruncate(fd_, start) == 0) ::lseek(fd_, start, SEEK_SET);
        return false;
    }

  private:
    int fd_;
};

std::unique_ptr<OutputFile> openWith(const std::string& path, int flags, FileError* error) {
    if (path.empty()) {
        if (error) *error = errorOf(ENOENT);
        return nullptr;
    }
    int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (error) *error = errorOf(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        if (error) *error = errorOf(EISDIR);
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixOutputFile>(fd);
}

class PosixOutputFiles : public OutputFiles {
  public:
    std::unique_ptr<OutputFile> openForAppend(const std::string& path, FileError* error) override {
        return openWith(path, O_RDWR | O_CREAT, error);
    }
    std::unique_ptr<OutputFile> create(const std::string& path, FileError* error) override {
        return openWith(path, O_RDWR | O_CREAT | O_TRUNC, error);
    }
    bool remove(const std::string& path) override { return ::unlink(path.c_str()) == 0; }
    bool sameFile(const std::string& a, const std::string& b) override {
        struct stat sa {
        }, sb{};
        if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    }
};

} // namespace

OutputFiles& platformOutputFiles() {
    static PosixOutputFiles files;
    return files;
}

FileError nameTooLongError() {
    return errorOf(ENAMETOOLONG);
}

FileError diskFullError() {
    return errorOf(ENOSPC);
}

} // namespace tavro

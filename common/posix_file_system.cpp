#include "common/file_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace tavro {
namespace {

FileError errorFromErrno() {
    FileError e;
    e.code = static_cast<uint32_t>(errno);
    e.systemText = std::strerror(errno);
    return e;
}

// A new or renamed name is only safe once its folder is flushed too.
bool syncFolderOf(const std::string& path, FileError* error) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        if (error) *error = errorFromErrno();
        if (fd >= 0) ::close(fd);
        return false;
    }
    ::close(fd);
    return true;
}

FileStamp stampOf(const struct stat& st) {
    return {static_cast<uint64_t>(st.st_size),
            static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u +
                static_cast<uint64_t>(st.st_mtim.tv_nsec)};
}

class PosixFile : public InputFile {
  public:
    PosixFile(int fd, const FileStamp& opened) : fd_(fd), size_(opened.size), opened_(opened) {}
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
                pos_ += total;
                return false;
            }
            if (n == 0) break;
            total += static_cast<size_t>(n);
            // At the size the open saw, a further read would only find the end.
            if (pos_ + total >= size_) break;
        }
        *got = total;
        pos_ += total;
        return true;
    }
    uint64_t size() const override { return size_; }
    bool seek(uint64_t offset, FileError* error) override {
        if (offset == pos_) return true;
        if (offset > static_cast<uint64_t>(INT64_MAX) ||
            ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) {
            if (error) *error = errorFromErrno();
            return false;
        }
        pos_ = offset;
        return true;
    }
    bool openedStamp(FileStamp* out) const override {
        *out = opened_;
        return true;
    }
    bool currentStamp(FileStamp* out, FileError* error) override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) {
            if (error) *error = errorFromErrno();
            return false;
        }
        *out = stampOf(st);
        return true;
    }

  private:
    int fd_;
    uint64_t size_;
    uint64_t pos_ = 0; // where the next read starts, so a seek to it costs no call
    FileStamp opened_; // from the open's own fstat
};

class PosixUpdateFile : public UpdateFile {
  public:
    PosixUpdateFile(int fd, uint64_t size) : fd_(fd), size_(size) {}
    ~PosixUpdateFile() override { ::close(fd_); }
    PosixUpdateFile(const PosixUpdateFile&) = delete;
    PosixUpdateFile& operator=(const PosixUpdateFile&) = delete;

    uint64_t size() const override { return size_; }
    bool readAt(uint64_t offset, void* buffer, size_t want, size_t* got,
                FileError* error) override {
        size_t total = 0;
        auto* out = static_cast<unsigned char*>(buffer);
        while (total < want) {
            ssize_t n = ::pread(fd_, out + total, want - total, static_cast<off_t>(offset + total));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
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
    bool writeAt(uint64_t offset, const void* data, size_t count, size_t* written,
                 FileError* error) override {
        size_t total = 0;
        const auto* in = static_cast<const unsigned char*>(data);
        while (total < count) {
            ssize_t n =
                ::pwrite(fd_, in + total, count - total, static_cast<off_t>(offset + total));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                if (n == 0) errno = ENOSPC; // a write that moves nothing would loop forever
                if (error) *error = errorFromErrno();
                *written = total;
                return false;
            }
            total += static_cast<size_t>(n);
        }
        *written = total;
        if (offset + total > size_) size_ = offset + total;
        return true;
    }
    bool flush(FileError* error) override {
        if (::fsync(fd_) == 0) return true;
        if (error) *error = errorFromErrno();
        return false;
    }

  private:
    int fd_;
    uint64_t size_;
};

class PosixFileSystem : public FileSystem {
  public:
    std::unique_ptr<InputFile> openRead(const std::string& path, FileError* error) override {
        // Only regular files are read. Callers look at a path's kind before they open
        // it; the open itself cannot wait on a FIFO (non-blocking) or take a terminal
        // (no controlling tty), and what it opened is checked before any read.
        struct stat st {};
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
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
        return std::make_unique<PosixFile>(fd, stampOf(st));
    }
    bool exists(const std::string& path) override {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0;
    }
    std::unique_ptr<UpdateFile> openUpdate(const std::string& path, FileError* error) override {
        int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            if (error) *error = errorFromErrno();
            return nullptr;
        }
        struct stat st {};
        // A file marked read-only is refused even where the system would let us write
        // (as root): the mark is the user's wish.
        const mode_t anyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !(st.st_mode & anyWrite)) {
            if (!S_ISREG(st.st_mode))
                errno = EINVAL;
            else if (!(st.st_mode & anyWrite))
                errno = EACCES;
            if (error) *error = errorFromErrno();
            ::close(fd);
            return nullptr;
        }
        // Other writers of this file are kept out while its head is rewritten.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (error) *error = errorFromErrno();
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<PosixUpdateFile>(fd, static_cast<uint64_t>(st.st_size));
    }
    bool stamp(const std::string& path, FileStamp* out, FileError* error) override {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            if (error) *error = errorFromErrno();
            return false;
        }
        *out = stampOf(st);
        return true;
    }
    bool copyFile(const std::string& from, const std::string& to, FileError* error) override {
        int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
        if (in < 0) {
            if (error) *error = errorFromErrno();
            return false;
        }
        int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (out < 0) {
            if (error) *error = errorFromErrno();
            ::close(in);
            return false;
        }
        bool ok = true;
        std::vector<char> buffer(1 << 16);
        for (;;) {
            ssize_t n = ::read(in, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            for (ssize_t done = 0; ok && done < n;) {
                ssize_t w = ::write(out, buffer.data() + done, static_cast<size_t>(n - done));
                if (w < 0 && errno == EINTR) continue;
                if (w <= 0) {
                    if (w == 0) errno = ENOSPC;
                    ok = false;
                } else {
                    done += w;
                }
            }
            if (!ok) break;
        }
        if (ok && ::fsync(out) != 0) ok = false;
        if (!ok && error) *error = errorFromErrno();
        ::close(in);
        if (::close(out) != 0 && ok) {
            ok = false;
            if (error) *error = errorFromErrno();
        }
        if (!ok) ::unlink(to.c_str());
        return ok;
    }
    bool sameFile(const std::string& a, const std::string& b) override {
        struct stat sa {
        }, sb{};
        if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    }
    std::unique_ptr<UpdateFile> create(const std::string& path, FileError* error) override {
        int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (error) *error = errorFromErrno();
            return nullptr;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !syncFolderOf(path, error)) {
            if (error && error->code == 0) *error = errorFromErrno();
            ::close(fd);
            ::unlink(path.c_str());
            return nullptr;
        }
        return std::make_unique<PosixUpdateFile>(fd, 0);
    }
    bool remove(const std::string& path, FileError* error) override {
        if (::unlink(path.c_str()) == 0) return true;
        if (error) *error = errorFromErrno();
        return false;
    }
    bool rename(const std::string& from, const std::string& to, FileError* error) override {
        if (::rename(from.c_str(), to.c_str()) != 0) {
            if (error) *error = errorFromErrno();
            return false;
        }
        return syncFolderOf(to, error);
    }
    std::string userFolder() override {
        const char* home = std::getenv("HOME");
        if (!home || !*home) return std::string();
        std::string folder = std::string(home) + "/.tavro";
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::string();
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::string();
        return folder + "/";
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

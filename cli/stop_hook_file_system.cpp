#include "cli/stop_hook_file_system.h"

#include <cstdio>
#include <cstdlib>

namespace tavro {
namespace {

constexpr int kStoppedExit = 86;

class StopHookFileSystem : public FileSystem {
  public:
    StopHookFileSystem(FileSystem& real, long stopAt, long tear)
        : real_(real), stopAt_(stopAt), tear_(tear) {}

    std::unique_ptr<InputFile> openRead(const std::string& p, FileError* e) override {
        return real_.openRead(p, e);
    }
    bool exists(const std::string& p) override { return real_.exists(p); }
    std::string programFolder() override { return real_.programFolder(); }
    std::string userFolder() override { return real_.userFolder(); }
    bool stamp(const std::string& p, FileStamp* out, FileError* e) override {
        return real_.stamp(p, out, e);
    }
    bool sameFile(const std::string& a, const std::string& b) override {
        return real_.sameFile(a, b);
    }
    std::unique_ptr<UpdateFile> openUpdate(const std::string& p, FileError* e) override {
        return wrap(real_.openUpdate(p, e));
    }
    std::unique_ptr<UpdateFile> create(const std::string& p, FileError* e) override {
        step();
        return wrap(real_.create(p, e));
    }
    bool remove(const std::string& p, FileError* e) override {
        step();
        return real_.remove(p, e);
    }
    bool rename(const std::string& a, const std::string& b, FileError* e) override {
        step();
        return real_.rename(a, b, e);
    }
    bool copyFile(const std::string& a, const std::string& b, FileError* e) override {
        step();
        return real_.copyFile(a, b, e);
    }

  private:
    class File : public UpdateFile {
      public:
        File(StopHookFileSystem& fs, std::unique_ptr<UpdateFile> f) : fs_(fs), f_(std::move(f)) {}
        uint64_t size() const override { return f_->size(); }
        bool readAt(uint64_t o, void* b, size_t w, size_t* g, FileError* e) override {
            return f_->readAt(o, b, w, g, e);
        }
        bool writeAt(uint64_t o, const void* d, size_t n, size_t* w, FileError* e) override {
            if (fs_.calls_ == fs_.stopAt_ && fs_.tear_ > 0) {
                size_t landed = 0;
                f_->writeAt(o, d, n < size_t(fs_.tear_) ? n : size_t(fs_.tear_), &landed, e);
                f_->flush(e);
            }
            fs_.step();
            return f_->writeAt(o, d, n, w, e);
        }
        bool flush(FileError* e) override {
            fs_.step();
            return f_->flush(e);
        }

      private:
        StopHookFileSystem& fs_;
        std::unique_ptr<UpdateFile> f_;
    };
    std::unique_ptr<UpdateFile> wrap(std::unique_ptr<UpdateFile> f) {
        if (!f) return f;
        return std::make_unique<File>(*this, std::move(f));
    }
    void step() {
        if (calls_++ != stopAt_) return;
        std::fflush(nullptr);
        std::_Exit(kStoppedExit);
    }

    FileSystem& real_;
    long calls_ = 0, stopAt_, tear_;
};

} // namespace

FileSystem& saveFileSystem() {
    const char* plan = std::getenv("TAVRO_TEST_STOP_SAVE");
    if (!plan || !*plan) return platformFileSystem();
    char* rest = nullptr;
    const long stopAt = std::strtol(plan, &rest, 10);
    const long tear = rest && *rest == ':' ? std::strtol(rest + 1, nullptr, 10) : 0;
    static StopHookFileSystem hooked(platformFileSystem(), stopAt, tear);
    return hooked;
}

} // namespace tavro

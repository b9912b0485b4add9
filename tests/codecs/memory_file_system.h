// An in-memory FileSystem for tests and fuzzing: files by exact path, a fixed
// program folder, and switches for read failures.
#pragma once
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "common/file_system.h"

namespace tavro {

class MemoryFileSystem : public FileSystem {
  public:
    std::map<std::string, std::string> files;
    std::string folder = "C:\\Program Files\\Tavro\\";
    std::string openErrorText = "The system cannot find the file specified.\r\n";
    bool failReads = false;    // read() reports an I/O error
    size_t shortReadBy = 0;    // read() delivers this many bytes fewer
    uint64_t claimedExtra = 0; // size() claims this many bytes more than stored
    std::string lastOpened;

    std::unique_ptr<InputFile> openRead(const std::string& path, FileError* error) override {
        auto it = files.find(path);
        if (it == files.end()) {
            if (error) *error = FileError{2, openErrorText};
            return nullptr;
        }
        lastOpened = path;
        return std::make_unique<File>(*this, it->second);
    }
    bool exists(const std::string& path) override { return files.count(path) != 0; }
    std::string programFolder() override { return folder; }

  private:
    class File : public InputFile {
      public:
        File(const MemoryFileSystem& fs, const std::string& bytes) : fs_(fs), bytes_(bytes) {}
        bool read(void* buffer, size_t want, size_t* got, FileError* error) override {
            if (fs_.failReads) {
                if (error) *error = FileError{23, "Data error (cyclic redundancy check).\r\n"};
                *got = 0;
                return false;
            }
            size_t left = bytes_.size() - at_;
            size_t n = want < left ? want : left;
            n = n > fs_.shortReadBy ? n - fs_.shortReadBy : 0;
            std::memcpy(buffer, bytes_.data() + at_, n);
            at_ += n;
            *got = n;
            return true;
        }
        uint64_t size() const override { return bytes_.size() + fs_.claimedExtra; }

      private:
        const MemoryFileSystem& fs_;
        const std::string& bytes_;
        size_t at_ = 0;
    };
};

} // namespace tavro

// The in-memory file system every test and fuzz harness uses: files by exact path,
// a claimed size per file (to stand for files of gigabytes), a fixed program folder,
// and switches for failing opens and reads. Also a prompter that records.
#pragma once
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/prompter.h"

namespace tavro::test {

struct MemoryFile {
    std::vector<uint8_t> bytes;
    uint64_t claimedSize = UINT64_MAX; // UINT64_MAX: the real size
    bool failRead = false;
    uint64_t modified = 1; // the modification time the stamps report

    MemoryFile() = default;
    MemoryFile(std::vector<uint8_t> b, uint64_t claimed = UINT64_MAX, bool fail = false)
        : bytes(std::move(b)), claimedSize(claimed), failRead(fail) {}
    MemoryFile(const std::string& text) : bytes(text.begin(), text.end()) {}
    MemoryFile(const char* text) : MemoryFile(std::string(text)) {}
};

class MemoryFileSystem : public FileSystem {
  public:
    std::map<std::string, MemoryFile> files;
    std::string folder = "C:\\Program Files\\Tavro\\";
    std::string openErrorText = "The system cannot find the file specified.";
    bool failReads = false;    // every read reports an I/O error
    size_t shortReadBy = 0;    // every read delivers this many bytes fewer
    uint64_t claimedExtra = 0; // every size claims this many bytes more than stored
    std::string lastOpened;
    // Runs after every read: a test changes a file while it is being read.
    std::function<void(MemoryFile&)> afterRead;

    std::unique_ptr<InputFile> openRead(const std::string& path, FileError* error) override {
        auto it = files.find(path);
        if (it == files.end()) {
            if (error) *error = {2, openErrorText};
            return nullptr;
        }
        lastOpened = path;
        return std::make_unique<Reader>(*this, it->second);
    }
    bool exists(const std::string& path) override { return files.count(path) != 0; }
    std::string programFolder() override { return folder; }

  private:
    class Reader : public InputFile {
      public:
        Reader(const MemoryFileSystem& fs, MemoryFile& f)
            : fs_(fs), f_(f), opened_{sizeNow(), f.modified} {}
        bool read(void* buffer, size_t want, size_t* got, FileError* error) override {
            if (f_.failRead || fs_.failReads) {
                *got = 0;
                if (error) *error = {23, "Data error (cyclic redundancy check)."};
                return false;
            }
            size_t n = pos_ < f_.bytes.size() ? std::min(want, f_.bytes.size() - pos_) : 0;
            n = n > fs_.shortReadBy ? n - fs_.shortReadBy : 0;
            if (n) std::memcpy(buffer, f_.bytes.data() + pos_, n);
            pos_ += n;
            *got = n;
            if (fs_.afterRead) fs_.afterRead(f_);
            return true;
        }
        bool seek(uint64_t offset, FileError*) override {
            pos_ = static_cast<size_t>(std::min<uint64_t>(offset, f_.bytes.size()));
            return true;
        }
        // The size as opened: a file that grows later keeps the size the reader saw.
        uint64_t size() const override { return opened_.size; }
        bool openedStamp(FileStamp* out) const override {
            *out = opened_;
            return true;
        }
        bool currentStamp(FileStamp* out, FileError*) override {
            *out = {sizeNow(), f_.modified};
            return true;
        }

      private:
        uint64_t sizeNow() const {
            uint64_t real = f_.claimedSize == UINT64_MAX ? f_.bytes.size() : f_.claimedSize;
            return real + fs_.claimedExtra;
        }
        const MemoryFileSystem& fs_;
        MemoryFile& f_;
        FileStamp opened_;
        size_t pos_ = 0;
    };
};

class RecordingPrompter : public Prompter {
  public:
    struct Question {
        std::string text, caption;
        Buttons buttons;
        Icon icon;
    };
    std::vector<Question> asked;
    Answer answer = Answer::Ok;
    Answer ask(const std::string& text, const std::string& caption, Buttons buttons,
               Icon icon) override {
        asked.push_back({text, caption, buttons, icon});
        return answer;
    }
};

} // namespace tavro::test

// An in-memory file system with a claimed size per file (to stand for files of
// gigabytes), failing opens and reads on demand, and a prompter that records.
#pragma once
#include <cstring>
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
};

class MemoryFileSystem : public FileSystem {
  public:
    std::map<std::string, MemoryFile> files;

    std::unique_ptr<InputFile> openRead(const std::string& path, FileError* error) override {
        auto it = files.find(path);
        if (it == files.end()) {
            if (error) *error = {2, "The system cannot find the file specified."};
            return nullptr;
        }
        return std::make_unique<Reader>(it->second);
    }
    bool exists(const std::string& path) override { return files.count(path) != 0; }
    std::string programFolder() override { return "/"; }

  private:
    class Reader : public InputFile {
      public:
        explicit Reader(const MemoryFile& f) : f_(f) {}
        bool read(void* buffer, size_t want, size_t* got, FileError* error) override {
            if (f_.failRead) {
                *got = 0;
                if (error) *error = {23, "Data error (cyclic redundancy check)."};
                return false;
            }
            size_t n = std::min(want, f_.bytes.size() - pos_);
            if (n) std::memcpy(buffer, f_.bytes.data() + pos_, n);
            pos_ += n;
            *got = n;
            return true;
        }
        uint64_t size() const override {
            return f_.claimedSize == UINT64_MAX ? f_.bytes.size() : f_.claimedSize;
        }

      private:
        const MemoryFile& f_;
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

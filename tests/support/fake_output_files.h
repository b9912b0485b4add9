// Output files kept in memory, whose writes fail once a file would pass `limit`
// bytes (as on a full disk), and which name files the same only when spelled alike.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/output_files.h"

namespace tavro::test {

class ShortWriteFiles : public OutputFiles {
  public:
    std::map<std::string, std::string> files;
    std::vector<std::string> removed;
    size_t limit = SIZE_MAX;

    std::unique_ptr<OutputFile> openForAppend(const std::string& path, FileError*) override {
        return std::make_unique<File>(*this, files[path]);
    }
    std::unique_ptr<OutputFile> create(const std::string& path, FileError*) override {
        files[path].clear();
        return std::make_unique<File>(*this, files[path]);
    }
    bool remove(const std::string& path) override {
        removed.push_back(path);
        return files.erase(path) == 1;
    }
    bool sameFile(const std::string& a, const std::string& b) override { return a == b; }

  private:
    class File : public OutputFile {
      public:
        File(ShortWriteFiles& owner, std::string& bytes) : owner_(owner), bytes_(bytes) {}
        bool append(const void* data, size_t size, FileError* error) override {
            if (bytes_.size() + size > owner_.limit) {
                if (error) *error = {112, "There is not enough space on the disk."};
                return false;
            }
            bytes_.append(static_cast<const char*>(data), size);
            return true;
        }

      private:
        ShortWriteFiles& owner_;
        std::string& bytes_;
    };
};

} // namespace tavro::test

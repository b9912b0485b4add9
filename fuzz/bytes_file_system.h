// A file system of one file: the fuzzer's bytes, with a claimed size of their own.
#pragma once
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "common/file_system.h"

namespace tavro::fuzz {

class BytesFile : public InputFile {
  public:
    BytesFile(const uint8_t* data, size_t size, uint64_t claimed)
        : data_(data), size_(size), claimed_(claimed) {}
    bool read(void* buffer, size_t want, size_t* got, FileError*) override {
        size_t n = size_ - pos_ < want ? size_ - pos_ : want;
        if (n) std::memcpy(buffer, data_ + pos_, n);
        pos_ += n;
        *got = n;
        return true;
    }
    uint64_t size() const override { return claimed_; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    uint64_t claimed_;
};

class BytesFileSystem : public FileSystem {
  public:
    const uint8_t* data = nullptr;
    size_t size = 0;
    uint64_t claimed = 0;
    std::unique_ptr<InputFile> openRead(const std::string&, FileError*) override {
        return std::make_unique<BytesFile>(data, size, claimed);
    }
    bool exists(const std::string&) override { return true; }
    std::string programFolder() override { return "./"; }
};


} // namespace tavro::fuzz

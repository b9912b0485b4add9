// Random access over an opened input file, for readers that must look at the end of
// a file (an index written last, a declared size to check against). Every read is
// counted, so a reader's budget can be checked in tests. Bytes of the head the
// analysis already read come from memory: most files are read from it alone.
#pragma once
#include <cstring>

#include "analysis/streams/random_access.h"
#include "common/file_system.h"

namespace tavro {

class InputFileReader : public RandomAccessReader {
  public:
    explicit InputFileReader(InputFile& file) : file_(file) {}
    // `head` holds the file's first `length` bytes, and lives as long as this reader.
    InputFileReader(InputFile& file, const uint8_t* head, size_t length)
        : file_(file), head_(head), headLength_(length) {}
    uint64_t size() const override { return file_.size(); }
    bool readAt(uint64_t offset, void* buffer, size_t want, size_t* got) override {
        *got = 0;
        bytesRead_ += want;
        ++reads_;
        size_t fromHead = 0;
        if (offset < headLength_) {
            const size_t left = headLength_ - static_cast<size_t>(offset);
            fromHead = want < left ? want : left;
            // An empty request may carry a null buffer, which memcpy must not see.
            if (fromHead) std::memcpy(buffer, head_ + offset, fromHead);
            *got = fromHead;
            if (fromHead == want) return true;
        }
        FileError error;
        if (!file_.seek(offset + fromHead, &error)) return false;
        size_t rest = 0;
        const bool ok =
            file_.read(static_cast<uint8_t*>(buffer) + fromHead, want - fromHead, &rest, &error);
        *got = fromHead + rest;
        return ok;
    }
    uint64_t bytesRead() const { return bytesRead_; }
    uint64_t reads() const { return reads_; }

  private:
    InputFile& file_;
    const uint8_t* head_ = nullptr;
    size_t headLength_ = 0;
    uint64_t bytesRead_ = 0;
    uint64_t reads_ = 0;
};

} // namespace tavro

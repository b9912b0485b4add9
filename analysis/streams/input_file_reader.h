// Random access over an opened input file, for readers that must look at the end of
// a file (an index written last, a declared size to check against). Every read is
// counted, so a reader's budget can be checked in tests.
#pragma once
#include "analysis/streams/random_access.h"
#include "common/file_system.h"

namespace tavro {

class InputFileReader : public RandomAccessReader {
  public:
    explicit InputFileReader(InputFile& file) : file_(file) {}
    uint64_t size() const override { return file_.size(); }
    bool readAt(uint64_t offset, void* buffer, size_t want, size_t* got) override {
        *got = 0;
        FileError error;
        if (!file_.seek(offset, &error)) return false;
        bytesRead_ += want;
        ++reads_;
        return file_.read(buffer, want, got, &error);
    }
    uint64_t bytesRead() const { return bytesRead_; }
    uint64_t reads() const { return reads_; }

  private:
    InputFile& file_;
    uint64_t bytesRead_ = 0;
    uint64_t reads_ = 0;
};

} // namespace tavro

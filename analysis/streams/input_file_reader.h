// Random access over an opened input file, for readers that must look at the end of
// a file (an index written last, a declared size to check against). Every read is
// counted, so a reader's budget can be checked in tests. Bytes of the head the
// analysis already read come from memory: most files are read from it alone.
#pragma once
#include <algorithm>
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
        const size_t fromHead = headPart(offset, want);
        // An empty request may carry a null buffer, which memcpy must not see.
        if (fromHead) std::memcpy(buffer, head_ + offset, fromHead);
        return readRest(offset, static_cast<uint8_t*>(buffer), fromHead, want, got);
    }
    bool readInto(uint64_t offset, size_t want, ByteBuffer& out) override {
        // The head's part is copied in and the rest read over whatever `out` held. Room
        // is made only up to the file's end (a reader asks for a megabyte of a file of
        // a few kilobytes).
        const uint64_t size = file_.size();
        const size_t asked = want;
        if (offset >= size)
            want = 0;
        else if (want > size - offset)
            want = static_cast<size_t>(size - offset);
        bytesRead_ += asked - want; // counted as asked, as readAt counts a request
        const size_t fromHead = headPart(offset, want);
        if (fromHead) {
            out.reserve(want);
            out.assign(head_ + offset, head_ + offset + fromHead);
        }
        out.resize(want);
        size_t got = 0;
        const bool ok = readRest(offset, out.data(), fromHead, want, &got);
        out.resize(std::min(got, want));
        return ok;
    }
    // A window wholly in the head (most readers' first) is shown there, not copied.
    bool view(uint64_t offset, size_t want, ByteBuffer& scratch, ByteView& out) override {
        if (want == 0 || headPart(offset, want) != want)
            return RandomAccessReader::view(offset, want, scratch, out);
        bytesRead_ += want;
        ++reads_;
        out = ByteView(head_ + offset, want);
        return true;
    }
    uint64_t bytesRead() const { return bytesRead_; }
    uint64_t reads() const { return reads_; }

  private:
    // How many of the `want` bytes at `offset` the head holds.
    size_t headPart(uint64_t offset, size_t want) const {
        if (offset >= headLength_) return 0;
        return std::min(want, headLength_ - static_cast<size_t>(offset));
    }
    // Counts the read, and reads from the file what the head did not hold.
    bool readRest(uint64_t offset, uint8_t* buffer, size_t fromHead, size_t want, size_t* got) {
        bytesRead_ += want;
        ++reads_;
        *got = fromHead;
        if (fromHead == want && offset < headLength_) return true;
        FileError error;
        if (!file_.seek(offset + fromHead, &error)) return false;
        size_t rest = 0;
        const bool ok = file_.read(buffer + fromHead, want - fromHead, &rest, &error);
        *got = fromHead + rest;
        return ok;
    }
    InputFile& file_;
    const uint8_t* head_ = nullptr;
    size_t headLength_ = 0;
    uint64_t bytesRead_ = 0;
    uint64_t reads_ = 0;
};

} // namespace tavro

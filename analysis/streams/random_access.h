// Random access to a file's bytes, as the box reader needs it: the index may sit at
// the end, so the reader asks for bytes at an offset rather than streaming them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "analysis/byte_view.h"

namespace tavro {

// Grows a vector without clearing the new room: bytes read from a file are written
// over it at once, and clearing megabytes first cost as much again as reading them.
template <typename T> struct UnclearedAllocator : std::allocator<T> {
    template <typename U> struct rebind { using other = UnclearedAllocator<U>; };
    UnclearedAllocator() = default;
    template <typename U> UnclearedAllocator(const UnclearedAllocator<U>&) noexcept {}
    template <typename U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <typename U, typename... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

// A window of a file's bytes as the readers hold it.
using ByteBuffer = std::vector<uint8_t, UnclearedAllocator<uint8_t>>;

// Extends `window`, the file's bytes from `start`, back to `from`: `read(offset,
// want, out)` is asked only for the bytes before it. Should those come up short,
// `window` holds what arrived from `from`. False when `read` fails.
template <typename Read>
bool extendWindowBack(uint64_t from, uint64_t start, ByteBuffer& window, Read&& read) {
    if (window.empty()) return read(from, start - from, window);
    ByteBuffer before;
    if (!read(from, start - from, before)) return false;
    if (before.size() == start - from) before.insert(before.end(), window.begin(), window.end());
    window.swap(before);
    return true;
}

class RandomAccessReader {
  public:
    virtual ~RandomAccessReader() = default;
    // The file's length as claimed by whoever opened it; reads may still come up short.
    virtual uint64_t size() const = 0;
    // Reads up to `want` bytes at `offset`; `got` says how many arrived. False on an
    // I/O error (a short read at the end is not one).
    virtual bool readAt(uint64_t offset, void* buffer, size_t want, size_t* got) = 0;
    // readAt into `out`, sized to what arrived (also after an I/O error). A reader
    // holding bytes in memory copies them without clearing the room first.
    virtual bool readInto(uint64_t offset, size_t want, ByteBuffer& out) {
        out.resize(want);
        size_t got = 0;
        const bool ok = readAt(offset, out.data(), want, &got);
        out.resize(got < want ? got : want);
        return ok;
    }
    // readInto, for bytes only looked at: `out` shows them where the reader holds
    // them all in memory, else the bytes read into `scratch`. It stays valid while
    // both the reader and `scratch` do.
    virtual bool view(uint64_t offset, size_t want, ByteBuffer& scratch, ByteView& out) {
        const bool ok = readInto(offset, want, scratch);
        out = ByteView(scratch.data(), scratch.size());
        return ok;
    }
};

// A reader over bytes already in memory; `claimed` lets a caller (or a fuzzer) state
// a length that differs from the bytes held.
class BufferReader : public RandomAccessReader {
  public:
    BufferReader(const uint8_t* data, size_t size) : BufferReader(data, size, size) {}
    BufferReader(const uint8_t* data, size_t size, uint64_t claimed)
        : data_(data), size_(size), claimed_(claimed) {}
    uint64_t size() const override { return claimed_; }
    bool readAt(uint64_t offset, void* buffer, size_t want, size_t* got) override {
        size_t n = 0;
        if (offset < size_) {
            const uint64_t left = size_ - offset;
            n = want < left ? want : static_cast<size_t>(left);
            if (n) std::memcpy(buffer, data_ + offset, n);
        }
        *got = n;
        return true;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    uint64_t claimed_;
};

} // namespace tavro

// Reads by offset within a byte budget, for readers that must stay bounded whatever
// sizes a file claims: a read the budget cannot pay for fails, and an I/O error is
// remembered for the status.
#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

#include "analysis/streams/random_access.h"

namespace tavro {

class BudgetSource {
  public:
    BudgetSource(RandomAccessReader& reader, uint64_t budget) : reader_(reader), budget_(budget) {}
    // Fills `out` with up to `want` bytes; false on an I/O error or an empty budget.
    bool read(uint64_t offset, size_t want, ByteBuffer& out) {
        out.clear();
        if (want > budget_ - used_) return false;
        if (!reader_.readInto(offset, want, out)) {
            ioError_ = true;
            out.clear();
            return false;
        }
        used_ += out.size();
        return true;
    }
    uint64_t used() const { return used_; }
    bool ioError() const { return ioError_; }

  private:
    RandomAccessReader& reader_;
    uint64_t budget_;
    uint64_t used_ = 0;
    bool ioError_ = false;
};

} // namespace tavro

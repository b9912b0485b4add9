// The waveform history the in-place DSP host keeps for its visualisation client:
// two rings of signed 8-bit values (left, right) filled from 16-bit input, read in
// blocks of 576, and for 8-bit input one second of {index, value} per channel.
// Portable: no Windows headers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "filters/dsp/pcm_format.h"

namespace dsp {

struct TableEntry {
    int32_t index;
    int32_t value;
};

class VisBuffers {
  public:
    static constexpr size_t kRingBytes = 46080;
    static constexpr size_t kBlock = 576;
    // The write position starts this far ahead of the first block read.
    static constexpr size_t kFirstWrite = 31104;

    // Fresh history for a new input format: rings cleared, positions back at the
    // start, the 8-bit tables rebuilt for one second of this rate.
    void reset(const PcmFormat& format);

    // Takes one sample's bytes into the history, then moves the block start on.
    void copy(const uint8_t* data, size_t length);

    // The block the client is handed next (kBlock values each).
    const int8_t* leftBlock() const { return left_ + blockStart_; }
    const int8_t* rightBlock() const { return right_ + blockStart_; }

    size_t writePosition() const { return writePos_; }
    size_t blockStart() const { return blockStart_; }
    const std::vector<TableEntry>& leftTable() const { return leftTable_; }
    const std::vector<TableEntry>& rightTable() const { return rightTable_; }
    size_t tablePosition() const { return tablePos_; }

  private:
    void copy8(const uint8_t* data, size_t length);
    void copy16(const uint8_t* data, size_t length);

    PcmFormat format_;
    int8_t left_[kRingBytes] = {};
    int8_t right_[kRingBytes] = {};
    size_t writePos_ = kFirstWrite;
    size_t blockStart_ = 0;
    std::vector<TableEntry> leftTable_;
    std::vector<TableEntry> rightTable_;
    size_t tablePos_ = 0;
};

} // namespace dsp

#include "filters/dsp/vis_buffers.h"

#include <cstring>

namespace dsp {

void VisBuffers::reset(const PcmFormat& format) {
    format_ = format;
    std::memset(left_, 0, sizeof left_);
    std::memset(right_, 0, sizeof right_);
    writePos_ = kFirstWrite;
    blockStart_ = 0;
    tablePos_ = 0;
    leftTable_.clear();
    rightTable_.clear();
    if (format.bitsPerSample != 8 || format.samplesPerSec == 0) return;
    leftTable_.resize(format.samplesPerSec);
    for (size_t i = 0; i < leftTable_.size(); ++i)
        leftTable_[i] = {static_cast<int32_t>(i), 0};
    if (format.channels >= 2) rightTable_ = leftTable_;
}

void VisBuffers::copy(const uint8_t* data, size_t length) {
    if (!data || format_.frameBytes() == 0) return;
    if (format_.bitsPerSample == 8)
        copy8(data, length);
    else if (format_.bitsPerSample == 16)
        copy16(data, length);
    blockStart_ += kBlock;
    if (blockStart_ >= kRingBytes) blockStart_ = 0;
}

void VisBuffers::copy8(const uint8_t* data, size_t length) {
    if (leftTable_.empty()) return;
    // One entry per frame; further channels beyond the second are not shown.
    size_t frame = format_.frameBytes();
    size_t frames = length / frame;
    bool stereo = !rightTable_.empty();
    for (size_t i = 0; i < frames; ++i) {
        const uint8_t* at = data + i * frame;
        leftTable_[tablePos_].value = static_cast<int32_t>(at[0]) - 127;
        if (stereo) rightTable_[tablePos_].value = static_cast<int32_t>(at[1]) - 127;
        if (++tablePos_ >= leftTable_.size()) tablePos_ = 0;
    }
}

void VisBuffers::copy16(const uint8_t* data, size_t length) {
    // At most one block per sample, and never more frames than the sample holds;
    // a mono frame feeds both rings.
    size_t frame = format_.frameBytes();
    size_t frames = length / frame;
    if (frames > kBlock) frames = kBlock;
    bool stereo = format_.channels >= 2;
    for (size_t i = 0; i < frames; ++i) {
        const uint8_t* at = data + i * frame;
        int16_t l = static_cast<int16_t>(at[0] | (at[1] << 8));
        int16_t r = stereo ? static_cast<int16_t>(at[2] | (at[3] << 8)) : l;
        // Division truncates toward zero, as the client expects.
        left_[writePos_] = static_cast<int8_t>(l / 256);
        right_[writePos_] = static_cast<int8_t>(r / 256);
        if (++writePos_ >= kRingBytes) writePos_ = 0;
    }
}

} // namespace dsp

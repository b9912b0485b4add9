#include "filters/video/yuv_tables.h"

namespace nerrorend {
namespace {

void fill(uint16_t* table, double k) {
    for (int i = 0; i < 256; ++i)
        table[i] = uint16_t(i * k);
}

} // namespace

YuvTables::YuvTables() {
    fill(yR_, 0.257);
    fill(yG_, 0.504);
    fill(yB_, 0.098);
    fill(cbR_, 0.148);
    fill(cbG_, 0.291);
    fill(cbB_, 0.439);
    fill(crG_, 0.368);
    fill(crB_, 0.071);
}

// The coefficients keep every result inside 16..239, so no clamping is needed;
// the casts keep the low 8 bits all the same.
uint8_t YuvTables::y(uint32_t p) const {
    return uint8_t(yR_[(p >> 16) & 0xff] + yG_[(p >> 8) & 0xff] + yB_[p & 0xff] + 16);
}
uint8_t YuvTables::cb(uint32_t p) const {
    return uint8_t(cbB_[p & 0xff] - cbG_[(p >> 8) & 0xff] - cbR_[(p >> 16) & 0xff] + 128);
}
uint8_t YuvTables::cr(uint32_t p) const {
    return uint8_t(cbB_[(p >> 16) & 0xff] - crG_[(p >> 8) & 0xff] - crB_[p & 0xff] + 128);
}

} // namespace nerrorend

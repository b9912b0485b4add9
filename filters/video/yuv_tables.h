// RGB to YCbCr conversion through lookup tables, as the caption blend uses it.
#pragma once
#include <cstdint>

namespace nerrorend {

// Studio-range BT.601 coefficients, each table entry i = trunc(i x k).
class YuvTables {
  public:
    YuvTables();
    // pixel is a 32-bit DIB value 0xAARRGGBB.
    uint8_t y(uint32_t pixel) const;
    uint8_t cb(uint32_t pixel) const;
    uint8_t cr(uint32_t pixel) const;

  private:
    uint16_t yR_[256], yG_[256], yB_[256];
    uint16_t cbR_[256], cbG_[256], cbB_[256]; // cbB_ doubles as Cr from R
    uint16_t crG_[256], crB_[256];
};

} // namespace nerrorend

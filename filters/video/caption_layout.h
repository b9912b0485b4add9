// Where the captions go in the caption bitmap: the title near the top, the OSD
// text near the bottom of the picture or in the band below it.
#pragma once

namespace nerrorend {

// Right and bottom are exclusive, as in GDI.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool empty() const { return right <= left || bottom <= top; }
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

Rect intersect(const Rect& a, const Rect& b);
Rect inflate(const Rect& r, int by);

struct CaptionLayout {
    Rect text;   // where the drawers centre the lines
    int fillTop; // rows [fillTop, fillBottom) are cleared before drawing (already clipped)
    int fillBottom;
    Rect kept; // the rectangle the blend covers, clipped to the bitmap
};

// The title: text 20 rows from the top, centred; rows from 18 to 4 below the text cleared.
CaptionLayout layoutTitle(int textWidth, int textHeight, int dibWidth, int dibRows);

// The OSD: measured size grows by 38 to the right and 8 at the bottom; it sits
// 10 rows above the bottom of the bitmap (y == -1) or y rows higher still, and never
// ends closer than 2 rows to the bottom. Rows from 3 above to 3 below are cleared.
CaptionLayout layoutOsd(int measuredWidth, int measuredHeight, int y, int dibWidth, int dibRows);

// Pixel offsets of the black outline pass, in drawing order.
constexpr int kOutlineOffsetCount = 20;
extern const int kOutlineOffsets[kOutlineOffsetCount][2];

// Clears the band for three frames after the OSD text goes away.
class BandClearCountdown {
  public:
    void start() { count_ = 2; }
    void stop() { count_ = -1; }
    // Called once a frame; true when this frame clears the band.
    bool frame() {
        if (count_ < 0) return false;
        --count_;
        return true;
    }
    bool running() const { return count_ >= 0; }

  private:
    int count_ = -1;
};

} // namespace nerrorend

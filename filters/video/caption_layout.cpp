#include "filters/video/caption_layout.h"

#include <algorithm>

namespace nerrorend {

const int kOutlineOffsets[kOutlineOffsetCount][2] = {
    {-2, 0}, {-2, -1}, {-1, -2}, {-2, 1}, {-1, 0}, {-1, -1}, {-1, 2}, {-1, 1}, {0, -1}, {0, -2},
    {0, 2},  {0, 1},   {1, -1},  {1, -2}, {1, 1},  {1, 0},   {2, -1}, {1, 2},  {2, 1},  {2, 0},
};

Rect intersect(const Rect& a, const Rect& b) {
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.empty()) return Rect();
    return r;
}

Rect inflate(const Rect& r, int by) {
    return Rect{r.left - by, r.top - by, r.right + by, r.bottom + by};
}

namespace {

CaptionLayout finish(const Rect& text, int fillTop, int fillBottom, int dibWidth, int dibRows) {
    CaptionLayout out;
    out.text = text;
    out.fillTop = std::clamp(fillTop, 0, std::max(dibRows, 0));
    out.fillBottom = std::clamp(fillBottom, out.fillTop, std::max(dibRows, 0));
    out.kept = intersect(inflate(text, 2), Rect{0, 0, dibWidth, dibRows});
    return out;
}

} // namespace

CaptionLayout layoutTitle(int textWidth, int textHeight, int dibWidth, int dibRows) {
    Rect text;
    text.top = 20;
    text.bottom = text.top + textHeight;
    text.left = (dibWidth - textWidth) / 2;
    text.right = text.left + textWidth;
    return finish(text, 18, text.bottom + 4, dibWidth, dibRows);
}

CaptionLayout layoutOsd(int measuredWidth, int measuredHeight, int y, int dibWidth, int dibRows) {
    const int width = measuredWidth + 38;
    // The text height is the grown one: the cleared rows then cover the shadow too.
    const int height = measuredHeight + 8;
    Rect text;
    text.top = dibRows - (y == -1 ? 0 : y) - height - 10;
    text.bottom = text.top + height;
    if (text.bottom > dibRows) {
        text.bottom = dibRows - 2;
        text.top = text.bottom - height;
    }
    text.left = (dibWidth - width) / 2;
    text.right = text.left + width;
    return finish(text, text.top - 3, text.top - 3 + height + 6, dibWidth, dibRows);
}

} // namespace nerrorend

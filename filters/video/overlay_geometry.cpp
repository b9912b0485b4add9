#include "filters/video/overlay_geometry.h"

#include <cstdint>

namespace nerrorend {

Rect overlaySourceFor(const Rect& destination, int displayWidth, int displayHeight, int sourceWidth,
                      int sourceRows) {
    if (destination.empty() || sourceWidth <= 0 || sourceRows <= 0) return Rect();
    const Rect shown = intersect(destination, Rect{0, 0, displayWidth, displayHeight});
    if (shown.empty()) return Rect();
    const int64_t dw = destination.width(), dh = destination.height();
    Rect source;
    source.left = int((shown.left - destination.left) * int64_t(sourceWidth) / dw);
    source.right = sourceWidth - int((destination.right - shown.right) * int64_t(sourceWidth) / dw);
    source.top = int((shown.top - destination.top) * int64_t(sourceRows) / dh);
    source.bottom =
        sourceRows - int((destination.bottom - shown.bottom) * int64_t(sourceRows) / dh);
    return source.empty() ? Rect() : source;
}

} // namespace nerrorend

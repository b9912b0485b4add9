// Overlay rectangles: the part of the picture that shows when the client's
// destination rectangle runs off the screen.
#pragma once
#include "filters/video/caption_layout.h"

namespace nerrorend {

// Clips `destination` to the display (0,0)-(displayWidth, displayHeight) and cuts
// the source (0,0)-(sourceWidth, sourceRows) in proportion. Empty when nothing
// of the destination is on screen.
Rect overlaySourceFor(const Rect& destination, int displayWidth, int displayHeight, int sourceWidth,
                      int sourceRows);

} // namespace nerrorend

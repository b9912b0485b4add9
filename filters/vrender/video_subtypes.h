// Media subtype GUIDs of the formats the renderer knows.
#pragma once
#include <objbase.h>

#include "filters/video/format_code.h"

namespace nerrorend {

VideoSubtype subtypeOfGuid(const GUID& subtype);
// GUID_NULL for Unknown.
GUID guidOf(VideoSubtype subtype);

} // namespace nerrorend

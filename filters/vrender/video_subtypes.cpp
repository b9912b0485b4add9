#include "filters/vrender/video_subtypes.h"

#include <strmif.h>
#include <uuids.h>

namespace nerrorend {

namespace {

struct Entry {
    VideoSubtype subtype;
    const GUID* guid;
};

const Entry kSubtypes[] = {
    {VideoSubtype::Yuy2, &MEDIASUBTYPE_YUY2},     {VideoSubtype::Uyvy, &MEDIASUBTYPE_UYVY},
    {VideoSubtype::Yv12, &MEDIASUBTYPE_YV12},     {VideoSubtype::If09, &MEDIASUBTYPE_IF09},
    {VideoSubtype::Rgb32, &MEDIASUBTYPE_RGB32},   {VideoSubtype::Argb32, &MEDIASUBTYPE_ARGB32},
    {VideoSubtype::Rgb24, &MEDIASUBTYPE_RGB24},   {VideoSubtype::Rgb555, &MEDIASUBTYPE_RGB555},
    {VideoSubtype::Rgb565, &MEDIASUBTYPE_RGB565},
};

} // namespace

VideoSubtype subtypeOfGuid(const GUID& subtype) {
    for (const Entry& e : kSubtypes)
        if (IsEqualGUID(*e.guid, subtype)) return e.subtype;
    return VideoSubtype::Unknown;
}

GUID guidOf(VideoSubtype subtype) {
    for (const Entry& e : kSubtypes)
        if (e.subtype == subtype) return *e.guid;
    return GUID_NULL;
}

} // namespace nerrorend

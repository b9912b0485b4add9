// Where an installed-codec record came from; the "Type" column of the lists.
#pragma once
#include <cstdint>

namespace tavro {

enum CodecSource : int32_t {
    kSourceNone = 0, // ends a table
    kSourceAcm = 1,
    kSourceVfw = 2, // a DirectShow entry backed by a VfW driver
    kSourceDirectShow = 3,
    kSourceDmo = 4,
    kSourceText = 5,
};

inline const char* codecSourceText(int32_t source) {
    switch (source) {
    case kSourceAcm:
        return "ACM";
    case kSourceVfw:
        return "VFW";
    case kSourceDirectShow:
        return "DSH";
    case kSourceDmo:
        return "DMO";
    case kSourceText:
        return "txt";
    default:
        return "unknown";
    }
}

} // namespace tavro

#include "analysis/modern/modern_file.h"

#include "analysis/isobmff/iso_reader.h"
#include "analysis/isobmff/iso_streams.h"

namespace tavro {
namespace {

bool isIsoMedia(ContainerKind kind) {
    switch (kind) {
    case ContainerKind::QuickTime:
    case ContainerKind::Mpeg4:
    case ContainerKind::Mpeg4Audio:
    case ContainerKind::Mpeg4Video:
    case ContainerKind::ThreeGpp:
    case ContainerKind::ThreeGpp2:
    case ContainerKind::FlashMp4:
    case ContainerKind::IsoMedia:
        return true;
    default:
        return false;
    }
}

} // namespace

bool readsModern(ContainerKind kind) {
    return isIsoMedia(kind);
}

MediaStreams readModernFile(ContainerKind kind, RandomAccessReader& reader) {
    if (isIsoMedia(kind)) {
        MediaStreams m = describeIsoFile(readIsoFile(reader));
        // Old QuickTime files carry no brand to name them by.
        if (kind == ContainerKind::QuickTime && m.brand.empty()) m.container = "QuickTime";
        return m;
    }
    return MediaStreams();
}

} // namespace tavro

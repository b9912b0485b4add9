#include "analysis/modern/modern_file.h"

#include "analysis/asf/asf_reader.h"
#include "analysis/elementary/elementary_reader.h"
#include "analysis/flac/flac_reader.h"
#include "analysis/flv/flv_reader.h"
#include "analysis/flv/flv_streams.h"
#include "analysis/isobmff/iso_reader.h"
#include "analysis/isobmff/iso_streams.h"
#include "analysis/matroska/mkv_reader.h"
#include "analysis/matroska/mkv_streams.h"
#include "analysis/mpegts/ts_reader.h"
#include "analysis/mpegts/ts_streams.h"

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
    switch (kind) {
    case ContainerKind::Flac:
    case ContainerKind::Asf:
    case ContainerKind::Matroska:
    case ContainerKind::WebM:
    case ContainerKind::TransportStream:
    case ContainerKind::FlashVideo:
        return true;
    default:
        return isIsoMedia(kind);
    }
}

MediaStreams readModernFile(ContainerKind kind, RandomAccessReader& reader) {
    if (isIsoMedia(kind)) {
        MediaStreams m = describeIsoFile(readIsoFile(reader));
        // Old QuickTime files carry no brand to name them by.
        if (kind == ContainerKind::QuickTime && m.brand.empty()) m.container = "QuickTime";
        return m;
    }
    if (kind == ContainerKind::Flac) return describeFlac(readFlacFile(reader));
    if (kind == ContainerKind::Asf) return describeAsf(readAsfFile(reader));
    if (kind == ContainerKind::Matroska || kind == ContainerKind::WebM)
        return describeMatroska(readMatroskaFile(reader));
    if (kind == ContainerKind::TransportStream)
        return describeTransportStream(readTransportStream(reader));
    if (kind == ContainerKind::FlashVideo) return describeFlv(readFlvFile(reader));
    return MediaStreams();
}

MediaStreams readRawStream(RandomAccessReader& reader) {
    MediaStreams m = describeElementary(readElementaryStream(reader));
    // Only a stream the reader recognised speaks for a file nothing else named.
    if (m.streams.empty()) m.present = false;
    return m;
}

} // namespace tavro

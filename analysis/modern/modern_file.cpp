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
#include "analysis/modern/modern_fields.h"
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

// A reader's usual limits, with the map's sink (null: no map, nothing computed for it).
template <typename Limits> Limits mapping(SpanSink* spans) {
    Limits limits;
    limits.spans = spans;
    return limits;
}

// Names the map's streams as the report lists them. `streamOf(facts, n)` is the map
// stream the n-th listed stream's spans were fed as; negative for none.
template <typename StreamOf>
void nameStreams(SpanSink* spans, const MediaStreams& m, StreamOf streamOf) {
    if (!spans) return;
    for (size_t n = 0; n < m.streams.size(); ++n) {
        const int stream = streamOf(m.streams[n], n);
        if (stream >= 0) spans->nameStream(stream, streamNameText(m.streams[n]));
    }
}

// Readers that list every stream they read, in the order they fed them.
int inOrder(const StreamFacts&, size_t n) {
    return static_cast<int>(n);
}

// The FLV reader feeds its video tags as stream 0, its audio tags as 1.
int flvStream(const StreamFacts& s, size_t) {
    return s.kind == StreamKind::video ? 0 : s.kind == StreamKind::audio ? 1 : -1;
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

MediaStreams readModernFile(ContainerKind kind, RandomAccessReader& reader, SpanSink* spans) {
    MediaStreams m;
    if (isIsoMedia(kind)) {
        m = describeIsoFile(readIsoFile(reader, mapping<IsoLimits>(spans)));
        // Old QuickTime files carry no brand to name them by.
        if (kind == ContainerKind::QuickTime && m.brand.empty()) m.container = "QuickTime";
        nameStreams(spans, m, inOrder);
    } else if (kind == ContainerKind::Flac) {
        m = describeFlac(readFlacFile(reader, mapping<FlacLimits>(spans)));
        nameStreams(spans, m, inOrder);
    } else if (kind == ContainerKind::Asf) {
        // Its packets are not read: the data is no one stream's.
        m = describeAsf(readAsfFile(reader, mapping<AsfLimits>(spans)));
    } else if (kind == ContainerKind::Matroska || kind == ContainerKind::WebM) {
        m = describeMatroska(readMatroskaFile(reader, mapping<MkvLimits>(spans)));
        nameStreams(spans, m, inOrder);
    } else if (kind == ContainerKind::TransportStream) {
        m = describeTransportStream(readTransportStream(reader, mapping<TsLimits>(spans)));
        nameStreams(spans, m, inOrder);
    } else if (kind == ContainerKind::FlashVideo) {
        m = describeFlv(readFlvFile(reader, mapping<FlvLimits>(spans)));
        nameStreams(spans, m, flvStream);
    }
    return m;
}

MediaStreams readRawStream(RandomAccessReader& reader, SpanSink* spans) {
    MediaStreams m =
        describeElementary(readElementaryStream(reader, mapping<ElementaryLimits>(spans)));
    // Only a stream the reader recognised speaks for a file nothing else named.
    if (m.streams.empty()) m.present = false;
    nameStreams(spans, m, inOrder);
    return m;
}

} // namespace tavro

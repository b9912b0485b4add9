// Where the bytes of a file lie, as the readers meet them while they walk the head:
// spans of header, index, padding and stream data, each with the stream's time
// when the reader knows it. A sink set on MediaInfo takes them as they come, so
// nothing is kept per chunk here and nothing is read twice; any reader (RIFF, Ogg,
// MPEG audio, and the newer containers) feeds the same sink.
#pragma once
#include <cstdint>
#include <string>

namespace tavro {

enum class SpanKind : uint8_t {
    Header, // structure and metadata: list and chunk headers, stream headers, tags
    Index,  // idx1, OpenDML index chunks, seek tables
    Junk,   // padding the file declares (JUNK chunks)
    Data,   // a stream's payload, or payload of no stream the reader keeps (stream -1)
};

constexpr int kNoSpanStream = -1;

struct FileSpan {
    uint64_t offset = 0;
    uint64_t size = 0;
    SpanKind kind = SpanKind::Header;
    int stream = kNoSpanStream;
    // Seconds of the stream the span holds; negative when not known.
    double start = -1;
    double end = -1;
};

inline FileSpan fileSpan(uint64_t offset, uint64_t size, SpanKind kind, int stream = kNoSpanStream,
                         double start = -1, double end = -1) {
    FileSpan s;
    s.offset = offset;
    s.size = size;
    s.kind = kind;
    s.stream = stream;
    s.start = start;
    s.end = end;
    return s;
}

class SpanSink {
  public:
    virtual ~SpanSink() = default;
    // A new file: its actual size and how far the head the readers walk reaches.
    virtual void beginFile(uint64_t fileSize, uint64_t readEnd) = 0;
    // Where the container says the file ends (RIFF size + 8); past fileSize when cut.
    virtual void declareEnd(uint64_t end) = 0;
    // A reader that walked less of the head than that reach says how far it went.
    virtual void readTo(uint64_t end) = 0;
    virtual void nameStream(int stream, const std::string& name) = 0;
    virtual void addSpan(const FileSpan& span) = 0;
};

} // namespace tavro

// The per-file analysis record: the head buffers (allocated once by the owner and
// reused for every file), identification flags and texts, the AVI header model, the
// interleave model and the MPEG scan states.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "analysis/avi_header_model.h"
#include "analysis/byte_view.h"
#include "analysis/interleave_model.h"
#include "analysis/span_feed.h"
#include "analysis/streams/media_streams.h"
#include "common/container_kind.h"

namespace tavro {

constexpr uint32_t kHeadCapacity = 524288;

enum WrapperKind : uint32_t { kWrapNone = 0, kWrapWav = 1, kWrapCdxa = 2, kWrapRmid = 3 };

struct WrappedWave {
    WaveFormatBytes waveFmt;
    uint32_t waveDataFound = 0;
    uint32_t waveDepth = 0;
    uint32_t wrapperKind = kWrapNone;
    uint32_t wavePayload = 0; // offset of the `data` payload in the head
    uint32_t wavePayloadSize = 0;
};

class MediaInfo {
  public:
    // Allocates every buffer; null when memory runs out.
    static std::unique_ptr<MediaInfo> create();

    uint8_t* headBuffer() { return head_.get(); }
    const uint8_t* headBuffer() const { return head_.get(); }
    // Stream n's collected audio, made on first use (null when memory runs out); the
    // const form is null until then.
    uint8_t* audioCollect(int n);
    const uint8_t* audioCollect(int n) const { return audio_[n].get(); }
    // The valid bytes of the head.
    ByteView head() const { return ByteView(head_.get(), headLength); }

    uint32_t headLength = 0;
    uint32_t auxEnd = 0;
    std::array<uint32_t, 3> audioWrite{}; // bytes collected per audio stream
    std::array<MpegScanState, 3> mpegScan;
    MpegScanState mpegScanFile;

    std::string fileName;
    std::string fileExt;
    std::string sizeFull;
    std::string typeCode;
    // The identification row behind typeCode; None whenever typeCode came from
    // anywhere else.
    ContainerKind container = ContainerKind::None;
    uint64_t fileSize = 0; // size of the open file, kept for wrapped passes

    uint32_t isEmpty = 0;
    uint32_t notIdentified = 0;
    uint32_t isCooked = 0;
    uint32_t isRiff = 0;
    uint32_t isAvi = 0;
    uint32_t headersParsed = 0;
    uint32_t analysing = 0;
    uint32_t infoDirty = 0;
    // The file's size or time moved while it was read: what was read may mix two
    // versions of it, so it is reported as changing and never written back.
    uint32_t changedWhileRead = 0;

    WrappedWave wrap;
    AviHeaderModel avi;
    InterleaveModel interleave;
    std::array<uint32_t, 3> rateMode{};
    // What a modern container reader found; `present` is false for every other file.
    MediaStreams streams;

    // Takes the spans the readers meet for the file map; null for no map. Set by the
    // owner, which keeps it alive while files are analysed.
    SpanSink* spans = nullptr;
    SpanClocks spanClocks;

    // Zeroes the AVI header and interleave models, the stream counts, the collection
    // write positions, the MPEG scans and rate modes; the wrapped-WAVE state stays.
    void resetModels();
    // Clears the identification flags.
    void resetFlags();

  private:
    // The buffers are not cleared, and pages a file never touches cost nothing.
    struct FreeBytes {
        void operator()(void* p) const;
    };
    using Buffer = std::unique_ptr<uint8_t, FreeBytes>;
    MediaInfo() = default;
    Buffer head_;
    std::array<Buffer, 3> audio_;
    std::unique_ptr<uint32_t, FreeBytes> frameTables_;
};

} // namespace tavro

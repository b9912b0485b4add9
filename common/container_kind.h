// Which identification row named a file. Analysis stamps it on every row it can
// match; the reports pick their texts by it, so a text never depends on how a
// description happens to begin.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

enum class ContainerKind : uint8_t {
    None, // no row named the file: RIFF, Ogg, MPEG audio by scan, or unknown
    // The signature table.
    Asf,
    MpegAudio,
    QuickTime,
    MpegProgram,
    RealMedia,
    Shockwave,
    Executable,
    Rar,
    Zip,
    UrlLink,
    Ogg,
    Vivo,
    Midi,
    Aiff,
    AiffC,
    SunAudio,
    // The newer containers named from their own headers.
    Mpeg4,
    Mpeg4Audio,
    Mpeg4Video,
    ThreeGpp,
    ThreeGpp2,
    FlashMp4,
    MotionJpeg2000,
    Heif,
    Avif,
    IsoMedia,
    Matroska,
    WebM,
    FlashVideo,
    TransportStream,
    Flac,
    Count // not a kind: the number of them
};

constexpr size_t kContainerKinds = static_cast<size_t>(ContainerKind::Count);

} // namespace tavro

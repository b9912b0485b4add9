#include "report/container_texts.h"

namespace tavro {

const char kMpegAudioBody[] =
    "an audio-only MP3 (or MP2) file. The \"Type\" box shows the exact type, the sample rate, "
    "and the bitrate if the file is CBR (constant bit rate). No bitrate will be shown for VBR "
    "(variable bit-rate) files";

namespace {

using K = ContainerKind;

// In the order of ContainerKind, one entry each; checked below at compile time.
constexpr ContainerText kTexts[] = {
    {K::None, "", false},
    {K::Asf,
     "an ASF (Advanced Systems Format) file, Microsoft's container for Windows Media audio "
     "and video (.WMA, .WMV, .ASF).",
     true},
    {K::MpegAudio, kMpegAudioBody, false},
    {K::QuickTime, "a QuickTime movie, Apple's container for video and audio (.MOV, .QT).", true},
    {K::MpegProgram,
     "an MPEG program stream, the container of MPEG-1 and MPEG-2 video with its sound, as "
     "found on Video CDs and DVDs (.MPG, .MPEG, .VOB).",
     true},
    {K::RealMedia, "a RealMedia file, RealNetworks' container for streamed video and audio (.RM).",
     true},
    {K::Shockwave,
     "a Shockwave Flash movie (.SWF), an animation or program for the Flash player rather "
     "than a plain video.",
     true},
    {K::Executable,
     "a Windows or DOS program (.EXE), not a media file. A program may carry a clip inside "
     "it, but only the program itself can play it.",
     true},
    {K::Rar,
     "a RAR archive, a compressed bundle of other files. A media file packed inside has to "
     "be extracted before it can be inspected or played.",
     true},
    {K::Zip,
     "a ZIP archive, which holds one or more other files in compressed form. Any media file "
     "in it must be unpacked first.",
     true},
    {K::UrlLink,
     "a text file holding an Internet address (a link), not the media itself. The media has "
     "to be downloaded from that address first.",
     true},
    {K::Ogg, "an Ogg file, the open container of Vorbis audio and of Theora or OGM video.", true},
    {K::Vivo, "a Vivo movie (.VIV), an early format for streaming video over slow links.", true},
    {K::Midi,
     "a MIDI file (.MID): notes and instrument changes for a synthesizer to play, not "
     "recorded sound.",
     true},
    {K::Aiff, "an AIFF file (.AIF), Apple's format for uncompressed audio.", true},
    {K::AiffC,
     "an AIFF-C file (.AIF), the variant of Apple's AIFF audio format that may hold "
     "compressed sound.",
     true},
    {K::SunAudio,
     "a Sun/NeXT audio file (.AU, .SND), a simple sound format from Unix workstations.", true},
    {K::Mpeg4,
     "an MPEG-4 file (.MP4), the standard container for video and audio such as H.264 and "
     "AAC.",
     true},
    {K::Mpeg4Audio,
     "an MPEG-4 audio file (.M4A): the MPEG-4 container holding sound only, often AAC or "
     "Apple Lossless.",
     true},
    {K::Mpeg4Video, "an MPEG-4 video file (.M4V), Apple's flavour of the MPEG-4 container.", true},
    {K::ThreeGpp,
     "a 3GPP file (.3GP), the MPEG-4 style container of video and audio made for mobile "
     "phones.",
     true},
    {K::ThreeGpp2,
     "a 3GPP2 file (.3G2), the variant of the mobile phone container used on CDMA networks.", true},
    {K::FlashMp4, "a Flash MP4 video (.F4V), the MPEG-4 style container of later Flash players.",
     true},
    {K::MotionJpeg2000,
     "a Motion JPEG 2000 file (.MJ2), a sequence of JPEG 2000 pictures in the ISO media "
     "container.",
     true},
    {K::Heif,
     "a HEIF image (.HEIC, .HEIF): still pictures in the ISO media container, as phone "
     "cameras write them.",
     true},
    {K::Avif,
     "an AVIF image (.AVIF): still pictures compressed with AV1 in the ISO media container.", true},
    {K::IsoMedia,
     "an ISO base media file, of the family MP4 and QuickTime belong to, whose brand is not "
     "one Tavro knows.",
     true},
    {K::Matroska,
     "a Matroska file (.MKV, .MKA), an open container that can hold almost any kind of "
     "video, audio and subtitles.",
     true},
    {K::WebM,
     "a WebM file (.WEBM), the form of Matroska kept to open codecs such as VP8, VP9, AV1, "
     "Vorbis and Opus.",
     true},
    {K::FlashVideo,
     "a Flash Video file (.FLV), the container the Flash player used for video on the web.", true},
    {K::TransportStream,
     "an MPEG transport stream (.TS), the container of digital television broadcasts and of "
     "many video cameras.",
     true},
    {K::Flac, "a FLAC file (.FLAC), audio compressed without any loss.", true},
};

constexpr bool oneEntryPerKindInOrder() {
    if (sizeof kTexts / sizeof kTexts[0] != kContainerKinds) return false;
    for (size_t i = 0; i < kContainerKinds; ++i)
        if (static_cast<size_t>(kTexts[i].kind) != i) return false;
    return true;
}
static_assert(oneEntryPerKindInOrder(), "every container kind needs its explanation, in order");

} // namespace

const ContainerText* containerText(ContainerKind kind) {
    size_t i = static_cast<size_t>(kind);
    if (kind == ContainerKind::None || i >= kContainerKinds) return nullptr;
    return &kTexts[i];
}

} // namespace tavro

// A raw stream in the common shape: one stream, its codec facts, and a length that
// says it was counted (and, for a large file, scaled) from the frames.
#include <string>

#include "analysis/elementary/elementary_reader.h"

namespace tavro {

namespace {

// Levels as the standards name them: 3, 3.1, 4, 5.1.
std::string levelText(uint32_t tenths) {
    if (!tenths) return {};
    std::string s = std::to_string(tenths / 10);
    if (tenths % 10) s += "." + std::to_string(tenths % 10);
    return s;
}

const char* chromaText(uint32_t idc) {
    switch (idc) {
    case 0:
        return "4:0:0";
    case 1:
        return "4:2:0";
    case 2:
        return "4:2:2";
    case 3:
        return "4:4:4";
    }
    return "";
}

const char* adtsProfile(uint8_t objectType) {
    switch (objectType) {
    case 1:
        return "Main";
    case 2:
        return "LC";
    case 3:
        return "SSR";
    case 4:
        return "LTP";
    }
    return "";
}

const char* containerName(ElementaryKind kind) {
    switch (kind) {
    case ElementaryKind::h264:
        return "H.264 stream";
    case ElementaryKind::hevc:
        return "HEVC stream";
    case ElementaryKind::adts:
        return "ADTS";
    case ElementaryKind::ac3:
        return "AC-3";
    case ElementaryKind::eac3:
        return "E-AC-3";
    case ElementaryKind::dts:
        return "DTS";
    case ElementaryKind::unknown:
        break;
    }
    return "";
}

StreamFacts factsOf(const ElementaryFile& f) {
    StreamFacts s;
    s.id = 0;
    s.codec = elementaryKindText(f.kind);
    s.isDefault = true;
    s.seconds = f.seconds;
    if (f.kind == ElementaryKind::h264) {
        const H264Sps& p = f.h264;
        s.kind = StreamKind::video;
        s.codecId = "Annex B";
        s.profile = h264ProfileName(p.profileIdc, p.constraintFlags);
        // Level 1b: coded as 9, or as 11 with constraint_set3 in Baseline and Main.
        const bool oneB = p.levelIdc == 9 || (p.levelIdc == 11 && (p.constraintFlags & 0x10) &&
                                              (p.profileIdc == 66 || p.profileIdc == 77));
        s.level = oneB ? "1b" : levelText(p.levelIdc);
        s.bitDepth = p.bitDepthLuma;
        s.chroma = chromaText(p.chromaFormatIdc);
        s.width = p.width;
        s.height = p.height;
        s.frameRate = f.frameRate;
    } else if (f.kind == ElementaryKind::hevc) {
        const HevcSps& p = f.hevc;
        s.kind = StreamKind::video;
        s.codecId = "Annex B";
        s.profile = hevcProfileName(p.ptl);
        s.level = levelText(p.ptl.levelIdc / 3);
        s.bitDepth = p.bitDepthLuma;
        s.chroma = chromaText(p.chromaFormatIdc);
        s.width = p.width;
        s.height = p.height;
    } else {
        s.kind = StreamKind::audio;
        s.codecId = containerName(f.kind);
        s.sampleRate = f.sampleRate;
        s.channels = f.channels;
        if (f.kind == ElementaryKind::adts) s.profile = adtsProfile(f.adts.objectType);
    }
    // A frame header's own rate is exact; one counted over frames is not.
    s.bitrate = f.nominalBitrate ? f.nominalBitrate : f.bitrate;
    return s;
}

} // namespace

MediaStreams describeElementary(const ElementaryFile& f) {
    MediaStreams m;
    if (f.status != ElementaryStatus::ok) {
        if (f.status == ElementaryStatus::readError)
            m.add(Severity::broken, "elementary.read_error", "Could not be read",
                  "Reading the file failed. Check the disk or network share and try again.");
        else
            m.add(Severity::broken, "elementary.not_recognised", "Not a recognised raw stream",
                  "No run of valid H.264, HEVC, AAC (ADTS), AC-3, E-AC-3 or DTS frames was "
                  "found at the start of the file. It is another format, or its head is "
                  "damaged.");
        return m;
    }
    m.present = true;
    m.container = containerName(f.kind);
    m.streamCount = 1;
    m.seconds = f.seconds;
    m.secondsEstimated = f.seconds > 0; // a raw stream has no header that states it
    if (f.seconds > 0) {
        const double rate = static_cast<double>(f.fileSize) * 8 / f.seconds;
        if (rate < 1e12) m.bitrate = static_cast<uint64_t>(rate);
    }
    m.streams.push_back(factsOf(f));
    if (f.kind == ElementaryKind::h264 || f.kind == ElementaryKind::hevc)
        m.add(Severity::note, "elementary.raw_video", "Raw video stream: no container",
              "The file is a bare video stream without a container, so it has no time stamps, "
              "no index and no length of its own" +
                  std::string(f.seconds > 0 ? "; the length shown is counted from the pictures "
                                              "at the frame rate the stream states"
                                            : "") +
                  ". Many players will not open it or cannot seek in it. Remuxing it into MP4 "
                  "or Matroska (with the right frame rate) makes it play everywhere.");
    if (f.extrapolated)
        m.add(Severity::note, "elementary.length_estimated", "Length estimated from the file size",
              "The length was counted over the first part of the file and scaled to its size; "
              "it is close for a steady stream but not exact.");
    if (f.has(ElementaryProblem::syncLost))
        m.add(Severity::warning, "elementary.sync_lost", "Damaged: the frames are interrupted",
              "Part of the stream is not a run of valid frames: bytes are damaged or something "
              "else was mixed in. Players skip the damage, with a gap or a click.");
    if (f.has(ElementaryProblem::lastFrameCut))
        m.add(Severity::note, "elementary.last_frame_cut", "The last frame is cut short",
              "The file ends inside its last frame, so the copy or recording stopped a moment "
              "early. Only that last fraction of a second is lost.");
    if (f.has(ElementaryProblem::leadingJunk))
        m.add(Severity::note, "elementary.leading_junk", "Bytes before the first frame",
              "The stream does not start with a frame; players skip the bytes before it.");
    return m;
}

} // namespace tavro

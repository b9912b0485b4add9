#include "analysis/isobmff/iso_streams.h"

#include <cstdio>

#include "analysis/isobmff/iso_reader.h"
#include "analysis/streams/codec_family.h"

namespace tavro {
namespace {

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
        text.pop_back();
    return text;
}

std::string containerName(const IsoFile& file) {
    const std::string brand = file.majorBrand;
    if (brand == "qt  ") return "QuickTime";
    if (brand.compare(0, 3, "3gp") == 0) return "3GPP";
    if (brand.compare(0, 3, "3g2") == 0) return "3GPP2";
    return "MPEG-4";
}

StreamKind kindOf(TrackKind kind) {
    switch (kind) {
    case TrackKind::video:
        return StreamKind::video;
    case TrackKind::audio:
        return StreamKind::audio;
    case TrackKind::subtitle:
    case TrackKind::text:
        return StreamKind::subtitle;
    case TrackKind::other:
        break;
    }
    return StreamKind::other;
}

std::string subtitleFamily(const std::string& entry) {
    if (entry == "tx3g" || entry == "text") return "Timed Text";
    if (entry == "wvtt") return "WebVTT";
    return "";
}

StreamFacts describeTrack(const IsoTrack& t) {
    StreamFacts s;
    s.kind = kindOf(t.kind);
    s.id = t.trackId;
    s.codecId = trimmed(t.sampleEntry);
    s.codec = !t.codec.empty()                 ? t.codec
              : s.kind == StreamKind::subtitle ? subtitleFamily(t.sampleEntry)
                                               : "";
    s.profile = t.profile;
    s.level = levelText(s.codec.c_str(), t.level);
    // A lossy audio entry's sample size is a placeholder, not a property of the stream.
    const bool lossless = s.codec == "PCM" || s.codec == "FLAC" || s.codec == "ALAC";
    s.bitDepth = s.kind == StreamKind::audio && !lossless ? 0 : t.bitDepth;
    s.chroma = chromaText(t.chromaFormat);
    s.width = t.width;
    s.height = t.height;
    if (t.displayWidth && t.displayHeight &&
        (t.displayWidth != t.width || t.displayHeight != t.height)) {
        s.displayWidth = t.displayWidth;
        s.displayHeight = t.displayHeight;
    }
    if (s.kind == StreamKind::video) s.frameRate = t.frameRate;
    s.sampleRate = t.sampleRate;
    s.channels = t.channels;
    s.seconds = t.seconds;
    s.bitrate = t.bitRate ? t.bitRate : t.avgBitrate;
    // "und" says nothing; a stream without a language reads as one.
    s.language = t.language == "und" ? "" : t.language;
    s.title = t.nameIsTitle ? t.name : std::string();
    s.isDefault = t.enabled;
    return s;
}

std::string bytesText(uint64_t bytes) {
    char text[48];
    if (bytes >= (1ull << 30))
        std::snprintf(text, sizeof text, "%.2f GB", bytes / 1073741824.0);
    else if (bytes >= (1ull << 20))
        std::snprintf(text, sizeof text, "%.1f MB", bytes / 1048576.0);
    else if (bytes >= 1024)
        std::snprintf(text, sizeof text, "%.1f KB", bytes / 1024.0);
    else
        std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
    return text;
}

void addFindings(const IsoFile& f, MediaStreams& m) {
    switch (f.status) {
    case IsoStatus::notIsoBmff:
        m.add(Severity::broken, "mp4.not_iso", "Damaged: not readable as an MP4/MOV file",
              "The file begins like an MP4 or QuickTime file, but its boxes do not follow the "
              "format: the first box is not one such files start with, or its size is "
              "impossible. It may be another kind of file with a misleading name or first "
              "bytes, or the start of the file may be damaged. Players will most likely refuse "
              "it.");
        return;
    case IsoStatus::noMoov:
        if (f.mdatCount == 0) {
            m.add(Severity::broken, "mp4.empty", "Incomplete: no media data and no index",
                  "The file starts as an MP4 or QuickTime file but holds neither media data "
                  "('mdat') nor the index ('moov') that describes it: only the first few "
                  "bytes were ever written, or the rest was lost. There is nothing a player "
                  "or a repair tool can recover from it.");
            return;
        }
        m.add(Severity::broken, "mp4.no_moov",
              "Truncated: the recording was cut off before its index was written",
              "The file holds " + bytesText(f.mdatSize) +
                  " of audio and video data, but no 'moov' box: the index that tells a player "
                  "where every frame lies and how to decode it. Recorders write that index "
                  "last, when recording stops, so a camera that lost power, a phone app that "
                  "was killed or a screen recorder that crashed leaves a file like this. No "
                  "player can open it as it is. The media data is still there: repair tools "
                  "that rebuild the index from a good recording made with the same device and "
                  "settings can often recover it.");
        return;
    case IsoStatus::moovTooLarge:
        m.add(Severity::warning, "mp4.moov_too_large", "Index too large to read here",
              "The file's index ('moov' box) is " + bytesText(f.moovSize) +
                  ", more than Tavro reads of one box, so the streams are not listed. Very long "
                  "recordings can have indexes this large; a damaged size field can also "
                  "claim it.");
        return;
    case IsoStatus::readError:
        m.add(Severity::broken, "mp4.read_error", "The file could not be read",
              "Reading the file failed part way; the report may be incomplete.");
        return;
    case IsoStatus::ok:
        break;
    }
    if (f.bytesPastEnd > 0 || f.has(IsoProblem::sampleDataPastEnd)) {
        char when[64] = "";
        if (f.secondsMissing > 0)
            std::snprintf(when, sizeof when, " (about %s of playing time)",
                          secondsText(f.secondsMissing).c_str());
        m.add(Severity::broken, "mp4.data_cut",
              "Truncated: " + bytesText(f.bytesPastEnd) + " of media data missing" + when,
              "The index is complete, but it points at " + bytesText(f.bytesPastEnd) +
                  " of audio and video data past the end of the file" + when +
                  ". The file was cut short: an interrupted download or copy, or a full disk. "
                  "Most players open it and stop (or freeze) where the data ends; some refuse "
                  "it. Fetch or copy the file again to get the rest.");
    } else if (f.has(IsoProblem::moovTruncated)) {
        m.add(Severity::broken, "mp4.moov_cut", "Truncated inside the index",
              "The file ends inside its index ('moov' box), so part of the index is missing. "
              "Players usually refuse such a file; fetch or copy it again.");
    }
    if (f.fragmented) {
        char text[160];
        std::snprintf(text, sizeof text, "Fragmented MP4 (%llu fragments)",
                      static_cast<unsigned long long>(f.fragmentCount));
        m.add(Severity::note, "mp4.fragmented", text,
              "The file is stored in fragments, each with its own small index, as streaming "
              "services and live recorders write them. Its duration comes from the fragments. "
              "Most modern players handle it; some older players and editors show no duration "
              "or cannot seek. Remuxing (for example `ffmpeg -i in.mp4 -c copy out.mp4`) "
              "writes an ordinary file with one index.");
    }
    if (f.hasMoov && !f.moovAtHead && !f.fragmented) {
        m.add(Severity::note, "mp4.moov_at_end", "Index at the end of the file",
              "The index ('moov' box) comes after the media data. The file plays from a local "
              "disk, but a player reading it over a network or while it downloads must fetch "
              "the end first, so it cannot start playing until the whole file is there. "
              "`ffmpeg -i in.mp4 -c copy -movflags +faststart out.mp4` moves the index to the "
              "front.");
    }
    // A cut file's last box runs past the end: that is the cut, already said.
    const bool cut = f.bytesPastEnd > 0 || f.has(IsoProblem::sampleDataPastEnd) ||
                     f.has(IsoProblem::moovTruncated);
    if (f.has(IsoProblem::tableTruncated) || f.has(IsoProblem::tablesDisagree) ||
        (f.has(IsoProblem::boxPastParent) && !cut) || f.has(IsoProblem::badBoxSize)) {
        std::string what;
        for (IsoProblem p : f.problems) {
            if (p == IsoProblem::moovAfterMdat || p == IsoProblem::sampleDataPastEnd ||
                p == IsoProblem::moovTruncated || (cut && p == IsoProblem::boxPastParent))
                continue;
            what += what.empty() ? "" : "; ";
            what += isoProblemText(p);
        }
        m.add(Severity::warning, "mp4.damaged_index", "Damaged index",
              "Parts of the index do not add up (" + what +
                  "). Players may stop early, lose audio/video sync or refuse the file.");
    }
    if (f.has(IsoProblem::tooManyTracks))
        m.add(Severity::note, "mp4.many_tracks", "More tracks than listed",
              "The file declares more tracks than Tavro lists; only the first ones are shown.");
}

} // namespace

MediaStreams describeIsoFile(const IsoFile& file) {
    MediaStreams m;
    m.present = true;
    m.container = containerName(file);
    m.brand = trimmed(file.majorBrand);
    m.title = file.title;
    m.seconds = file.seconds > 0 ? file.seconds : file.fragmentSeconds;
    if (!(m.seconds > 0))
        for (const IsoTrack& t : file.tracks)
            if (t.seconds > m.seconds) m.seconds = t.seconds;
    if (m.seconds > 0) {
        const double rate = file.fileSize * 8.0 / m.seconds;
        m.bitrate = rate < 1e15 ? static_cast<uint64_t>(rate) : 0;
    }
    m.streamCount = file.trackCount;
    for (const IsoTrack& t : file.tracks)
        m.streams.push_back(describeTrack(t));
    addFindings(file, m);
    return m;
}

} // namespace tavro

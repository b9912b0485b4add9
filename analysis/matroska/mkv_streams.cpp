#include "analysis/matroska/mkv_streams.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace tavro {

namespace {

StreamKind kindOf(uint64_t trackType) {
    switch (trackType) {
    case 1:
        return StreamKind::video;
    case 2:
        return StreamKind::audio;
    case 17:
        return StreamKind::subtitle;
    default:
        return StreamKind::other;
    }
}

uint32_t roundRate(double hz) {
    return hz > 0 && hz < 4.0e9 ? static_cast<uint32_t>(std::lround(hz)) : 0;
}

bool isLossless(const std::string& codec) {
    return codec == "PCM" || codec == "FLAC" || codec == "ALAC" || codec == "TrueHD" ||
           codec == "WMA Lossless" || codec.empty();
}

// A track that leaves out its type is known by its codec's prefix.
StreamKind kindOf(const MkvTrack& t) {
    if (t.type) return kindOf(t.type);
    switch (t.codecId.empty() ? 0 : t.codecId[0]) {
    case 'V':
        return StreamKind::video;
    case 'A':
        return StreamKind::audio;
    case 'S':
        return StreamKind::subtitle;
    default:
        return StreamKind::other;
    }
}

StreamFacts describeTrack(const MkvTrack& t) {
    StreamFacts s;
    s.kind = kindOf(t);
    s.id = t.number;
    s.codecId = t.codecId;
    s.codec = t.codec;
    s.fourcc = t.fourcc;
    s.formatTag = t.formatTag;
    s.profile = t.profile;
    s.level = t.level;
    s.chroma = t.chroma;
    // The BCP 47 tag overrides Language; where it names only the language ("de" beside
    // "ger"), the three-letter code other containers use says the same.
    const bool regional = t.languageBcp47.find('-') != std::string::npos;
    s.language =
        t.languageBcp47.empty() || (t.hasLanguage && !regional) ? t.language : t.languageBcp47;
    s.title = t.name;
    s.isDefault = t.isDefault;
    s.forced = t.forced;
    s.seconds = t.tagSeconds;
    s.bitrate = t.tagBitrate;
    if (s.kind == StreamKind::video) {
        s.width = t.width ? t.width : t.codecWidth;
        s.height = t.height ? t.height : t.codecHeight;
        // Display sizes in pixels only; other units give an aspect ratio, not a size.
        if (t.displayUnit == 0 && t.displayWidth && t.displayHeight &&
            (t.displayWidth != s.width || t.displayHeight != s.height)) {
            s.displayWidth = t.displayWidth;
            s.displayHeight = t.displayHeight;
        }
        s.bitDepth = t.codecBitDepth ? t.codecBitDepth : t.bitsPerChannel;
        if (t.defaultDuration) s.frameRate = 1e9 / static_cast<double>(t.defaultDuration);
    } else if (s.kind == StreamKind::audio) {
        const double rate =
            t.outputSamplingFrequency > 0 ? t.outputSamplingFrequency : t.samplingFrequency;
        s.sampleRate = rate > 0 ? roundRate(rate) : t.codecSampleRate;
        // Channels defaults to 1 when a track leaves it out.
        s.channels = t.channels ? t.channels : t.codecChannels ? t.codecChannels : 1;
        // Lossy codecs have no sample size of their own, whatever a muxer writes.
        if (isLossless(t.codec)) s.bitDepth = t.bitDepth ? t.bitDepth : t.codecBitDepth;
    }
    return s;
}

void describeUnread(const MkvFile& f, MediaStreams& out) {
    switch (f.status) {
    case MkvStatus::notEbml:
        out.add(Severity::broken, "mkv.not_ebml", "Not a Matroska or WebM file",
                "The file does not begin with the EBML header that every Matroska (.mkv, .mka) "
                "and WebM file opens with. It may be another kind of file with the wrong "
                "extension, or its beginning may be damaged. Players that trust the extension "
                "will refuse it; try identifying it by its content.");
        break;
    case MkvStatus::noSegment:
        out.add(Severity::broken, "mkv.no_segment", "Matroska header only: no Segment",
                "The file opens with a Matroska/WebM header, but the Segment that holds the "
                "tracks and the audio and video data is missing or unreadable. Nothing in it "
                "can be played. If the file was being written or downloaded, it stopped right "
                "at the start; get it again.");
        break;
    case MkvStatus::readError:
        out.add(Severity::broken, "mkv.read_error", "The file could not be read",
                "Reading the file failed part way. The disk, the network share or the device "
                "holding it may have a problem; copy the file elsewhere and try again.");
        break;
    case MkvStatus::ok:
        break;
    }
}

void describeCut(const MkvFile& f, MediaStreams& out) {
    std::string detail = "The Segment says it holds " + bytesText(f.bytesMissing) +
                         " more than the file has: the file was cut short, as by an "
                         "interrupted download, copy or recording. ";
    if (f.reachedSeconds > 0) {
        detail += "The audio and video still there reach about " + secondsText(f.reachedSeconds);
        if (f.hasDuration) detail += " of the " + secondsText(f.seconds) + " the file declares";
        if (f.hasLastCluster)
            detail +=
                " (the last complete cluster starts at " + secondsText(f.lastClusterSeconds) + ")";
        detail += ". ";
    }
    if (!f.hasCues) detail += "The seek index, written at the end, is gone with the rest. ";
    detail += "Players will play what is there and stop early, and seeking into the missing "
              "part fails; the length they show may be the declared one. Get the whole file "
              "again if you can; otherwise a remux (mkvmerge, or ffmpeg -c copy) keeps what "
              "is left and writes a length that matches it.";
    out.add(Severity::broken, "mkv.cut_short",
            "Truncated: " + bytesText(f.bytesMissing) + " missing from the end", detail);
}

void describeTiming(const MkvFile& f, MediaStreams& out) {
    const bool live = f.segmentSizeUnknown && !f.hasDuration && !f.hasCues;
    if (live) {
        std::string detail =
            "This file was written as a live stream (as browsers' MediaRecorder, screen "
            "recorders and streaming tools do): " +
            std::string(f.clusterSizeUnknown ? "the Segment and its clusters have no sizes"
                                             : "the Segment has no size") +
            ", and there is no duration and no seek index. ";
        if (out.secondsEstimated)
            detail += "The length shown, " + secondsText(out.seconds) +
                      ", is an estimate from the last cluster read. ";
        detail += "Many players cannot seek in it or show its length, and some refuse it. "
                  "A remux writes the index and the duration without touching the audio or "
                  "video: open it in mkvmerge (MKVToolNix), or run ffmpeg -i in.webm -c copy "
                  "out.webm.";
        out.add(Severity::warning, "mkv.live_no_duration",
                "Live recording: no duration or seek index", detail);
        return;
    }
    if (!f.hasDuration && f.hasCluster) {
        std::string detail = "The file's header gives no duration. ";
        if (out.secondsEstimated)
            detail += "The length shown, " + secondsText(out.seconds) +
                      ", is an estimate from the last cluster read. ";
        detail += "Players may show no length or a wrong one; a remux (mkvmerge, or ffmpeg "
                  "-c copy) writes it.";
        out.add(Severity::note, "mkv.no_duration", "No duration in the header", detail);
    }
    if (!f.hasCues && f.hasCluster && !f.has(MkvProblem::segmentPastEnd))
        out.add(Severity::note, "mkv.no_cues", "No seek index (Cues)",
                "The file has no Cues, the index players use to jump to a time. It plays from "
                "the start, but seeking is slow or impossible in many players. A remux "
                "(mkvmerge, or ffmpeg -c copy) writes the index.");
}

void describeStructure(const MkvFile& f, MediaStreams& out) {
    if (f.has(MkvProblem::unknownDocType))
        out.add(Severity::warning, "mkv.unknown_doctype",
                "Unknown EBML document type \"" + f.docType + "\"",
                "The file is built like Matroska, but its header names the document type \"" +
                    f.docType +
                    "\" rather than matroska or webm. It was read as Matroska; players "
                    "may refuse it.");
    if (f.has(MkvProblem::noTracks))
        out.add(Severity::broken, "mkv.no_tracks", "No tracks",
                "No track list was found in the Segment, so no player can tell what the data "
                "holds. If the file was cut near its start, little of it is left; otherwise "
                "the program that wrote it failed.");
    if (f.has(MkvProblem::elementPastParent))
        out.add(Severity::warning, "mkv.element_past_parent", "Damaged structure: sizes too large",
                "An element claims more bytes than the part of the file that holds it. It was "
                "read up to its container's end. The file may be damaged there; players may "
                "skip or stop at that point.");
    if (f.has(MkvProblem::badElement))
        out.add(Severity::warning, "mkv.bad_element", "Damaged structure: unreadable element",
                "An element header could not be read; reading stopped there. What follows it "
                "may be damaged. Players that resynchronise may still play the rest.");
    if ((f.has(MkvProblem::seekPastEnd) && !f.has(MkvProblem::segmentPastEnd)) ||
        f.has(MkvProblem::seekMismatch))
        out.add(Severity::warning, "mkv.bad_seek_head", "Damaged index of elements (SeekHead)",
                "The SeekHead, which tells players where the track list, tags and seek index "
                "are, points past the end of the file or at something else. Players that "
                "follow it may not find those parts; a remux rewrites it.");
    if (f.has(MkvProblem::lastClusterCut) && !f.has(MkvProblem::segmentPastEnd))
        out.add(Severity::warning, "mkv.last_cluster_cut", "The last cluster is incomplete",
                "The file ends inside a block of audio or video data: the end of the "
                "recording was cut off. Players play up to that point.");
    bool compressed = false;
    for (const MkvTrack& t : f.tracks)
        compressed = compressed || t.compressed;
    if (compressed)
        out.add(Severity::note, "mkv.content_encoding", "Tracks with content encoding",
                "At least one track is compressed or encrypted inside the container (header "
                "stripping, zlib). Some players and hardware decoders do not support this; "
                "remuxing without it (mkvmerge --compression 0:none) fixes that.");
    if (f.has(MkvProblem::tooManyTracks) || f.has(MkvProblem::tooManyElements) ||
        f.has(MkvProblem::readBudget) || f.has(MkvProblem::elementTooLarge) ||
        f.has(MkvProblem::nestingTooDeep))
        out.add(Severity::note, "mkv.read_limits", "Not all of the file's structure was read",
                "The file holds more tracks or elements, or larger ones, than Tavro reads; "
                "the rest was passed over. The figures shown come from the part read.");
}

} // namespace

MediaStreams describeMatroska(const MkvFile& f) {
    MediaStreams out;
    if (f.status != MkvStatus::ok) {
        describeUnread(f, out);
        if (f.status == MkvStatus::noSegment) {
            out.present = true;
            out.container = f.docType == "webm" ? "WebM" : "Matroska";
            out.brand = f.docType;
        }
        return out;
    }
    out.present = true;
    out.container = f.docType == "webm" ? "WebM" : "Matroska";
    out.brand = f.docType;
    out.title = f.title;
    if (f.hasDuration) {
        out.seconds = f.seconds;
    } else if (f.reachedSeconds > 0) {
        out.seconds = f.reachedSeconds;
        out.secondsEstimated = true;
    }
    if (out.seconds > 0 && !f.has(MkvProblem::segmentPastEnd)) {
        // A tiny duration over a large claimed size would not fit the integer.
        const double bitrate = static_cast<double>(f.fileSize) * 8 / out.seconds;
        if (bitrate < 1e15) out.bitrate = static_cast<uint64_t>(bitrate);
    }
    out.streamCount = f.trackCount;
    for (const MkvTrack& t : f.tracks)
        out.streams.push_back(describeTrack(t));

    if (f.has(MkvProblem::segmentPastEnd)) describeCut(f, out);
    describeTiming(f, out);
    describeStructure(f, out);
    return out;
}

} // namespace tavro

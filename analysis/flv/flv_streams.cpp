// The FLV reader's record told as the common streams-and-findings record.
#include <cmath>
#include <cstdio>
#include <string>

#include "analysis/flv/flv_streams.h"
#include "analysis/streams/codec_family.h"

namespace tavro {

namespace {

bool positive(double v) {
    return std::isfinite(v) && v > 0 && v < 1e12;
}

// Bits per second, or 0 where the span is too short for a meaningful figure.
uint64_t bitsPerSecond(double bytes, double seconds) {
    if (!(seconds > 0)) return 0;
    const double rate = bytes * 8.0 / seconds;
    return std::isfinite(rate) && rate < 1e15 ? static_cast<uint64_t>(rate) : 0;
}

StreamFacts videoFacts(const FlvFile& f) {
    const FlvVideo& v = f.video;
    StreamFacts s;
    s.kind = StreamKind::video;
    s.id = 0;
    s.codecId = v.fourcc.empty() ? std::to_string(v.codecId) : v.fourcc;
    s.codec = v.codec;
    if (v.avc.ok && v.avc.sps.ok) {
        const H264Sps& sps = v.avc.sps;
        s.profile = h264ProfileName(sps.profileIdc, sps.constraintFlags);
        s.level = levelText("AVC", sps.levelIdc);
        s.bitDepth = sps.bitDepthLuma;
        s.chroma = chromaText(sps.chromaFormatIdc);
        s.width = sps.width;
        s.height = sps.height;
        if (sps.frameRateDen) s.frameRate = double(sps.frameRateNum) / double(sps.frameRateDen);
    } else if (v.hevc.ok && v.hevc.sps.ok) {
        const HevcSps& sps = v.hevc.sps;
        s.profile = hevcProfileName(sps.ptl);
        s.level = levelText("HEVC", sps.ptl.levelIdc);
        s.bitDepth = sps.bitDepthLuma;
        s.chroma = chromaText(sps.chromaFormatIdc);
        s.width = sps.width;
        s.height = sps.height;
    } else if (v.width) {
        s.width = v.width;
        s.height = v.height;
    }
    if (!s.width && positive(f.metaWidth) && positive(f.metaHeight) && f.metaWidth < 1e6 &&
        f.metaHeight < 1e6) {
        s.width = static_cast<uint32_t>(f.metaWidth);
        s.height = static_cast<uint32_t>(f.metaHeight);
    }
    // The writer's declared rate is what players use for FLV.
    if (positive(f.metaFrameRate) && f.metaFrameRate < 1000) s.frameRate = f.metaFrameRate;
    if (positive(f.metaVideoKbps)) s.bitrate = static_cast<uint64_t>(f.metaVideoKbps * 1000);
    return s;
}

StreamFacts audioFacts(const FlvFile& f) {
    const FlvAudio& a = f.audio;
    StreamFacts s;
    s.kind = StreamKind::audio;
    s.id = 1;
    s.codecId = a.fourcc.empty() ? std::to_string(a.soundFormat) : a.fourcc;
    s.codec = a.codec;
    if (a.aac.ok) {
        s.profile = aacProfileName(a.aac);
        s.sampleRate =
            a.aac.sbr && a.aac.outputSampleRate ? a.aac.outputSampleRate : a.aac.sampleRate;
        s.channels = a.aac.ps ? 2 : a.aac.channels;
    } else {
        s.sampleRate = a.flagRate;
        s.channels = a.flagChannels;
        if (a.soundFormat == 0 || a.soundFormat == 3) s.bitDepth = a.sampleBits;
    }
    if (positive(f.metaAudioKbps)) s.bitrate = static_cast<uint64_t>(f.metaAudioKbps * 1000);
    return s;
}

void addFindings(const FlvFile& f, MediaStreams& out) {
    switch (f.status) {
    case FlvStatus::ok:
        break;
    case FlvStatus::notFlv:
        out.add(Severity::broken, "flv.not_flv", "Not an FLV file",
                "The file does not begin with the FLV signature, so it is not Flash Video or "
                "its start is damaged.");
        return;
    case FlvStatus::readError:
        out.add(Severity::broken, "flv.read_error", "The file could not be read",
                "Reading the file failed part way. Copy it to a local disk and try again.");
        return;
    case FlvStatus::noTags:
        out.add(Severity::broken, "flv.no_tags", "Empty: no audio or video after the header",
                "The file has an FLV header but no readable tags after it: the recording or "
                "download stopped at once, or the data after the header is damaged. There is "
                "nothing to play.");
        return;
    }
    if (f.has(FlvProblem::truncatedTag)) {
        out.add(Severity::warning, "flv.truncated", "Cut off: the last tag is incomplete",
                "The file ends " + std::to_string(f.truncatedBytes) +
                    " bytes short of the end of its last tag: the recording or download "
                    "stopped early. Everything before plays; the last moment is lost. If the "
                    "length shown is longer than what plays, it came from the header written "
                    "at the start.");
    }
    if (f.has(FlvProblem::badTag)) {
        out.add(Severity::warning, "flv.bad_tag", "Damaged: unreadable data after some tags",
                "After " + std::to_string(f.tagsRead) +
                    " tags the file holds data that is not a tag. Players stop there or skip "
                    "ahead; what follows may be lost. Remuxing keeps the readable part.");
    }
    if (f.has(FlvProblem::durationMismatch)) {
        char text[160];
        std::snprintf(text, sizeof text, "The header says %s but the tags run %s",
                      secondsText(f.metaSeconds).c_str(), secondsText(f.tagSeconds()).c_str());
        out.add(Severity::warning, "flv.duration_mismatch", "Length in the header is wrong",
                std::string(text) +
                    ". The file was cut, joined or written by a tool that did not update its "
                    "metadata. Players show the wrong length and may seek badly; remuxing "
                    "(ffmpeg -i in.flv -c copy out.flv) writes fresh metadata.");
    }
    if (f.has(FlvProblem::noMetadata)) {
        out.add(Severity::note, "flv.no_metadata", "No metadata: length unknown to players",
                "The file has no onMetaData header, so a player cannot show its length or "
                "size until it has read it all, and may not seek. It plays. Remuxing writes "
                "the metadata.");
    }
    if (f.has(FlvProblem::flagsDisagree)) {
        out.add(Severity::note, "flv.flags_disagree", "The header's stream flags are wrong",
                "The FLV header's audio and video flags do not match the tags present. Most "
                "players ignore the flags; a strict one may skip a stream.");
    }
    if (f.has(FlvProblem::badPreviousTagSize)) {
        out.add(Severity::note, "flv.back_pointer", "Inconsistent tag sizes",
                "A tag's back pointer does not match the tag before it. Playing forward is "
                "unaffected; seeking backwards may fail.");
    }
}

} // namespace

MediaStreams describeFlv(const FlvFile& f) {
    MediaStreams out;
    out.present = f.status == FlvStatus::ok || f.status == FlvStatus::noTags;
    out.container = "FLV";
    if (f.status == FlvStatus::ok) {
        if (f.video.present) out.streams.push_back(videoFacts(f));
        if (f.audio.present) out.streams.push_back(audioFacts(f));
        out.streamCount = out.streams.size();
        if (positive(f.metaSeconds)) {
            out.seconds = f.metaSeconds;
        } else if (f.tagSeconds() > 0) {
            out.seconds = f.tagSeconds();
            out.secondsEstimated = true;
        }
        if (out.seconds > 0) out.bitrate = bitsPerSecond(double(f.fileSize), out.seconds);
    }
    addFindings(f, out);
    return out;
}

} // namespace tavro

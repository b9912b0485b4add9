// The transport stream reader's record told as the common streams-and-findings record.
#include <cmath>
#include <cstdio>
#include <string>

#include "analysis/codec_config/aac_config.h"
#include "analysis/mpegts/ts_streams.h"
#include "analysis/streams/codec_family.h"

namespace tavro {

namespace {

std::string hexByte(uint8_t v) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", v);
    return text;
}

// Bits per second, or 0 where the span is too short for a meaningful figure (a file's
// length over a few ticks would overflow the integer).
uint64_t bitsPerSecond(double bytes, double seconds) {
    if (!(seconds > 0)) return 0;
    const double rate = bytes * 8.0 / seconds;
    return std::isfinite(rate) && rate < 1e15 ? static_cast<uint64_t>(rate) : 0;
}

StreamKind kindOf(TsStream::Kind kind) {
    switch (kind) {
    case TsStream::Kind::video:
        return StreamKind::video;
    case TsStream::Kind::audio:
        return StreamKind::audio;
    case TsStream::Kind::subtitle:
        return StreamKind::subtitle;
    case TsStream::Kind::other:
        break;
    }
    return StreamKind::other;
}

void fillFromConfig(const TsStream& s, StreamFacts& f) {
    if (s.avc.ok) {
        f.profile = h264ProfileName(s.avc.profileIdc, s.avc.constraintFlags);
        f.level = levelText("AVC", s.avc.levelIdc);
        f.bitDepth = s.avc.bitDepthLuma;
        f.chroma = chromaText(s.avc.chromaFormatIdc);
        f.width = s.avc.width;
        f.height = s.avc.height;
        if (s.avc.frameRateDen)
            f.frameRate = double(s.avc.frameRateNum) / double(s.avc.frameRateDen);
    } else if (s.hevc.ok) {
        f.profile = hevcProfileName(s.hevc.ptl);
        f.level = levelText("HEVC", s.hevc.ptl.levelIdc);
        f.bitDepth = s.hevc.bitDepthLuma;
        f.chroma = chromaText(s.hevc.chromaFormatIdc);
        f.width = s.hevc.width;
        f.height = s.hevc.height;
    } else if (s.mpegVideo.ok) {
        f.profile = mpeg2ProfileName(s.mpegVideo);
        f.level = mpeg2LevelName(s.mpegVideo);
        f.bitDepth = 8;
        f.chroma = chromaText(s.mpegVideo.chromaFormat);
        f.width = s.mpegVideo.width;
        f.height = s.mpegVideo.height;
        if (s.mpegVideo.frameRateDen)
            f.frameRate = double(s.mpegVideo.frameRateNum) / double(s.mpegVideo.frameRateDen);
    } else if (s.adts.ok) {
        AacConfig core; // ADTS names the object type only
        core.objectType = s.adts.objectType;
        f.profile = aacProfileName(core);
        f.sampleRate = s.adts.sampleRate;
        // Channel configuration 0 leaves the layout to a program config element.
        f.channels = s.adts.channelConfig == 7 ? 8 : s.adts.channelConfig;
    } else if (s.ac3.ok) {
        f.sampleRate = s.ac3.sampleRate;
        f.channels = s.ac3.channels;
    } else if (s.dts.ok) {
        f.sampleRate = s.dts.sampleRate;
        f.channels = s.dts.channels;
    } else if (s.mpegAudio.ok) {
        f.profile = mpegAudioLayerName(s.mpegAudio);
        f.sampleRate = s.mpegAudio.sampleRate;
        f.channels = s.mpegAudio.channels;
    }
}

// Streams that lost packets, "PID 256 (AVC): 12" each, at most a few, then the
// losses on the tables' and other PIDs.
std::string ccErrorList(const TsFile& file) {
    std::string list;
    int listed = 0;
    uint64_t onStreams = 0;
    for (const TsStream& s : file.streams) {
        if (!s.ccErrors) continue;
        onStreams += s.ccErrors;
        if (listed++ == 6) {
            list += ", ...";
            continue;
        }
        if (listed > 7) continue;
        if (!list.empty()) list += ", ";
        list += "PID " + std::to_string(s.pid) + " (" + (s.codec.empty() ? "unknown" : s.codec) +
                "): " + std::to_string(s.ccErrors);
    }
    if (file.ccErrors > onStreams) {
        if (!list.empty()) list += ", ";
        list += "tables and other PIDs: " + std::to_string(file.ccErrors - onStreams);
    }
    return list;
}

std::string partRead(const TsFile& file) {
    return file.tailRead ? "in the parts read (the first and last few megabytes)"
                         : "in the whole file";
}

void addFindings(const TsFile& file, MediaStreams& out) {
    switch (file.status) {
    case TsStatus::ok:
        break;
    case TsStatus::notTransportStream:
        out.add(Severity::broken, "ts.not_ts", "Not an MPEG transport stream",
                "No steady run of 188-, 192- or 204-byte packets was found at the start of the "
                "file, so it is not a transport stream, or its start is damaged beyond reading.");
        return;
    case TsStatus::readError:
        out.add(Severity::broken, "ts.read_error", "The file could not be read",
                "Reading the file failed part way. Copy it to a local disk and try again.");
        return;
    case TsStatus::noPat:
        out.add(Severity::broken, "ts.no_pat", "No program table: players may not find the streams",
                "The file holds transport packets, but no program association table was found " +
                    partRead(file) +
                    ". Without it a player does not know which packets hold the programme; many "
                    "show nothing or guess. The recording may have started late or been cut from "
                    "the middle of a broadcast. Remuxing with a tool that scans the packets "
                    "(ffmpeg -i in.ts -c copy out.ts) rebuilds the tables.");
        break;
    case TsStatus::noPmt:
        out.add(Severity::broken, "ts.no_pmt", "No program map: the streams are not described",
                "The program association table points to program maps that were not found " +
                    partRead(file) +
                    ". Without them a player does not know the streams' codecs; many show "
                    "nothing. Remuxing with a tool that scans the packets may rebuild them.");
        break;
    }
    if (file.ccErrors) {
        out.add(Severity::warning, "ts.cc_errors",
                "Lost packets: " + std::to_string(file.ccErrors) + " continuity errors",
                "The packets' continuity counters skip " + std::to_string(file.ccErrors) +
                    " times " + partRead(file) + " (" + ccErrorList(file) +
                    "). Packets were lost in reception or recording (weak signal, a full disk or "
                    "a busy machine while recording). Playback glitches there: blocky pictures, "
                    "dropouts in the sound, or a player that stops or jumps. The rest of the file "
                    "is unharmed. Nothing can bring the lost packets back; if you can, record or "
                    "download it again, or cut the damaged part out.");
    }
    if (file.scrambledPackets) {
        out.add(Severity::broken, "ts.scrambled",
                "Encrypted: " + std::to_string(file.scrambledPackets) + " scrambled packets",
                "Packets " + partRead(file) +
                    " are scrambled: this is an encrypted (pay-TV) broadcast recorded as "
                    "received. Players cannot decode the scrambled streams without the "
                    "broadcaster's key; they show a black picture or nothing. Record it again "
                    "with a receiver that descrambles (with a valid subscription).");
    }
    if (file.resyncs) {
        out.add(Severity::warning, "ts.sync_lost",
                "Damaged: " + std::to_string(file.bytesSkipped) +
                    " bytes of garbage between packets",
                "The regular packet rhythm broke " + std::to_string(file.resyncs) + " times " +
                    partRead(file) +
                    "; the bytes between were not packets and were skipped. The data there is "
                    "lost, so playback glitches at those points; the packets after them read "
                    "normally. A player may stall briefly; remuxing the file drops the garbage.");
    }
    if (file.transportErrorPackets) {
        out.add(Severity::warning, "ts.transport_errors",
                std::to_string(file.transportErrorPackets) + " packets marked damaged in reception",
                "The receiver marked these packets as received with errors it could not "
                "correct. Their contents are unreliable, so expect glitches there.");
    }
    if (file.has(TsProblem::truncatedPacket)) {
        out.add(Severity::note, "ts.truncated", "Cut off: the last packet is incomplete",
                "The file ends " + std::to_string(file.truncatedBytes) +
                    " bytes into its last packet: the recording or download stopped before the "
                    "end. Everything before plays; the final moment may be missing.");
    }
    if (file.has(TsProblem::badSection)) {
        out.add(Severity::note, "ts.bad_section", "A program table section is damaged",
                "A program table section was cut short, too long or failed its checksum; a "
                "later copy was used where there was one.");
    }
    if (file.has(TsProblem::tooManyStreams)) {
        out.add(Severity::note, "ts.many_streams", "More streams than listed",
                "The file declares " + std::to_string(file.streamCount) +
                    " streams; only the first " + std::to_string(file.streams.size()) +
                    " are described.");
    }
}

} // namespace

MediaStreams describeTransportStream(const TsFile& file) {
    MediaStreams out;
    out.present = file.status != TsStatus::notTransportStream && file.status != TsStatus::readError;
    out.container = "MPEG-TS";
    if (file.packetSize == 192) out.brand = "M2TS";
    if (file.packetSize == 204) out.brand = "204-byte packets";
    out.streamCount = file.streamCount;
    if (file.seconds > 0) {
        out.seconds = file.seconds;
        out.secondsEstimated = true;
        out.bitrate = bitsPerSecond(double(file.fileSize), file.seconds);
    }
    for (const TsStream& s : file.streams) {
        StreamFacts f;
        f.kind = kindOf(s.kind);
        f.id = s.pid;
        f.codecId = hexByte(s.streamType);
        f.codec = s.codec;
        f.language = s.language;
        fillFromConfig(s, f);
        f.frameRate = s.frameRate;
        if (s.spanTicks) f.seconds = double(s.spanTicks) / 90000.0;
        f.bitrate = bitsPerSecond(double(s.rateBytes), double(s.rateTicks) / 90000.0);
        out.streams.push_back(std::move(f));
    }
    addFindings(file, out);
    return out;
}

} // namespace tavro

// The ASF record in the common shape: each stream with its codec family, the file's
// duration and title, and what stops a damaged file from playing.
#include <algorithm>
#include <cstdio>
#include <string>

#include "analysis/asf/asf_reader.h"
#include "analysis/streams/codec_family.h"

namespace tavro {

namespace {

const char* familyOfFourcc(uint32_t fourcc) {
    for (const CodecKeys& k : codecFamilies())
        for (uint32_t f : k.fourccs)
            if (f == fourcc) return k.family;
    return "";
}

const char* familyOfTag(uint16_t tag) {
    if (tag == 0x000A) return "WMA"; // WMA Voice: told apart by its profile
    for (const CodecKeys& k : codecFamilies())
        for (uint16_t t : k.formatTags)
            if (t == tag) return k.family;
    return "";
}

std::string fourccText(uint32_t fourcc) {
    std::string s;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>(fourcc >> (8 * i));
        s += c >= 0x20 && c < 0x7F ? c : '?';
    }
    return s;
}

std::string hexTag(uint16_t tag) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", tag);
    return text;
}

StreamKind kindOf(AsfStreamType t) {
    switch (t) {
    case AsfStreamType::audio:
        return StreamKind::audio;
    case AsfStreamType::video:
    case AsfStreamType::jfif:
    case AsfStreamType::degradableJpeg:
        return StreamKind::video;
    default:
        return StreamKind::other;
    }
}

StreamFacts factsOf(const AsfStream& s, const AsfFile& f) {
    StreamFacts t;
    t.kind = kindOf(s.type);
    t.id = s.number;
    t.seconds = f.seconds;
    t.language = s.language;
    t.title = s.name;
    if (s.type == AsfStreamType::audio) {
        t.formatTag = s.formatTag;
        t.codecId = hexTag(s.formatTag);
        t.codec = familyOfTag(s.formatTag);
        if (s.formatTag == 0x000A) t.profile = "Voice";
        t.sampleRate = s.sampleRate;
        t.channels = s.channels;
        t.bitDepth = s.bitsPerSample;
        t.bitrate = s.averageBitrate      ? s.averageBitrate
                    : s.avgBytesPerSecond ? uint64_t(s.avgBytesPerSecond) * 8
                                          : s.dataBitrate;
    } else if (s.type == AsfStreamType::video) {
        t.fourcc = s.fourcc;
        t.codecId = fourccText(s.fourcc);
        t.codec = familyOfFourcc(s.fourcc);
        if (s.fourcc == fourccOf("WVC1") || s.fourcc == fourccOf("WMVA")) t.profile = "Advanced";
        t.width = s.width;
        t.height = s.height;
        t.bitDepth = 0;
        t.bitrate = s.averageBitrate ? s.averageBitrate : s.dataBitrate;
        if (s.averageTimePerFrame) t.frameRate = 1e7 / static_cast<double>(s.averageTimePerFrame);
    } else if (s.type == AsfStreamType::command) {
        t.codecId = "command";
    } else if (s.type == AsfStreamType::jfif) {
        t.codecId = "JFIF";
        t.codec = "MJPEG";
    }
    return t;
}

std::string bytesText(uint64_t bytes) {
    char text[48];
    if (bytes >= (1u << 20))
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1 << 20));
    else
        std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
    return text;
}

void addFindings(const AsfFile& f, MediaStreams& m) {
    if (f.has(AsfProblem::headerPastEnd))
        m.add(Severity::broken, "asf.header_past_end", "Truncated: the file ends inside its header",
              "The header of this Windows Media file claims more bytes than the file holds, so "
              "the file stops before its audio and video begin. Nothing can be played; the copy "
              "or download stopped early. Get the file again.");
    if (f.has(AsfProblem::dataTruncated)) {
        std::string lost = bytesText(f.bytesMissing);
        if (f.secondsMissing > 0) lost = durationText(f.secondsMissing) + " (" + lost + ")";
        m.add(Severity::broken, "asf.data_truncated", "Truncated: " + lost + " missing",
              "The file ends " + bytesText(f.bytesMissing) + " before its data is complete" +
                  (f.packetsMissing
                       ? ": " + std::to_string(f.packetsMissing) + " of " +
                             std::to_string(f.dataPackets ? f.dataPackets : f.packetCount) +
                             " packets are gone"
                       : std::string()) +
                  (f.secondsMissing > 0
                       ? ", about " + durationText(f.secondsMissing) + " at the end"
                       : std::string()) +
                  ". What is there plays until the cut, but the index at the end is gone, so "
                  "seeking may not work and players may show a length they never reach. Get a "
                  "complete copy.");
    } else if (f.has(AsfProblem::fileShorterThanDeclared) && f.hasData) {
        m.add(Severity::warning, "asf.file_shorter", "Truncated after the data: index missing",
              "The audio and video data are whole, but the file is shorter than its header "
              "says: the index that follows the data is missing or cut. It plays, but seeking "
              "may be slow or impossible. Remuxing rebuilds the index.");
    }
    if (f.has(AsfProblem::noDataObject) && !f.has(AsfProblem::headerPastEnd))
        m.add(Severity::broken, "asf.no_data", "Damaged: no audio or video data",
              "The header is whole, but no data follows it: the file holds a description of "
              "the streams and nothing to play. The recording or copy stopped right after the "
              "header was written.");
    if (f.broadcast)
        m.add(Severity::note, "asf.broadcast", "Live broadcast: length unknown",
              "The file is marked as a live broadcast, so its header gives no valid length or "
              "size. It plays, but players may not show a length or allow seeking.");
    if (f.has(AsfProblem::noFileProperties))
        m.add(Severity::warning, "asf.no_file_properties", "Damaged: file properties missing",
              "The header lacks the block that gives the length and packet size. Players may "
              "refuse the file or play it without a length.");
    if (f.has(AsfProblem::streamDamaged) || f.has(AsfProblem::extensionDamaged) ||
        f.has(AsfProblem::badObjectSize) || f.has(AsfProblem::objectPastParent) ||
        f.has(AsfProblem::tagsDamaged))
        m.add(Severity::warning, "asf.header_objects_damaged",
              "Damaged: parts of the header are wrong",
              "Some parts of the header have sizes that do not add up, so the stream details "
              "or tags shown may be incomplete. Players that check the header strictly may "
              "refuse the file; a remux can repair it if the data is whole.");
    if (f.has(AsfProblem::tooManyObjects) || f.has(AsfProblem::tooManyStreams) ||
        f.has(AsfProblem::tooManyTags) || f.has(AsfProblem::headerTooLarge))
        m.add(Severity::note, "asf.not_all_read", "Very large header: not all of it was read",
              "The header holds more objects, streams or tags than Tavro reads; those past "
              "the limit are counted but not shown. This says nothing about whether it plays.");
    for (const AsfStream& s : f.streams)
        if (s.encrypted) {
            m.add(Severity::warning, "asf.encrypted", "Protected (DRM)",
                  "At least one stream is encrypted with Windows Media DRM. It plays only where "
                  "a licence for it is installed; no codec will help.");
            break;
        }
}

} // namespace

MediaStreams describeAsf(const AsfFile& f) {
    MediaStreams m;
    if (f.status != AsfStatus::ok) {
        if (f.status == AsfStatus::headerDamaged)
            m.add(Severity::broken, "asf.header_damaged", "Damaged: the ASF header is unreadable",
                  "The file starts like a Windows Media file, but its header size is "
                  "impossible, so nothing in it can be found. The head of the file is damaged.");
        else if (f.status == AsfStatus::readError)
            m.add(Severity::broken, "asf.read_error", "Could not be read",
                  "Reading the file failed part way. Check the disk or network share and try "
                  "again.");
        else
            m.add(Severity::broken, "asf.not_asf", "Not an ASF file",
                  "The file does not start with the Windows Media header, so it is something "
                  "else with a .wmv, .wma or .asf name, or its head is damaged.");
        return m;
    }
    m.present = true;
    m.container = "ASF";
    m.title = f.title.empty() ? f.tag("Title") : f.title;
    m.seconds = f.seconds;
    m.streamCount = std::max<uint64_t>(f.streamCount, f.streams.size());
    // The bytes there over the time they hold: a cut file keeps its true rate.
    const double heard = f.seconds - f.secondsMissing;
    const double bitrate = heard > 0 && f.hasData ? static_cast<double>(f.dataSize) * 8 / heard : 0;
    if (bitrate < 1e12) m.bitrate = static_cast<uint64_t>(bitrate); // past that, no rate at all
    for (const AsfStream& s : f.streams)
        if (s.type != AsfStreamType::unknown || s.formatTag || s.fourcc)
            m.streams.push_back(factsOf(s, f));
    addFindings(f, m);
    if (m.streams.empty() && !f.has(AsfProblem::headerPastEnd))
        m.add(Severity::broken, "asf.no_streams", "Damaged: no streams described",
              "The header describes no audio or video stream, so players have nothing to "
              "decode. The header is damaged or was never finished.");
    return m;
}

} // namespace tavro

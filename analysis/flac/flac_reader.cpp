#include "analysis/flac/flac_reader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <vector>

#include "analysis/flac/flac_frame.h"
#include "analysis/streams/budget_source.h"
#include "analysis/streams/map_feed.h"

namespace tavro {

bool FlacFile::has(FlacProblem p) const {
    return std::find(problems.begin(), problems.end(), p) != problems.end();
}

void FlacFile::note(FlacProblem p) {
    if (!has(p)) problems.push_back(p);
}

std::string FlacFile::comment(const char* name) const {
    for (const auto& c : comments)
        if (c.first == name) return c.second;
    return {};
}

namespace {

uint32_t be24(const uint8_t* p) {
    return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
}
uint32_t be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | be24(p + 1);
}
uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

using Source = BudgetSource;

// Skips ID3v2 tags; false when one runs past the end of the file.
bool skipId3(Source& src, FlacFile& f, const FlacLimits& limits) {
    ByteBuffer b;
    for (uint32_t i = 0; i < limits.maxId3Tags; ++i) {
        if (!src.read(f.markerOffset, 10, b) || b.size() < 10) return true;
        if (b[0] != 'I' || b[1] != 'D' || b[2] != '3') return true;
        if ((b[6] | b[7] | b[8] | b[9]) & 0x80) return true; // not a syncsafe size
        uint64_t size = uint64_t(b[6]) << 21 | uint64_t(b[7]) << 14 | b[8] << 7 | b[9];
        size += (b[5] & 0x10) ? 20 : 10; // header, and the footer when flagged
        if (size > f.fileSize - f.markerOffset) {
            f.note(FlacProblem::id3PastEnd);
            return false;
        }
        f.markerOffset += size;
        f.id3Bytes += size;
    }
    return true;
}

void parseStreamInfo(const ByteBuffer& b, FlacFile& f) {
    f.hasStreamInfo = true;
    f.minBlockSize = uint32_t(b[0]) << 8 | b[1];
    f.maxBlockSize = uint32_t(b[2]) << 8 | b[3];
    f.minFrameSize = be24(&b[4]);
    f.maxFrameSize = be24(&b[7]);
    f.sampleRate = be24(&b[10]) >> 4;
    f.channels = ((b[12] >> 1) & 7) + 1;
    f.bitsPerSample = ((uint32_t(b[12] & 1) << 4) | (b[13] >> 4)) + 1;
    f.totalSamples = uint64_t(b[13] & 0x0F) << 32 | be32(&b[14]);
    std::copy(b.begin() + 18, b.begin() + 34, f.md5);
    if (f.sampleRate == 0 || f.minBlockSize < 16 || f.maxBlockSize < f.minBlockSize ||
        f.bitsPerSample < 4)
        f.note(FlacProblem::badStreamInfo);
}

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Vendor string, then counted NAME=value comments, every length little-endian and
// checked against what is left.
void parseComments(const ByteBuffer& b, FlacFile& f, const FlacLimits& limits) {
    size_t pos = 0;
    auto left = [&] { return b.size() - pos; };
    if (left() < 4) return f.note(FlacProblem::commentsDamaged);
    uint32_t n = le32(&b[pos]);
    pos += 4;
    if (n > left()) return f.note(FlacProblem::commentsDamaged);
    f.vendor.assign(reinterpret_cast<const char*>(&b[pos]), std::min<size_t>(n, 256));
    pos += n;
    if (left() < 4) return f.note(FlacProblem::commentsDamaged);
    f.commentCount = le32(&b[pos]);
    pos += 4;
    for (uint64_t i = 0; i < f.commentCount; ++i) {
        if (left() < 4) return f.note(FlacProblem::commentsDamaged);
        n = le32(&b[pos]);
        pos += 4;
        if (n > left()) return f.note(FlacProblem::commentsDamaged);
        if (f.comments.size() >= limits.maxComments) {
            f.note(FlacProblem::tooManyComments);
        } else {
            const std::string text(reinterpret_cast<const char*>(&b[pos]), n);
            const size_t eq = text.find('=');
            if (eq != std::string::npos)
                f.comments.emplace_back(upper(text.substr(0, eq)), text.substr(eq + 1, 4096));
        }
        pos += n;
    }
}

void parsePicture(const ByteBuffer& b, uint64_t blockLength, FlacFile& f,
                  const FlacLimits& limits) {
    ++f.pictureCount;
    if (f.pictures.size() >= limits.maxPictures || b.size() < 8) return;
    FlacPicture p;
    p.type = be32(&b[0]);
    size_t pos = 4;
    uint32_t n = be32(&b[pos]);
    pos += 4;
    if (n > b.size() - pos) return f.pictures.push_back(p);
    p.mime.assign(reinterpret_cast<const char*>(&b[pos]), std::min<size_t>(n, 64));
    pos += n;
    if (b.size() - pos < 4) return f.pictures.push_back(p);
    n = be32(&b[pos]);
    pos += 4;
    if (n > b.size() - pos || b.size() - pos - n < 20) return f.pictures.push_back(p);
    pos += n;
    p.width = be32(&b[pos]);
    p.height = be32(&b[pos + 4]);
    const uint32_t data = be32(&b[pos + 16]);
    // Only a length the block can hold is believed.
    if (data <= blockLength - (pos + 20)) p.dataBytes = data;
    f.pictures.push_back(p);
}

// A metadata block on the file map: the seek table is the index, padding is padding.
SpanKind spanKindOf(uint8_t blockType) {
    return blockType == 3 ? SpanKind::Index : blockType == 1 ? SpanKind::Junk : SpanKind::Header;
}

void walkMetadata(Source& src, FlacFile& f, const FlacLimits& limits, MapFeed* map) {
    uint64_t offset = f.markerOffset + 4;
    ByteBuffer b;
    for (uint64_t i = 0;; ++i) {
        if (i >= limits.maxBlocks) {
            f.note(FlacProblem::tooManyBlocks);
            break;
        }
        if (!src.read(offset, 4, b)) break;
        if (b.size() < 4) {
            f.note(FlacProblem::blockPastEnd);
            break;
        }
        const bool last = (b[0] & 0x80) != 0;
        const uint8_t type = b[0] & 0x7F;
        const uint32_t length = be24(&b[1]);
        ++f.blockCount;
        offset += 4;
        if (type == 127) {
            f.note(FlacProblem::badBlockType);
            break;
        }
        if (offset > f.fileSize || length > f.fileSize - offset) {
            f.note(FlacProblem::blockPastEnd);
            offset = f.fileSize;
            break;
        }
        if (map) map->add(offset - 4, uint64_t(length) + 4, spanKindOf(type));
        if (type == 0) {
            if (i != 0) f.note(FlacProblem::streamInfoNotFirst);
            if (length != 34) f.note(FlacProblem::badStreamInfo);
            if (!f.hasStreamInfo && length >= 34 && src.read(offset, 34, b) && b.size() == 34)
                parseStreamInfo(b, f);
        } else if (type == 4) {
            if (length <= limits.maxCommentBlockBytes && src.read(offset, length, b) &&
                b.size() == length)
                parseComments(b, f, limits);
        } else if (type == 6) {
            if (src.read(offset, std::min<uint32_t>(length, 4096), b))
                parsePicture(b, length, f, limits);
        }
        offset += length;
        if (last) break;
    }
    f.audioOffset = offset;
}

// Where the audio ends: before a trailing ID3v1 tag, when one is there.
uint64_t audioEnd(Source& src, const FlacFile& f) {
    ByteBuffer b;
    if (f.fileSize - f.audioOffset >= 128 && src.read(f.fileSize - 128, 3, b) && b.size() == 3 &&
        b[0] == 'T' && b[1] == 'A' && b[2] == 'G')
        return f.fileSize - 128;
    return f.fileSize;
}

// The frame's first sample: variable block size streams say it, fixed ones number frames.
uint64_t firstSampleOf(const FlacFrameHeader& h, const FlacFile& f) {
    if (h.variableBlockSize) return h.number;
    const uint64_t block =
        f.minBlockSize && f.minBlockSize == f.maxBlockSize ? f.minBlockSize : h.blockSize;
    return h.number * block;
}

// A header that contradicts the stream information is a chance match in the audio.
bool agrees(const FlacFrameHeader& h, const FlacFile& f) {
    if (!h.ok || !f.hasStreamInfo) return h.ok;
    if (h.sampleRate && h.sampleRate != f.sampleRate) return false;
    if (h.bitsPerSample && h.bitsPerSample != f.bitsPerSample) return false;
    if (h.channels != f.channels) return false;
    return !f.maxBlockSize || h.blockSize <= f.maxBlockSize;
}

// The last frame header in the tail whose predecessor ends where it begins; a
// lone header only when no such chain is found.
void findLastFrame(Source& src, FlacFile& f, uint64_t end, const FlacLimits& limits) {
    const uint64_t span = end - f.audioOffset;
    const uint64_t want = std::min<uint64_t>(span, limits.tailBytes);
    ByteBuffer b;
    if (!want || !src.read(end - want, static_cast<size_t>(want), b)) return;
    const uint64_t base = end - want;
    bool chained = false, anyFound = false;
    // End samples of the last few candidates: a chance match between two true frames
    // must not break the chain.
    uint64_t ends[8] = {};
    size_t endCount = 0;
    for (size_t i = 0; i + 1 < b.size(); ++i) {
        // Every header begins with the rare byte 0xFF: jump from one to the next.
        const auto* ff = static_cast<const uint8_t*>(std::memchr(&b[i], 0xFF, b.size() - 1 - i));
        if (!ff) break;
        i = static_cast<size_t>(ff - b.data());
        if ((b[i + 1] & 0xFE) != 0xF8) continue;
        const FlacFrameHeader h = parseFlacFrameHeader(&b[i], b.size() - i);
        if (!agrees(h, f)) continue;
        const uint64_t first = firstSampleOf(h, f);
        bool links = false;
        for (size_t k = 0; k < endCount && k < 8; ++k)
            links = links || ends[k] == first;
        const bool atStart = base + i == f.audioOffset;
        if (links || atStart || !chained) {
            chained = chained || links || atStart;
            f.lastFrameFound = true;
            f.lastFrameOffset = base + i;
            f.lastFrame = h;
            f.samplesInData = first + h.blockSize;
        }
        anyFound = true;
        ends[endCount++ % 8] = first + h.blockSize;
    }
    if (!anyFound) f.note(FlacProblem::noFrames);
}

void findFrames(Source& src, FlacFile& f, const FlacLimits& limits) {
    const uint64_t end = audioEnd(src, f);
    f.audioBytes = end > f.audioOffset ? end - f.audioOffset : 0;
    if (!f.audioBytes) return;
    ByteBuffer b;
    if (src.read(f.audioOffset, 32, b)) {
        f.firstFrame = parseFlacFrameHeader(b.data(), b.size());
        f.firstFrameFound = agrees(f.firstFrame, f);
        if (!f.firstFrameFound) f.note(FlacProblem::noFrameAtAudioStart);
    }
    findLastFrame(src, f, end, limits);
}

// Tags, marker, metadata aside: the audio as one run of its stream over its time
// (the time the frames reach when the last was found), and an ID3v1 tag after it.
void mapAudio(MapFeed& map, const FlacFile& f) {
    const double seconds = f.secondsInData > 0 ? f.secondsInData : f.seconds;
    map.add(f.audioOffset, f.audioBytes, SpanKind::Data, 0, seconds > 0 ? 0 : -1, seconds);
    const uint64_t audioEnd = f.audioOffset + f.audioBytes;
    if (f.audioBytes && audioEnd < f.fileSize)
        map.add(audioEnd, f.fileSize - audioEnd, SpanKind::Header);
}

void figure(FlacFile& f) {
    if (!f.sampleRate) return;
    const double rate = f.sampleRate;
    if (f.totalSamples) f.seconds = static_cast<double>(f.totalSamples) / rate;
    // No audio bytes at all is the limit case of a cut file: nothing of it is there.
    if (f.lastFrameFound || (f.audioBytes == 0 && f.totalSamples)) {
        f.secondsInData = static_cast<double>(f.samplesInData) / rate;
        if (f.totalSamples > f.samplesInData) {
            f.samplesMissing = f.totalSamples - f.samplesInData;
            f.secondsMissing = static_cast<double>(f.samplesMissing) / rate;
            f.note(FlacProblem::samplesExceedData);
        }
    }
    const double seconds = f.totalSamples ? f.seconds : f.secondsInData;
    const double heard = std::min(seconds, f.secondsInData > 0 ? f.secondsInData : seconds);
    // A claimed size far past the bytes can make the quotient absurd; such a rate is
    // no rate at all.
    const double bitrate = heard > 0 ? static_cast<double>(f.audioBytes) * 8 / heard : 0;
    if (bitrate > 0 && bitrate < 1e12) f.bitrate = static_cast<uint64_t>(bitrate);
}

} // namespace

FlacFile readFlacFile(RandomAccessReader& reader, const FlacLimits& limits) {
    FlacFile f;
    f.fileSize = reader.size();
    Source src(reader, limits.maxBytesRead);
    std::optional<MapFeed> feed;
    if (limits.spans) feed.emplace(*limits.spans);
    MapFeed* map = feed ? &*feed : nullptr;
    ByteBuffer b;
    if (skipId3(src, f, limits) && src.read(f.markerOffset, 4, b) && b.size() == 4 && b[0] == 'f' &&
        b[1] == 'L' && b[2] == 'a' && b[3] == 'C') {
        if (map) map->add(0, f.markerOffset + 4, SpanKind::Header);
        walkMetadata(src, f, limits, map);
        f.status = f.hasStreamInfo ? FlacStatus::ok : FlacStatus::noStreamInfo;
        if (f.hasStreamInfo) {
            findFrames(src, f, limits);
            figure(f);
            if (map) mapAudio(*map, f);
        }
    }
    if (src.ioError()) f.status = FlacStatus::readError;
    f.bytesRead = src.used();
    return f;
}

const char* flacStatusText(FlacStatus status) {
    switch (status) {
    case FlacStatus::ok:
        return "FLAC";
    case FlacStatus::notFlac:
        return "not a FLAC file";
    case FlacStatus::noStreamInfo:
        return "FLAC without stream information";
    case FlacStatus::readError:
        return "read error";
    }
    return "?";
}

const char* flacProblemText(FlacProblem problem) {
    switch (problem) {
    case FlacProblem::id3PastEnd:
        return "ID3v2 tag runs past the end of the file";
    case FlacProblem::blockPastEnd:
        return "metadata block runs past the end of the file";
    case FlacProblem::badStreamInfo:
        return "stream information block is malformed";
    case FlacProblem::streamInfoNotFirst:
        return "stream information is not the first block";
    case FlacProblem::badBlockType:
        return "metadata block of the forbidden type 127";
    case FlacProblem::tooManyBlocks:
        return "too many metadata blocks; the rest were not read";
    case FlacProblem::commentsDamaged:
        return "Vorbis comment lengths do not add up";
    case FlacProblem::tooManyComments:
        return "too many comments; the rest were counted";
    case FlacProblem::noFrameAtAudioStart:
        return "no frame header where the audio should begin";
    case FlacProblem::noFrames:
        return "no frame header found near the end of the file";
    case FlacProblem::samplesExceedData:
        return "fewer samples in the frames than declared";
    }
    return "?";
}

} // namespace tavro

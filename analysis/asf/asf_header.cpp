#include "analysis/asf/asf_header.h"

#include <algorithm>

#include "analysis/asf/asf_guid.h"

namespace tavro {

namespace {

// A little-endian cursor over a span: a read past the end returns zero and sets
// `short_`, so a fixed layout is read whole and checked once.
class Cursor {
  public:
    Cursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t left() const { return size_ - pos_; }
    size_t pos() const { return pos_; }
    const uint8_t* here() const { return data_ + pos_; }
    bool isShort() const { return short_; }
    uint64_t le(int n) {
        if (static_cast<size_t>(n) > left()) {
            short_ = true;
            pos_ = size_;
            return 0;
        }
        uint64_t v = 0;
        for (int i = n - 1; i >= 0; --i)
            v = v << 8 | data_[pos_ + i];
        pos_ += n;
        return v;
    }
    bool skip(uint64_t n) {
        if (n > left()) {
            short_ = true;
            pos_ = size_;
            return false;
        }
        pos_ += static_cast<size_t>(n);
        return true;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool short_ = false;
};

void appendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

struct Walk {
    AsfFile& file;
    const AsfLimits& limits;
    uint64_t objects = 0;
    MapFeed* map = nullptr;
    const uint8_t* start = nullptr; // the bytes given, which lie at `offset` of the file
    uint64_t offset = 0;
};

// Header Extension: GUID, size, a reserved GUID and word, and the children's length.
constexpr uint64_t kExtensionFixedBytes = 46;

AsfStreamType streamTypeOf(const uint8_t* guid) {
    using namespace asf_guid;
    if (audioMedia.is(guid)) return AsfStreamType::audio;
    if (videoMedia.is(guid)) return AsfStreamType::video;
    if (commandMedia.is(guid)) return AsfStreamType::command;
    if (jfifMedia.is(guid)) return AsfStreamType::jfif;
    if (degradableJpegMedia.is(guid)) return AsfStreamType::degradableJpeg;
    if (fileTransferMedia.is(guid)) return AsfStreamType::fileTransfer;
    if (binaryMedia.is(guid)) return AsfStreamType::binary;
    return AsfStreamType::unknown;
}

// The stream of that number, added when there is room.
AsfStream* streamFor(uint16_t number, Walk& w) {
    if (AsfStream* s = w.file.stream(number)) return s;
    if (w.file.streams.size() >= w.limits.maxStreams) {
        w.file.note(AsfProblem::tooManyStreams);
        return nullptr;
    }
    w.file.streams.push_back({});
    w.file.streams.back().number = number;
    return &w.file.streams.back();
}

void parseFileProperties(Cursor c, AsfFile& f) {
    c.skip(16); // file id
    f.declaredFileSize = c.le(8);
    c.skip(8); // creation date
    f.packetCount = c.le(8);
    f.playDuration = c.le(8);
    f.sendDuration = c.le(8);
    f.preroll = c.le(8);
    f.flags = static_cast<uint32_t>(c.le(4));
    f.minPacketSize = static_cast<uint32_t>(c.le(4));
    f.maxPacketSize = static_cast<uint32_t>(c.le(4));
    f.maxBitrate = static_cast<uint32_t>(c.le(4));
    if (c.isShort()) {
        f.note(AsfProblem::noFileProperties);
        return;
    }
    f.hasFileProperties = true;
    f.broadcast = (f.flags & 1) != 0;
    f.seekable = (f.flags & 2) != 0;
    if (f.broadcast) f.note(AsfProblem::broadcast);
}

void parseWaveFormat(Cursor c, AsfStream& s) {
    s.formatTag = static_cast<uint16_t>(c.le(2));
    s.channels = static_cast<uint16_t>(c.le(2));
    s.sampleRate = static_cast<uint32_t>(c.le(4));
    s.avgBytesPerSecond = static_cast<uint32_t>(c.le(4));
    s.blockAlign = static_cast<uint16_t>(c.le(2));
    s.bitsPerSample = static_cast<uint16_t>(c.le(2));
}

void parseVideoFormat(Cursor c, AsfStream& s) {
    s.width = static_cast<uint32_t>(c.le(4));
    s.height = static_cast<uint32_t>(c.le(4));
    c.skip(1); // reserved flags
    const uint64_t formatSize = c.le(2);
    if (formatSize < 40 || formatSize > c.left()) return;
    c.skip(4 + 4 + 4 + 2); // biSize, biWidth, biHeight, biPlanes
    s.bitCount = static_cast<uint16_t>(c.le(2));
    s.fourcc = static_cast<uint32_t>(c.le(4));
}

void parseStreamProperties(Cursor c, Walk& w) {
    const uint8_t* type = c.here();
    if (!c.skip(32)) return w.file.note(AsfProblem::streamDamaged); // type, error correction
    const uint64_t timeOffset = c.le(8);
    const uint64_t typeLength = c.le(4);
    const uint64_t errorLength = c.le(4);
    const uint16_t flags = static_cast<uint16_t>(c.le(2));
    c.skip(4);
    if (c.isShort()) return w.file.note(AsfProblem::streamDamaged);
    ++w.file.streamCount;
    const uint16_t number = flags & 0x7F;
    AsfStream* s = streamFor(number, w);
    if (!s) return;
    s->type = streamTypeOf(type);
    s->encrypted = (flags & 0x8000) != 0;
    s->timeOffset = timeOffset;
    if (typeLength > c.left() || errorLength > c.left() - typeLength)
        w.file.note(AsfProblem::streamDamaged);
    const size_t span = static_cast<size_t>(std::min<uint64_t>(typeLength, c.left()));
    if (s->type == AsfStreamType::audio) parseWaveFormat(Cursor(c.here(), span), *s);
    if (s->type == AsfStreamType::video) parseVideoFormat(Cursor(c.here(), span), *s);
}

void parseLanguageList(Cursor c, Walk& w) {
    const uint64_t count = c.le(2);
    for (uint64_t i = 0; i < count; ++i) {
        const uint64_t length = c.le(1);
        const uint8_t* text = c.here();
        if (c.isShort() || !c.skip(length)) return w.file.note(AsfProblem::extensionDamaged);
        if (w.file.languages.size() < w.limits.maxLanguages)
            w.file.languages.push_back(asfUtf16Text(text, length, 64));
    }
}

void parseBitrates(Cursor c, Walk& w) {
    const uint64_t count = c.le(2);
    for (uint64_t i = 0; i < count; ++i) {
        const uint16_t flags = static_cast<uint16_t>(c.le(2));
        const uint32_t rate = static_cast<uint32_t>(c.le(4));
        if (c.isShort()) return w.file.note(AsfProblem::streamDamaged);
        if (AsfStream* s = w.file.stream(flags & 0x7F)) s->averageBitrate = rate;
    }
}

void parseExtendedStreamProperties(Cursor c, Walk& w) {
    const uint64_t start = c.le(8), end = c.le(8);
    const uint32_t bitrate = static_cast<uint32_t>(c.le(4));
    c.skip(4 * 5); // buffer sizes and fullness, alternate rate
    c.skip(4 + 4); // maximum object size, flags
    const uint16_t number = static_cast<uint16_t>(c.le(2) & 0x7F);
    const uint16_t language = static_cast<uint16_t>(c.le(2));
    const uint64_t timePerFrame = c.le(8);
    const uint64_t names = c.le(2), extensions = c.le(2);
    if (c.isShort()) return w.file.note(AsfProblem::extensionDamaged);
    std::string name;
    for (uint64_t i = 0; i < names; ++i) {
        c.skip(2); // language index
        const uint64_t length = c.le(2);
        const uint8_t* text = c.here();
        if (c.isShort() || !c.skip(length)) return w.file.note(AsfProblem::extensionDamaged);
        if (i == 0) name = asfUtf16Text(text, length, w.limits.maxTextBytes);
    }
    for (uint64_t i = 0; i < extensions; ++i) {
        c.skip(16 + 2);
        const uint64_t length = c.le(4);
        if (c.isShort() || !c.skip(length)) return w.file.note(AsfProblem::extensionDamaged);
    }
    // A Stream Properties Object may close the record, for streams the header lacks.
    if (c.left() >= 24 && asf_guid::streamProperties.is(c.here())) {
        Cursor head(c.here() + 16, 8);
        const uint64_t size = head.le(8);
        if (size < 24 || size > c.left()) {
            w.file.note(AsfProblem::extensionDamaged);
        } else {
            parseStreamProperties(Cursor(c.here() + 24, static_cast<size_t>(size - 24)), w);
        }
    }
    AsfStream* s = streamFor(number, w);
    if (!s) return;
    s->hasExtended = true;
    s->startTime = start;
    s->endTime = end;
    s->dataBitrate = bitrate;
    s->languageIndex = language;
    s->averageTimePerFrame = timePerFrame;
    s->name = name;
}

void parseContentDescription(Cursor c, Walk& w) {
    uint64_t lengths[5];
    for (uint64_t& l : lengths)
        l = c.le(2);
    std::string* fields[5] = {&w.file.title, &w.file.author, &w.file.copyright, &w.file.description,
                              nullptr};
    for (int i = 0; i < 5; ++i) {
        const uint8_t* text = c.here();
        if (c.isShort() || !c.skip(lengths[i])) return w.file.note(AsfProblem::tagsDamaged);
        if (fields[i]) *fields[i] = asfUtf16Text(text, lengths[i], w.limits.maxTextBytes);
    }
}

std::string valueText(uint64_t type, const uint8_t* data, size_t size, size_t maxBytes) {
    if (type == 0) return asfUtf16Text(data, size, maxBytes);
    const int width = type == 2 || type == 3 ? 4 : type == 4 ? 8 : type == 5 ? 2 : 0;
    if (width == 0 || size < static_cast<size_t>(width)) return {};
    uint64_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = v << 8 | data[i];
    if (type == 2) return v ? "true" : "false";
    return std::to_string(v);
}

void parseExtendedContent(Cursor c, Walk& w) {
    w.file.tagCount = c.le(2);
    for (uint64_t i = 0; i < w.file.tagCount; ++i) {
        const uint64_t nameLength = c.le(2);
        const uint8_t* name = c.here();
        if (c.isShort() || !c.skip(nameLength)) return w.file.note(AsfProblem::tagsDamaged);
        const uint64_t type = c.le(2), valueLength = c.le(2);
        const uint8_t* value = c.here();
        if (c.isShort() || !c.skip(valueLength)) return w.file.note(AsfProblem::tagsDamaged);
        if (w.file.tags.size() >= w.limits.maxTags) {
            w.file.note(AsfProblem::tooManyTags);
            continue;
        }
        w.file.tags.emplace_back(asfUtf16Text(name, nameLength, 256),
                                 valueText(type, value, valueLength, w.limits.maxTextBytes));
    }
}

void walkObjects(const uint8_t* data, size_t size, Walk& w, int depth);

void parseHeaderExtension(Cursor c, Walk& w, int depth) {
    c.skip(16 + 2);
    const uint64_t length = c.le(4);
    if (c.isShort() || length > c.left()) {
        w.file.note(AsfProblem::extensionDamaged);
        if (c.isShort()) return;
    }
    walkObjects(c.here(), static_cast<size_t>(std::min<uint64_t>(length, c.left())), w, depth + 1);
}

void parseObject(const uint8_t* guid, Cursor body, Walk& w, int depth) {
    using namespace asf_guid;
    if (depth == 0 && fileProperties.is(guid)) {
        parseFileProperties(body, w.file);
    } else if (streamProperties.is(guid)) {
        parseStreamProperties(body, w);
    } else if (depth == 0 && headerExtension.is(guid)) {
        parseHeaderExtension(body, w, depth);
    } else if (contentDescription.is(guid)) {
        parseContentDescription(body, w);
    } else if (extendedContentDescription.is(guid)) {
        parseExtendedContent(body, w);
    } else if (streamBitrateProperties.is(guid)) {
        parseBitrates(body, w);
    } else if (extendedStreamProperties.is(guid)) {
        parseExtendedStreamProperties(body, w);
    } else if (languageList.is(guid)) {
        parseLanguageList(body, w);
    } else if (codecList.is(guid)) {
        w.file.hasCodecList = true;
    }
}

// Objects side by side: GUID, 64-bit size (header included), body. The extension
// nests one level, no more.
void walkObjects(const uint8_t* data, size_t size, Walk& w, int depth) {
    size_t pos = 0;
    while (size - pos >= 24) {
        if (w.objects >= w.limits.maxObjects) {
            w.file.note(AsfProblem::tooManyObjects);
            return;
        }
        ++w.objects;
        if (depth == 0) ++w.file.headerObjectsFound;
        Cursor head(data + pos + 16, 8);
        uint64_t objectSize = head.le(8);
        if (objectSize < 24) {
            w.file.note(AsfProblem::badObjectSize);
            return;
        }
        if (objectSize > size - pos) {
            w.file.note(depth ? AsfProblem::extensionDamaged : AsfProblem::objectPastParent);
            objectSize = size - pos;
        }
        if (w.map) {
            // The extension's children are mapped in their turn.
            const uint8_t* guid = data + pos;
            const bool extension = depth == 0 && asf_guid::headerExtension.is(guid);
            w.map->add(w.offset + static_cast<uint64_t>(guid - w.start),
                       extension ? std::min(objectSize, kExtensionFixedBytes) : objectSize,
                       asf_guid::padding.is(guid) ? SpanKind::Junk : SpanKind::Header);
        }
        parseObject(data + pos, Cursor(data + pos + 24, static_cast<size_t>(objectSize - 24)), w,
                    depth);
        pos += static_cast<size_t>(objectSize);
    }
}

} // namespace

std::string asfUtf16Text(const uint8_t* data, size_t size, size_t maxBytes) {
    std::string out;
    for (size_t i = 0; i + 1 < size && out.size() < maxBytes; i += 2) {
        uint32_t c = data[i] | uint32_t(data[i + 1]) << 8;
        if (c == 0) break;
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < size) {
            const uint32_t low = data[i + 2] | uint32_t(data[i + 3]) << 8;
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                c = 0xFFFD;
            }
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}

void parseAsfHeaderObjects(const uint8_t* data, size_t size, AsfFile& file, const AsfLimits& limits,
                           MapFeed* map, uint64_t offset) {
    Walk w{file, limits};
    w.map = map;
    w.start = data;
    w.offset = offset;
    walkObjects(data, size, w, 0);
    if (!file.hasFileProperties) file.note(AsfProblem::noFileProperties);
    if (file.headerObjectsFound != file.headerObjectCount && !file.has(AsfProblem::tooManyObjects))
        file.note(AsfProblem::objectCountMismatch);
    for (AsfStream& s : file.streams)
        if (s.languageIndex < file.languages.size()) s.language = file.languages[s.languageIndex];
}

} // namespace tavro

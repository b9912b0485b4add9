// Hand-built ASF files: hostile sizes and counts, cut data, nested extension objects
// and truncation at every byte, with every read counted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/asf/asf_guid.h"
#include "analysis/asf/asf_reader.h"

namespace tavro {
namespace {

using Bytes = std::vector<uint8_t>;

class CountingReader : public BufferReader {
  public:
    using BufferReader::BufferReader;
    bool readAt(uint64_t offset, void* buffer, size_t want, size_t* got) override {
        ++calls;
        const bool ok = BufferReader::readAt(offset, buffer, want, got);
        bytes += *got;
        return ok;
    }
    uint64_t calls = 0, bytes = 0;
};

void le(Bytes& b, uint64_t v, int n) {
    for (int i = 0; i < n; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void guid(Bytes& b, const AsfGuid& g) {
    b.insert(b.end(), g.bytes, g.bytes + 16);
}
void utf16(Bytes& b, const std::string& s) {
    for (char c : s)
        le(b, static_cast<uint8_t>(c), 2);
    le(b, 0, 2);
}

// An object with its size as written (0: the true size).
Bytes object(const AsfGuid& g, const Bytes& body, uint64_t size = 0) {
    Bytes b;
    guid(b, g);
    le(b, size ? size : body.size() + 24, 8);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

const AsfGuid kUnknown = {{0xDE, 0xAD, 0xBE, 0xEF}};

// 10 packets of 100 bytes, 2 s of play after a 500 ms preroll.
Bytes fileProperties(uint32_t flags = 2, uint64_t fileSize = 0) {
    Bytes b(16, 0x11);
    le(b, fileSize, 8), le(b, 0, 8), le(b, 10, 8);
    le(b, 25000000, 8), le(b, 25000000, 8), le(b, 500, 8);
    le(b, flags, 4), le(b, 100, 4), le(b, 100, 4), le(b, 64000, 4);
    return object(asf_guid::fileProperties, b);
}

Bytes audioStream(uint16_t number, uint32_t typeLength = 18) {
    Bytes b;
    guid(b, asf_guid::audioMedia), guid(b, kUnknown);
    le(b, 0, 8), le(b, typeLength, 4), le(b, 0, 4), le(b, number, 2), le(b, 0, 4);
    le(b, 0x0161, 2), le(b, 2, 2), le(b, 44100, 4), le(b, 8000, 4), le(b, 2973, 2), le(b, 16, 2),
        le(b, 0, 2);
    return object(asf_guid::streamProperties, b);
}

Bytes videoStream(uint16_t number) {
    Bytes b;
    guid(b, asf_guid::videoMedia), guid(b, kUnknown);
    le(b, 0, 8), le(b, 11 + 40, 4), le(b, 0, 4), le(b, number, 2), le(b, 0, 4);
    le(b, 320, 4), le(b, 240, 4), b.push_back(2), le(b, 40, 2);
    le(b, 40, 4), le(b, 320, 4), le(b, 240, 4), le(b, 1, 2), le(b, 24, 2);
    b.insert(b.end(), {'W', 'V', 'C', '1'});
    b.resize(b.size() + 20, 0);
    return object(asf_guid::streamProperties, b);
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes b;
    for (const Bytes& p : parts)
        b.insert(b.end(), p.begin(), p.end());
    return b;
}

Bytes header(const Bytes& children, uint32_t count, uint64_t size = 0) {
    Bytes body;
    le(body, count, 4), body.push_back(1), body.push_back(2);
    body.insert(body.end(), children.begin(), children.end());
    return object(asf_guid::header, body, size);
}

Bytes dataObject(uint64_t packetBytes, uint64_t claimed = 0) {
    Bytes b(16, 0x11);
    le(b, 10, 8), le(b, 0x0101, 2);
    b.resize(b.size() + packetBytes, 0x82);
    return object(asf_guid::data, b, claimed);
}

Bytes plainFile() {
    const Bytes children = concat({fileProperties(), audioStream(1), videoStream(2)});
    return concat({header(children, 3), dataObject(1000)});
}

bool hasFinding(const MediaStreams& m, const std::string& code) {
    for (const FileFinding& f : m.findings)
        if (f.code == code) return true;
    return false;
}

TEST(AsfReader, PlainFileReadsWhole) {
    const Bytes b = plainFile();
    BufferReader r(b.data(), b.size());
    const AsfFile f = readAsfFile(r);
    ASSERT_EQ(f.status, AsfStatus::ok);
    EXPECT_TRUE(f.problems.empty()) << asfProblemText(f.problems.front());
    EXPECT_DOUBLE_EQ(f.seconds, 2.0);
    const MediaStreams m = describeAsf(f);
    EXPECT_TRUE(m.findings.empty());
    ASSERT_EQ(m.streams.size(), 2u);
    EXPECT_EQ(m.streams[0].codec, "WMA");
    EXPECT_EQ(m.streams[0].formatTag, 0x0161);
    EXPECT_EQ(m.streams[0].bitrate, 64000u);
    EXPECT_EQ(m.streams[1].codec, "VC-1");
    EXPECT_EQ(m.streams[1].codecId, "WVC1");
    EXPECT_EQ(m.streams[1].profile, "Advanced");
    EXPECT_EQ(m.streams[1].width, 320u);
}

// Header Extension holding a language list and an Extended Stream Properties record
// that carries the stream's own Stream Properties Object.
TEST(AsfReader, ExtensionNamesLanguageAndNestedStream) {
    Bytes langs;
    le(langs, 2, 2);
    for (const char* l : {"en-us", "fr"}) {
        Bytes s;
        utf16(s, l);
        langs.push_back(static_cast<uint8_t>(s.size()));
        langs.insert(langs.end(), s.begin(), s.end());
    }
    Bytes ext;
    le(ext, 0, 8), le(ext, 2000, 8), le(ext, 96000, 4);
    ext.resize(ext.size() + 28, 0);
    le(ext, 3, 2), le(ext, 1, 2), le(ext, 400000, 8), le(ext, 0, 2), le(ext, 0, 2);
    const Bytes nested = audioStream(3);
    ext.insert(ext.end(), nested.begin(), nested.end());
    const Bytes inner = concat(
        {object(asf_guid::languageList, langs), object(asf_guid::extendedStreamProperties, ext)});
    Bytes hx(16, 0);
    le(hx, 6, 2), le(hx, inner.size(), 4);
    hx.insert(hx.end(), inner.begin(), inner.end());
    const Bytes b =
        concat({header(concat({fileProperties(), object(asf_guid::headerExtension, hx)}), 2),
                dataObject(1000)});
    BufferReader r(b.data(), b.size());
    const AsfFile f = readAsfFile(r);
    EXPECT_TRUE(f.problems.empty()) << asfProblemText(f.problems.front());
    ASSERT_EQ(f.streams.size(), 1u);
    EXPECT_EQ(f.streams[0].number, 3);
    EXPECT_EQ(f.streams[0].language, "fr");
    EXPECT_EQ(f.streams[0].averageTimePerFrame, 400000u);
    EXPECT_EQ(describeAsf(f).streams.at(0).language, "fr");
}

TEST(AsfReader, CutDataCountsPacketsAndTime) {
    const Bytes whole = plainFile();
    const size_t cut = whole.size() - 600; // 6 of the 10 packets
    BufferReader r(whole.data(), cut);
    const AsfFile f = readAsfFile(r);
    ASSERT_TRUE(f.has(AsfProblem::dataTruncated));
    EXPECT_EQ(f.bytesMissing, 600u);
    EXPECT_EQ(f.packetsMissing, 6u);
    EXPECT_DOUBLE_EQ(f.secondsMissing, 1.2);
    EXPECT_TRUE(hasFinding(describeAsf(f), "asf.data_truncated"));
}

struct HostileCase {
    const char* name;
    Bytes bytes;
    uint64_t claimed; // 0: the bytes' own length
    AsfStatus status;
    std::vector<AsfProblem> problems; // among those noted
    const char* finding;
};

std::vector<HostileCase> hostileCases() {
    const Bytes fp = fileProperties();
    const Bytes data = dataObject(1000);
    const Bytes fpAudio = concat({fp, audioStream(1)});
    // A header of file properties, one audio stream and `extra`, then the data.
    const auto withObject = [&](const Bytes& extra) {
        return concat({header(concat({fpAudio, extra}), 3), data});
    };
    Bytes manyObjects;
    for (int i = 0; i < 100000; ++i) {
        const Bytes o = object(kUnknown, {});
        manyObjects.insert(manyObjects.end(), o.begin(), o.end());
    }
    Bytes manyStreams = fp;
    for (int i = 0; i < 200; ++i) {
        const Bytes s = audioStream(static_cast<uint16_t>(i % 128));
        manyStreams.insert(manyStreams.end(), s.begin(), s.end());
    }
    Bytes tags;
    le(tags, 1000, 2);
    for (int i = 0; i < 1000; ++i) {
        Bytes name;
        utf16(name, "WM/Tag");
        le(tags, name.size(), 2);
        tags.insert(tags.end(), name.begin(), name.end());
        le(tags, 3, 2), le(tags, 4, 2), le(tags, i, 4);
    }
    Bytes lyingTags;
    le(lyingTags, 65535, 2), le(lyingTags, 0xFFFF, 2);
    Bytes title;
    le(title, 0xFFFF, 2);
    title.resize(10, 0);
    Bytes lyingExtension(16, 0);
    le(lyingExtension, 6, 2), le(lyingExtension, 0xFFFFFFFF, 4);
    using P = AsfProblem;
    const AsfStatus ok = AsfStatus::ok;
    const char* damaged = "asf.header_objects_damaged";
    // clang-format off
    return {
        {"riff", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}, 0, AsfStatus::notAsf, {}, "asf.not_asf"},
        {"empty", {}, 0, AsfStatus::notAsf, {}, "asf.not_asf"},
        {"header_size_0", concat({header(fp, 1, 1), data}), 0, AsfStatus::headerDamaged, {P::badObjectSize}, "asf.header_damaged"},
        {"header_size_2p64", concat({header(fp, 1, UINT64_MAX), data}), 0, ok, {P::headerPastEnd}, "asf.header_past_end"},
        {"header_size_2p32", concat({header(fp, 1, 0xFFFFFFFFull), data}), 0, ok, {P::headerPastEnd}, "asf.header_past_end"},
        {"child_size_0", withObject(object(kUnknown, {}, 1)), 0, ok, {P::badObjectSize}, damaged},
        {"child_size_2p64", withObject(object(kUnknown, {}, UINT64_MAX)), 0, ok, {P::objectPastParent}, damaged},
        {"objects_100000", concat({header(concat({fp, manyObjects}), 100001), data}), 0, ok, {P::tooManyObjects}, "asf.not_all_read"},
        {"count_mismatch", concat({header(fp, 7), data}), 0, ok, {P::objectCountMismatch}, "asf.no_streams"},
        {"no_file_properties", concat({header(audioStream(1), 1), data}), 0, ok, {P::noFileProperties}, "asf.no_file_properties"},
        {"no_data", header(fpAudio, 2), 0, ok, {P::noDataObject}, "asf.no_data"},
        {"data_size_2p64", concat({header(fpAudio, 2), dataObject(100, UINT64_MAX)}), 0, ok, {P::dataTruncated}, "asf.data_truncated"},
        {"data_size_0", concat({header(fpAudio, 2), dataObject(100, 1)}), 0, ok, {P::badObjectSize}, ""},
        {"broadcast", concat({header(concat({fileProperties(1), audioStream(1)}), 2), data}), 0, ok, {P::broadcast}, "asf.broadcast"},
        {"index_cut", concat({header(concat({fileProperties(2, 9000), audioStream(1)}), 2), data}), 0, ok, {P::fileShorterThanDeclared}, "asf.file_shorter"},
        {"type_data_2p32", concat({header(concat({fp, audioStream(1, 0xFFFFFFFF)}), 2), data}), 0, ok, {P::streamDamaged}, damaged},
        {"streams_200", concat({header(manyStreams, 201), data}), 0, ok, {}, ""},
        {"tags_1000", withObject(object(asf_guid::extendedContentDescription, tags)), 0, ok, {P::tooManyTags}, "asf.not_all_read"},
        {"tags_lying", withObject(object(asf_guid::extendedContentDescription, lyingTags)), 0, ok, {P::tagsDamaged}, damaged},
        {"title_lying", withObject(object(asf_guid::contentDescription, title)), 0, ok, {P::tagsDamaged}, damaged},
        {"extension_2p32", withObject(object(asf_guid::headerExtension, lyingExtension)), 0, ok, {P::extensionDamaged}, damaged},
        // Reads come back short; nothing says the data is cut, and nothing breaks.
        {"claimed_2p64", plainFile(), UINT64_MAX, ok, {}, ""},
    };
    // clang-format on
}

TEST(AsfHostile, ClearStatusAndBoundedReads) {
    for (const HostileCase& c : hostileCases()) {
        SCOPED_TRACE(c.name);
        CountingReader reader(c.bytes.data(), c.bytes.size(),
                              c.claimed ? c.claimed : c.bytes.size());
        AsfLimits limits;
        const AsfFile f = readAsfFile(reader, limits);
        EXPECT_EQ(f.status, c.status) << asfStatusText(f.status);
        for (AsfProblem p : c.problems) {
            EXPECT_TRUE(f.has(p)) << asfProblemText(p);
        }
        EXPECT_LE(reader.bytes, limits.maxBytesRead);
        EXPECT_LE(reader.calls, limits.maxTopObjects + 4);
        EXPECT_LE(f.streams.size(), limits.maxStreams);
        EXPECT_LE(f.tags.size(), limits.maxTags);
        const MediaStreams m = describeAsf(f);
        if (*c.finding) {
            EXPECT_TRUE(hasFinding(m, c.finding)) << c.finding;
        }
        if (f.status != AsfStatus::ok || !f.problems.empty()) {
            EXPECT_FALSE(m.findings.empty());
        }
    }
}

TEST(AsfHostile, TruncatedAtEveryByte) {
    const Bytes whole = plainFile();
    for (size_t n = 0; n < whole.size(); ++n) {
        BufferReader r(whole.data(), n);
        const MediaStreams m = describeAsf(readAsfFile(r));
        EXPECT_FALSE(m.findings.empty()) << n;
    }
}

} // namespace
} // namespace tavro

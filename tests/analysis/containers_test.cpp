// Newer containers named from their headers, after the signature rows and under the
// MPEG audio scan.
#include "analysis/identify.h"

#include <gtest/gtest.h>

#include "tests/analysis/mpeg/mpeg_bytes.h"
#include "tests/support/analysis_fixture.h"

namespace tavro {
namespace {

using test::Bytes;
using test::operator+;

Bytes operator+(Bytes a, const std::string& s) {
    a.insert(a.end(), s.begin(), s.end());
    return a;
}

Bytes padded(Bytes b, size_t length = 64) {
    if (b.size() < length) b.resize(length, 0);
    return b;
}

Bytes ftyp(const std::string& brand) {
    return padded(Bytes{0, 0, 0, 0x18} + ("ftyp" + brand + std::string(4, '\0') + "isom"));
}

// An EBML header of the given body (size in one byte), then a Segment id.
Bytes ebml(const Bytes& body) {
    Bytes b{0x1A, 0x45, 0xDF, 0xA3, static_cast<uint8_t>(0x80 | body.size())};
    b.insert(b.end(), body.begin(), body.end());
    return b + std::string("\x18\x53\x80\x67", 4);
}

Bytes docType(const std::string& name) {
    Bytes b{0x42, 0x82, static_cast<uint8_t>(0x80 | name.size())};
    return b + name;
}

const Bytes kVersion{0x42, 0x86, 0x81, 0x01}; // EBMLVersion 1

Bytes transportStream(size_t packets, size_t length) {
    Bytes b(length, 0xFF);
    for (size_t i = 0; i < packets && i * 188 < length; ++i)
        b[i * 188] = 0x47;
    return b;
}

struct Case {
    const char* what;
    Bytes head;
    const char* status; // null: not identified
    const char* type;
};

TEST(Containers, NamedFromTheirHeaders) {
    Bytes webmLate = ebml(kVersion + docType("webm"));
    webmLate.resize(webmLate.size() - 8); // the DocType is cut off by the head's end
    Bytes unknownSize{0x1A, 0x45, 0xDF, 0xA3, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const Case cases[] = {
        {"isom", ftyp("isom"), "MPEG-4 (.MP4/.M4A)", "video/mp4"},
        {"mp42", ftyp("mp42"), "MPEG-4 (.MP4/.M4A)", "video/mp4"},
        {"M4A", ftyp("M4A "), "MPEG-4 audio (.M4A)", "audio/mp4"},
        {"M4V", ftyp("M4V "), "MPEG-4 video (.M4V)", "video/x-m4v"},
        {"qt", ftyp("qt  "), "Quicktime (.MOV/QT)", "video/quicktime"},
        {"3gp5", ftyp("3gp5"), "3GPP (.3GP)", "video/3gpp"},
        {"3g2a", ftyp("3g2a"), "3GPP2 (.3G2)", "video/3gpp2"},
        {"heic", ftyp("heic"), "HEIF image (.HEIC/.HEIF)", "image/heif"},
        {"f4v as ffmpeg writes it", ftyp("f4v "), "Flash MP4 video (.F4V)", "video/mp4"},
        {"unknown brand", ftyp("zzzz"), "ISO base media (.MP4)", "video/mp4"},
        {"brand past the head", Bytes{0, 0, 0, 0x18} + std::string("ftypM4"),
         "ISO base media (.MP4)", "video/mp4"},
        {"FTYP upper case", padded(Bytes{0, 0, 0, 0x18} + std::string("FTYPisom")), nullptr,
         nullptr},
        {"webm", padded(ebml(kVersion + docType("webm"))), "WebM (.WEBM)", "video/webm"},
        {"matroska", padded(ebml(kVersion + docType("matroska"))), "Matroska (.MKV/.MKA)",
         "video/x-matroska"},
        {"webm padded with zeros", padded(ebml(docType(std::string("webm\0\0", 6)))),
         "WebM (.WEBM)", "video/webm"},
        {"no DocType", padded(ebml(kVersion)), "Matroska (.MKV/.MKA)", "video/x-matroska"},
        {"DocType past the head", webmLate, "Matroska (.MKV/.MKA)", "video/x-matroska"},
        {"header of unknown size", unknownSize + std::string("\x42\x82\x84webm", 7), "WebM (.WEBM)",
         "video/webm"},
        // A DocType claiming more bytes than the header holds is not read.
        {"oversized DocType", padded(ebml(Bytes{0x42, 0x82, 0x88} + std::string("webm"))),
         "Matroska (.MKV/.MKA)", "video/x-matroska"},
        {"invalid length byte", padded(ebml(Bytes{0x42, 0x82, 0x00, 0x00})), "Matroska (.MKV/.MKA)",
         "video/x-matroska"},
        {"flv", padded(Bytes{} + std::string("FLV\x01\x05", 5)), "Flash Video (.FLV)",
         "video/x-flv"},
        {"flv version 2", padded(Bytes{} + std::string("FLV\x02\x05", 5)), nullptr, nullptr},
        {"ts", transportStream(3, 600), "MPEG transport stream (.TS)", "video/mp2t"},
        {"ts two sync bytes", transportStream(2, 600), nullptr, nullptr},
        {"ts cut before the third packet", transportStream(3, 376), nullptr, nullptr},
        {"flac", padded(Bytes{} + std::string("fLaC\0\0\0\x22", 8)), "FLAC audio (.FLAC)",
         "audio/flac"},
        {"flac lower case", padded(Bytes{} + std::string("flac")), nullptr, nullptr},
        // The older rows come first: a minor version reading "mdat" keeps QuickTime.
        {"mdat at 12", Bytes{0, 0, 0, 0x18} + std::string("ftypisommdat"), "Quicktime (.MOV/QT)",
         "video/quicktime"},
    };
    for (const Case& c : cases) {
        test::LoadedHead h(c.head);
        h.report.setText(field::Type, "n.a.");
        identify(h.a, c.head.size());
        if (c.status) {
            EXPECT_EQ(h.report.text(field::FileStatus), std::string("File is ") + c.status)
                << c.what;
            EXPECT_EQ(h.info->typeCode, c.status) << c.what;
            EXPECT_EQ(h.report.text(field::Type), c.type) << c.what;
            EXPECT_EQ(h.info->notIdentified, 0u) << c.what;
            EXPECT_NE(h.info->container, ContainerKind::None) << c.what;
        } else {
            EXPECT_EQ(h.report.text(field::FileStatus), "Non-AVI File - Type Unknown.") << c.what;
            EXPECT_EQ(h.info->notIdentified, 1u) << c.what;
        }
    }
}

TEST(Containers, MpegAudioScanStillOutranksThem) {
    // MPEG audio frames behind a container's magic: the frame scan names the file.
    for (const std::string& magic : {std::string("FLV\x01", 4), std::string("fLaC")}) {
        Bytes head = Bytes{} + magic;
        Bytes frames = test::cbrFrames(20);
        head.insert(head.end(), frames.begin(), frames.end());
        test::LoadedHead h(head);
        identify(h.a, head.size());
        EXPECT_EQ(h.info->typeCode.rfind("MPEG-1 Layer 3", 0), 0u) << h.info->typeCode;
        // The row that matched first no longer speaks for the file.
        EXPECT_EQ(h.info->container, ContainerKind::None) << h.info->typeCode;
    }
}

TEST(Containers, WebpKeepsTheUnknownRiffText) {
    Bytes webp = test::list("RIFF", "WEBP", test::chunk("VP8L", Bytes(20, 0)));
    test::LoadedHead h(webp);
    identify(h.a, webp.size());
    EXPECT_EQ(h.report.text(field::FileStatus), "Unsupported / Unknown RIFF file");
    EXPECT_EQ(h.info->notIdentified, 1u);
}

TEST(Containers, NamedInsideCdxaSectors) {
    Bytes sectors(2352, 0);
    Bytes mp4 = ftyp("mp41");
    std::copy(mp4.begin(), mp4.begin() + 24, sectors.begin() + 24);
    Bytes file = test::list("RIFF", "CDXA", test::chunk("data", sectors));
    test::LoadedHead h(file);
    identify(h.a, file.size());
    cdxaScan(h.a, 12);
    EXPECT_EQ(h.report.text(field::FileStatus), "RIFF/CDXA -->MPEG-4 (.MP4/.M4A)");
}

} // namespace
} // namespace tavro

#include "analysis/identify.h"

#include <gtest/gtest.h>

#include "tests/support/analysis_fixture.h"

namespace tavro {
namespace {

using test::Bytes;

Bytes riffHead(const char* form, uint32_t sizeField, size_t length = 64) {
    Bytes b;
    test::putText(b, "RIFF");
    test::putLe32(b, sizeField);
    test::putText(b, form);
    b.resize(length, 0);
    return b;
}

struct LengthCase {
    const char* name;
    uint32_t sizeField;
    uint64_t fileSize;
    const char* status;
    const char* typeCode;
};

TEST(Identify, ChecksRiffLength) {
    const LengthCase cases[] = {
        {"complete", 1000 - 8, 1000, "File Length Correct", "AVI"},
        {"eight bytes short", 1000, 1000, "File Length Correct", "AVI"},
        {"one byte over", 1001, 1000, "May be truncated:1 bytes are missing.", "SHY"},
        {"100 over", 1100, 1000, "May be truncated:100 bytes are missing.", "SHY"},
        {"1024 over", 2024, 1000, "May be truncated:1.00 KB are missing.", "SHY"},
        {"1025 over", 2025, 1000, "===> Truncated: 1.00 KB are missing.", "CUT"},
        // The first RIFF of a 5 GiB OpenDML file is complete; 64-bit sizes keep it so.
        {"5 GiB OpenDML", 1000000000, 5368709120ull, "File Length Correct", "AVI"},
    };
    for (const LengthCase& c : cases) {
        test::LoadedHead h(riffHead("AVI ", c.sizeField));
        identify(h.a, c.fileSize);
        EXPECT_EQ(h.report.text(field::FileStatus), c.status) << c.name;
        EXPECT_EQ(h.info->typeCode, c.typeCode) << c.name;
        EXPECT_EQ(h.info->isRiff, 1u) << c.name;
    }
}

TEST(Identify, RiffForms) {
    struct FormCase {
        const char* form;
        const char* status;
        const char* type;
        const char* typeCode;
        uint32_t isRiff, isAvi, notIdentified;
    };
    const FormCase cases[] = {
        {"AVI ", "File Length Correct", "n.a.", "AVI", 1, 1, 0},
        {"AVIX", "File Length Correct", "n.a.", "AVI", 1, 1, 0},
        {"avi ", "File Length Correct", "n.a.", "AVI", 1, 1, 0},
        {"WAVE", "File Length Correct", "wrapper", "wrapper", 1, 0, 0},
        {"CDXA", "File Length Correct", "wrapper", "wrapper", 1, 0, 0},
        {"RMID", "File is .RMI (RIFF/MIDI)", "audio/midi", ".RMI (RIFF \"wrapped\" MIDI)", 0, 0, 0},
        {"WEBP", "Unsupported / Unknown RIFF file", "n.a.", "Non-AVI File - Type Unknown.", 0, 0,
         1},
    };
    for (const FormCase& c : cases) {
        test::LoadedHead h(riffHead(c.form, 56));
        h.report.setText(field::Type, "n.a.");
        identify(h.a, 64);
        EXPECT_EQ(h.report.text(field::FileStatus), c.status) << c.form;
        EXPECT_EQ(h.report.text(field::Type), c.type) << c.form;
        EXPECT_EQ(h.info->typeCode, c.typeCode) << c.form;
        EXPECT_EQ(h.info->isRiff, c.isRiff) << c.form;
        EXPECT_EQ(h.info->isAvi, c.isAvi) << c.form;
        EXPECT_EQ(h.info->notIdentified, c.notIdentified) << c.form;
    }
    test::LoadedHead lower(riffHead("AVI ", 56));
    std::memcpy(lower.info->headBuffer(), "riff", 4);
    identify(lower.a, 64);
    EXPECT_EQ(lower.info->isAvi, 1u);
}

TEST(Identify, Signatures) {
    struct SigCase {
        Bytes head;
        const char* status;
        const char* type;
    };
    auto at = [](size_t offset, const std::string& s, size_t length = 32) {
        Bytes b(length, 0x20);
        std::copy(s.begin(), s.end(), b.begin() + offset);
        return b;
    };
    const SigCase cases[] = {
        {at(4, "mdat"), "File is Quicktime (.MOV/QT)", "video/quicktime"},
        {at(12, "mdat"), "File is Quicktime (.MOV/QT)", "video/quicktime"},
        {at(0, "FORM1234AIFC"), "File is AIFF-C audio (.AIF)", "audio/x-aiff"},
        {at(0, "FORMxxxxAIFF"), "File is AIFF audio (.AIF)", "audio/x-aiff"},
        {at(13, "Vivo"), "File is Vivo(.VIV)", "video/vnd.vivo"},
        {at(0, "MThd"), "File is MIDI (.MID)", "audio/midi"},
        {at(0, "MZ"), "File is Executable (.EXE)", "application/OCTET-STREAM"},
        {at(0, ".snd"), "File is NeXT/SUN audio (.AU/.SND)", "audio/basic"},
        {Bytes{0x00, 0x00, 0x01, 0xBA, 0x44}, "File is MPEG (.MPG/.MPEG/.VOB)", "video/mpeg"},
        {Bytes{0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62,
               0xCE, 0x6C},
         "File is ASF (.WMA/.WMV)", "video/x-ms-asf"},
        // "oggs" is not Ogg, and the signature row wants exact case too.
        {at(0, "oggs"), "Non-AVI File - Type Unknown.", "n.a."},
        // A pattern reaching past the valid bytes does not match.
        {at(13, "Viv", 16), "Non-AVI File - Type Unknown.", "n.a."},
        {at(0, "FORMxxxxAIF", 11), "Non-AVI File - Type Unknown.", "n.a."},
    };
    for (const SigCase& c : cases) {
        test::LoadedHead h(c.head);
        h.report.setText(field::Type, "n.a.");
        identify(h.a, c.head.size());
        EXPECT_EQ(h.report.text(field::FileStatus), c.status) << c.status;
        EXPECT_EQ(h.report.text(field::Type), c.type) << c.status;
    }
}

TEST(Identify, CdxaNamesFirstNonBlankSector) {
    Bytes sectors(2352 * 2, 0);
    const char moov[] = "moov";
    std::copy(moov, moov + 4, sectors.begin() + 2352 + 24 + 4); // "moov" at user offset 4
    Bytes file = test::list("RIFF", "CDXA", test::chunk("data", sectors));
    test::LoadedHead h(file);
    identify(h.a, file.size());
    cdxaScan(h.a, 12);
    EXPECT_EQ(h.report.text(field::FileStatus), "RIFF/CDXA -->Quicktime (.MOV/QT)");
    EXPECT_EQ(h.info->typeCode, "RIFF/CDXA -->Quicktime (.MOV/QT)");
    EXPECT_EQ(h.info->container, ContainerKind::QuickTime);

    // The sector holding the signature is not wholly in the head: nothing found.
    Bytes cut(file.begin(), file.end() - 10);
    test::LoadedHead h2(cut);
    identify(h2.a, file.size());
    cdxaScan(h2.a, 12);
    EXPECT_EQ(h2.report.text(field::FileStatus), "File Length Correct");
}

TEST(CookedScore, CountsLineFeedsAfterCarriageReturns) {
    auto lines = [](int lf, int crlf) {
        Bytes b{'x'};
        for (int i = 0; i < lf; ++i) {
            if (i < crlf) b.push_back('\r');
            b.push_back('\n');
            b.push_back('y');
        }
        return b;
    };
    struct Case {
        int lf, crlf;
        uint32_t score;
    };
    const Case cases[] = {{15, 15, 0}, {16, 13, 208},     {16, 12, 192},     {16, 16, 256},
                          {0, 0, 0},   {5000, 3000, 153}, {3000, 3000, 256}, {20000, 0, 0}};
    for (const Case& c : cases) {
        Bytes b = lines(c.lf, c.crlf);
        EXPECT_EQ(cookedScore(b.data(), b.size()), c.score) << c.lf << "/" << c.crlf;
    }
    const uint8_t leading[] = {'\n'};
    EXPECT_EQ(cookedScore(leading, 1), 0u); // position 0 is never counted
}

// The count runs many bytes at a time, in blocks of 255 steps of 32: every length
// and every position of a pair, across step and block edges, must count as one byte
// after another would.
TEST(CookedScore, AgreesWithAByteByByteCountAtEveryLength) {
    Bytes b(9000);
    uint32_t state = 12345;
    for (uint8_t& v : b) {
        state = state * 1103515245u + 12345u;
        const uint32_t r = (state >> 16) % 4;
        v = r == 0 ? '\n' : r == 1 ? '\r' : uint8_t(state >> 8);
    }
    for (size_t length : {0,  1,    2,    15,   16,   17,   18,   31,   32,   33,
                          34, 4079, 4080, 4081, 4096, 8160, 8161, 8162, 8193, 9000}) {
        uint64_t lf = 0, crlf = 0;
        for (size_t i = 1; i < length; ++i)
            if (b[i] == '\n') {
                ++lf;
                crlf += b[i - 1] == '\r';
            }
        const uint32_t want = lf > 15 ? uint32_t(crlf * 256 / lf) : 0;
        EXPECT_EQ(cookedScore(b.data(), length), want) << length;
    }
}

} // namespace
} // namespace tavro

#include "filters/video/subtitle_sample.h"

#include <gtest/gtest.h>

#include <string>

namespace nerrorend {
namespace {

// GAB1 samples built byte by byte.
struct Gab1 {
    Gab1() { bytes.assign("GAB1\0", 5); }
    Gab1& record(uint16_t type, const std::string& payload) {
        put16(type);
        put16(uint16_t(payload.size()));
        bytes += payload;
        return *this;
    }
    Gab1& entry(uint32_t start, uint32_t stop, const std::string& text) {
        return record(1, le32(start) + le32(stop) + text + std::string(1, '\0'));
    }
    static std::string le32(uint32_t v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    }
    void put16(uint16_t v) {
        bytes += char(v);
        bytes += char(v >> 8);
    }
    const uint8_t* data() const { return reinterpret_cast<const uint8_t*>(bytes.data()); }
    std::string bytes;
};

TEST(Gab1, EntriesInOrderOtherRecordsSkipped) {
    Gab1 s;
    s.record(0, std::string("eng\0", 4))
        .entry(1000, 2500, "Hello")
        .record(7, "xx")
        .entry(3000, 4000, "World");
    ASSERT_TRUE(isGab1Sample(s.data(), s.bytes.size()));
    const auto cues = parseGab1(s.data(), s.bytes.size());
    ASSERT_EQ(cues.size(), 2u);
    EXPECT_EQ(cues[0].startMs, 1000);
    EXPECT_EQ(cues[0].stopMs, 2500);
    EXPECT_EQ(cues[0].text, "Hello");
    EXPECT_EQ(cues[1].text, "World");
}

TEST(Gab1, MalformedRecordsAreDropped) {
    struct Case {
        const char* what;
        std::string bytes;
        size_t cues;
    } cases[] = {
        {"header cut short", Gab1().entry(1, 2, "a").bytes + std::string("\x01", 1), 1},
        {"size past the valid length", Gab1().entry(1, 2, "a").bytes.substr(0, 5 + 4 + 9), 0},
        {"entry without its NUL", Gab1().record(1, Gab1::le32(1) + Gab1::le32(2) + "abc").bytes, 0},
        {"entry shorter than its times", Gab1().record(1, "abcd").bytes, 0},
        {"NUL-less entry, then a good one",
         Gab1().record(1, Gab1::le32(1) + Gab1::le32(2) + "z").entry(5, 6, "ok").bytes, 1},
        {"empty text", Gab1().entry(1, 2, "").bytes, 1},
        {"only the magic", Gab1().bytes, 0},
        {"magic without its NUL", std::string("GAB1x"), 0},
    };
    for (const Case& c : cases) {
        // A copy of exactly the valid length, so a read past it is an ASan error.
        std::vector<uint8_t> exact(c.bytes.begin(), c.bytes.end());
        EXPECT_EQ(parseGab1(exact.data(), exact.size()).size(), c.cues) << c.what;
    }
}

TEST(PlainSubtitle, ClosingBreakGoesAndShortSamplesCarryNothing) {
    struct Case {
        std::string bytes;
        bool ok;
        const char* text;
    } cases[] = {
        {"Hello\r\n", true, "Hello"},
        {"Two\r\nlines\n", true, "Two\r\nlines"},
        {"No break", true, "No break"},
        {std::string("abc\0def", 7), true, "abc"},
        {"ab", false, ""},
        {"\r\n", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> exact(c.bytes.begin(), c.bytes.end());
        std::string text = "untouched";
        EXPECT_EQ(parsePlainSubtitle(exact.data(), exact.size(), text), c.ok) << c.bytes;
        EXPECT_EQ(text, c.text);
    }
}

TEST(PlainSubtitle, TimesInMilliseconds) {
    EXPECT_EQ(sampleTimeMs(15000000, 0), 1500);
    EXPECT_EQ(sampleTimeMs(15000000, 10000000), 2500);
    EXPECT_EQ(sampleTimeMs(INT64_MAX, 1), INT32_MAX);
    EXPECT_EQ(sampleTimeMs(-20000, 0), -2);
}

} // namespace
} // namespace nerrorend

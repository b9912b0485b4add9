#include "filters/video/caption_markup.h"

#include <gtest/gtest.h>

#include <cstring>

namespace nerrorend {
namespace {

std::vector<MarkupLine> colour(const char* text, bool withColours = true) {
    return parseColourMarkup(text, std::strlen(text) + 1, withColours);
}

TEST(ColourMarkup, LinesAndCommands) {
    const auto lines = colour("\xff"
                              "C00000255Blue\r\xff"
                              "fCourier?Mono\r\n\xff"
                              "YbiuX?Styled");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0][0].text, "Blue");
    EXPECT_TRUE(lines[0][0].hasColour);
    EXPECT_EQ(lines[0][0].colour, 255u);
    EXPECT_EQ(lines[1][0].text, "Mono") << "an LF after the CR belongs to the break";
    EXPECT_EQ(lines[1][0].style.face, "Courier");
    EXPECT_EQ(lines[2][0].text, "Styled");
    EXPECT_EQ(lines[2][0].style.weight, 700);
    EXPECT_EQ(lines[2][0].style.italic, 1);
    EXPECT_EQ(lines[2][0].style.underline, 1);
    EXPECT_TRUE(lines[2][0].hasColour) << "upper-case C lasts to the end";
    EXPECT_EQ(lines[2][0].style.face, "") << "lower-case f ended with its line";
}

TEST(ColourMarkup, LowerCaseColourOnlyForItsLine) {
    const auto lines = colour("\xff"
                              "c00000100one\rtwo");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0][0].hasColour);
    EXPECT_EQ(lines[0][0].colour, 100u);
    EXPECT_FALSE(lines[1][0].hasColour);
}

TEST(ColourMarkup, PlainPassSkipsColours) {
    const auto lines = colour("\xff"
                              "C12345678x",
                              false);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0][0].text, "x");
    EXPECT_FALSE(lines[0][0].hasColour);
}

TEST(ColourMarkup, StopsAtTheNulAndTheCapacity) {
    // Short digit runs, faces without '?' and lone command bytes end at the NUL.
    struct Case {
        const char* text;
        size_t size;
        const char* lastLine;
    } cases[] = {
        {"ab\xff"
         "C12",
         6, "ab"},
        {"\xff"
         "FArialWithoutEnd",
         17, ""},
        {"x\xff", 2, "x\xff"},
        {"abc\0def", 8, "abc"},
        {"abcdef", 3, "abc"}, // no NUL inside the buffer at all
    };
    for (const Case& c : cases) {
        const auto lines = parseColourMarkup(c.text, c.size, true);
        ASSERT_EQ(lines.size(), 1u) << c.text;
        EXPECT_EQ(lines.back()[0].text, c.lastLine);
    }
    const auto longFace = colour("\xff"
                                 "F0123456789012345678901234567890123456789?x");
    EXPECT_EQ(longFace[0][0].style.face.size(), kMaxFaceLength);
    EXPECT_EQ(longFace[0][0].text, "x");
    EXPECT_TRUE(colour("").empty());
    EXPECT_TRUE(parseColourMarkup(nullptr, 10, true).empty());
}

TEST(StyleMarkup, SegmentsSwitchStyleInsideALine) {
    const char text[] = "plain \xfe"
                        "Bbold\xfe"
                        "b \xfe"
                        "Iit\xfe"
                        "U\xfe"
                        "i\rnext";
    const auto lines = parseStyleMarkup(text, sizeof text);
    ASSERT_EQ(lines.size(), 2u);
    ASSERT_EQ(lines[0].size(), 4u);
    EXPECT_EQ(lines[0][0].text, "plain ");
    EXPECT_EQ(lines[0][0].style.weight, 0);
    EXPECT_EQ(lines[0][1].text, "bold");
    EXPECT_EQ(lines[0][1].style.weight, 700);
    EXPECT_EQ(lines[0][2].text, " ");
    EXPECT_EQ(lines[0][2].style.weight, 400);
    EXPECT_EQ(lines[0][3].text, "it");
    EXPECT_EQ(lines[0][3].style.italic, 1);
    // Each line starts in the caption font's own style.
    ASSERT_EQ(lines[1].size(), 1u);
    EXPECT_EQ(lines[1][0].text, "next");
    EXPECT_EQ(lines[1][0].style, FontStyle());
}

TEST(StyleMarkup, MeasurementLeavesMarkersOut) {
    const char text[] = "a\xfe"
                        "Bb\xfe"
                        "uc\xfe";
    EXPECT_EQ(stripStyleMarkup(text, sizeof text), "abc");
    const char lone[] = {'x', '\xfe', '\0', 'y', 'z'};
    EXPECT_EQ(stripStyleMarkup(lone, sizeof lone), "x") << "the marker does not swallow the NUL";
    const auto lines = parseStyleMarkup(lone, sizeof lone);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0][0].text, "x");
}

} // namespace
} // namespace nerrorend

#include <gtest/gtest.h>

#include <string>

#include "app/ui/popup_layout.h"

namespace tavro {
namespace {

// A fixed-pitch font: 5 pixels a character, so 65 characters fill a line.
int fixedWidth(const std::string& text) {
    return static_cast<int>(text.size()) * 5;
}
constexpr int kLine = 13;

PopupLayout layout(const std::string& text) {
    return layoutPopup(text, fixedWidth, kLine);
}

struct Placed {
    std::string text;
    bool isLink;
    int linkIndex, x, y;
};

void expectPieces(const PopupLayout& got, const std::vector<Placed>& expected, const char* what) {
    ASSERT_EQ(got.pieces.size(), expected.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& p = got.pieces[i];
        EXPECT_EQ(p.text, expected[i].text) << what << " piece " << i;
        EXPECT_EQ(p.isLink, expected[i].isLink) << what << " piece " << i;
        EXPECT_EQ(p.linkIndex, expected[i].linkIndex) << what << " piece " << i;
        EXPECT_EQ(p.x, expected[i].x) << what << " piece " << i;
        EXPECT_EQ(p.y, expected[i].y) << what << " piece " << i;
    }
}

TEST(PopupLayout, PlacesPiecesAndBreaks) {
    const std::string thirteenWords = [] {
        std::string s;
        for (int i = 0; i < 20; ++i)
            s += "aaaa ";
        return s;
    }();
    const struct {
        const char* name;
        std::string text;
        std::vector<Placed> pieces;
        int height;
    } cases[] = {
        {"one line", "Hello world", {{"Hello world", false, -1, 12, 8}}, kLine + 24},
        {"braced links",
         "See {here} and {there}.",
         {{"See ", false, -1, 12, 8},
          {"here", true, 0, 32, 8},
          {" and ", false, -1, 52, 8},
          {"there", true, 1, 77, 8},
          {".", false, -1, 102, 8}},
         kLine + 24},
        {"tilde breaks",
         "a~b",
         {{"a", false, -1, 12, 8}, {"b", false, -1, 12, 8 + kLine}},
         2 * kLine + 24},
        {"double tilde leaves an empty line",
         "a~~b",
         {{"a", false, -1, 12, 8}, {"b", false, -1, 12, 8 + 2 * kLine}},
         3 * kLine + 24},
        {"wraps after the last space that fits",
         thirteenWords,
         {{thirteenWords.substr(0, 65), false, -1, 12, 8},
          {thirteenWords.substr(65), false, -1, 12, 8 + kLine}},
         2 * kLine + 24},
        {"a word wider than a line is cut",
         std::string(100, 'x'),
         {{std::string(65, 'x'), false, -1, 12, 8}, {std::string(35, 'x'), false, -1, 12, 21}},
         2 * kLine + 24},
        {"a link that does not fit starts a new line",
         std::string(60, 'x') + "{yyyyyyyyyy}",
         {{std::string(60, 'x'), false, -1, 12, 8}, {"yyyyyyyyyy", true, 0, 12, 21}},
         2 * kLine + 24},
        {"unclosed brace runs to the end",
         "go {there",
         {{"go ", false, -1, 12, 8}, {"there", true, 0, 27, 8}},
         kLine + 24},
    };
    for (const auto& c : cases) {
        const PopupLayout got = layout(c.text);
        expectPieces(got, c.pieces, c.name);
        EXPECT_EQ(got.height, c.height) << c.name;
        EXPECT_EQ(got.width, 349) << c.name;
    }
}

TEST(PopupLayout, LinkIndexStopsAtTheLastTarget) {
    std::string text;
    for (int i = 0; i < 11; ++i)
        text += "{L} ";
    const PopupLayout got = layout(text);
    std::vector<int> indexes;
    for (const auto& p : got.pieces)
        if (p.isLink) indexes.push_back(p.linkIndex);
    EXPECT_EQ(indexes, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 7, 7, 7}));
}

TEST(PopupLayout, PlacesAtMostSixtyFourPieces) {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "p~";
    const PopupLayout got = layout(text);
    EXPECT_EQ(got.pieces.size(), 64u);
    EXPECT_EQ(got.pieces.back().y, 8 + 63 * kLine);
}

TEST(PopupLayout, LinesNeverPassTheTextWidth) {
    const std::string text =
        "The codec is {installed} but the file names a different four character code; "
        "see {details} for the driver and its version.~~Several words follow here to "
        "wrap over a few lines.";
    for (const auto& p : layout(text).pieces) {
        EXPECT_GE(p.x, kPopupLeft);
        EXPECT_LE(p.x + p.width, kPopupLeft + kPopupTextWidth) << p.text;
    }
}

TEST(PopupPlacement, MovesAwayFromTheRightAndBottomEdges) {
    const PopupRect main = {100, 50, 900, 650};
    const struct {
        PopupPoint mouse;
        PopupPoint expected;
    } cases[] = {
        {{200, 100}, {200, 100}}, // room to the right and below
        {{700, 100}, {351, 100}}, // past the right edge: to the left of the mouse
        {{200, 600}, {200, 500}}, // past the bottom: above the mouse
        {{700, 600}, {351, 500}}, // both
        {{551, 550}, {551, 550}}, // exactly at the edges still fits
    };
    for (const auto& c : cases) {
        const PopupPoint got = placePopup(c.mouse, 349, 100, main);
        EXPECT_EQ(got.x, c.expected.x) << c.mouse.x << "," << c.mouse.y;
        EXPECT_EQ(got.y, c.expected.y) << c.mouse.x << "," << c.mouse.y;
    }
    // A narrow window: past the right edge, but no room on the left of the mouse.
    const PopupRect narrow = {100, 50, 500, 300};
    const PopupPoint stays = placePopup({300, 250}, 349, 100, narrow);
    EXPECT_EQ(stays.x, 300);
    EXPECT_EQ(stays.y, 150);
}

// Help over a dialog: OK and Cancel at the bottom stay uncovered.
TEST(PopupLayout, HelpKeepsTheDialogButtonsClear) {
    const PopupRect screen = {0, 0, 1024, 768};
    const std::vector<PopupRect> buttons = {{500, 500, 580, 520}, {590, 500, 670, 520}};
    struct Case {
        const char* name;
        PopupPoint corner;
        int height;
        std::vector<PopupRect> clear;
        PopupPoint expected;
    } cases[] = {
        {"clear already", {100, 100}, 200, buttons, {100, 100}},
        {"covers OK: moved above", {400, 450}, 200, buttons, {400, 300}},
        {"covers both", {450, 480}, 100, buttons, {450, 400}},
        {"no room above: moved below", {400, 60}, 480, {{500, 100, 580, 120}}, {400, 120}},
        {"no room either way: stays", {400, 100}, 700, {{500, 300, 580, 320}}, {400, 100}},
        // Moved above OK it would cover a button higher up: above that one too.
        {"stacked buttons",
         {400, 450},
         100,
         {{500, 500, 580, 520}, {500, 420, 580, 440}},
         {400, 320}},
        {"no buttons", {400, 450}, 200, {}, {400, 450}},
    };
    for (const Case& c : cases) {
        const PopupPoint got = keepClearOf(c.corner, 349, c.height, c.clear, screen);
        EXPECT_EQ(got.x, c.expected.x) << c.name;
        EXPECT_EQ(got.y, c.expected.y) << c.name;
    }
}

} // namespace
} // namespace tavro

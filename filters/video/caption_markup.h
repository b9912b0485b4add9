// The caption texts' markup: commands for colour, face and style inside a text,
// parsed into lines of runs that the GDI drawers only have to draw.
//
// Colour markup: 0xFF and a letter. C + 8 decimal digits sets the text colour,
// F + face name + '?' the face, Y + letters (b, i, u) + '?' the style. Upper-case
// commands last to the end of the text, lower-case ones to the end of their line.
// Style markup: 0xFE and B/b, I/i or U/u switches bold, italic or underline on
// or off inside a line. In both, a CR ends a line.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nerrorend {

// Departures from the caption's own font; the defaults mean "as the font is".
struct FontStyle {
    std::string face; // at most 31 characters
    int weight = 0;
    int italic = -1;
    int underline = -1;
    bool operator==(const FontStyle& o) const {
        return face == o.face && weight == o.weight && italic == o.italic &&
               underline == o.underline;
    }
};

struct MarkupRun {
    std::string text;
    FontStyle style;
    bool hasColour = false; // otherwise the pass's own colour
    uint32_t colour = 0;    // a COLORREF
};

using MarkupLine = std::vector<MarkupRun>;

constexpr size_t kMaxFaceLength = 31;

// One run per line. With `withColours` false (outline and shadow passes) colour
// commands are read but leave the runs without a colour. Reading stops at the
// NUL or after `capacity` bytes.
std::vector<MarkupLine> parseColourMarkup(const char* text, size_t capacity, bool withColours);

// Runs of one style each; every line starts in the caption font's own style.
std::vector<MarkupLine> parseStyleMarkup(const char* text, size_t capacity);

// The text with each 0xFE and the byte after it left out, as the OSD is measured.
std::string stripStyleMarkup(const char* text, size_t capacity);

} // namespace nerrorend

// Layout of the explanation popup: the text is cut into plain and braced (link)
// pieces, placed left to right and wrapped at a fixed width. Pure, so the window
// only turns the result into controls.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace tavro {

constexpr int kPopupTextWidth = 325;
constexpr int kPopupLeft = 12;
constexpr int kPopupTop = 8;
constexpr int kPopupWidth = kPopupTextWidth + 24;
constexpr int kPopupMaxPieces = 64;
constexpr int kPopupMaxLinks = 8;

struct PopupPiece {
    std::string text;
    bool isLink = false;
    int linkIndex = -1; // 0..kPopupMaxLinks-1 for links
    int x = 0, y = 0, width = 0;
};

struct PopupLayout {
    std::vector<PopupPiece> pieces;
    int width = kPopupWidth;
    int height = 0;
};

// Width in pixels of a text in the popup's font.
using TextWidth = std::function<int(const std::string&)>;

// "~" starts a new line; "{...}" is a link taking the next link index (the ninth and
// later links share the last one). At most kPopupMaxPieces pieces are placed.
PopupLayout layoutPopup(const std::string& text, const TextWidth& measure, int lineHeight);

struct PopupPoint {
    int x, y;
};
struct PopupRect {
    int left, top, right, bottom;
};

// Top-left corner for a popup of the given size opened at `mouse`: moved left (up)
// by its width (height) when it would pass the right (bottom) edge of `bounds` and
// fits between the bounds' left (top) edge and the mouse.
PopupPoint placePopup(PopupPoint mouse, int width, int height, const PopupRect& bounds);

// A help popup over a dialog must leave the dialog's buttons usable: when the popup at
// `corner` covers any of `keepClear`, it moves above the covered ones, or below them
// when `area` (the screen) has no room above. Horizontal place stays.
PopupPoint keepClearOf(PopupPoint corner, int width, int height,
                       const std::vector<PopupRect>& keepClear, const PopupRect& area);

} // namespace tavro

#include "app/ui/popup_layout.h"

#include <algorithm>

namespace tavro {
namespace {

class Placer {
  public:
    Placer(const TextWidth& measure, int lineHeight) : measure_(measure), lineHeight_(lineHeight) {}

    bool full() const { return static_cast<int>(layout_.pieces.size()) >= kPopupMaxPieces; }
    void newLine() {
        x_ = kPopupLeft;
        y_ += lineHeight_;
    }

    // Places one run of text without "~", wrapping as needed.
    void place(std::string text, bool isLink, int linkIndex) {
        while (!text.empty() && !full()) {
            const int room = kPopupLeft + kPopupTextWidth - x_;
            const int whole = measure_(text);
            if (whole <= room) {
                add(text, isLink, linkIndex, whole);
                return;
            }
            std::size_t cut = lastFittingSpace(text, room);
            if (cut == 0) {
                if (x_ > kPopupLeft) { // the next word goes to a fresh line
                    newLine();
                    continue;
                }
                cut = widestFittingPrefix(text, room); // one word wider than a line
            }
            const std::string head = text.substr(0, cut);
            add(head, isLink, linkIndex, measure_(head));
            text.erase(0, cut);
            newLine();
        }
    }

    PopupLayout finish() {
        const int textHeight = y_ - kPopupTop + lineHeight_;
        layout_.height = textHeight + 24;
        return std::move(layout_);
    }

  private:
    // Length of the longest prefix that ends just after a space and fits; 0 if none.
    std::size_t lastFittingSpace(const std::string& text, int room) const {
        for (std::size_t space = text.rfind(' '); space != std::string::npos;
             space = space == 0 ? std::string::npos : text.rfind(' ', space - 1)) {
            if (measure_(text.substr(0, space + 1)) <= room) return space + 1;
        }
        return 0;
    }

    // At least one character, so that layout always advances.
    std::size_t widestFittingPrefix(const std::string& text, int room) const {
        std::size_t length = 1;
        while (length < text.size() && measure_(text.substr(0, length + 1)) <= room)
            ++length;
        return length;
    }

    void add(const std::string& text, bool isLink, int linkIndex, int width) {
        PopupPiece piece;
        piece.text = text;
        piece.isLink = isLink;
        piece.linkIndex = isLink ? linkIndex : -1;
        piece.x = x_;
        piece.y = y_;
        piece.width = width;
        layout_.pieces.push_back(piece);
        x_ += width;
    }

    const TextWidth& measure_;
    int lineHeight_;
    int x_ = kPopupLeft;
    int y_ = kPopupTop;
    PopupLayout layout_;
};

} // namespace

PopupLayout layoutPopup(const std::string& text, const TextWidth& measure, int lineHeight) {
    Placer placer(measure, lineHeight);
    int links = 0;
    bool braced = false;
    std::size_t at = 0;
    while (at <= text.size() && !placer.full()) {
        const std::size_t end = text.find(braced ? '}' : '{', at);
        const std::string piece = text.substr(at, end == std::string::npos ? end : end - at);
        const int linkIndex = braced ? std::min(links, kPopupMaxLinks - 1) : -1;
        if (braced) ++links;
        std::size_t from = 0;
        for (;;) {
            const std::size_t tilde = piece.find('~', from);
            placer.place(piece.substr(from, tilde == std::string::npos ? tilde : tilde - from),
                         braced, linkIndex);
            if (tilde == std::string::npos) break;
            placer.newLine();
            from = tilde + 1;
        }
        if (end == std::string::npos) break;
        at = end + 1;
        braced = !braced;
    }
    return placer.finish();
}

PopupPoint placePopup(PopupPoint mouse, int width, int height, const PopupRect& bounds) {
    PopupPoint corner = mouse;
    if (mouse.x + width > bounds.right && mouse.x - width >= bounds.left) corner.x -= width;
    if (mouse.y + height > bounds.bottom && mouse.y - height >= bounds.top) corner.y -= height;
    return corner;
}

namespace {

bool overlaps(const PopupRect& a, const PopupRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

PopupPoint keepClearOf(PopupPoint corner, int width, int height,
                       const std::vector<PopupRect>& keepClear, const PopupRect& area) {
    // Moving up or down can uncover one button and cover another, so a few rounds; the
    // count is bounded by the buttons, each moved past at most once each way.
    for (size_t round = 0; round <= keepClear.size(); ++round) {
        const PopupRect popup = {corner.x, corner.y, corner.x + width, corner.y + height};
        int top = 0, bottom = 0;
        bool covered = false;
        for (const PopupRect& r : keepClear) {
            if (!overlaps(popup, r)) continue;
            top = covered ? std::min(top, r.top) : r.top;
            bottom = covered ? std::max(bottom, r.bottom) : r.bottom;
            covered = true;
        }
        if (!covered) return corner;
        if (top - height >= area.top && corner.y > top - height)
            corner.y = top - height;
        else if (bottom + height <= area.bottom && corner.y < bottom)
            corner.y = bottom;
        else
            return corner; // no room either way: better covered than off the screen
    }
    return corner;
}

} // namespace tavro

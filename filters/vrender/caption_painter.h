// The captions drawn with GDI: a memory DC with a 32-bit top-down DIB section the
// size of the frame (picture and band), the OSD and title texts with their fonts
// and colours, and the drawing passes (outline, shadow, main). The blend into the
// frame is the portable caption_blend's work.
#pragma once
#include <windows.h>

#include <vector>

#include "filters/video/caption_blend.h"
#include "filters/video/caption_markup.h"

namespace nerrorend {

class CaptionPainter {
  public:
    CaptionPainter();
    ~CaptionPainter();
    CaptionPainter(const CaptionPainter&) = delete;
    CaptionPainter& operator=(const CaptionPainter&) = delete;

    // The bitmap follows the frame: made (or remade at a new size) on demand.
    bool ensureBitmap(int width, int rows);
    void releaseBitmap();
    CaptionBitmap bitmap() const { return bitmap_; }

    // SetOsdStyle: font 0 keeps the current one; y 0 means automatic.
    void setOsdStyle(HFONT font, COLORREF colour, int y);
    // Null hides the OSD; a text is copied (255 bytes at most) and shown.
    void setOsdText(const char* text);
    void setOsdShown(bool shown);
    void setShadow(bool on) {
        shadow_ = on;
        osdDirty_ = true;
    }
    void setOutline(bool on) {
        outline_ = on;
        osdDirty_ = true;
    }
    // false: colour markup; true: style markup.
    void setStyleMarkup(bool on);
    void setTitle(const char* text);
    void setTitleFont(HFONT font);
    void setTitleColour(COLORREF colour);

    bool osdShown() const { return osdShown_ && osdText_[0]; }
    bool titleShown() const { return titleShown_ && titleText_[0]; }
    bool anyShown() const { return osdShown() || titleShown(); }

    // Redraws the captions that changed; false when there is no bitmap.
    bool paint();
    const Rect& osdRect() const { return osdRect_; }
    const Rect& titleRect() const { return titleRect_; }

    // The base font the defaults are made from ("Arial", 14 points, bold).
    const LOGFONTA& baseFont() const { return baseFont_; }

  private:
    void paintTitle();
    void paintOsd();
    // Draws lines centred between left and right from `top` down, in `colour`
    // where a run has none of its own, shifted by (dx, dy).
    void drawLines(const std::vector<MarkupLine>& lines, HFONT font, const Rect& area,
                   COLORREF colour, int dx, int dy);
    // Size of the lines as drawLines puts them.
    SIZE measureLines(const std::vector<MarkupLine>& lines, HFONT font);
    HFONT fontFor(const LOGFONTA& base, const FontStyle& style) const;
    HFONT defaultFont();

    LOGFONTA baseFont_{};
    HDC dc_ = nullptr;
    HBITMAP dib_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    CaptionBitmap bitmap_;
    HFONT ownFont_ = nullptr; // the default made from baseFont_

    char osdText_[256] = {};
    HFONT osdFont_ = nullptr;
    COLORREF osdColour_ = RGB(255, 255, 255);
    int osdY_ = -1;
    bool osdShown_ = false;
    bool osdDirty_ = false;
    bool shadow_ = true;
    bool outline_ = false;
    bool styleMarkup_ = false;
    Rect osdRect_;

    char titleText_[256] = {};
    HFONT titleFont_ = nullptr;
    COLORREF titleColour_ = RGB(255, 255, 255);
    bool titleShown_ = false;
    bool titleDirty_ = false;
    Rect titleRect_;
};

} // namespace nerrorend

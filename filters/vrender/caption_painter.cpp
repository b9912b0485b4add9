#include "filters/vrender/caption_painter.h"

#include <algorithm>
#include <cstring>

#include "filters/video/caption_layout.h"

namespace nerrorend {

namespace {

void copyText(char (&to)[256], const char* from) {
    std::strncpy(to, from, sizeof to - 1);
    to[sizeof to - 1] = '\0';
}

// Clears a rectangle of the bitmap (not whole rows: another caption may share them).
void clearRect(CaptionBitmap& bitmap, const Rect& area) {
    const Rect r = intersect(area, Rect{0, 0, bitmap.width, bitmap.rows});
    for (int y = r.top; y < r.bottom; ++y)
        std::fill_n(bitmap.pixels + size_t(y) * size_t(bitmap.width) + r.left, r.width(),
                    kCaptionClear);
}

// A GDI object selected into a DC for one scope; the old one goes back before the
// new one may be deleted.
class Selected {
  public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selected() { SelectObject(dc_, old_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace

CaptionPainter::CaptionPainter() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    baseFont_.lfHeight = -MulDiv(14, dpi, 72);
    baseFont_.lfWeight = 700;
    baseFont_.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(baseFont_.lfFaceName, "Arial");
    // Both captions have a font before any is set.
    osdFont_ = titleFont_ = defaultFont();
}

CaptionPainter::~CaptionPainter() {
    releaseBitmap();
    if (ownFont_) DeleteObject(ownFont_);
}

HFONT CaptionPainter::defaultFont() {
    if (!ownFont_) ownFont_ = CreateFontIndirectA(&baseFont_);
    return ownFont_;
}

bool CaptionPainter::ensureBitmap(int width, int rows) {
    if (width <= 0 || rows <= 0) return false;
    if (dib_ && bitmap_.width == width && bitmap_.rows == rows) return true;
    releaseBitmap();
    struct {
        BITMAPINFOHEADER header;
        DWORD masks[3];
    } info = {};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = -rows; // top-down
    info.header.biPlanes = 1;
    info.header.biBitCount = 32;
    info.header.biCompression = BI_BITFIELDS;
    info.masks[0] = 0xff0000;
    info.masks[1] = 0xff00;
    info.masks[2] = 0xff;
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) return false;
    void* bits = nullptr;
    dib_ = CreateDIBSection(dc_, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                            nullptr, 0);
    if (!dib_ || !bits) {
        releaseBitmap();
        return false;
    }
    oldBitmap_ = SelectObject(dc_, dib_);
    bitmap_.pixels = static_cast<uint32_t*>(bits);
    bitmap_.width = width;
    bitmap_.rows = rows;
    // "Nothing drawn" is 0xff000000; a fresh DIB is all zero, which would count as drawn.
    clearCaptionRows(bitmap_, 0, rows);
    osdRect_ = titleRect_ = Rect();
    osdDirty_ = titleDirty_ = true;
    return true;
}

void CaptionPainter::releaseBitmap() {
    if (dc_ && oldBitmap_) SelectObject(dc_, oldBitmap_);
    oldBitmap_ = nullptr;
    if (dib_) DeleteObject(dib_);
    dib_ = nullptr;
    if (dc_) DeleteDC(dc_);
    dc_ = nullptr;
    bitmap_ = CaptionBitmap();
    osdRect_ = titleRect_ = Rect();
}

void CaptionPainter::setOsdStyle(HFONT font, COLORREF colour, int y) {
    if (font) osdFont_ = font;
    osdColour_ = colour;
    osdY_ = y == 0 ? -1 : y;
    osdText_[0] = '\0';
    shadow_ = true;
    outline_ = false;
    osdDirty_ = true;
}

void CaptionPainter::setOsdText(const char* text) {
    if (!text) {
        osdShown_ = false;
    } else {
        copyText(osdText_, text);
        osdShown_ = true;
    }
    osdDirty_ = true;
}

void CaptionPainter::setOsdShown(bool shown) {
    osdShown_ = shown;
    if (shown) osdDirty_ = true;
}

void CaptionPainter::setStyleMarkup(bool on) {
    styleMarkup_ = on;
    osdDirty_ = true;
}

void CaptionPainter::setTitle(const char* text) {
    if (!text) {
        titleShown_ = false;
    } else {
        copyText(titleText_, text);
        titleShown_ = true;
    }
    titleDirty_ = true;
}

void CaptionPainter::setTitleFont(HFONT font) {
    titleFont_ = font ? font : defaultFont();
    titleDirty_ = true;
}

void CaptionPainter::setTitleColour(COLORREF colour) {
    titleColour_ = colour;
    titleDirty_ = true;
}

bool CaptionPainter::paint() {
    if (!dc_) return false;
    if (titleDirty_) paintTitle();
    if (osdDirty_) paintOsd();
    GdiFlush();
    return true;
}

void CaptionPainter::paintTitle() {
    titleDirty_ = false;
    clearRect(bitmap_, titleRect_);
    titleRect_ = Rect();
    if (!titleShown()) return;
    Selected font(dc_, titleFont_ ? titleFont_ : defaultFont());
    SetMapMode(dc_, MM_TEXT);
    SetBkMode(dc_, TRANSPARENT);
    SetBkColor(dc_, 0);
    RECT measured = {0, 0, 0, 0};
    DrawTextA(dc_, titleText_, -1, &measured, DT_CALCRECT | DT_EXTERNALLEADING | DT_NOPREFIX);
    const CaptionLayout l =
        layoutTitle(measured.right - measured.left, measured.bottom - measured.top, bitmap_.width,
                    bitmap_.rows);
    clearCaptionRows(bitmap_, l.fillTop, l.fillBottom);
    const UINT format = DT_CENTER | DT_VCENTER | DT_NOPREFIX;
    SetTextColor(dc_, 0);
    for (const auto& o : kOutlineOffsets) {
        RECT r = {l.text.left + o[0], l.text.top + o[1], l.text.right + o[0], l.text.bottom + o[1]};
        DrawTextA(dc_, titleText_, -1, &r, format);
    }
    SetTextColor(dc_, titleColour_);
    RECT r = {l.text.left, l.text.top, l.text.right, l.text.bottom};
    DrawTextA(dc_, titleText_, -1, &r, format);
    titleRect_ = l.kept;
}

void CaptionPainter::paintOsd() {
    osdDirty_ = false;
    clearRect(bitmap_, osdRect_);
    osdRect_ = Rect();
    if (!osdShown()) return;
    HFONT font = osdFont_ ? osdFont_ : defaultFont();
    const size_t capacity = sizeof osdText_;
    const std::vector<MarkupLine> main = styleMarkup_ ? parseStyleMarkup(osdText_, capacity)
                                                      : parseColourMarkup(osdText_, capacity, true);
    const std::vector<MarkupLine> plain =
        styleMarkup_ ? main : parseColourMarkup(osdText_, capacity, false);
    SetMapMode(dc_, MM_TEXT);
    SetBkMode(dc_, TRANSPARENT);
    SetBkColor(dc_, 0);
    // Measured as drawn, so the blend rectangle holds every drawn pixel.
    const SIZE size = measureLines(main, font);
    const CaptionLayout l = layoutOsd(size.cx, size.cy, osdY_, bitmap_.width, bitmap_.rows);
    clearCaptionRows(bitmap_, l.fillTop, l.fillBottom);
    if (outline_)
        for (const auto& o : kOutlineOffsets)
            drawLines(plain, font, l.text, 0, o[0], o[1]);
    if (shadow_) drawLines(plain, font, l.text, 0, 2, 2);
    drawLines(main, font, l.text, osdColour_, 0, 0);
    osdRect_ = l.kept;
}

HFONT CaptionPainter::fontFor(const LOGFONTA& base, const FontStyle& style) const {
    LOGFONTA lf = base;
    if (!style.face.empty()) {
        std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
        std::memcpy(lf.lfFaceName, style.face.data(),
                    std::min(style.face.size(), sizeof lf.lfFaceName - 1));
    }
    if (style.weight) lf.lfWeight = style.weight;
    if (style.italic >= 0) lf.lfItalic = BYTE(style.italic);
    if (style.underline >= 0) lf.lfUnderline = BYTE(style.underline);
    return CreateFontIndirectA(&lf);
}

SIZE CaptionPainter::measureLines(const std::vector<MarkupLine>& lines, HFONT font) {
    SIZE total = {0, 0};
    LOGFONTA base;
    if (!GetObjectA(font, sizeof base, &base)) base = baseFont_;
    const int pad = styleMarkup_ ? 2 : 0;
    for (const MarkupLine& line : lines) {
        SIZE lineSize = {0, 0};
        for (const MarkupRun& run : line) {
            HFONT f = fontFor(base, run.style);
            {
                Selected selected(dc_, f);
                SIZE s = {0, 0};
                GetTextExtentPoint32A(dc_, run.text.data(), int(run.text.size()), &s);
                lineSize.cx += s.cx + pad;
                lineSize.cy = std::max(lineSize.cy, s.cy + pad);
            }
            DeleteObject(f);
        }
        if (line.empty()) {
            Selected selected(dc_, font);
            TEXTMETRICA tm;
            if (GetTextMetricsA(dc_, &tm)) lineSize.cy = tm.tmHeight;
        }
        total.cx = std::max(total.cx, lineSize.cx);
        total.cy += lineSize.cy;
    }
    return total;
}

void CaptionPainter::drawLines(const std::vector<MarkupLine>& lines, HFONT font, const Rect& area,
                               COLORREF colour, int dx, int dy) {
    LOGFONTA base;
    if (!GetObjectA(font, sizeof base, &base)) base = baseFont_;
    const int pad = styleMarkup_ ? 2 : 0;
    int y = area.top + dy;
    for (const MarkupLine& line : lines) {
        const SIZE size = measureLines(std::vector<MarkupLine>{line}, font);
        int x = area.left + (area.width() - size.cx) / 2 + dx;
        for (const MarkupRun& run : line) {
            HFONT f = fontFor(base, run.style);
            {
                Selected selected(dc_, f);
                SetTextColor(dc_, run.hasColour ? COLORREF(run.colour) : colour);
                SIZE s = {0, 0};
                GetTextExtentPoint32A(dc_, run.text.data(), int(run.text.size()), &s);
                TextOutA(dc_, x, y, run.text.data(), int(run.text.size()));
                x += s.cx + pad;
            }
            DeleteObject(f);
        }
        y += size.cy;
    }
}

} // namespace nerrorend

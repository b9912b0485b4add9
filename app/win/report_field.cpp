#include "app/win/report_field.h"

#include <commctrl.h>

#include <cstring>

#include "app/win/window_messages.h"

namespace tavro {

HFONT createFieldFont(HWND window) {
    HDC dc = GetDC(window);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(window, dc);
    return CreateFontA(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
}

ReportField::~ReportField() {
    if (hwnd_ && IsWindow(hwnd_)) RemoveWindowSubclass(hwnd_, &ReportField::subclassProc, 0);
    if (font_) DeleteObject(font_);
}

bool ReportField::attach(HWND edit) {
    if (!edit || hwnd_) return false;
    hwnd_ = edit;
    font_ = createFieldFont(edit);
    if (font_) SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (!SetWindowSubclass(edit, &ReportField::subclassProc, 0, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    char current[kTextLimit + 1] = {};
    GetWindowTextA(edit, current, sizeof current);
    remember(current);
    return true;
}

void ReportField::setText(const std::string& text) {
    SetWindowTextA(hwnd_, text.c_str());
}

void ReportField::setTextAndLink(const std::string& text, const std::string& target) {
    target_ = target;
    setText(text);
}

void ReportField::setPlainText(const std::string& text) {
    target_.clear();
    secondary_.clear();
    setText(text);
}

void ReportField::remember(const char* text) {
    copy_.assign(text ? text : "", text ? strnlen(text, kTextLimit) : 0);
    // Measured in the field's own font against the room inside its margins.
    RECT client;
    GetClientRect(hwnd_, &client);
    const DWORD margins = static_cast<DWORD>(SendMessageA(hwnd_, EM_GETMARGINS, 0, 0));
    const int room = client.right - client.left - LOWORD(margins) - HIWORD(margins);
    SIZE size = {0, 0};
    HDC dc = GetDC(hwnd_);
    if (dc) {
        HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
        const std::size_t whole = text ? std::strlen(text) : 0;
        GetTextExtentPoint32A(dc, text ? text : "", static_cast<int>(whole), &size);
        SelectObject(dc, old);
        ReleaseDC(hwnd_, dc);
    }
    truncated_ = size.cx > room;
}

LRESULT ReportField::answerTitleTip(WPARAM size, LPARAM buffer) const {
    if (!truncated_) return 0;
    if (buffer && size > 0) {
        const std::size_t n = copy_.size() < size - 1 ? copy_.size() : size - 1;
        std::memcpy(reinterpret_cast<char*>(buffer), copy_.data(), n);
        reinterpret_cast<char*>(buffer)[n] = '\0';
    }
    return static_cast<LRESULT>(copy_.size());
}

LRESULT CALLBACK ReportField::subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<ReportField*>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &ReportField::subclassProc, 0);
        self->hwnd_ = nullptr;
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT ReportField::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMsgTitleTipQuery) return answerTitleTip(wParam, lParam);
    const LRESULT result = DefSubclassProc(hwnd_, message, wParam, lParam);
    if (message == WM_SETTEXT && result) remember(reinterpret_cast<const char*>(lParam));
    if (message == WM_SIZE) {
        char current[kTextLimit + 1] = {};
        GetWindowTextA(hwnd_, current, sizeof current);
        remember(current);
    }
    return result;
}

} // namespace tavro

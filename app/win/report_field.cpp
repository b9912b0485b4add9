#include "app/win/report_field.h"

#include <commctrl.h>

#include <cstring>

#include "app/win/window_messages.h"
#include "common/win/wide_text.h"

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
    rememberWindowText();
    return true;
}

// UTF-8 in, wide to the control: a path in any script shows as it is.
void ReportField::setText(const std::string& text) {
    SetWindowTextW(hwnd_, wideFromUtf8(text).c_str());
}

void ReportField::rememberWindowText() {
    const int length = GetWindowTextLengthW(hwnd_);
    std::wstring current(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int got = GetWindowTextW(hwnd_, &current[0], length + 1);
    current.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    remember(current);
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

void ReportField::remember(const std::wstring& text) {
    // The whole text: a long path is shown whole in the title tip.
    copy_ = utf8FromWide(text.data(), text.size() < kTextLimit ? text.size() : kTextLimit);
    // Measured in the field's own font against the room inside its margins.
    RECT client;
    GetClientRect(hwnd_, &client);
    const DWORD margins = static_cast<DWORD>(SendMessageA(hwnd_, EM_GETMARGINS, 0, 0));
    const int room = client.right - client.left - LOWORD(margins) - HIWORD(margins);
    SIZE size = {0, 0};
    HDC dc = GetDC(hwnd_);
    if (dc) {
        HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
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
    // The message carries wide text in a Unicode window (the main dialog's), else
    // text in the ANSI code page.
    if (message == WM_SETTEXT && result) {
        if (IsWindowUnicode(hwnd_)) {
            const auto* text = reinterpret_cast<const wchar_t*>(lParam);
            remember(text ? std::wstring(text) : std::wstring());
        } else {
            rememberWindowText();
        }
    }
    if (message == WM_SIZE) rememberWindowText();
    return result;
}

} // namespace tavro

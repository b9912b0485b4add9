#include "app/win/link_button.h"

#include <commctrl.h>
#include <windowsx.h>

#include "app/win/window_messages.h"

namespace tavro {
namespace {

const COLORREF kLinkColour = RGB(0, 0, 192);
const COLORREF kHoverColour = RGB(0, 0, 255);

HCURSOR loadHandCursor() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    HCURSOR cursor = nullptr;
    if (length > 0 && length < MAX_PATH - 16) {
        lstrcatW(folder, L"\\winhlp32.exe");
        HMODULE module = LoadLibraryExW(folder, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (module) {
            HCURSOR shared = LoadCursorA(module, MAKEINTRESOURCEA(106));
            // A copy outlives the module it came from.
            if (shared)
                cursor = reinterpret_cast<HCURSOR>(CopyIcon(reinterpret_cast<HICON>(shared)));
            FreeLibrary(module);
        }
    }
    return cursor ? cursor : LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
}

} // namespace

LinkButton::~LinkButton() {
    if (hwnd_ && IsWindow(hwnd_)) RemoveWindowSubclass(hwnd_, &LinkButton::subclassProc, 0);
    if (underlined_) DeleteObject(underlined_);
}

HCURSOR LinkButton::handCursor() {
    static HCURSOR cursor = loadHandCursor();
    return cursor;
}

bool LinkButton::attach(HWND button, Menu menu) {
    if (!button || hwnd_) return false;
    hwnd_ = button;
    menu_ = menu;
    return SetWindowSubclass(button, &LinkButton::subclassProc, 0,
                             reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

void LinkButton::setText(const std::string& text) {
    SetWindowTextA(hwnd_, text.c_str());
    InvalidateRect(hwnd_, nullptr, TRUE);
}

std::string LinkButton::text() const {
    char buffer[512] = {};
    GetWindowTextA(hwnd_, buffer, sizeof buffer);
    return buffer;
}

void LinkButton::enable() {
    EnableWindow(hwnd_, TRUE);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void LinkButton::disable(bool clearText) {
    if (clearText) SetWindowTextA(hwnd_, "");
    EnableWindow(hwnd_, FALSE);
    setHover(false);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void LinkButton::pushText(const std::string& text) {
    stack_.push({this->text(), IsWindowEnabled(hwnd_) != FALSE});
    setText(text);
}

void LinkButton::popText() {
    LinkState state;
    if (!stack_.pop(state)) return;
    setText(state.text);
    if (state.enabled)
        enable();
    else
        disable(false);
}

std::vector<std::pair<const char*, LPARAM>> LinkButton::menuItems(Menu menu) {
    switch (menu) {
    case Menu::Details:
        return {{"Details...", kLinkCodeDetails}};
    case Menu::Batch:
        return {{"Next File", kLinkCodeNextFile}, {"All Files (non-stop)", kLinkCodeAllFiles}};
    case Menu::None:
        break;
    }
    return {};
}

LRESULT CALLBACK LinkButton::subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<LinkButton*>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &LinkButton::subclassProc, 0);
        self->hwnd_ = nullptr;
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT LinkButton::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(handCursor());
        return TRUE;
    case WM_MOUSEMOVE: {
        const LRESULT result = DefSubclassProc(hwnd_, message, wParam, lParam);
        if (!(wParam & MK_LBUTTON)) onMouseMove(lParam);
        return result;
    }
    case WM_CAPTURECHANGED:
        setHover(false);
        break;
    case WM_LBUTTONDOWN:
        if (clickOnPress_) {
            SetFocus(hwnd_);
            SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), BN_CLICKED),
                         reinterpret_cast<LPARAM>(hwnd_));
            return 0;
        }
        break;
    case WM_CONTEXTMENU:
        showMenu(lParam);
        return 0;
    default:
        break;
    }
    return DefSubclassProc(hwnd_, message, wParam, lParam);
}

void LinkButton::onMouseMove(LPARAM lParam) {
    RECT client;
    GetClientRect(hwnd_, &client);
    const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (PtInRect(&client, at)) {
        // Captured so that leaving the button is seen, and the highlight goes.
        if (GetCapture() != hwnd_) SetCapture(hwnd_);
        setHover(true);
    } else if (hover_ || GetCapture() == hwnd_) {
        setHover(false);
        if (GetCapture() == hwnd_) ReleaseCapture();
    }
}

void LinkButton::setHover(bool hover) {
    if (hover == hover_) return;
    hover_ = hover;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void LinkButton::showMenu(LPARAM lParam) {
    const auto items = menuItems(menu_);
    if (items.empty() || !IsWindowEnabled(hwnd_)) return;
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    for (std::size_t i = 0; i < items.size(); ++i)
        AppendMenuA(menu, MF_STRING, i + 1, items[i].first);
    POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (at.x == -1 && at.y == -1) { // from the keyboard: under the button
        RECT rect;
        GetWindowRect(hwnd_, &rect);
        at = {rect.left, rect.bottom};
    }
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x,
                                      at.y, 0, hwnd_, nullptr);
    DestroyMenu(menu);
    if (chosen > 0 && static_cast<std::size_t>(chosen) <= items.size())
        SendMessageA(GetParent(hwnd_), kMsgLinkCommand, GetDlgCtrlID(hwnd_),
                     items[chosen - 1].second);
}

HFONT LinkButton::underlinedFont(HFONT base) {
    if (underlined_ && underlinedFrom_ == base) return underlined_;
    if (underlined_) DeleteObject(underlined_);
    underlined_ = nullptr;
    LOGFONTA font;
    if (base && GetObjectA(base, sizeof font, &font) == sizeof font) {
        font.lfUnderline = TRUE;
        underlined_ = CreateFontIndirectA(&font);
    }
    underlinedFrom_ = base;
    return underlined_ ? underlined_ : base;
}

void LinkButton::draw(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const COLORREF back = background_ != CLR_INVALID ? background_ : GetSysColor(COLOR_BTNFACE);
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);

    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    HFONT base = reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = SelectObject(dc, hover_ && !disabled ? underlinedFont(base) : base);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : hover_ ? kHoverColour : kLinkColour);
    const std::string shown = text();
    RECT textRect = rect;
    textRect.left += 2;
    textRect.right -= 2;
    DrawTextA(dc, shown.c_str(), -1, &textRect,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
    if ((item.itemState & ODS_FOCUS) && !shown.empty()) {
        RECT focus = rect;
        InflateRect(&focus, -1, -1);
        DrawFocusRect(dc, &focus);
    }
}

} // namespace tavro

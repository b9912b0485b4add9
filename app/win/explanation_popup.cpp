#include "app/win/explanation_popup.h"

#include "app/ui/tooltip_rule.h"
#include "app/win/link_button.h"
#include "app/win/report_field.h"
#include "app/win/window_messages.h"

namespace tavro {
namespace {

const char kClassName[] = "TavroExplanationPopup";
const int kFirstPieceId = 100;

bool registerClass(HINSTANCE instance) {
    WNDCLASSA existing;
    if (GetClassInfoA(instance, kClassName, &existing)) return true;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA; // replaced per window by open()
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) != 0;
}

// The screen rectangles of a dialog's visible push buttons.
std::vector<PopupRect> pushButtonRects(HWND dialog) {
    std::vector<PopupRect> out;
    for (HWND child = GetWindow(dialog, GW_CHILD); child && out.size() < 64;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        const LONG_PTR type = GetWindowLongPtrA(child, GWL_STYLE) & BS_TYPEMASK;
        if (lstrcmpiA(name, "Button") != 0 || !IsWindowVisible(child) ||
            (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON))
            continue;
        RECT r;
        GetWindowRect(child, &r);
        out.push_back({r.left, r.top, r.right, r.bottom});
    }
    return out;
}

} // namespace

ExplanationPopup::ExplanationPopup() = default;

ExplanationPopup::~ExplanationPopup() {
    close();
    if (font_) DeleteObject(font_);
    if (brush_) DeleteObject(brush_);
}

bool ExplanationPopup::open(HWND owner, int kind, const Explanation& explanation, POINT mouse,
                            bool keepButtonsClear) {
    close();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!registerClass(instance)) return false;
    if (!font_) font_ = createFieldFont(owner);
    if (!brush_) brush_ = CreateSolidBrush(kFieldBackground);

    // Measure in the popup's font; the line spacing is the font's height plus a pixel.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font_);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    const int lineHeight = metrics.tmHeight + metrics.tmExternalLeading + 1;
    const PopupLayout layout = layoutPopup(
        explanation.text,
        [dc](const std::string& text) {
            SIZE size = {0, 0};
            GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
            return static_cast<int>(size.cx);
        },
        lineHeight);
    SelectObject(dc, old);
    DeleteDC(dc);

    RECT bounds;
    GetWindowRect(owner, &bounds);
    PopupPoint corner = placePopup({mouse.x, mouse.y}, layout.width, layout.height,
                                   {bounds.left, bounds.top, bounds.right, bounds.bottom});
    if (keepButtonsClear) {
        RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        corner = keepClearOf(corner, layout.width, layout.height, pushButtonRects(owner),
                             {work.left, work.top, work.right, work.bottom});
    }
    hwnd_ =
        CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP | WS_BORDER, corner.x, corner.y,
                        layout.width, layout.height, owner, nullptr, instance, nullptr);
    if (!hwnd_) return false;
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(&ExplanationPopup::windowProc));
    owner_ = owner;
    kind_ = kind;
    targets_ = explanation.targets;
    createPieces(layout, lineHeight);
    // Shown without taking the focus from the main window.
    ShowWindow(hwnd_, SW_SHOWNA);
    return true;
}

void ExplanationPopup::createPieces(const PopupLayout& layout, int lineHeight) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    int id = kFirstPieceId;
    for (const PopupPiece& piece : layout.pieces) {
        HWND control = CreateWindowExA(
            0, piece.isLink ? "BUTTON" : "STATIC", piece.text.c_str(),
            WS_CHILD | WS_VISIBLE | (piece.isLink ? BS_OWNERDRAW : SS_LEFT | SS_NOPREFIX), piece.x,
            piece.y, piece.width + (piece.isLink ? 4 : 1), lineHeight, hwnd_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
        if (!control) continue;
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        if (piece.isLink) {
            auto link = std::make_unique<LinkButton>();
            link->attach(control, LinkButton::Menu::None);
            link->setBackground(kFieldBackground);
            link->setTarget(piece.linkIndex < static_cast<int>(targets_.size())
                                ? targets_[piece.linkIndex]
                                : std::string());
            links_.push_back(std::move(link));
        }
    }
}

void ExplanationPopup::close() {
    if (hwnd_) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    links_.clear();
    kind_ = 0;
}

void ExplanationPopup::followLink(HWND button) {
    for (const auto& link : links_) {
        if (link->hwnd() != button) continue;
        const std::string target = link->target();
        // Closed after the click is over: the button is still inside its handler.
        PostMessageA(hwnd_, WM_CLOSE, 0, 0);
        if (!target.empty())
            SendMessageA(owner_, kMsgFollowLink, 0, reinterpret_cast<LPARAM>(target.c_str()));
        return;
    }
}

LRESULT CALLBACK ExplanationPopup::windowProc(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    auto* self = reinterpret_cast<ExplanationPopup*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self || self->hwnd_ != hwnd) return DefWindowProcA(hwnd, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT ExplanationPopup::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = hwnd_;
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(hwnd_, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush_);
        return 1;
    }
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), kFieldBackground);
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(brush_);
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        for (const auto& link : links_)
            if (link->hwnd() == item->hwndItem) link->draw(*item);
        return TRUE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) followLink(reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_CLOSE:
        close();
        return 0;
    case WM_NCDESTROY:
        hwnd_ = nullptr;
        links_.clear();
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace tavro

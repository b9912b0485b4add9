#include "app/win/graph_window.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/win/wide_text.h"

namespace tavro {
namespace {

const wchar_t kClassName[] = L"TavroRenderGraph";
constexpr int kMargin = 8;

COLORREF colourOf(const char* hex) {
    if (!hex || hex[0] != '#') return RGB(0, 0, 0);
    const unsigned long v = std::strtoul(hex + 1, nullptr, 16);
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

bool registerClass() {
    WNDCLASSW existing;
    if (GetClassInfoW(GetModuleHandleW(nullptr), kClassName, &existing)) return true;
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DefWindowProcW; // each window takes its own procedure once made
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassW(&wc) != 0;
}

void text(HDC dc, int x, int y, const std::string& s, UINT align) {
    const std::wstring w = wideFromUtf8(s);
    SetTextAlign(dc, align);
    TextOutW(dc, x, y, w.c_str(), static_cast<int>(w.size()));
}

// One GDI object selected for a scope and deleted after it.
class Selected {
  public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), old_(SelectObject(dc, object)) {}
    ~Selected() {
        SelectObject(dc_, old_);
        DeleteObject(object_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

  private:
    HDC dc_;
    HGDIOBJ object_, old_;
};

} // namespace

GraphWindow::~GraphWindow() {
    close();
}

void GraphWindow::close() {
    if (hwnd_) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    for (HFONT* font : {&bold_, &small_}) {
        if (*font) DeleteObject(*font);
        *font = nullptr;
    }
}

bool GraphWindow::show(HWND owner, const GraphDescription& graph, const CodecDatabase* db,
                       const std::string& title) {
    layout_ = layOutGraph(graph, db);
    const std::wstring caption = wideFromUtf8("Render Graph - " + title);
    if (hwnd_) {
        SetWindowTextW(hwnd_, caption.c_str());
        InvalidateRect(hwnd_, nullptr, TRUE);
        ShowWindow(hwnd_, SW_SHOWNORMAL);
        SetForegroundWindow(hwnd_);
        return true;
    }
    if (!registerClass()) return false;
    // Big enough for a usual graph at full size, never bigger than the screen.
    const int width = std::min(std::max(480, static_cast<int>(layout_.width) + 2 * kMargin + 16),
                               GetSystemMetrics(SM_CXSCREEN) - 40);
    const int height = std::min(std::max(320, static_cast<int>(layout_.height) + 2 * kMargin + 40),
                                GetSystemMetrics(SM_CYSCREEN) - 40);
    hwnd_ = CreateWindowExW(0, kClassName, caption.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                            CW_USEDEFAULT, width, height, owner, nullptr, GetModuleHandleW(nullptr),
                            nullptr);
    if (!hwnd_) return false;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&GraphWindow::windowProc));
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    return true;
}

POINT GraphWindow::toClient(double x, double y) const {
    return POINT{static_cast<LONG>(std::lround(left_ + x * scale_)),
                 static_cast<LONG>(std::lround(top_ + y * scale_))};
}

// The whole picture fits the client area, centred; it is never drawn larger than
// its own size, where the texts would outgrow their boxes.
void GraphWindow::fit(const RECT& client) {
    const double w = std::max<LONG>(client.right - 2 * kMargin, 1);
    const double h = std::max<LONG>(client.bottom - 2 * kMargin, 1);
    const double lw = std::max(layout_.width, 1.0), lh = std::max(layout_.height, 1.0);
    scale_ = std::min({1.0, w / lw, h / lh});
    left_ = kMargin + (w - lw * scale_) / 2;
    top_ = kMargin + (h - lh * scale_) / 2;
    const int boldSize = std::max(7, static_cast<int>(std::lround(12 * scale_)));
    const int smallSize = std::max(6, static_cast<int>(std::lround(10 * scale_)));
    for (HFONT* font : {&bold_, &small_})
        if (*font) DeleteObject(*font);
    bold_ =
        CreateFontW(-boldSize, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    small_ = CreateFontW(-smallSize, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                         L"Tahoma");
}

void GraphWindow::paint(HDC dc, const RECT& client) {
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    fit(client);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, bold_);
    if (layout_.boxes.empty()) {
        text(dc, kMargin * 2, kMargin * 2, "No graph was built", TA_LEFT | TA_TOP);
        SelectObject(dc, oldFont);
        return;
    }
    const int radius = std::max(2, static_cast<int>(std::lround(12 * scale_)));
    for (const GraphLayoutBox& box : layout_.boxes) {
        const POINT a = toClient(box.x, box.y);
        const POINT b = toClient(box.x + box.width, box.y + box.height);
        Selected brush(dc, CreateSolidBrush(colourOf(graphRoleColour(box.role))));
        Selected pen(dc, CreatePen(PS_SOLID, 1, RGB(0x44, 0x44, 0x44)));
        RoundRect(dc, a.x, a.y, b.x, b.y, radius, radius);
        SelectObject(dc, bold_);
        SetTextColor(dc, RGB(0, 0, 0));
        const POINT name = toClient(box.x + 8, box.y + 17);
        text(dc, name.x, name.y, box.name, TA_LEFT | TA_BASELINE);
        SelectObject(dc, small_);
        if (*graphRoleName(box.role)) {
            const POINT role = toClient(box.x + 8, box.y + 32);
            SetTextColor(dc, RGB(0x33, 0x33, 0x33));
            text(dc, role.x, role.y, graphRoleName(box.role), TA_LEFT | TA_BASELINE);
        }
        SetTextColor(dc, RGB(0, 0, 0));
        for (const GraphLayoutPin& pin : box.pins) {
            const POINT at = toClient(pin.input ? box.x + 6 : box.x + box.width - 6, pin.y + 4);
            text(dc, at.x, at.y, pin.name, (pin.input ? TA_LEFT : TA_RIGHT) | TA_BASELINE);
        }
    }
    Selected pen(dc, CreatePen(PS_SOLID, std::max(1, static_cast<int>(std::lround(1.5 * scale_))),
                               RGB(0x33, 0x33, 0x33)));
    Selected brush(dc, CreateSolidBrush(RGB(0x33, 0x33, 0x33)));
    SelectObject(dc, small_);
    SetTextColor(dc, RGB(0x1a, 0x4d, 0x80));
    for (const GraphLayoutArrow& arrow : layout_.arrows) {
        // The same gentle bend as the SVG picture.
        const double bend = std::max(40.0, std::abs(arrow.x2 - arrow.x1) / 2);
        const POINT curve[4] = {toClient(arrow.x1, arrow.y1), toClient(arrow.x1 + bend, arrow.y1),
                                toClient(arrow.x2 - bend, arrow.y2), toClient(arrow.x2, arrow.y2)};
        PolyBezier(dc, curve, 4);
        const POINT head[3] = {toClient(arrow.x2, arrow.y2), toClient(arrow.x2 - 10, arrow.y2 - 4),
                               toClient(arrow.x2 - 10, arrow.y2 + 4)};
        Polygon(dc, head, 3);
        const POINT label = toClient((arrow.x1 + arrow.x2) / 2, (arrow.y1 + arrow.y2) / 2 - 5);
        text(dc, label.x, label.y, arrow.label, TA_CENTER | TA_BASELINE);
    }
    SelectObject(dc, oldFont);
}

LRESULT CALLBACK GraphWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<GraphWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || self->hwnd_ != hwnd) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT GraphWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = POINT{240, 160};
        return 0;
    }
    case WM_ERASEBKGND:
        return 1; // the paint fills everything, drawn off screen first
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        RECT client;
        GetClientRect(hwnd_, &client);
        client.right = std::max<LONG>(client.right, 1);
        client.bottom = std::max<LONG>(client.bottom, 1);
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
        HGDIOBJ old = SelectObject(memory, bitmap);
        paint(memory, client);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_NCDESTROY: {
        HWND gone = hwnd_;
        hwnd_ = nullptr;
        return DefWindowProcW(gone, message, wParam, lParam);
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

} // namespace tavro

#include "app/win/file_map_window.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "analysis/size_text.h"
#include "common/win/wide_text.h"
#include "report/map/map_layout.h"
#include "report/map/map_svg.h"
#include "resource.h"

namespace tavro {
namespace {

const wchar_t kClassName[] = L"TavroFileMap";
constexpr int kMargin = 12;
constexpr int kByteTop = 34;
constexpr int kByteHeight = 48;
constexpr int kInfoHeight = 22;
constexpr int kLegendRow = 18;

COLORREF colourOf(const char* hex) {
    if (!hex || hex[0] != '#') return RGB(0, 0, 0);
    const unsigned long v = std::strtoul(hex + 1, nullptr, 16);
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

COLORREF partColour(int part) {
    if (part < kMapLayers) return colourOf(mapLayerColour(part));
    if (part == kPartGap) return RGB(255, 255, 255);
    if (part == kPartUnread) return RGB(228, 228, 228);
    return RGB(248, 208, 208);
}

// Brushes for every part, made once per paint and released with it.
struct PartBrushes {
    HBRUSH brush[kMapParts] = {};
    HBRUSH missingHatch = nullptr;
    PartBrushes() {
        for (int p = 0; p < kMapParts; ++p)
            brush[p] = CreateSolidBrush(partColour(p));
        missingHatch = CreateHatchBrush(HS_BDIAGONAL, RGB(192, 0, 0));
    }
    ~PartBrushes() {
        for (HBRUSH b : brush)
            if (b) DeleteObject(b);
        if (missingHatch) DeleteObject(missingHatch);
    }
    PartBrushes(const PartBrushes&) = delete;
    PartBrushes& operator=(const PartBrushes&) = delete;
};

bool registerClass() {
    WNDCLASSW existing;
    if (GetClassInfoW(GetModuleHandleW(nullptr), kClassName, &existing)) return true;
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DefWindowProcW; // each window takes its own procedure once made
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_CROSS);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassW(&wc) != 0;
}

void text(HDC dc, int x, int y, const std::string& s) {
    const std::wstring w = wideFromUtf8(s);
    TextOutW(dc, x, y, w.c_str(), static_cast<int>(w.size()));
}

} // namespace

FileMapWindow::~FileMapWindow() {
    close();
}

void FileMapWindow::close() {
    if (hwnd_) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    if (font_) DeleteObject(font_);
    font_ = nullptr;
}

bool FileMapWindow::show(HWND owner, const FileMap& map, const std::string& title) {
    map_ = &map;
    if (hwnd_) {
        refresh(title);
        ShowWindow(hwnd_, SW_SHOWNORMAL);
        SetForegroundWindow(hwnd_);
        return true;
    }
    if (!registerClass()) return false;
    hwnd_ = CreateWindowExW(0, kClassName, wideFromUtf8("File Map - " + title).c_str(),
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                            900, 520, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) return false;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FileMapWindow::windowProc));
    if (!font_)
        font_ =
            CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    info_ = CreateWindowExW(0, L"STATIC", L"Point at the map for its offsets, time and streams.",
                            WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0, 10, 10,
                            hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_MAP_INFO)),
                            GetModuleHandleW(nullptr), nullptr);
    if (info_ && font_) SendMessageA(info_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    RECT client;
    GetClientRect(hwnd_, &client);
    handle(WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    return true;
}

void FileMapWindow::refresh(const std::string& title) {
    if (!hwnd_) return;
    SetWindowTextW(hwnd_, wideFromUtf8("File Map - " + title).c_str());
    if (info_) SetWindowTextW(info_, L"");
    InvalidateRect(hwnd_, nullptr, TRUE);
}

RECT FileMapWindow::byteBand() const {
    RECT client;
    GetClientRect(hwnd_, &client);
    return RECT{kMargin + 60, kByteTop, std::max<LONG>(client.right - kMargin, kMargin + 80),
                kByteTop + kByteHeight};
}

RECT FileMapWindow::timeBand() const {
    RECT client;
    GetClientRect(hwnd_, &client);
    const LONG top = kByteTop + kByteHeight + 40;
    const LONG bottom = client.bottom - kInfoHeight - 3 * kLegendRow - 24;
    return RECT{kMargin + 60, top, std::max<LONG>(client.right - kMargin, kMargin + 80),
                std::max<LONG>(bottom, top + 20)};
}

void FileMapWindow::paint(HDC dc, const RECT& client) {
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (!map_ || !map_->hasFile()) {
        text(dc, kMargin, kMargin, "No file is open.");
        return;
    }
    HGDIOBJ oldFont = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    PartBrushes brushes;
    const RECT band = byteBand();
    const int width = band.right - band.left;
    const double extent = double(std::max<uint64_t>(map_->extent(), 1));
    text(dc, kMargin, 10,
         sizeText(map_->fileSize(), true) + " along its bytes (" +
             std::to_string(map_->binCount()) + " bins of " + sizeText(map_->binBytes(), true) +
             ")");
    const std::vector<MapColumn> columns = mapColumns(*map_, width);
    for (int x = 0; x < width; ++x) {
        double y = band.top;
        for (int p = 0; p < kMapParts; ++p) {
            const double h = columns[x][p] * kByteHeight;
            if (h <= 0) continue;
            RECT r{band.left + x, LONG(y + 0.5), band.left + x + 1, LONG(y + h + 0.5)};
            FillRect(dc, &r, brushes.brush[p]);
            if (p == kPartMissing) FillRect(dc, &r, brushes.missingHatch);
            y += h;
        }
    }
    FrameRect(dc, &band, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    text(dc, band.left, band.bottom + 4, "0");
    const std::string end = sizeText(map_->extent(), true);
    text(dc, band.right - 8 * int(end.size()), band.bottom + 4, end);
    HPEN red = CreatePen(PS_SOLID, 2, RGB(192, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, red);
    if (map_->truncated()) {
        const int x = band.left + int(map_->fileSize() / extent * width);
        MoveToEx(dc, x, band.top - 8, nullptr);
        LineTo(dc, x, band.bottom + 2);
        // Under the band, ending at the mark, clear of the header line in any width.
        SetTextColor(dc, RGB(192, 0, 0));
        const UINT align = SetTextAlign(dc, TA_RIGHT | TA_TOP);
        text(dc, std::max<int>(x - 4, band.left + 200), band.bottom + 4,
             "file ends; " + sizeText(map_->declaredEnd() - map_->fileSize(), true) + " missing");
        SetTextAlign(dc, align);
        SetTextColor(dc, RGB(0, 0, 0));
    }

    const RECT time = timeBand();
    text(dc, kMargin, time.top - 18, "Streams along time (down: byte offset)");
    FrameRect(dc, &time, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    const int bins = map_->timeBinCount();
    const double total = map_->timeExtent();
    const int tw = time.right - time.left, th = time.bottom - time.top;
    if (bins == 0 || total <= 0) {
        text(dc, time.left + 8, time.top + 8, "No stream times are known");
    } else {
        for (int s = 0; s < kMapStreams; ++s) {
            if (!map_->streamSeen(s)) continue;
            for (int b = 0; b < bins; ++b) {
                const MapTimeCell cell = map_->timeCell(s, b);
                if (!cell.used()) continue;
                const double t0 = b * map_->timeBinSeconds();
                const double t1 = std::min((b + 1) * map_->timeBinSeconds(), total);
                RECT r{time.left + LONG(t0 / total * tw), time.top + LONG(cell.first / extent * th),
                       time.left + LONG(t1 / total * tw) + 1,
                       time.top + LONG(cell.last / extent * th) + 2};
                FillRect(dc, &r, brushes.brush[kLayerStream0 + s]);
            }
        }
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.2f s", total);
        text(dc, time.right - 60, time.bottom + 4, seconds);
        text(dc, time.left, time.bottom + 4, "0 s");
    }
    SelectObject(dc, oldPen);
    DeleteObject(red);

    // The legend: parts that occur, four to a row.
    std::vector<int> parts;
    for (int l = 0; l < kMapLayers; ++l)
        if (map_->layerTotal(l) > 0) parts.push_back(l);
    if (map_->spanCount() == 0 || map_->readEnd() < map_->fileSize()) parts.push_back(kPartUnread);
    if (map_->truncated()) parts.push_back(kPartMissing);
    const int legendTop = time.bottom + 24;
    const int column = std::max<int>((client.right - 2 * kMargin) / 4, 120);
    for (size_t i = 0; i < parts.size(); ++i) {
        const int x = kMargin + int(i % 4) * column, y = legendTop + int(i / 4) * kLegendRow;
        RECT swatch{x, y + 2, x + 12, y + 14};
        FillRect(dc, &swatch, brushes.brush[parts[i]]);
        if (parts[i] == kPartMissing) FillRect(dc, &swatch, brushes.missingHatch);
        FrameRect(dc, &swatch, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        text(dc, x + 18, y, mapPartName(*map_, parts[i]));
    }
    SelectObject(dc, oldFont);
}

void FileMapWindow::pointAt(int x, int y) {
    if (!map_ || !info_) return;
    std::string line;
    const RECT band = byteBand(), time = timeBand();
    const POINT p{x, y};
    if (PtInRect(&band, p)) {
        const double share = double(x - band.left) / double(band.right - band.left);
        line = mapByteInfo(*map_, static_cast<uint64_t>(share * double(map_->extent())));
    } else if (PtInRect(&time, p)) {
        const double share = double(x - time.left) / double(time.right - time.left);
        line = mapTimeInfo(*map_, share * map_->timeExtent());
    }
    if (line.empty()) return;
    SetWindowTextW(info_, wideFromUtf8(line).c_str());
    UpdateWindow(info_);
}

LRESULT CALLBACK FileMapWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FileMapWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || self->hwnd_ != hwnd) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT FileMapWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (info_)
            MoveWindow(info_, kMargin, HIWORD(lParam) - kInfoHeight, LOWORD(lParam) - 2 * kMargin,
                       kInfoHeight - 4, TRUE);
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = POINT{420, 320};
        return 0;
    }
    case WM_ERASEBKGND:
        return 1; // the paint fills everything, drawn off screen first
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        RECT client;
        GetClientRect(hwnd_, &client);
        client.bottom = std::max<LONG>(client.bottom - kInfoHeight, 1);
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1), client.bottom);
        HGDIOBJ old = SelectObject(memory, bitmap);
        paint(memory, client);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
        pointAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_NCDESTROY: {
        HWND gone = hwnd_;
        hwnd_ = nullptr;
        info_ = nullptr;
        return DefWindowProcW(gone, message, wParam, lParam);
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

} // namespace tavro

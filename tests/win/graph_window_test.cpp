// The Render Graph window driven in this process under Wine: drawn at full size and
// shrunk to fit, each box in its role's colour, and kept as a screenshot.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/win/graph_window.h"
#include "gui_harness.h"
#include "render/render_guids.h"
#include "tests/render/graph_builder.h"

namespace tavro {
namespace {

void paintNow(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Wine's graph for an AVI: the splitter decodes both streams itself.
GraphDescription wineAvi() {
    test::GraphSketch g;
    const int source = g.add("\xE5\x8B\x95\xE7\x94\xBB.avi");
    const int splitter = g.add("GStreamer splitter filter");
    const int video = g.add("Video Renderer");
    const int audio = g.add("DirectSound Audio Renderer");
    g.connect(source, splitter, kMediaTypeStream, test::kMediaSubtypeAvi);
    g.connect(splitter, video, kMediaTypeVideo, kMediaSubtypeRgb32, "Stream 00");
    g.connect(splitter, audio, kMediaTypeAudio, kMediaSubtypePcm, "Stream 01");
    return g.graph;
}

COLORREF pixelAt(HWND hwnd, POINT p) {
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, p.x, p.y);
    ReleaseDC(hwnd, dc);
    return c;
}

// The box's colour, sampled just inside its lower left corner (clear of texts).
void expectBoxColours(const GraphWindow& window) {
    for (const GraphLayoutBox& box : window.layout().boxes) {
        const POINT p = window.toClient(box.x + 4, box.y + box.height - 4);
        const unsigned long hex = std::strtoul(graphRoleColour(box.role) + 1, nullptr, 16);
        EXPECT_EQ(pixelAt(window.hwnd(), p), RGB((hex >> 16) & 0xFF, (hex >> 8) & 0xFF, hex & 0xFF))
            << box.fullName;
    }
}

TEST(GraphWindow, DrawsTheGraphInRoleColoursAndFitsTheWindow) {
    GraphWindow window;
    ASSERT_TRUE(window.show(nullptr, wineAvi(), nullptr, "clip.avi"));
    HWND hwnd = window.hwnd();
    ASSERT_NE(hwnd, nullptr);
    SetWindowPos(hwnd, HWND_TOP, 20, 20, 1000, 400, SWP_SHOWWINDOW);
    paintNow(hwnd);
    wchar_t title[128] = {};
    GetWindowTextW(hwnd, title, 128);
    EXPECT_EQ(guitest::narrow(title), "Render Graph - clip.avi");
    ASSERT_EQ(window.layout().boxes.size(), 4u);
    EXPECT_EQ(window.layout().arrows.size(), 3u);
    EXPECT_EQ(window.layout().boxes[1].role, GraphRole::Decoder);
    expectBoxColours(window);
    EXPECT_TRUE(guitest::saveWindowBitmap(hwnd, TAVRO_ARTIFACT_DIR "/graph_window.bmp"));

    // Smaller than the picture: it shrinks to fit, still every box in its colour.
    SetWindowPos(hwnd, nullptr, 0, 0, 420, 260, SWP_NOMOVE | SWP_NOZORDER);
    paintNow(hwnd);
    RECT client;
    GetClientRect(hwnd, &client);
    const GraphLayout& layout = window.layout();
    const POINT corner = window.toClient(layout.width, layout.height);
    EXPECT_LE(corner.x, client.right);
    EXPECT_LE(corner.y, client.bottom);
    expectBoxColours(window);
    EXPECT_TRUE(guitest::saveWindowBitmap(hwnd, TAVRO_ARTIFACT_DIR "/graph_window_small.bmp"));

    // A failed render leaves no graph: the window says so; closing twice is harmless.
    ASSERT_TRUE(window.show(nullptr, GraphDescription(), nullptr, "broken.avi"));
    paintNow(hwnd);
    EXPECT_TRUE(window.layout().boxes.empty());
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(window.isOpen());
    window.close();
}

} // namespace
} // namespace tavro

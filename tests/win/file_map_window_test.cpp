// The File Map window driven in this process under Wine: drawn, resized, pointed at,
// and kept as a screenshot.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/win/file_map_window.h"
#include "gui_harness.h"
#include "resource.h"
#include "tests/support/file_span.h"

namespace tavro {
namespace {

using test::span;

// The window lives on this thread: its paints are dispatched here before a capture.
void paintNow(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// A cut, badly interleaved file: video in the first half, its audio in the second.
void fillMap(FileMap& map) {
    map.beginFile(200000, 200000);
    map.declareEnd(260000);
    map.nameStream(0, "Video MJPG");
    map.nameStream(1, "Audio 1");
    map.addSpan(span(0, 2048, SpanKind::Header, -1, -1, -1));
    for (int i = 0; i < 90; ++i) {
        map.addSpan(span(2048 + i * 1000, 1000, SpanKind::Data, 0, i * 0.04, (i + 1) * 0.04));
        map.addSpan(span(100000 + i * 1000, 1000, SpanKind::Data, 1, i * 0.04, (i + 1) * 0.04));
    }
}

TEST(FileMapWindow, DrawsResizesAndDescribesWhatIsUnderThePointer) {
    FileMap map;
    fillMap(map);
    FileMapWindow window;
    ASSERT_TRUE(window.show(nullptr, map, "cut \xE6\x98\xA0\xE5\x83\x8F.avi"));
    HWND hwnd = window.hwnd();
    ASSERT_NE(hwnd, nullptr);
    SetWindowPos(hwnd, HWND_TOP, 20, 20, 900, 520, SWP_SHOWWINDOW);
    paintNow(hwnd);
    wchar_t title[128] = {};
    GetWindowTextW(hwnd, title, 128);
    EXPECT_EQ(guitest::narrow(title), "File Map - cut \xE6\x98\xA0\xE5\x83\x8F.avi");

    RECT client;
    GetClientRect(hwnd, &client);
    // Byte band: 34..82 px down, from 72 px to the right margin. Time band below it.
    const struct {
        double share; // across the band
        int y;
        const char* has;
    } points[] = {
        {0.20, 60, "Video MJPG"},
        {0.60, 60, "Audio 1"},
        {0.90, 60, "Missing (past the end)"},
        {0.50, 200, "Audio 1 in bytes"},
    };
    for (const auto& p : points) {
        const int left = 72, right = client.right - 12;
        const int x = left + static_cast<int>(p.share * (right - left));
        SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, p.y));
        const std::string info = guitest::controlText(hwnd, IDC_MAP_INFO);
        EXPECT_NE(info.find(p.has), std::string::npos) << p.share << ": " << info;
    }
    paintNow(hwnd);
    EXPECT_TRUE(guitest::saveWindowBitmap(hwnd, TAVRO_ARTIFACT_DIR "/file_map_window.bmp"));

    // Smaller: the pointer text still follows the narrower band, and nothing breaks.
    SetWindowPos(hwnd, nullptr, 0, 0, 500, 360, SWP_NOMOVE | SWP_NOZORDER);
    paintNow(hwnd);
    GetClientRect(hwnd, &client);
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(72 + (client.right - 84) / 5, 60));
    EXPECT_NE(guitest::controlText(hwnd, IDC_MAP_INFO).find("Video MJPG"), std::string::npos);
    paintNow(hwnd);
    EXPECT_TRUE(guitest::saveWindowBitmap(hwnd, TAVRO_ARTIFACT_DIR "/file_map_window_small.bmp"));

    // Another file: the same window shows the new map; closing it twice is harmless.
    map.reset();
    map.beginFile(1000, 1000);
    window.refresh("next.avi");
    GetWindowTextW(hwnd, title, 128);
    EXPECT_EQ(guitest::narrow(title), "File Map - next.avi");
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(window.isOpen());
    window.close();
    ASSERT_TRUE(window.show(nullptr, map, "again.avi"));
    EXPECT_TRUE(window.isOpen());
}

} // namespace
} // namespace tavro

// The render test on a worker thread while this (the window's) thread waits pumping
// messages: a hung builder is cancelled with ESC from a window that kept painting,
// input other than ESC is held back, and the builder lives and dies on its worker.
#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>

#include <atomic>
#include <thread>

#include "app/win/background_render.h"

namespace tavro {
namespace {

std::atomic<int> gPaints{0}, gClicks{0};

LRESULT CALLBACK countingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        ++gPaints;
        return 0;
    }
    if (message == WM_LBUTTONDOWN || message == WM_COMMAND) ++gClicks;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND makeWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = countingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TavroBackgroundRenderTest";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"waiting", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                40, 40, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    return hwnd;
}

// Where the fake builder was made, used and released, and in which apartment.
struct Seen {
    std::atomic<DWORD> madeOn{0}, usedOn{0}, releasedOn{0};
    std::atomic<bool> comReady{false};
};

class FakeBuilder : public GraphBuilder {
  public:
    FakeBuilder(Seen& seen, HANDLE release) : seen_(seen), release_(release) {
        seen_.madeOn = GetCurrentThreadId();
    }
    ~FakeBuilder() override { seen_.releasedOn = GetCurrentThreadId(); }
    int32_t renderFile(const std::string& path, size_t, GraphDescription* graph,
                       bool* managerCreated) override {
        seen_.usedOn = GetCurrentThreadId();
        // CoInitializeEx answers S_FALSE when the thread already has an apartment.
        const HRESULT again = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        seen_.comReady = again == S_FALSE;
        if (SUCCEEDED(again)) CoUninitialize();
        if (release_) WaitForSingleObject(release_, INFINITE); // hangs until let go
        graph->filters.push_back({path, {}, {}});
        *managerCreated = true;
        return 0;
    }

  private:
    Seen& seen_;
    HANDLE release_;
};

TEST(BackgroundRender, FinishedTestIsHandedBackFromItsWorker) {
    Seen seen;
    BackgroundGraphBuilder builder([&] { return std::make_unique<FakeBuilder>(seen, nullptr); });
    GraphDescription graph;
    bool created = false;
    EXPECT_EQ(builder.renderFile("clip.avi", 10, &graph, &created), 0);
    EXPECT_TRUE(created);
    ASSERT_EQ(graph.filters.size(), 1u);
    EXPECT_EQ(graph.filters[0].name, "clip.avi");
    EXPECT_NE(seen.usedOn.load(), GetCurrentThreadId());
    EXPECT_EQ(seen.madeOn.load(), seen.usedOn.load());
    EXPECT_EQ(seen.releasedOn.load(), seen.usedOn.load());
    EXPECT_TRUE(seen.comReady);
}

TEST(BackgroundRender, HungTestIsCancelledWithEscapeWhileTheWindowPaints) {
    HWND hwnd = makeWindow();
    ASSERT_NE(hwnd, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Seen seen;
    int cancels = 0;
    BackgroundGraphBuilder builder([&] { return std::make_unique<FakeBuilder>(seen, release); });
    builder.setOnCancel([&] { ++cancels; });
    gPaints = 0;
    gClicks = 0;
    // Another thread plays the user: once the hung test is under way it asks for a
    // repaint, clicks (held back), and when the window has painted, presses ESC.
    std::thread user([&] {
        const DWORD deadline = GetTickCount() + 10000;
        while (!seen.usedOn && GetTickCount() < deadline)
            Sleep(10);
        PostMessageW(hwnd, WM_LBUTTONDOWN, 0, 0);
        PostMessageW(hwnd, WM_KEYDOWN, 'A', 0);
        InvalidateRect(hwnd, nullptr, TRUE);
        while (gPaints == 0 && GetTickCount() < deadline)
            Sleep(10);
        PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    GraphDescription graph;
    bool created = true;
    const DWORD start = GetTickCount();
    EXPECT_EQ(builder.renderFile("hangs.avi", 10, &graph, &created), kRenderCancelled);
    user.join();
    EXPECT_LT(GetTickCount() - start, 10000u);
    EXPECT_GE(gPaints.load(), 1);
    EXPECT_EQ(gClicks.load(), 0);
    EXPECT_EQ(cancels, 1);
    EXPECT_FALSE(created);
    EXPECT_TRUE(graph.filters.empty());

    // The abandoned worker ends by itself once DirectShow returns, releasing its
    // builder on its own thread.
    SetEvent(release);
    for (int i = 0; i < 500 && !seen.releasedOn; ++i)
        Sleep(10);
    EXPECT_EQ(seen.releasedOn.load(), seen.usedOn.load());
    EXPECT_NE(seen.releasedOn.load(), GetCurrentThreadId());
    CloseHandle(release);
    DestroyWindow(hwnd);
}

} // namespace
} // namespace tavro

// The "Info" and "About" pages: their COM contract, the figures they show, and both
// pages in a real property frame (OleCreatePropertyFrame) with a screenshot kept.
#include <gtest/gtest.h>

#include <olectl.h>
#include <prsht.h>

#include <string>
#include <thread>

#include "filter_test_support.h"
#include "filters/base/base_property_page.h"
#include "filters/base/base_video_renderer.h"
#include "filters/interfaces/vrenderer_control.h"
#include "filters/pages/page_resources.h"
#include "gui_harness.h"

using namespace filtertest;

namespace {

const IID kIID_IVRendererControl = {
    0xdf967e60, 0xd1fd, 0x11d4, {0x8b, 0x80, 0x00, 0xd0, 0x5c, 0x00, 0xae, 0x53}};

// A renderer stand-in with fixed figures, and IVRendererControl when asked for.
class FakeRenderer : public IQualProp, public IVRendererControl {
  public:
    FakeRenderer(bool withControl, int formatCode)
        : withControl_(withControl), formatCode_(formatCode) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IQualProp)) {
            *object = static_cast<IQualProp*>(this);
        } else if (withControl_ && IsEqualIID(riid, kIID_IVRendererControl)) {
            *object = static_cast<IVRendererControl*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&refs); }
    STDMETHODIMP get_FramesDroppedInRenderer(int* v) override {
        *v = 7;
        return S_OK;
    }
    STDMETHODIMP get_FramesDrawn(int* v) override {
        *v = 1234;
        return S_OK;
    }
    STDMETHODIMP get_AvgFrameRate(int* v) override {
        *v = 2497;
        return S_OK;
    }
    STDMETHODIMP get_Jitter(int* v) override {
        *v = 3;
        return S_OK;
    }
    STDMETHODIMP get_AvgSyncOffset(int* v) override {
        *v = -12;
        return S_OK;
    }
    STDMETHODIMP get_DevSyncOffset(int* v) override {
        *v = 4;
        return S_OK;
    }
    STDMETHODIMP SetOverlayRects(RECT*, RECT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetVideoSize(int* w, int* h) override {
        *w = 320;
        *h = 256;
        return S_OK;
    }
    STDMETHODIMP GetColorKey(DWORD, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP SetColorKey(DWORD, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetDisplaySize(int, int) override { return E_NOTIMPL; }
    STDMETHODIMP SetDirectDraw(IDirectDraw**, IDirectDrawSurface**) override { return E_NOTIMPL; }
    STDMETHODIMP GetRenderSurface(IDirectDrawSurface**) override { return E_NOTIMPL; }
    STDMETHODIMP GetAspectRatio(int*, int*) override { return E_NOTIMPL; }
    STDMETHODIMP GetStreamInfo(DWORD*, REFERENCE_TIME*) override { return E_NOTIMPL; }
    STDMETHODIMP GetVersion(DWORD* v) override {
        *v = 0x10055;
        return S_OK;
    }
    STDMETHODIMP GetFormatCode(int* code) override {
        *code = formatCode_;
        return S_OK;
    }
    STDMETHODIMP SetRenderMode(int, int, LONG_PTR, int) override { return E_NOTIMPL; }
    STDMETHODIMP BltTo(IDirectDrawSurface**) override { return E_NOTIMPL; }
    STDMETHODIMP ReleaseSurfaces(IDirectDrawSurface**) override { return E_NOTIMPL; }
    STDMETHODIMP SetTextSink(ITextSink*) override { return E_NOTIMPL; }
    STDMETHODIMP SetOption(int, LONG_PTR) override { return E_NOTIMPL; }
    STDMETHODIMP SetOsdStyle(HFONT, COLORREF, int) override { return E_NOTIMPL; }
    STDMETHODIMP SetOsdText(const char*) override { return E_NOTIMPL; }
    STDMETHODIMP GetSurfaceStatus() override { return 0; }
    STDMETHODIMP BltFrom(IDirectDrawSurface**) override { return E_NOTIMPL; }
    STDMETHODIMP CopyPicture(BYTE*, int) override { return E_NOTIMPL; }
    STDMETHODIMP LoadPlugin(const char*) override { return E_NOTIMPL; }
    STDMETHODIMP PluginCall(int, int) override { return 0; }
    volatile LONG refs = 1;

  private:
    bool withControl_;
    int formatCode_;
};

// Not a renderer at all.
class Plain : public IUnknown {
  public:
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        *object = IsEqualIID(riid, IID_IUnknown) ? this : nullptr;
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
};

class PropertyPages : public ::testing::Test {
  protected:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }
    ComRef<IPropertyPage> page(const CLSID& clsid) {
        ComRef<IPropertyPage> made;
        EXPECT_EQ(
            FilterModule::instance().create(clsid, nullptr, IID_IPropertyPage, made.outVoid()),
            S_OK);
        return made;
    }
};

TEST_F(PropertyPages, TitlesAndSizesInTaskMemory) {
    const struct {
        const CLSID* clsid;
        const wchar_t* title;
    } pages[] = {{&kQualityPageClsid, L"Info"}, {&kAboutPageClsid, L"About"}};
    for (const auto& p : pages) {
        ComRef<IPropertyPage> made = page(*p.clsid);
        ASSERT_TRUE(made);
        EXPECT_FALSE(made.as<IBaseFilter>(IID_IBaseFilter));
        PROPPAGEINFO info = {};
        ASSERT_EQ(made->GetPageInfo(&info), S_OK);
        EXPECT_STREQ(info.pszTitle, p.title);
        EXPECT_GT(info.size.cx, 100);
        EXPECT_GT(info.size.cy, 100);
        CoTaskMemFree(info.pszTitle);
        EXPECT_EQ(made->IsPageDirty(), S_FALSE);
    }
}

TEST_F(PropertyPages, PageListsAreTaskMemory) {
    const CLSID* ids[] = {&kQualityPageClsid, &kAboutPageClsid};
    CAUUID pages = {};
    ASSERT_EQ(FillPageList(&pages, ids, 2), S_OK);
    ASSERT_EQ(pages.cElems, 2u);
    EXPECT_TRUE(IsEqualGUID(pages.pElems[1], kAboutPageClsid));
    // The task allocator owns the list.
    ComRef<IMalloc> malloc;
    ASSERT_EQ(CoGetMalloc(1, malloc.out()), S_OK);
    EXPECT_EQ(malloc->DidAlloc(pages.pElems), 1);
    CoTaskMemFree(pages.pElems);
    EXPECT_EQ(FillPageList(nullptr, ids, 2), E_POINTER);
}

TEST_F(PropertyPages, InfoPageNeedsIQualPropAndDisconnectsSafely) {
    ComRef<IPropertyPage> info = page(kQualityPageClsid);
    Plain plain;
    IUnknown* objects[] = {&plain};
    EXPECT_EQ(info->SetObjects(1, objects), E_NOINTERFACE);
    // Nothing held: disconnecting says so instead of touching a null interface.
    EXPECT_EQ(info->SetObjects(0, nullptr), E_UNEXPECTED);

    FakeRenderer renderer(true, 10);
    IUnknown* rendererObjects[] = {static_cast<IQualProp*>(&renderer)};
    ASSERT_EQ(info->SetObjects(1, rendererObjects), S_OK);
    EXPECT_GT(renderer.refs, 1);
    ASSERT_EQ(info->SetObjects(0, nullptr), S_OK);
    EXPECT_EQ(renderer.refs, 1);
}

// Shows the Info page on a window of the test's own and reads its fields.
std::string infoField(FakeRenderer* renderer, int id) {
    ComRef<IPropertyPage> info;
    FilterModule::instance().create(kQualityPageClsid, nullptr, IID_IPropertyPage, info.outVoid());
    HWND parent = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 500, 400,
                                  nullptr, nullptr, nullptr, nullptr);
    IUnknown* objects[] = {static_cast<IQualProp*>(renderer)};
    info->SetObjects(1, objects);
    RECT rect = {0, 0, 480, 360};
    info->Activate(parent, &rect, FALSE);
    HWND dialog = GetWindow(parent, GW_CHILD);
    std::string text = guitest::controlText(dialog, id);
    info->Deactivate();
    info->SetObjects(0, nullptr);
    DestroyWindow(parent);
    return text;
}

TEST_F(PropertyPages, InfoPageFigures) {
    FakeRenderer rgb(true, 10), yuy2(true, 1), uyvy(true, 2), yv12(true, 3), rgbSurface(true, 22),
        noControl(false, 0);
    const struct {
        FakeRenderer* renderer;
        int id;
        const char* text;
    } cases[] = {
        {&rgb, IDC_FRAMES_PLAYED, "1234"},      {&rgb, IDC_FRAMES_DROPPED, "7"},
        {&rgb, IDC_FRAME_RATE, "24.97"},        {&rgb, IDC_JITTER, "3"},
        {&rgb, IDC_SYNC_AVERAGE, "-12"},        {&rgb, IDC_SYNC_DEVIATION, "4"},
        {&rgb, IDC_VIDEO_SIZE, "320x256"},      {&rgb, IDC_SURFACE_TYPE, "RGB32"},
        {&yuy2, IDC_SURFACE_TYPE, "YUY2"},      {&uyvy, IDC_SURFACE_TYPE, "UYVY"},
        {&yv12, IDC_SURFACE_TYPE, "YV12"},      {&rgbSurface, IDC_SURFACE_TYPE, "UNKN"},
        {&noControl, IDC_SURFACE_TYPE, "UNKN"}, {&noControl, IDC_VIDEO_SIZE, "0x0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(infoField(c.renderer, c.id), c.text) << c.id;
}

BOOL CALLBACK firstVisibleWindow(HWND hwnd, LPARAM out) {
    if (!IsWindowVisible(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(out) = hwnd;
    return FALSE;
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK visibleControlWithId(HWND hwnd, LPARAM p) {
    auto* search = reinterpret_cast<ControlSearch*>(p);
    if (GetDlgCtrlID(hwnd) == search->id && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The property frame is modal: it runs on its own thread while the test reads it.
TEST_F(PropertyPages, BothPagesInARealPropertyFrame) {
    // The frame makes the pages through CoCreateInstance: they must be registered.
    ASSERT_EQ(FilterModule::instance().registerServer(), S_OK);
    struct Unregister {
        ~Unregister() { FilterModule::instance().unregisterServer(); }
    } unregister;
    FakeRenderer renderer(true, 10);
    DWORD frameThread = 0;
    HRESULT frameResult = E_FAIL;
    std::thread frame([&] {
        CoInitialize(nullptr);
        frameThread = GetCurrentThreadId();
        CLSID pages[] = {kQualityPageClsid, kAboutPageClsid};
        IUnknown* objects[] = {static_cast<IQualProp*>(&renderer)};
        frameResult =
            OleCreatePropertyFrame(nullptr, 10, 10, L"Nerro", 1, objects, 2, pages, 0, 0, nullptr);
        CoUninitialize();
    });
    HWND sheet = nullptr;
    auto findSheet = [&] {
        if (!frameThread) return false;
        EnumThreadWindows(frameThread, firstVisibleWindow, reinterpret_cast<LPARAM>(&sheet));
        return sheet != nullptr;
    };
    bool shown = guitest::waitUntil(findSheet, 10000);
    EXPECT_TRUE(shown);
    // However the checks end, the frame closes and its thread is joined.
    struct CloseFrame {
        HWND& sheet;
        std::thread& frame;
        ~CloseFrame() {
            if (sheet) PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
            if (frame.joinable()) frame.join();
        }
    } closeFrame{sheet, frame};
    if (shown) {
        HWND field = nullptr;
        auto findField = [&](int id) {
            field = nullptr;
            ControlSearch search = {id, nullptr};
            EnumChildWindows(sheet, visibleControlWithId, reinterpret_cast<LPARAM>(&search));
            field = search.found;
            return field != nullptr;
        };
        ASSERT_TRUE(guitest::waitUntil([&] { return findField(IDC_FRAMES_PLAYED); }, 5000));
        EXPECT_EQ(guitest::controlText(GetParent(field), IDC_FRAMES_PLAYED), "1234");
        EXPECT_EQ(guitest::controlText(GetParent(field), IDC_FRAME_RATE), "24.97");
        EXPECT_EQ(guitest::controlText(GetParent(field), IDC_SURFACE_TYPE), "RGB32");
        guitest::settle(sheet);
        EXPECT_TRUE(guitest::saveWindowBitmap(sheet, std::string(FILTERS_ARTIFACT_DIR) +
                                                         "/property_page_info.bmp"));

        // The second tab: the About page.
        SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
        ASSERT_TRUE(guitest::waitUntil([&] { return findField(IDC_ABOUT_TEXT); }, 5000));
        std::string about = guitest::controlText(GetParent(field), IDC_ABOUT_TEXT);
        EXPECT_EQ(about.rfind("Nerro Video Renderer v1", 0), 0u) << about;
        guitest::settle(sheet);
        EXPECT_TRUE(guitest::saveWindowBitmap(sheet, std::string(FILTERS_ARTIFACT_DIR) +
                                                         "/property_page_about.bmp"));
        PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    }
    frame.join();
    sheet = nullptr;
    EXPECT_EQ(frameResult, S_OK);
    // The frame let go of the object.
    EXPECT_EQ(renderer.refs, 1);
}

} // namespace

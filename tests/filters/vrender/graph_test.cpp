// The renderer in Wine's own filter graph, drawing a real AVI into a surface that
// Wine's DirectDraw made.
#include "../filter_test_support.h"

#include <gtest/gtest.h>

#include <amvideo.h>
#include <control.h>
#include <ddraw.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "filters/interfaces/vrenderer_control.h"

using namespace filtertest;

namespace {

const IID kIID_IVRendererControl = {
    0xdf967e60, 0xd1fd, 0x11d4, {0x8b, 0x80, 0x00, 0xd0, 0x5c, 0x00, 0xae, 0x53}};

class RendererGraph : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitialize(nullptr);
        if (FAILED(DirectDrawCreate(nullptr, dd.out(), nullptr)))
            GTEST_SKIP() << "no DirectDraw here";
        dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        if (FAILED(dd->CreateSurface(&desc, primary.out(), nullptr)))
            GTEST_SKIP() << "no primary surface (no display?)";
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IGraphBuilder, graph.outVoid()),
                  S_OK);
        ASSERT_EQ(FilterModule::instance().create(kVRendererClsid, nullptr, IID_IBaseFilter,
                                                  renderer.outVoid()),
                  S_OK);
        control = renderer.as<IVRendererControl>(kIID_IVRendererControl);
        IDirectDraw* d = dd.get();
        IDirectDrawSurface* p = primary.get();
        ASSERT_EQ(control->SetDirectDraw(&d, &p), S_OK);
        ASSERT_EQ(graph->AddFilter(renderer.get(), L"Nerro VRenderer v1"), S_OK);
    }
    void TearDown() override {
        if (graph) {
            auto mc = graph.as<IMediaControl>(IID_IMediaControl);
            if (mc) mc->Stop();
        }
        control.reset();
        renderer.reset();
        graph.reset();
        primary.reset();
        dd.reset();
        CoUninitialize();
    }
    // Connects the file's video to our pin and plays it to the end.
    void play(const char* file) {
        ComRef<IBaseFilter> source;
        ASSERT_EQ(graph->AddSourceFilter(mediaPath(VRENDER_MEDIA_DIR, file).c_str(), L"source",
                                         source.out()),
                  S_OK);
        ComRef<IEnumPins> pins;
        ASSERT_EQ(source->EnumPins(pins.out()), S_OK);
        ComRef<IPin> out;
        ASSERT_EQ(pins->Next(1, out.out(), nullptr), S_OK);
        ComRef<IPin> in;
        ASSERT_EQ(renderer->FindPin(L"Input", in.out()), S_OK);
        ASSERT_EQ(graph->Connect(out.get(), in.get()), S_OK);
        auto mc = graph.as<IMediaControl>(IID_IMediaControl);
        auto events = graph.as<IMediaEvent>(IID_IMediaEvent);
        ASSERT_TRUE(mc && events);
        ASSERT_TRUE(SUCCEEDED(mc->Run()));
        long code = 0;
        ASSERT_EQ(events->WaitForCompletion(15000, &code), S_OK);
        EXPECT_EQ(code, EC_COMPLETE);
        mc->Stop();
    }
    ComRef<IDirectDraw> dd;
    ComRef<IDirectDrawSurface> primary;
    ComRef<IGraphBuilder> graph;
    ComRef<IBaseFilter> renderer;
    ComRef<IVRendererControl> control;
};

TEST_F(RendererGraph, Yuy2AviLandsInAnOffscreenSurface) {
    ASSERT_EQ(control->SetRenderMode(0, 2, 0, 0), S_OK);
    ASSERT_EQ(control->SetOsdStyle(nullptr, RGB(255, 255, 255), 0), S_OK);
    ASSERT_EQ(control->SetOsdText("Tavro"), S_OK);
    play("vrender_yuy2.avi");
    EXPECT_EQ(control->GetSurfaceStatus(), 0);
    int code = 0;
    control->GetFormatCode(&code);
    EXPECT_EQ(code, 1);

    auto quality = renderer.as<IQualProp>(IID_IQualProp);
    ASSERT_TRUE(quality);
    int drawn = 0, rate = 0;
    quality->get_FramesDrawn(&drawn);
    quality->get_AvgFrameRate(&rate);
    EXPECT_GE(drawn, 20);
    EXPECT_LE(drawn, 25);
    EXPECT_GT(rate, 1000) << "frames per second x 100";

    // The last test-pattern frame, at the surface's own pitch, with the caption.
    ComRef<IDirectDrawSurface> surface;
    ASSERT_EQ(control->GetRenderSurface(surface.out()), S_OK);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), S_OK);
    const BYTE* pixels = static_cast<const BYTE*>(desc.lpSurface);
    EXPECT_EQ(desc.lPitch, 640);
    int distinctLuma = 0, white = 0;
    bool seen[256] = {};
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            const BYTE luma = pixels[y * desc.lPitch + x * 2];
            if (!seen[luma]) ++distinctLuma;
            seen[luma] = true;
            if (y > 180) white += luma == 233;
        }
    surface->Unlock(desc.lpSurface);
    EXPECT_GT(distinctLuma, 8) << "a picture, not a black surface";
    EXPECT_GT(white, 10) << "the OSD near the bottom";
}

TEST_F(RendererGraph, BottomUpRgbAviIsCopiedUprightIntoAnRgbSurface) {
    // RGB-surface mode with RGB24 forced: an off-screen RGB24 surface.
    GUID rgb24 = MEDIASUBTYPE_RGB24;
    ASSERT_EQ(control->SetRenderMode(0, 0, reinterpret_cast<INT_PTR>(&rgb24), 0), S_OK);
    ASSERT_EQ(control->SetOption(4, 1), S_OK);
    ASSERT_EQ(control->SetRenderMode(0, 2, 0, 0), S_OK);
    play("vrender_rgb24.avi");
    int code = 0;
    control->GetFormatCode(&code);
    EXPECT_EQ(code, 22);
    int drawn = 0;
    renderer.as<IQualProp>(IID_IQualProp)->get_FramesDrawn(&drawn);
    EXPECT_GE(drawn, 20);

    ComRef<IDirectDrawSurface> surface;
    ASSERT_EQ(control->GetRenderSurface(surface.out()), S_OK);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), S_OK);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 24u);
    const BYTE* pixels = static_cast<const BYTE*>(desc.lpSurface);
    // ffmpeg's own top-down decoding of the last frame.
    std::string expected;
    {
        const std::string path = std::string(VRENDER_MEDIA_DIR) + "/vrender_rgb24_last.bgr";
        HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        expected.resize(320 * 240 * 3);
        DWORD got = 0;
        ReadFile(f, &expected[0], DWORD(expected.size()), &got, nullptr);
        CloseHandle(f);
        ASSERT_EQ(got, expected.size());
    }
    int rowsMatching = 0;
    for (int y = 0; y < 240; ++y)
        rowsMatching += std::memcmp(pixels + y * desc.lPitch, expected.data() + y * 960, 960) == 0;
    surface->Unlock(desc.lpSurface);
    EXPECT_EQ(rowsMatching, 240) << "every row upright at the surface pitch";
}

TEST_F(RendererGraph, PaddedPitchPlaysToTheEnd) {
    ASSERT_EQ(control->SetRenderMode(1, 2, 0, 0), S_OK);
    play("vrender_yuy2_174.avi");
    int drawn = 0;
    renderer.as<IQualProp>(IID_IQualProp)->get_FramesDrawn(&drawn);
    EXPECT_GE(drawn, 20);
    EXPECT_EQ(control->GetSurfaceStatus(), 0);
    int w = 0, h = 0;
    control->GetVideoSize(&w, &h);
    EXPECT_EQ(w, 174);
    EXPECT_EQ(h, 144);
    ComRef<IDirectDrawSurface> surface;
    ASSERT_EQ(control->GetRenderSurface(surface.out()), S_OK);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), S_OK);
    const BYTE* pixels = static_cast<const BYTE*>(desc.lpSurface);
    bool seen[256] = {};
    int distinct = 0;
    // The last row of the picture holds picture too: every row was placed at the pitch.
    for (int x = 0; x < 174; ++x) {
        const BYTE luma = pixels[143 * desc.lPitch + x * 2];
        distinct += !seen[luma];
        seen[luma] = true;
    }
    surface->Unlock(desc.lpSurface);
    EXPECT_GT(desc.lPitch, 348);
    EXPECT_GT(distinct, 3);
}

} // namespace

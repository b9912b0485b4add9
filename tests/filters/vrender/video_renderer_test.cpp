// "Nerro VRenderer v1" from nerrorend.ax under Wine: fake DirectDraw surfaces take
// the frames, a test source on our base classes pushes them.
#include "../filter_test_support.h"

#include <gtest/gtest.h>

#include <amvideo.h>
#include <dvdmedia.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fake_ddraw.h"
#include "filters/base/mem_allocator.h"
#include "filters/interfaces/vrenderer_control.h"
#include "test_plugin.h"

using namespace filtertest;
using fakes::CallLog;
using fakes::FakeDirectDraw;
using fakes::FakeSurface;

namespace {

const IID kIID_IVRendererControl = {
    0xdf967e60, 0xd1fd, 0x11d4, {0x8b, 0x80, 0x00, 0xd0, 0x5c, 0x00, 0xae, 0x53}};

// A sink that keeps every call.
class RecordingSink : public ITextSink {
  public:
    STDMETHODIMP QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Reserved() override { return E_NOTIMPL; }
    STDMETHODIMP OnText(int start, int stop, const char* text) override {
        calls.push_back({start, stop, text ? std::string(text) : std::string("<null>")});
        return S_OK;
    }
    struct Call {
        int start, stop;
        std::string text;
    };
    std::vector<Call> calls;
};

// An upstream output pin that only answers what a connection asks of it, and
// accepts the renderer's proposals or not.
class UpstreamPin : public IPin {
  public:
    explicit UpstreamPin(bool acceptProposals) : accept_(acceptProposals) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPin)) {
            *object = static_cast<IPin*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Connect(IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    STDMETHODIMP ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    STDMETHODIMP Disconnect() override { return S_OK; }
    STDMETHODIMP ConnectedTo(IPin** pin) override {
        *pin = nullptr;
        return VFW_E_NOT_CONNECTED;
    }
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE*) override { return VFW_E_NOT_CONNECTED; }
    STDMETHODIMP QueryPinInfo(PIN_INFO* info) override {
        info->pFilter = nullptr;
        info->dir = PINDIR_OUTPUT;
        info->achName[0] = 0;
        return S_OK;
    }
    STDMETHODIMP QueryDirection(PIN_DIRECTION* dir) override {
        *dir = PINDIR_OUTPUT;
        return S_OK;
    }
    STDMETHODIMP QueryId(LPWSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* type) override {
        ++asked;
        if (type && type->pbFormat && type->cbFormat >= sizeof(VIDEOINFOHEADER))
            lastWidth = reinterpret_cast<const VIDEOINFOHEADER*>(type->pbFormat)->bmiHeader.biWidth;
        return accept_ ? S_OK : S_FALSE;
    }
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes**) override { return E_NOTIMPL; }
    STDMETHODIMP QueryInternalConnections(IPin**, ULONG*) override { return E_NOTIMPL; }
    STDMETHODIMP EndOfStream() override { return S_OK; }
    STDMETHODIMP BeginFlush() override { return S_OK; }
    STDMETHODIMP EndFlush() override { return S_OK; }
    STDMETHODIMP NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }
    int asked = 0;
    LONG lastWidth = 0;

  private:
    bool accept_;
};

// A graph that records the reconnections filters ask for.
class ReconnectGraph : public FakeGraph {
  public:
    STDMETHODIMP Reconnect(IPin* pin) override {
        reconnected.push_back(pin);
        return S_OK;
    }
    std::vector<IPin*> reconnected;
};

class VideoRenderer : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitialize(nullptr);
        ASSERT_EQ(FilterModule::instance().create(kVRendererClsid, nullptr, IID_IBaseFilter,
                                                  renderer.outVoid()),
                  S_OK);
        control = renderer.as<IVRendererControl>(kIID_IVRendererControl);
        ASSERT_TRUE(control);
        renderer->JoinFilterGraph(&graph, L"renderer");
        primary = new FakeSurface(log, "primary", 800, 600,
                                  fakes::rgbFormat(32, 0xff0000, 0xff00, 0xff), 4);
    }
    void TearDown() override {
        if (renderer) renderer->Stop();
        if (source) source->Stop();
        if (source) source->outputPin()->Disconnect();
        if (input) input->Disconnect();
        input.reset();
        control.reset();
        renderer.reset();
        sourceRef.reset();
        EXPECT_EQ(primary->refs, 1) << "the renderer gave the primary surface back";
        EXPECT_EQ(dd.refs, 1);
        primary->Release();
        CoUninitialize();
    }
    void giveDirectDraw() {
        IDirectDraw* d = &dd;
        IDirectDrawSurface* p = primary;
        ASSERT_EQ(control->SetDirectDraw(&d, &p), S_OK);
    }
    HRESULT connect(const CMediaType& type) {
        EXPECT_EQ(renderer->FindPin(L"Input", input.out()), S_OK);
        sourceRef = makeSource(type, &source);
        return source->outputPin()->Connect(input.get(), nullptr);
    }
    void run() {
        ASSERT_EQ(renderer->Run(0), S_OK);
        ASSERT_EQ(source->Run(0), S_OK);
    }
    HRESULT push(BYTE fill, LONG length) {
        REFERENCE_TIME start = 0, end = 400000;
        return source->push(&start, &end, fill, length);
    }
    FakeSurface* plain() const { return dd.created.empty() ? nullptr : dd.created.back(); }

    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    FakeDirectDraw dd{log};
    FakeSurface* primary = nullptr;
    FakeGraph graph;
    ComRef<IBaseFilter> renderer;
    ComRef<IVRendererControl> control;
    ComRef<IPin> input;
    ComRef<IBaseFilter> sourceRef;
    TestSource* source = nullptr;
};

TEST_F(VideoRenderer, InterfacesPinsAndPages) {
    DWORD version = 0;
    EXPECT_EQ(control->GetVersion(&version), S_OK);
    EXPECT_EQ(version, 0x10055u);
    EXPECT_EQ(control->GetSurfaceStatus(), 3);
    auto pages = renderer.as<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages);
    ASSERT_TRUE(pages);
    CAUUID ids = {};
    ASSERT_EQ(pages->GetPages(&ids), S_OK);
    ASSERT_EQ(ids.cElems, 2u);
    EXPECT_TRUE(IsEqualGUID(ids.pElems[0], kQualityPageClsid));
    EXPECT_TRUE(IsEqualGUID(ids.pElems[1], kAboutPageClsid));
    CoTaskMemFree(ids.pElems);
    EXPECT_TRUE(renderer.as<IUnknown>(IID_IQualProp));
    EXPECT_TRUE(renderer.as<IMediaSeeking>(IID_IMediaSeeking));

    ComRef<IEnumPins> pins;
    ASSERT_EQ(renderer->EnumPins(pins.out()), S_OK);
    IPin* got[3] = {};
    ULONG n = 0;
    pins->Next(3, got, &n);
    ASSERT_EQ(n, 2u);
    for (ULONG i = 0; i < n; ++i) {
        PIN_INFO info = {};
        got[i]->QueryPinInfo(&info);
        EXPECT_STREQ(info.achName, L"Input");
        EXPECT_EQ(info.dir, PINDIR_INPUT);
        if (info.pFilter) info.pFilter->Release();
        got[i]->Release();
    }
    // No surface, no text sink: nothing to call through.
    IDirectDrawSurface* surface = reinterpret_cast<IDirectDrawSurface*>(1);
    EXPECT_EQ(control->GetRenderSurface(&surface), E_UNEXPECTED);
    EXPECT_EQ(surface, nullptr);
    DWORD key = 0;
    EXPECT_EQ(control->GetColorKey(0, &key), E_UNEXPECTED);
    BYTE buffer[16];
    EXPECT_EQ(control->CopyPicture(buffer, 1), E_UNEXPECTED);
    EXPECT_EQ(control->SetOverlayRects(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(control->PluginCall(1, 2), 0);
}

TEST_F(VideoRenderer, TypesAreRefusedWithoutDirectDrawOrWithBadFormats) {
    EXPECT_NE(connect(videoType(MEDIASUBTYPE_YUY2, 320, 240, false)), S_OK)
        << "no DirectDraw object yet";
    ASSERT_TRUE(dd.created.empty());
    giveDirectDraw();
    struct Case {
        const char* what;
        CMediaType type;
    };
    CMediaType shortBlock = videoType(MEDIASUBTYPE_YUY2, 320, 240, false);
    shortBlock.cbFormat = 60;
    CMediaType shortVih2 = videoType(MEDIASUBTYPE_YUY2, 320, 240, true);
    shortVih2.cbFormat = sizeof(VIDEOINFOHEADER);
    Case cases[] = {
        {"format block shorter than its header", shortBlock},
        {"VIDEOINFOHEADER2 cut to VIDEOINFOHEADER size", shortVih2},
        {"odd YUY2 width", videoType(MEDIASUBTYPE_YUY2, 175, 240, false)},
        {"height 0", videoType(MEDIASUBTYPE_YUY2, 320, 0, false)},
        {"width overflowing the sizes", videoType(MEDIASUBTYPE_YUY2, 0x40000000, 2, false)},
        {"RGB in the off-screen YUV mode", videoType(MEDIASUBTYPE_RGB32, 320, 240, false)},
    };
    ASSERT_EQ(control->SetRenderMode(0, 2, 0, 0), S_OK);
    ASSERT_EQ(renderer->FindPin(L"Input", input.out()), S_OK);
    for (Case& c : cases)
        EXPECT_NE(input->QueryAccept(&c.type), S_OK) << c.what;
    EXPECT_TRUE(dd.created.empty()) << "no surface for a refused type";
    CMediaType good = videoType(MEDIASUBTYPE_YUY2, 320, 240, false);
    EXPECT_EQ(input->QueryAccept(&good), S_OK);
}

TEST_F(VideoRenderer, PalettisedDisplayIsRefusedWithAStatus) {
    primary->format = fakes::rgbFormat(8, 0, 0, 0);
    giveDirectDraw();
    ASSERT_EQ(control->SetRenderMode(0, 3, 0, 0), S_OK);
    EXPECT_NE(connect(videoType(MEDIASUBTYPE_RGB32, 64, 48, false)), S_OK);
    EXPECT_EQ(control->GetSurfaceStatus(), 2);
    EXPECT_TRUE(dd.created.empty());
}

TEST_F(VideoRenderer, DirectModeWritesIntoTheSurfaceWithCaptions) {
    giveDirectDraw();
    ASSERT_EQ(control->SetRenderMode(0, 2, 0, 0), S_OK);
    ASSERT_EQ(connect(videoType(MEDIASUBTYPE_YUY2, 320, 240, false)), S_OK);
    EXPECT_EQ(control->GetSurfaceStatus(), 0);
    int code = 0, w = 0, h = 0;
    control->GetFormatCode(&code);
    control->GetVideoSize(&w, &h);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);
    DWORD bitRate = 0;
    REFERENCE_TIME frame = 0;
    EXPECT_EQ(control->GetStreamInfo(&bitRate, &frame), S_OK);
    EXPECT_EQ(frame, 400000);
    FakeSurface* surface = plain();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->memory[0], 0x10) << "filled black at connection";
    EXPECT_EQ(surface->memory[1], 0x80);

    ASSERT_EQ(control->SetOsdStyle(nullptr, RGB(255, 255, 255), 0), S_OK);
    ASSERT_EQ(control->SetOsdText("Hello"), S_OK);
    run();
    const int locksBefore = surface->locks;
    ASSERT_EQ(push(0x42, 320 * 240 * 2), S_OK);
    EXPECT_EQ(surface->locks, locksBefore + 1) << "the decoder wrote into the locked surface";
    EXPECT_EQ(surface->locks, surface->unlocks);
    EXPECT_EQ(surface->memory[0], 0x42);
    // The caption near the bottom: white luma there, none at the top.
    size_t whiteBottom = 0, whiteTop = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            (y < 120 ? whiteTop : whiteBottom) += surface->memory[size_t(y) * 640 + x * 2] == 233;
    EXPECT_GT(whiteBottom, 10u);
    EXPECT_EQ(whiteTop, 0u);

    IDirectDrawSurface* got = nullptr;
    ASSERT_EQ(control->GetRenderSurface(&got), S_OK);
    EXPECT_EQ(got, static_cast<IDirectDrawSurface*>(surface));
    got->Release();
    EXPECT_EQ(control->SetRenderMode(0, 1, 0, 0), VFW_E_NOT_STOPPED);
    EXPECT_EQ(control->ReleaseSurfaces(nullptr), VFW_E_NOT_STOPPED);
    renderer->Stop();
    EXPECT_EQ(control->SetOption(6, 16), VFW_E_ALREADY_CONNECTED) << "the band is frozen";
    std::vector<BYTE> picture(320 * 240 * 2);
    ASSERT_EQ(control->CopyPicture(picture.data(), 1), S_OK);
    EXPECT_EQ(picture[2], 0x42);
}

TEST_F(VideoRenderer, PaddedPitchCopiesRowsAndFillsTheBand) {
    giveDirectDraw();
    ASSERT_EQ(control->SetRenderMode(1, 2, 0, 0), S_OK);
    ASSERT_EQ(control->SetOption(6, 16), S_OK);
    ASSERT_EQ(connect(videoType(MEDIASUBTYPE_YUY2, 174, 144, false)), S_OK);
    FakeSurface* surface = plain();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->pitch, 352u);
    EXPECT_EQ(surface->height, 160u) << "picture and band";
    EXPECT_EQ(graph.count(0), 0);

    // The pitch-wide proposal keeps the picture in its target rectangle.
    ComRef<IEnumMediaTypes> types;
    ASSERT_EQ(input->EnumMediaTypes(types.out()), S_OK);
    AM_MEDIA_TYPE* proposed = nullptr;
    ULONG n = 0;
    ASSERT_EQ(types->Next(1, &proposed, &n), S_OK);
    const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(proposed->pbFormat);
    EXPECT_EQ(vih->bmiHeader.biWidth, 176);
    EXPECT_EQ(vih->rcTarget.right, 174);
    DeleteMediaType(proposed);

    run();
    ASSERT_EQ(push(0x42, 174 * 2 * 144), S_OK);
    EXPECT_EQ(surface->memory[0], 0x42);
    EXPECT_EQ(surface->memory[347], 0x42);
    EXPECT_NE(surface->memory[348], 0x42) << "the pitch padding is not picture";
    EXPECT_EQ(surface->memory[143 * 352 + 347], 0x42);
    const size_t band = 144 * 352;
    EXPECT_EQ(surface->memory[band], 0x10) << "band black";
    EXPECT_EQ(surface->memory[band + 1], 0x80);

    // A short sample copies what it holds; the rest turns black.
    ASSERT_EQ(push(0x55, 174 * 2 * 10), S_OK);
    EXPECT_EQ(surface->memory[9 * 352], 0x55);
}

TEST_F(VideoRenderer, RemovingTheOsdClearsTheBandForThreeFrames) {
    giveDirectDraw();
    ASSERT_EQ(control->SetRenderMode(0, 2, 0, 0), S_OK);
    ASSERT_EQ(control->SetOption(6, 40), S_OK);
    ASSERT_EQ(connect(videoType(MEDIASUBTYPE_YUY2, 320, 240, false)), S_OK);
    int w = 0, h = 0;
    control->GetVideoSize(&w, &h);
    EXPECT_EQ(h, 280);
    ASSERT_EQ(control->SetOsdStyle(nullptr, RGB(255, 255, 255), 0), S_OK);
    ASSERT_EQ(control->SetOsdText("Band"), S_OK);
    run();
    FakeSurface* surface = plain();
    // The decoder writes the picture rows only; the OSD sits in the band.
    auto whiteInBand = [&] {
        size_t n = 0;
        for (int y = 240; y < 280; ++y)
            for (int x = 0; x < 320; ++x)
                n += surface->memory[size_t(y) * 640 + x * 2] == 233;
        return n;
    };
    ASSERT_EQ(push(0x42, 320 * 240 * 2), S_OK);
    EXPECT_GT(whiteInBand(), 10u);
    EXPECT_EQ(surface->memory[0], 0x42);
    ASSERT_EQ(control->SetOsdText(nullptr), S_OK);
    ASSERT_EQ(push(0x42, 320 * 240 * 2), S_OK);
    EXPECT_EQ(whiteInBand(), 0u);
    EXPECT_EQ(surface->memory[250 * 640], 0x10);
    EXPECT_EQ(surface->memory[250 * 640 + 1], 0x80);
}

TEST_F(VideoRenderer, DisplayModeTakesThePrimaryFormatAndFlipsBottomUpRgb) {
    primary->format = fakes::rgbFormat(16, 0xf800, 0x7e0, 0x1f);
    giveDirectDraw();
    ASSERT_EQ(control->SetRenderMode(0, 3, 0, 0), S_OK);
    CMediaType type = videoType(MEDIASUBTYPE_RGB565, 64, 48, false);
    ASSERT_EQ(connect(type), S_OK);
    FakeSurface* surface = plain();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->format.dwRGBBitCount, 16u);
    EXPECT_EQ(surface->format.dwGBitMask, 0x7e0u);
    int code = 0;
    control->GetFormatCode(&code);
    EXPECT_EQ(code, 14);
    EXPECT_EQ(log->count("Blt plain"), 1u) << "black by a colour fill";
    run();
    // Bottom-up rows: the sample's first row is the picture's last.
    ASSERT_EQ(push(0x21, 64 * 2), S_OK);
    EXPECT_EQ(surface->memory[47 * surface->pitch], 0x21);
    EXPECT_EQ(surface->memory[0], 0x00);
}

TEST_F(VideoRenderer, ReconnectsOnlyAfterUpstreamAcceptsAndInAGraph) {
    giveDirectDraw();
    ASSERT_EQ(control->SetRenderMode(1, 2, 0, 0), S_OK);
    ASSERT_EQ(renderer->FindPin(L"Input", input.out()), S_OK);
    CMediaType padded = videoType(MEDIASUBTYPE_YUY2, 174, 144, false);

    // Refused upstream: no reconnection, the frames are copied.
    {
        ReconnectGraph other;
        renderer->JoinFilterGraph(&other, L"renderer");
        UpstreamPin refusing(false);
        ASSERT_EQ(input->ReceiveConnection(&refusing, &padded), S_OK);
        EXPECT_GT(refusing.asked, 0);
        EXPECT_EQ(refusing.lastWidth, 176) << "rows as wide as the pitch were proposed";
        EXPECT_TRUE(other.reconnected.empty());
        EXPECT_EQ(control->GetSurfaceStatus(), 0);
        ASSERT_EQ(input->Disconnect(), S_OK);
        renderer->JoinFilterGraph(nullptr, nullptr);
    }
}

TEST_F(VideoRenderer, AcceptedProposalReconnectsThroughTheGraph) {
    giveDirectDraw();
    ASSERT_EQ(control->SetRenderMode(1, 2, 0, 0), S_OK);
    ReconnectGraph other;
    renderer->JoinFilterGraph(&other, L"renderer");
    ASSERT_EQ(renderer->FindPin(L"Input", input.out()), S_OK);
    CMediaType padded = videoType(MEDIASUBTYPE_YUY2, 174, 144, false);
    UpstreamPin accepting(true);
    ASSERT_EQ(input->ReceiveConnection(&accepting, &padded), S_OK);
    ASSERT_EQ(other.reconnected.size(), 1u);
    EXPECT_EQ(other.reconnected[0], static_cast<IPin*>(&accepting));
    IDirectDrawSurface* surface = nullptr;
    EXPECT_EQ(control->GetRenderSurface(&surface), E_UNEXPECTED)
        << "the surfaces wait for the reconnection";
    // The graph reconnects with the accepted type: the picture stays 174 wide in
    // rows of 176, and the frames go straight into the surface.
    ASSERT_EQ(input->Disconnect(), S_OK);
    CMediaType wide = videoType(MEDIASUBTYPE_YUY2, 176, 144, false);
    reinterpret_cast<VIDEOINFOHEADER*>(wide.pbFormat)->rcTarget = RECT{0, 0, 174, 144};
    ASSERT_EQ(input->ReceiveConnection(&accepting, &wide), S_OK);
    EXPECT_EQ(other.reconnected.size(), 1u) << "once";
    int w = 0, h = 0;
    control->GetVideoSize(&w, &h);
    EXPECT_EQ(w, 174);
    ASSERT_NE(plain(), nullptr);
    EXPECT_EQ(plain()->width, 174u);
    EXPECT_EQ(plain()->pitch, 352u);
    ASSERT_EQ(input->Disconnect(), S_OK);
    renderer->JoinFilterGraph(nullptr, nullptr);
    input.reset();
}

TEST_F(VideoRenderer, OverlayModeFlipsAndMovesTheOverlay) {
    giveDirectDraw();
    ASSERT_EQ(control->SetRenderMode(0, 1, 0, 0), S_OK);
    ASSERT_EQ(connect(videoType(MEDIASUBTYPE_YUY2, 320, 240, false)), S_OK);
    ASSERT_EQ(dd.created.size(), 1u);
    FakeSurface* overlay = dd.created[0];
    bool overlayGone = false, backGone = false;
    overlay->destroyed = &overlayGone;
    overlay->attached->destroyed = &backGone;
    EXPECT_EQ(overlay->flips, 3) << "three buffers filled black";

    ASSERT_EQ(control->SetColorKey(DDCKEY_DESTOVERLAY, 0x0000ff), S_OK);
    EXPECT_EQ(log->count("SetColorKey primary"), 1u);
    RECT destination = {-320, 0, 320, 480};
    ASSERT_EQ(control->SetDisplaySize(800, 600), S_OK);
    ASSERT_EQ(control->SetOverlayRects(nullptr, &destination), S_OK);
    ASSERT_FALSE(overlay->overlayCalls.empty());
    const auto& call = overlay->overlayCalls.back();
    EXPECT_EQ(call.flags, DWORD(DDOVER_SHOW | DDOVER_KEYDEST));
    EXPECT_EQ(call.source.left, 160) << "the half off screen is cut from the source";
    EXPECT_EQ(call.destination.left, 0);

    run();
    ASSERT_EQ(push(0x42, 320 * 240 * 2), S_OK);
    EXPECT_EQ(overlay->flips, 4);
    EXPECT_EQ(overlay->attached->memory[0], 0x42);

    renderer->Stop();
    source->Stop();
    source->outputPin()->Disconnect();
    input->Disconnect();
    EXPECT_EQ(overlay->overlayCalls.back().flags, DWORD(DDOVER_HIDE));
    EXPECT_TRUE(backGone);
    EXPECT_TRUE(overlayGone);
    EXPECT_LT(log->find("destroy back"), log->find("destroy overlay"));
    EXPECT_EQ(control->GetSurfaceStatus(), 3);
}

TEST_F(VideoRenderer, PluginSeesEveryFrameAndGoesWithTheFilter) {
    giveDirectDraw();
    ASSERT_EQ(control->SetRenderMode(0, 2, 0, 0), S_OK);
    EXPECT_EQ(control->LoadPlugin(TEST_PLUGIN_NO_PROCESS_PATH), E_FAIL);
    EXPECT_EQ(GetModuleHandleA(TEST_PLUGIN_NO_PROCESS_PATH), nullptr);
    ASSERT_EQ(control->LoadPlugin(TEST_PLUGIN_PATH), S_OK);
    PluginLog* log = pluginLogOf(TEST_PLUGIN_PATH);
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(control->PluginCall(2, 5), 205);
    ASSERT_EQ(connect(videoType(MEDIASUBTYPE_YUY2, 320, 240, false)), S_OK);
    EXPECT_EQ(log->width, 320);
    EXPECT_EQ(log->stride, 640);
    EXPECT_EQ(log->code, 1);
    run();
    ASSERT_EQ(push(0x42, 320 * 240 * 2), S_OK);
    ASSERT_EQ(push(0x43, 320 * 240 * 2), S_OK);
    EXPECT_EQ(log->processed, 2);
    EXPECT_EQ(plain()->memory[0], 0x5a) << "the plug-in worked on the frame before it was shown";
    renderer->Stop();
    source->Stop();
    source->outputPin()->Disconnect();
    input->Disconnect();
    EXPECT_EQ(log->deinits, log->inits) << "every Init has its Deinit by the disconnection";
    input.reset();
    control.reset();
    renderer.reset();
    EXPECT_EQ(GetModuleHandleA(TEST_PLUGIN_PATH), nullptr) << "unloaded with the filter";
}

TEST_F(VideoRenderer, TextPinForwardsSubtitlesToTheSink) {
    RecordingSink sink;
    ASSERT_EQ(control->SetTextSink(&sink), S_OK);
    CMediaType text(&MEDIATYPE_Text);
    ComRef<IEnumPins> pins;
    ASSERT_EQ(renderer->EnumPins(pins.out()), S_OK);
    IPin* both[2] = {};
    ULONG n = 0;
    pins->Next(2, both, &n);
    ASSERT_EQ(n, 2u);
    input = ComRef<IPin>(both[1]);
    both[0]->Release();
    sourceRef = makeSource(text, &source);
    ASSERT_EQ(source->outputPin()->Connect(input.get(), nullptr), S_OK);
    CMediaType video = videoType(MEDIASUBTYPE_YUY2, 320, 240, false);
    EXPECT_NE(input->QueryAccept(&video), S_OK) << "text only";
    ASSERT_TRUE(SUCCEEDED(renderer->Pause()));
    auto memInput = input.as<IMemInputPin>(IID_IMemInputPin);

    HRESULT hr = S_OK;
    CMemAllocator allocator(L"test", nullptr, &hr);
    allocator.NonDelegatingAddRef();
    ALLOCATOR_PROPERTIES props = {1, 256, 1, 0}, actual;
    ASSERT_EQ(allocator.SetProperties(&props, &actual), S_OK);
    ASSERT_EQ(allocator.Commit(), S_OK);
    auto send = [&](const std::string& bytes, REFERENCE_TIME start, REFERENCE_TIME stop) {
        IMediaSample* sample = nullptr;
        ASSERT_EQ(allocator.GetBuffer(&sample, nullptr, nullptr, 0), S_OK);
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        std::memset(data, 0xee, 256);
        std::memcpy(data, bytes.data(), bytes.size());
        sample->SetActualDataLength(LONG(bytes.size()));
        sample->SetTime(&start, &stop);
        EXPECT_EQ(memInput->Receive(sample), S_OK);
        EXPECT_EQ(data[bytes.size() > 2 ? bytes.size() - 2 : 0],
                  BYTE(bytes.empty() ? 0xee : bytes[bytes.size() > 2 ? bytes.size() - 2 : 0]))
            << "the upstream sample stays as it came";
        sample->Release();
    };
    auto le16 = [](int v) { return std::string{char(v), char(v >> 8)}; };
    auto le32 = [](int v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    };
    std::string gab1("GAB1\0", 5);
    gab1 += le16(1) + le16(8 + 4) + le32(1000) + le32(2000) + std::string("one\0", 4);
    gab1 += le16(2) + le16(3) + "xyz";
    gab1 += le16(1) + le16(8 + 4) + le32(3000) + le32(4000) + std::string("two\0", 4);
    send(gab1, 0, 0);
    std::string broken("GAB1\0", 5);
    broken += le16(1) + le16(200) + le32(1);
    send(broken, 0, 0);
    send("Plain line\r\n", 20000000, 30000000);
    send("ab", 0, 0);
    ASSERT_EQ(sink.calls.size(), 3u);
    EXPECT_EQ(sink.calls[0].text, "one");
    EXPECT_EQ(sink.calls[0].start, 1000);
    EXPECT_EQ(sink.calls[1].text, "two");
    EXPECT_EQ(sink.calls[1].stop, 4000);
    EXPECT_EQ(sink.calls[2].text, "Plain line");
    EXPECT_EQ(sink.calls[2].start, 2000);
    EXPECT_EQ(sink.calls[2].stop, 3000);
    input->NewSegment(0, 0, 1.0);
    ASSERT_EQ(sink.calls.size(), 4u);
    EXPECT_EQ(sink.calls[3].text, "<null>");
    ASSERT_EQ(control->SetTextSink(nullptr), S_OK);
    send("No sink\r\n", 0, 0); // nothing to call, nothing to crash
    allocator.Decommit();
    renderer->Stop();
}

} // namespace

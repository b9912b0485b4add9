// filter_soak [BUILDS] [CLASS...]: for each class of nerrorend.ax (or the named ones),
// BUILDS times a small graph in the platform's filter graph manager: a source of
// generated media feeding the filter (a transform feeds our null renderer), run for
// a few samples to the end of the stream, stopped and released; a property page is
// shown over a running video renderer and taken down. The same graphs with the
// platform's null renderer in place of ours give the platform's own growth, which is
// not counted against us. Private
// memory and handles are sampled at ten points and must stay flat after warm-up (under 1% growth
// from the second sample to the last).
#include <windows.h>

#include <control.h>
#include <ddraw.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/win/soak_sampling.h"
#include "filters/interfaces/vrenderer_control.h"
#include "tests/filters/filter_test_support.h"

using namespace filtertest;

namespace {

// The platform's own null renderer (qedit's), standing in for our filter in the
// baseline graphs; the toolchain's headers do not name it.
const CLSID kPlatformNullClsid = {
    0xc1f400a4, 0x3f08, 0x11d3, {0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e, 0x37}};

enum class Shape { Renderer, Transform, Page };

struct FilterClass {
    const char* name;
    const CLSID* clsid;
    Shape shape;
};

const FilterClass kClasses[] = {
    {"vrenderer", &kVRendererClsid, Shape::Renderer},
    {"cbrenderer", &kCallbackClsid, Shape::Renderer},
    {"audioxform", &kAudioXformClsid, Shape::Transform},
    {"audioxform2", &kAudioXform2Clsid, Shape::Transform},
    {"null", &kNullClsid, Shape::Renderer},
    {"qualitypage", &kQualityPageClsid, Shape::Page},
    {"aboutpage", &kAboutPageClsid, Shape::Page},
};

constexpr int kSamples = 4;
constexpr int kVideoWidth = 32, kVideoHeight = 16;

// What every build of a run shares: the display the video renderer draws on and a
// hidden window for the pages.
struct Stage {
    ComRef<IDirectDraw> dd;
    ComRef<IDirectDrawSurface> primary;
    HWND pageHost = nullptr;
};

bool prepareDirectDraw(Stage* stage) {
    if (FAILED(DirectDrawCreate(nullptr, stage->dd.out(), nullptr))) return false;
    stage->dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    return SUCCEEDED(stage->dd->CreateSurface(&desc, stage->primary.out(), nullptr));
}

// The class a build puts after the source: the class itself, or for a page the
// video renderer it is shown over (the one filter with IQualProp).
const CLSID& filterClsid(const FilterClass& c) {
    return c.shape == Shape::Page ? kVRendererClsid : *c.clsid;
}

HRESULT makeFilter(const FilterClass& c, Stage& stage, ComRef<IBaseFilter>* filter) {
    const CLSID& clsid = filterClsid(c);
    if (IsEqualCLSID(clsid, kPlatformNullClsid))
        return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                filter->outVoid());
    HRESULT hr =
        FilterModule::instance().create(clsid, nullptr, IID_IBaseFilter, filter->outVoid());
    if (FAILED(hr) || !IsEqualCLSID(clsid, kVRendererClsid)) return hr;
    auto control = filter->as<IVRendererControl>(IID_IVRendererControl);
    IDirectDraw* dd = stage.dd.get();
    IDirectDrawSurface* primary = stage.primary.get();
    if (!control || FAILED(hr = control->SetDirectDraw(&dd, &primary))) return hr;
    return control->SetRenderMode(0, 2, 0, 0); // an offscreen surface
}

CMediaType typeFor(const FilterClass& c) {
    if (c.shape == Shape::Transform) return audioType();
    if (IsEqualCLSID(filterClsid(c), kVRendererClsid))
        return videoType(MEDIASUBTYPE_YUY2, kVideoWidth, kVideoHeight, false);
    if (IsEqualCLSID(*c.clsid, kNullClsid) || IsEqualCLSID(*c.clsid, kPlatformNullClsid))
        return audioType();
    return videoType(MEDIASUBTYPE_RGB32, kVideoWidth, kVideoHeight, false);
}

// The page made, given the renderer, shown on the hidden window and taken down.
HRESULT showPage(const CLSID& clsid, IBaseFilter* renderer, HWND host) {
    ComRef<IPropertyPage> page;
    HRESULT hr = FilterModule::instance().create(clsid, nullptr, IID_IPropertyPage, page.outVoid());
    if (FAILED(hr)) return hr;
    IUnknown* objects[] = {renderer};
    if (FAILED(hr = page->SetObjects(1, objects))) return hr;
    RECT rect = {0, 0, 400, 300};
    hr = page->Activate(host, &rect, FALSE);
    if (SUCCEEDED(hr)) hr = page->Deactivate();
    const HRESULT released = page->SetObjects(0, nullptr);
    return FAILED(hr) ? hr : released;
}

// One graph: made, connected, run to the end of a few samples, stopped, let go.
HRESULT buildOnce(const FilterClass& c, Stage& stage) {
    ComRef<IGraphBuilder> graph;
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IGraphBuilder, graph.outVoid());
    if (FAILED(hr)) return hr;
    const CMediaType type = typeFor(c);
    TestSource* source = nullptr;
    ComRef<IBaseFilter> sourceRef = makeSource(type, &source);
    ComRef<IBaseFilter> filter, null;
    if (FAILED(hr = makeFilter(c, stage, &filter))) return hr;
    if (FAILED(hr = graph->AddFilter(sourceRef.get(), L"source")) ||
        FAILED(hr = graph->AddFilter(filter.get(), L"filter")))
        return hr;
    // Direct connections: nothing of the platform's comes in between.
    if (FAILED(hr = graph->ConnectDirect(source->outputPin(),
                                         firstPin(filter.get(), PINDIR_INPUT).get(), &type)))
        return hr;
    if (c.shape == Shape::Transform) {
        if (FAILED(hr = FilterModule::instance().create(kNullClsid, nullptr, IID_IBaseFilter,
                                                        null.outVoid())) ||
            FAILED(hr = graph->AddFilter(null.get(), L"null")) ||
            FAILED(hr = graph->ConnectDirect(firstPin(filter.get(), PINDIR_OUTPUT).get(),
                                             firstPin(null.get(), PINDIR_INPUT).get(), nullptr)))
            return hr;
    }
    auto control = graph.as<IMediaControl>(IID_IMediaControl);
    auto events = graph.as<IMediaEvent>(IID_IMediaEvent);
    if (!control || !events) return E_NOINTERFACE;
    if (FAILED(hr = control->Run())) return hr;
    const LONG length = type.lSampleSize ? static_cast<LONG>(type.lSampleSize) : 4096;
    for (int i = 0; i < kSamples && SUCCEEDED(hr); ++i) {
        REFERENCE_TIME start = i * 10000, end = start + 10000; // a millisecond each
        hr = source->push(&start, &end, static_cast<BYTE>(i), length);
    }
    if (SUCCEEDED(hr)) hr = source->endOfStream();
    long code = 0;
    if (SUCCEEDED(hr) && (hr = events->WaitForCompletion(5000, &code)) == S_OK &&
        code != EC_COMPLETE)
        hr = E_FAIL;
    if (SUCCEEDED(hr) && c.shape == Shape::Page)
        hr = showPage(*c.clsid, filter.get(), stage.pageHost);
    const HRESULT stopped = control->Stop();
    return FAILED(hr) ? hr : stopped;
}

// Pages post messages to their window's thread; let them go between builds.
void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The platform's own share: the same graphs with the platform's null renderer in
// place of our filter (Wine's graph manager keeps a handle of every graph, and a
// little memory of every graph it runs). Only what our filters add beyond it counts.
soak::Growth soakPlatform(long builds, Stage& stage) {
    const FilterClass platform = {"platform null", &kPlatformNullClsid, Shape::Renderer};
    const long every = soak::sampleEvery(builds);
    std::vector<soak::Sample> samples;
    long failed = 0;
    for (long i = 0; i < builds; ++i) {
        if (FAILED(buildOnce(platform, stage))) ++failed;
        if ((i + 1) % every == 0) soak::takeSample(platform.name, i + 1, &samples);
    }
    if (failed) {
        std::printf("%s: %ld of %ld builds failed; judged without a baseline\n", platform.name,
                    failed, builds);
        return soak::Growth();
    }
    const soak::Growth growth = soak::growthPerStep(samples);
    std::printf("%s: %+.1f KiB, %+.2f handles a step (the platform's own)\n", platform.name,
                growth.privateBytes / 1024.0, growth.handles);
    return growth;
}

int soakClass(const FilterClass& c, long builds, Stage& stage, soak::Growth platform) {
    if (IsEqualCLSID(filterClsid(c), kVRendererClsid) && !stage.primary) {
        std::printf("%s: skipped (no DirectDraw primary surface here)\n", c.name);
        return 0;
    }
    const long every = soak::sampleEvery(builds);
    std::vector<soak::Sample> samples;
    long failed = 0;
    HRESULT firstFailure = S_OK;
    for (long i = 0; i < builds; ++i) {
        const HRESULT hr = buildOnce(c, stage);
        if (FAILED(hr) && failed++ == 0) firstFailure = hr;
        pumpMessages();
        if ((i + 1) % every == 0) soak::takeSample(c.name, i + 1, &samples);
    }
    if (failed) {
        // A build that fails early leaves out most of the graph: its figures prove nothing.
        std::printf("%s: %ld of %ld builds failed (first 0x%08lx)\n", c.name, failed, builds,
                    static_cast<unsigned long>(firstFailure));
        return 1;
    }
    return soak::verdict(c.name, samples, platform);
}

bool wanted(const FilterClass& c, int argc, char** argv) {
    if (argc <= 2) return true;
    for (int i = 2; i < argc; ++i)
        if (std::strcmp(argv[i], c.name) == 0) return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    const long builds = argc > 1 ? std::atol(argv[1]) : 1000;
    if (builds < 1) {
        std::fprintf(stderr, "usage: filter_soak [BUILDS] [CLASS...]\n");
        return 2;
    }
    CoInitialize(nullptr);
    int status = 0;
    {
        Stage stage;
        if (!prepareDirectDraw(&stage)) stage.primary.reset();
        stage.pageHost = CreateWindowExW(0, L"STATIC", L"pages", WS_OVERLAPPEDWINDOW, 0, 0, 420,
                                         320, nullptr, nullptr, nullptr, nullptr);
        const soak::Growth platform = soakPlatform(builds, stage);
        for (const FilterClass& c : kClasses)
            if (wanted(c, argc, argv)) status |= soakClass(c, builds, stage, platform);
        if (stage.pageHost) DestroyWindow(stage.pageHost);
    }
    CoUninitialize();
    return status;
}

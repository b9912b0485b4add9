// The transform base classes, as the DSP hosts will use them: a copying transform
// and an in-place one between a test source and the callback renderer.
#include <gtest/gtest.h>

#include <future>

#include "filter_test_support.h"
#include "filters/base/trans_in_place_filter.h"
#include "filters/interfaces/cb_renderer_control.h"

using namespace filtertest;

namespace {

const IID kIID_ICbRendererControl = {
    0xfd879681, 0x2166, 0x11d5, {0x8b, 0x80, 0x00, 0xd0, 0x5c, 0x00, 0xae, 0x53}};
constexpr auto kDeadline = std::chrono::seconds(5);

// Adds one to every byte where the sample lies.
class AddOne : public CTransInPlaceFilter {
  public:
    AddOne() : CTransInPlaceFilter(L"add one", nullptr, GUID_NULL, nullptr) {}
    HRESULT CheckInputType(const CMediaType*) override { return S_OK; }
    HRESULT Transform(IMediaSample* sample) override {
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        for (long i = 0; i < sample->GetActualDataLength(); ++i)
            ++data[i];
        lastShared = !UsingDifferentAllocators();
        return S_OK;
    }
    bool lastShared = false;
};

// Copies each sample inverted into a new one; drops samples whose first byte is 0xEE.
class Invert : public CTransformFilter {
  public:
    Invert() : CTransformFilter(L"invert", nullptr, GUID_NULL) {}
    HRESULT CheckInputType(const CMediaType*) override { return S_OK; }
    HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override {
        return *in == *out ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT GetMediaType(int position, CMediaType* type) override {
        if (position < 0) return E_INVALIDARG;
        if (position > 0) return VFW_S_NO_MORE_ITEMS;
        return type->Set(InputPin()->CurrentMediaType());
    }
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override {
        request->cBuffers = 1;
        request->cbBuffer = 4096;
        if (request->cbAlign < 1) request->cbAlign = 1;
        ALLOCATOR_PROPERTIES actual;
        return allocator->SetProperties(request, &actual);
    }
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override {
        BYTE *from = nullptr, *to = nullptr;
        in->GetPointer(&from);
        out->GetPointer(&to);
        if (from[0] == 0xEE) return S_FALSE;
        long n = in->GetActualDataLength();
        for (long i = 0; i < n; ++i)
            to[i] = static_cast<BYTE>(~from[i]);
        out->SetActualDataLength(n);
        return S_OK;
    }
};

class Frames : public IFrameCallback {
  public:
    STDMETHODIMP QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP OnFrame(LONG, LONG, IMediaSample* sample) override {
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        std::lock_guard<std::mutex> lock(mutex);
        first.push_back(data[0]);
        REFERENCE_TIME s = -1, e = -1;
        sample->GetTime(&s, &e);
        starts.push_back(s);
        return S_OK;
    }
    std::mutex mutex;
    std::vector<BYTE> first;
    std::vector<REFERENCE_TIME> starts;
};

class Transforms : public ::testing::Test {
  protected:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override {
        for (IBaseFilter* f : {renderer.get(), middle.get(), sourceRef.get()})
            if (f) f->Stop();
        // Connected pins hold each other's filters: disconnect every pin.
        for (IBaseFilter* f : {renderer.get(), middle.get(), sourceRef.get()}) {
            if (!f) continue;
            ComRef<IEnumPins> pins;
            f->EnumPins(pins.out());
            IPin* pin = nullptr;
            while (pins->Next(1, &pin, nullptr) == S_OK) {
                pin->Disconnect();
                pin->Release();
            }
        }
        renderer.reset();
        middle.reset();
        sourceRef.reset();
        CoUninitialize();
    }
    // source → transform → callback renderer, paused then running.
    void chain(CTransformFilter* transform) {
        transform->NonDelegatingAddRef();
        middle = ComRef<IBaseFilter>(static_cast<IBaseFilter*>(transform));
        ASSERT_EQ(FilterModule::instance().create(kCallbackClsid, nullptr, IID_IBaseFilter,
                                                  renderer.outVoid()),
                  S_OK);
        renderer.as<ICbRendererControl>(kIID_ICbRendererControl)->SetCallback(&frames);
        sourceRef = makeSource(videoType(MEDIASUBTYPE_RGB32, 8, 8, false), &source);
        ComRef<IPin> in, out, rendererIn;
        ASSERT_EQ(middle->FindPin(L"XForm In", in.out()), S_OK);
        ASSERT_EQ(middle->FindPin(L"XForm Out", out.out()), S_OK);
        ASSERT_EQ(renderer->FindPin(L"In", rendererIn.out()), S_OK);
        // No output type before the input has one.
        EXPECT_TRUE(FAILED(out->Connect(rendererIn.get(), nullptr)));
        ASSERT_EQ(source->outputPin()->Connect(in.get(), nullptr), S_OK);
        ASSERT_EQ(out->Connect(rendererIn.get(), nullptr), S_OK);
        for (IBaseFilter* f : {renderer.get(), middle.get(), sourceRef.get()})
            f->Pause();
        for (IBaseFilter* f : {renderer.get(), middle.get(), sourceRef.get()})
            f->Run(0);
    }
    HRESULT pushAll(std::initializer_list<BYTE> fills) {
        auto done = std::async(std::launch::async, [&] {
            REFERENCE_TIME t = 0;
            for (BYTE fill : fills) {
                REFERENCE_TIME start = t, end = t + 1;
                HRESULT hr = source->push(&start, &end, fill);
                if (hr != S_OK) return hr;
                ++t;
            }
            return S_OK;
        });
        if (done.wait_for(kDeadline) != std::future_status::ready) return E_ABORT;
        return done.get();
    }
    Frames frames;
    ComRef<IBaseFilter> renderer, middle, sourceRef;
    TestSource* source = nullptr;
};

TEST_F(Transforms, InPlaceSharesTheAllocatorAndChangesTheData) {
    auto* addOne = new AddOne;
    chain(addOne);
    ASSERT_EQ(pushAll({1, 2, 3}), S_OK);
    EXPECT_TRUE(addOne->lastShared);
    std::lock_guard<std::mutex> lock(frames.mutex);
    ASSERT_EQ(frames.first.size(), 3u);
    EXPECT_EQ(frames.first[0], 2);
    EXPECT_EQ(frames.first[2], 4);
    EXPECT_EQ(frames.starts[2], 2);
}

TEST_F(Transforms, CopyingTransformKeepsTimesAndMaySkip) {
    chain(new Invert);
    ASSERT_EQ(pushAll({0x0f, 0xEE, 0xf0}), S_OK);
    std::lock_guard<std::mutex> lock(frames.mutex);
    ASSERT_EQ(frames.first.size(), 2u);
    EXPECT_EQ(frames.first[0], 0xf0);
    EXPECT_EQ(frames.first[1], 0x0f);
    EXPECT_EQ(frames.starts[1], 2);
}

TEST_F(Transforms, EndOfStreamAndFlushPassThrough) {
    chain(new Invert);
    FakeGraph graph;
    renderer->JoinFilterGraph(&graph, L"renderer");
    ComRef<IPin> in;
    ASSERT_EQ(middle->FindPin(L"XForm In", in.out()), S_OK);
    ASSERT_EQ(in->BeginFlush(), S_OK);
    REFERENCE_TIME s = 0, e = 1;
    EXPECT_EQ(source->push(&s, &e, 1), S_FALSE);
    ASSERT_EQ(in->EndFlush(), S_OK);
    ASSERT_EQ(source->endOfStream(), S_OK);
    EXPECT_TRUE(graph.waitFor(EC_COMPLETE, 5000));
    renderer->JoinFilterGraph(nullptr, nullptr);
}

} // namespace

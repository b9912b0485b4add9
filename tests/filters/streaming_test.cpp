// Renderers driven by a test source on its own thread: negotiation, the
// Stop/Pause/Run contract, flushing, end of stream, the callback. Every wait has a
// deadline.
#include <gtest/gtest.h>

#include <future>

#include "filter_test_support.h"
#include "filters/base/mem_allocator.h"
#include "filters/interfaces/cb_renderer_control.h"

using namespace filtertest;

namespace {

const IID kIID_ICbRendererControl = {
    0xfd879681, 0x2166, 0x11d5, {0x8b, 0x80, 0x00, 0xd0, 0x5c, 0x00, 0xae, 0x53}};
constexpr auto kBlocked = std::chrono::milliseconds(300);
constexpr auto kDeadline = std::chrono::seconds(5);

// Records each frame the callback renderer hands over.
class RecordingCallback : public IFrameCallback {
  public:
    STDMETHODIMP QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP OnFrame(LONG a, LONG b, IMediaSample* sample) override {
        std::lock_guard<std::mutex> lock(mutex);
        args.push_back(a | b);
        REFERENCE_TIME start = -1, end = -1;
        sample->GetTime(&start, &end);
        starts.push_back(start);
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        fills.push_back(data ? data[0] : 0xff);
        return S_OK;
    }
    size_t frames() {
        std::lock_guard<std::mutex> lock(mutex);
        return starts.size();
    }
    std::mutex mutex;
    std::vector<LONG> args;
    std::vector<REFERENCE_TIME> starts;
    std::vector<BYTE> fills;
};

class Streaming : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitialize(nullptr);
        ASSERT_EQ(CoCreateInstance(CLSID_SystemClock, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IReferenceClock, clock.outVoid()),
                  S_OK);
    }
    void TearDown() override {
        if (renderer) renderer->Stop();
        if (source) source->Stop();
        // Connected pins hold each other's filters: break the cycle first.
        if (source) source->outputPin()->Disconnect();
        if (input) input->Disconnect();
        input.reset();
        renderer.reset();
        sourceRef.reset();
        clock.reset();
        CoUninitialize();
    }
    // A renderer of the class, connected to a source of the type, in a fake graph.
    void connect(const CLSID& clsid, const CMediaType& type) {
        ASSERT_EQ(
            FilterModule::instance().create(clsid, nullptr, IID_IBaseFilter, renderer.outVoid()),
            S_OK);
        ASSERT_EQ(renderer->FindPin(L"In", input.out()), S_OK);
        sourceRef = makeSource(type, &source);
        ASSERT_EQ(source->outputPin()->Connect(input.get(), nullptr), S_OK);
        renderer->JoinFilterGraph(&graph, L"renderer");
        renderer->SetSyncSource(clock.get());
        source->SetSyncSource(clock.get());
    }
    void pause() {
        renderer->Pause();
        ASSERT_EQ(source->Pause(), S_OK);
    }
    // Runs with stream time 0 at `delay` from now.
    void run(REFERENCE_TIME delay = 0) {
        REFERENCE_TIME now = 0;
        clock->GetTime(&now);
        ASSERT_EQ(renderer->Run(now + delay), S_OK);
        ASSERT_EQ(source->Run(now + delay), S_OK);
    }
    std::future<HRESULT> pushAsync(REFERENCE_TIME start, BYTE fill = 0) {
        return std::async(std::launch::async, [this, start, fill] {
            REFERENCE_TIME end = start + 100000;
            return source->push(&start, &end, fill);
        });
    }
    ComRef<IReferenceClock> clock;
    ComRef<IBaseFilter> renderer;
    ComRef<IPin> input;
    ComRef<IBaseFilter> sourceRef;
    TestSource* source = nullptr;
    FakeGraph graph;
};

struct TypeCase {
    const char* name;
    GUID subtype;
    bool videoInfo2;
    bool accepted;
};

TEST_F(Streaming, CallbackRendererTakesRgb32OnceAndNothingElse) {
    const TypeCase cases[] = {
        {"RGB24", MEDIASUBTYPE_RGB24, false, false},
        {"YUY2", MEDIASUBTYPE_YUY2, false, false},
        {"RGB32 VideoInfo", MEDIASUBTYPE_RGB32, false, true},
        {"RGB32 VideoInfo2", MEDIASUBTYPE_RGB32, true, true},
    };
    for (const TypeCase& c : cases) {
        SCOPED_TRACE(c.name);
        ComRef<IBaseFilter> filter;
        ASSERT_EQ(FilterModule::instance().create(kCallbackClsid, nullptr, IID_IBaseFilter,
                                                  filter.outVoid()),
                  S_OK);
        ComRef<IPin> pin;
        ASSERT_EQ(filter->FindPin(L"In", pin.out()), S_OK);
        TestSource* src = nullptr;
        ComRef<IBaseFilter> srcRef =
            makeSource(videoType(c.subtype, 176, -144, c.videoInfo2), &src);
        HRESULT hr = src->outputPin()->Connect(pin.get(), nullptr);
        if (!c.accepted) {
            EXPECT_TRUE(FAILED(hr));
            continue;
        }
        ASSERT_EQ(hr, S_OK);
        auto control = filter.as<ICbRendererControl>(kIID_ICbRendererControl);
        LONG width = 0, height = 0;
        ASSERT_EQ(control->GetVideoSize(&width, &height), S_OK);
        EXPECT_EQ(width, 176);
        EXPECT_EQ(height, -144);
        DWORD bitRate = 0;
        REFERENCE_TIME frame = 0;
        ASSERT_EQ(control->GetStreamInfo(&bitRate, &frame), S_OK);
        EXPECT_EQ(frame, 400000);
        EXPECT_EQ(bitRate, 176u * 144 * 32 * 25);
        // One connection per instance: after it, even the same type is refused.
        AM_MEDIA_TYPE same = src->type();
        EXPECT_EQ(pin->QueryAccept(&same), S_FALSE);
        EXPECT_EQ(src->outputPin()->Disconnect(), S_OK);
        EXPECT_EQ(pin->Disconnect(), S_OK);
        EXPECT_TRUE(FAILED(src->outputPin()->Connect(pin.get(), nullptr)));
        src->outputPin()->Disconnect();
        pin->Disconnect();
    }
}

TEST_F(Streaming, NullRendererTakesAnyType) {
    connect(kNullClsid, audioType());
    AM_MEDIA_TYPE type;
    ASSERT_EQ(input->ConnectionMediaType(&type), S_OK);
    EXPECT_TRUE(IsEqualGUID(type.majortype, MEDIATYPE_Audio));
    FreeMediaType(type);
}

TEST_F(Streaming, PauseIsIntermediateUntilTheFirstSample) {
    connect(kCallbackClsid, videoType(MEDIASUBTYPE_RGB32, 16, 16, false));
    RecordingCallback callback;
    renderer.as<ICbRendererControl>(kIID_ICbRendererControl)->SetCallback(&callback);
    EXPECT_EQ(renderer->Pause(), S_FALSE);
    ASSERT_EQ(source->Pause(), S_OK);
    FILTER_STATE state;
    EXPECT_EQ(renderer->GetState(0, &state), VFW_S_STATE_INTERMEDIATE);
    EXPECT_EQ(state, State_Paused);

    auto pushed = pushAsync(0);
    EXPECT_EQ(renderer->GetState(5000, &state), S_OK);
    EXPECT_EQ(state, State_Paused);
    // Paused: the sample is held, and not handed to the callback.
    EXPECT_EQ(pushed.wait_for(kBlocked), std::future_status::timeout);
    EXPECT_EQ(callback.frames(), 0u);
    // Running shows it; it was due at stream time 0.
    run();
    ASSERT_EQ(pushed.wait_for(kDeadline), std::future_status::ready);
    EXPECT_EQ(pushed.get(), S_OK);
    EXPECT_EQ(callback.frames(), 1u);
}

TEST_F(Streaming, ReceiveWhenStoppedIsWrongState) {
    connect(kNullClsid, audioType());
    HRESULT hr = S_OK;
    auto* allocator = new CMemAllocator(L"test", nullptr, &hr);
    ComRef<IMemAllocator> own(static_cast<IMemAllocator*>(allocator));
    allocator->NonDelegatingAddRef();
    ALLOCATOR_PROPERTIES want = {1, 64, 1, 0}, got;
    ASSERT_EQ(own->SetProperties(&want, &got), S_OK);
    ASSERT_EQ(own->Commit(), S_OK);
    ComRef<IMediaSample> sample;
    ASSERT_EQ(own->GetBuffer(sample.out(), nullptr, nullptr, 0), S_OK);
    auto memInput = input.as<IMemInputPin>(IID_IMemInputPin);
    EXPECT_EQ(memInput->Receive(sample.get()), VFW_E_WRONG_STATE);
    sample.reset();
    own->Decommit();
}

TEST_F(Streaming, BeginFlushWakesABlockedReceive) {
    connect(kNullClsid, audioType());
    pause();
    auto pushed = pushAsync(0);
    FILTER_STATE state;
    ASSERT_EQ(renderer->GetState(5000, &state), S_OK);
    ASSERT_EQ(pushed.wait_for(kBlocked), std::future_status::timeout);
    ASSERT_EQ(input->BeginFlush(), S_OK);
    ASSERT_EQ(pushed.wait_for(kDeadline), std::future_status::ready);
    EXPECT_EQ(pushed.get(), S_FALSE);
    // While flushing samples are refused at once.
    auto during = pushAsync(0);
    ASSERT_EQ(during.wait_for(kDeadline), std::future_status::ready);
    EXPECT_EQ(during.get(), S_FALSE);
    ASSERT_EQ(input->EndFlush(), S_OK);
    // Paused again without data: the pause waits for a new sample.
    EXPECT_EQ(renderer->GetState(0, &state), VFW_S_STATE_INTERMEDIATE);
}

TEST_F(Streaming, StopWakesAReceiveWaitingForItsTime) {
    connect(kNullClsid, audioType());
    pause();
    run(100000000); // stream time 0 is ten seconds away
    auto pushed = pushAsync(0);
    ASSERT_EQ(pushed.wait_for(kBlocked), std::future_status::timeout);
    ASSERT_EQ(renderer->Stop(), S_OK);
    ASSERT_EQ(pushed.wait_for(kDeadline), std::future_status::ready);
    EXPECT_EQ(pushed.get(), VFW_E_WRONG_STATE);
}

TEST_F(Streaming, RunningRendersEveryFrameInOrderThenCompletesOnce) {
    connect(kCallbackClsid, videoType(MEDIASUBTYPE_RGB32, 16, 16, false));
    RecordingCallback callback;
    renderer.as<ICbRendererControl>(kIID_ICbRendererControl)->SetCallback(&callback);
    pause();
    run(200000);
    auto streamed = std::async(std::launch::async, [this] {
        for (int i = 0; i < 10; ++i) {
            REFERENCE_TIME start = i * 100000, end = start + 100000;
            HRESULT hr = source->push(&start, &end, static_cast<BYTE>(i));
            if (hr != S_OK) return hr;
        }
        return source->endOfStream();
    });
    ASSERT_EQ(streamed.wait_for(kDeadline), std::future_status::ready);
    EXPECT_EQ(streamed.get(), S_OK);
    LONG_PTR sender = 0;
    ASSERT_TRUE(graph.waitFor(EC_COMPLETE, 5000, &sender));
    EXPECT_EQ(sender, reinterpret_cast<LONG_PTR>(renderer.get()));
    ASSERT_EQ(callback.frames(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(callback.starts[i], i * 100000);
        EXPECT_EQ(callback.fills[i], i);
        EXPECT_EQ(callback.args[i], 0);
    }
    // After end of stream nothing more is taken, and EC_COMPLETE came once.
    REFERENCE_TIME late = 0, lateEnd = 1;
    EXPECT_EQ(source->push(&late, &lateEnd), S_FALSE);
    EXPECT_EQ(graph.count(EC_COMPLETE), 1);
}

TEST_F(Streaming, EndOfStreamWhilePausedCompletesOnRun) {
    connect(kNullClsid, audioType());
    pause();
    ASSERT_EQ(source->endOfStream(), S_OK);
    FILTER_STATE state;
    EXPECT_EQ(renderer->GetState(0, &state), S_OK);
    EXPECT_EQ(graph.count(EC_COMPLETE), 0);
    run();
    EXPECT_TRUE(graph.waitFor(EC_COMPLETE, 5000));
}

TEST_F(Streaming, FramesWithoutACallbackAreSkipped) {
    connect(kCallbackClsid, videoType(MEDIASUBTYPE_RGB32, 16, 16, true));
    pause();
    run();
    auto pushed = pushAsync(0);
    ASSERT_EQ(pushed.wait_for(kDeadline), std::future_status::ready);
    EXPECT_EQ(pushed.get(), S_OK);
}

TEST_F(Streaming, CallbackRendererRefusesATypeChangeInTheStream) {
    // One acceptance per instance: even the same type, announced by a sample, ends
    // the stream with an error.
    connect(kCallbackClsid, videoType(MEDIASUBTYPE_RGB32, 16, 16, false));
    pause();
    run();
    REFERENCE_TIME start = 0, end = 1;
    AM_MEDIA_TYPE same = source->type();
    EXPECT_EQ(source->push(&start, &end, 0, 16, &same), VFW_E_INVALIDMEDIATYPE);
    EXPECT_EQ(graph.count(EC_ERRORABORT), 1);
    EXPECT_EQ(source->push(&start, &end), VFW_E_RUNTIME_ERROR);
}

TEST_F(Streaming, SeekingWithoutAnUpstreamAnswerFails) {
    // The test source has no IMediaSeeking of its own: the pass-through says so.
    connect(kNullClsid, audioType());
    auto seeking = renderer.as<IMediaSeeking>(IID_IMediaSeeking);
    ASSERT_TRUE(seeking);
    LONGLONG duration = 0;
    EXPECT_TRUE(FAILED(seeking->GetDuration(&duration)));
    EXPECT_EQ(seeking->GetDuration(nullptr), E_POINTER);
}

} // namespace

namespace {

// The allocator contract upstream filters rely on: GetBuffer blocks while every
// sample is out, a sample comes back on its last Release, Decommit wakes waiters.
TEST(Allocator, BlocksUntilASampleComesBackAndWakesOnDecommit) {
    HRESULT hr = S_OK;
    auto* made = new CMemAllocator(L"test", nullptr, &hr);
    made->NonDelegatingAddRef();
    ComRef<IMemAllocator> allocator(static_cast<IMemAllocator*>(made));
    ALLOCATOR_PROPERTIES want = {1, 100, 1, 0}, got = {};
    EXPECT_EQ(allocator->GetBuffer(nullptr, nullptr, nullptr, 0), E_POINTER);
    ASSERT_EQ(allocator->SetProperties(&want, &got), S_OK);
    EXPECT_EQ(got.cbBuffer, 100);
    IMediaSample* none = reinterpret_cast<IMediaSample*>(1);
    EXPECT_EQ(allocator->GetBuffer(&none, nullptr, nullptr, 0), VFW_E_NOT_COMMITTED);
    EXPECT_EQ(none, nullptr);
    ASSERT_EQ(allocator->Commit(), S_OK);

    IMediaSample* first = nullptr;
    ASSERT_EQ(allocator->GetBuffer(&first, nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(first->SetActualDataLength(101), VFW_E_BUFFER_OVERFLOW);
    EXPECT_EQ(first->SetActualDataLength(100), S_OK);
    // Properties cannot change while a sample is out.
    EXPECT_EQ(allocator->SetProperties(&want, &got), VFW_E_ALREADY_COMMITTED);
    EXPECT_EQ(allocator->GetBuffer(&none, nullptr, nullptr, AM_GBF_NOWAIT), VFW_E_TIMEOUT);

    auto waiting = std::async(std::launch::async, [&] {
        IMediaSample* second = nullptr;
        HRESULT result = allocator->GetBuffer(&second, nullptr, nullptr, 0);
        if (second) second->Release();
        return result;
    });
    EXPECT_EQ(waiting.wait_for(kBlocked), std::future_status::timeout);
    first->AddRef();
    first->Release(); // not the last reference: still out
    EXPECT_EQ(waiting.wait_for(kBlocked), std::future_status::timeout);
    first->Release();
    ASSERT_EQ(waiting.wait_for(kDeadline), std::future_status::ready);
    EXPECT_EQ(waiting.get(), S_OK);

    ASSERT_EQ(allocator->GetBuffer(&first, nullptr, nullptr, 0), S_OK);
    auto blocked = std::async(std::launch::async, [&] {
        IMediaSample* other = nullptr;
        return allocator->GetBuffer(&other, nullptr, nullptr, 0);
    });
    EXPECT_EQ(blocked.wait_for(kBlocked), std::future_status::timeout);
    ASSERT_EQ(allocator->Decommit(), S_OK);
    ASSERT_EQ(blocked.wait_for(kDeadline), std::future_status::ready);
    EXPECT_EQ(blocked.get(), VFW_E_NOT_COMMITTED);
    first->Release();
}

} // namespace

// Real graphs in Wine's filter graph manager: Wine's parsers and decoders feed our
// renderers, and the graph's own clock, events and seeking drive them.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "filters/interfaces/cb_renderer_control.h"
#include "graph_fixture.h"

using namespace filtertest;

namespace {

const IID kIID_ICbRendererControl = {
    0xfd879681, 0x2166, 0x11d5, {0x8b, 0x80, 0x00, 0xd0, 0x5c, 0x00, 0xae, 0x53}};

class RealGraph : public GraphFixture {
  protected:
    // file → Wine's async reader → parser (by CLSID) → our renderer (its "In" pin).
    void build(const char* file, const CLSID& parserClsid, IBaseFilter* renderer) {
        ComRef<IBaseFilter> parser;
        ASSERT_EQ(
            addParsedSource(graph.get(), mediaPath(FILTERS_MEDIA_DIR, file), parserClsid, &parser),
            S_OK);
        ASSERT_EQ(graph->AddFilter(renderer, L"renderer"), S_OK);
        ComRef<IPin> in;
        ASSERT_EQ(renderer->FindPin(L"In", in.out()), S_OK);
        // The graph may put a decoder in between.
        ASSERT_EQ(graph->Connect(firstPin(parser.get(), PINDIR_OUTPUT).get(), in.get()), S_OK);
    }
    // Runs to EC_COMPLETE; returns the wall time it took.
    double playToEnd(long timeoutMs) {
        auto control = graph.as<IMediaControl>(IID_IMediaControl);
        auto events = graph.as<IMediaEvent>(IID_IMediaEvent);
        auto begin = std::chrono::steady_clock::now();
        EXPECT_TRUE(SUCCEEDED(control->Run()));
        long code = 0;
        EXPECT_EQ(events->WaitForCompletion(timeoutMs, &code), S_OK);
        EXPECT_EQ(code, EC_COMPLETE);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    }
};

TEST_F(RealGraph, WaveThroughTheParserIntoNerroNullAtRealTime) {
    ComRef<IBaseFilter> null;
    ASSERT_EQ(FilterModule::instance().create(kNullClsid, nullptr, IID_IBaseFilter, null.outVoid()),
              S_OK);
    build("filters_tone.wav", kWaveParser, null.get());

    // Seeking goes through the renderer to the parser: one second.
    auto seeking = null.as<IMediaSeeking>(IID_IMediaSeeking);
    LONGLONG duration = 0;
    ASSERT_EQ(seeking->GetDuration(&duration), S_OK);
    EXPECT_NEAR(static_cast<double>(duration), 1e7, 1e5);
    auto graphSeeking = graph.as<IMediaSeeking>(IID_IMediaSeeking);
    ASSERT_EQ(graphSeeking->GetDuration(&duration), S_OK);
    EXPECT_NEAR(static_cast<double>(duration), 1e7, 1e5);
    auto position = null.as<IMediaPosition>(IID_IMediaPosition);
    REFTIME seconds = 0;
    ASSERT_EQ(position->get_Duration(&seconds), S_OK);
    EXPECT_NEAR(seconds, 1.0, 0.01);

    double elapsed = playToEnd(10000);
    // Consumed at the stream's own rate, not as fast as possible.
    EXPECT_GT(elapsed, 0.8);
    EXPECT_LT(elapsed, 5.0);
}

TEST_F(RealGraph, NerroNullPlaysAgainAfterASeekAndAPause) {
    ComRef<IBaseFilter> null;
    ASSERT_EQ(FilterModule::instance().create(kNullClsid, nullptr, IID_IBaseFilter, null.outVoid()),
              S_OK);
    build("filters_tone.wav", kWaveParser, null.get());
    auto control = graph.as<IMediaControl>(IID_IMediaControl);
    auto seeking = graph.as<IMediaSeeking>(IID_IMediaSeeking);
    // Paused first: the pause completes once the first sample is held.
    EXPECT_TRUE(SUCCEEDED(control->Pause()));
    OAFilterState state;
    EXPECT_EQ(control->GetState(5000, &state), S_OK);
    EXPECT_EQ(state, State_Paused);
    // A seek while paused flushes our renderer and refills it.
    LONGLONG half = 5000000;
    ASSERT_EQ(seeking->SetPositions(&half, AM_SEEKING_AbsolutePositioning, nullptr,
                                    AM_SEEKING_NoPositioning),
              S_OK);
    EXPECT_EQ(control->GetState(5000, &state), S_OK);
    double elapsed = playToEnd(10000);
    EXPECT_GT(elapsed, 0.3);
    EXPECT_LT(elapsed, 3.0);
    // At the end the position is the end.
    LONGLONG current = 0;
    ASSERT_EQ(null.as<IMediaSeeking>(IID_IMediaSeeking)->GetCurrentPosition(&current), S_OK);
    EXPECT_NEAR(static_cast<double>(current), 1e7, 2e6);
}

class FrameLog : public IFrameCallback {
  public:
    STDMETHODIMP QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP OnFrame(LONG, LONG, IMediaSample* sample) override {
        REFERENCE_TIME start = -1, end = -1;
        sample->GetTime(&start, &end);
        std::lock_guard<std::mutex> lock(mutex);
        starts.push_back(start);
        lengths.push_back(sample->GetActualDataLength());
        return S_OK;
    }
    std::mutex mutex;
    std::vector<REFERENCE_TIME> starts;
    std::vector<long> lengths;
};

TEST_F(RealGraph, AviVideoReachesTheCallbackOnceEachInOrder) {
    ComRef<IBaseFilter> renderer;
    ASSERT_EQ(FilterModule::instance().create(kCallbackClsid, nullptr, IID_IBaseFilter,
                                              renderer.outVoid()),
              S_OK);
    FrameLog log;
    auto control = renderer.as<ICbRendererControl>(kIID_ICbRendererControl);
    ASSERT_EQ(control->SetCallback(&log), S_OK);
    build("filters_rgb32.avi", CLSID_AviSplitter, renderer.get());

    LONG width = 0, height = 0;
    ASSERT_EQ(control->GetVideoSize(&width, &height), S_OK);
    EXPECT_EQ(width, 160);
    EXPECT_EQ(height < 0 ? -height : height, 120);
    DWORD bitRate = 0;
    REFERENCE_TIME frame = 0;
    ASSERT_EQ(control->GetStreamInfo(&bitRate, &frame), S_OK);
    EXPECT_EQ(frame, 400000);

    playToEnd(10000);
    std::lock_guard<std::mutex> lock(log.mutex);
    ASSERT_EQ(log.starts.size(), 25u);
    for (size_t i = 0; i < log.starts.size(); ++i) {
        EXPECT_EQ(log.starts[i], static_cast<REFERENCE_TIME>(i) * 400000) << i;
        EXPECT_EQ(log.lengths[i], 160 * 120 * 4) << i;
    }
}

} // namespace

// The DSP hosts in Wine's filter graph manager: a WAV file through Wine's parser,
// one of our hosts with a test plug-in, into "Nerro Null" or a recording sink.
#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <string>

#include "dsp_plugins/recorder_plugin.h"
#include "dsp_test_support.h"
#include "graph_fixture.h"

using namespace filtertest;
using namespace dsptest;

namespace {

class DspGraph : public GraphFixture {
  protected:
    // file → reader → WAVE parser; returns the parser's output pin.
    ComRef<IPin> parse(const char* file) {
        ComRef<IBaseFilter> parser;
        EXPECT_EQ(
            addParsedSource(graph.get(), mediaPath(DSP_MEDIA_DIR, file), kWaveParser, &parser),
            S_OK);
        if (!parser) return ComRef<IPin>();
        return firstPin(parser.get(), PINDIR_OUTPUT);
    }
    ComRef<IBaseFilter> addHost(const CLSID& clsid) {
        ComRef<IBaseFilter> host;
        EXPECT_EQ(FilterModule::instance().create(clsid, nullptr, IID_IBaseFilter, host.outVoid()),
                  S_OK);
        EXPECT_EQ(graph->AddFilter(host.get(), L"dsp host"), S_OK);
        return host;
    }
    // parser → host (directly: no converter may come in between) → renderer.
    HRESULT build(const char* file, IBaseFilter* host, IBaseFilter* renderer) {
        ComRef<IPin> parserOut = parse(file);
        if (!parserOut) return E_FAIL;
        HRESULT hr =
            graph->ConnectDirect(parserOut.get(), firstPin(host, PINDIR_INPUT).get(), nullptr);
        if (FAILED(hr)) return hr;
        hr = graph->AddFilter(renderer, L"renderer");
        if (FAILED(hr)) return hr;
        return graph->ConnectDirect(firstPin(host, PINDIR_OUTPUT).get(),
                                    firstPin(renderer, PINDIR_INPUT).get(), nullptr);
    }
    ComRef<IBaseFilter> nerroNull() {
        ComRef<IBaseFilter> null;
        EXPECT_EQ(
            FilterModule::instance().create(kNullClsid, nullptr, IID_IBaseFilter, null.outVoid()),
            S_OK);
        return null;
    }
    void playToEnd() {
        auto control = graph.as<IMediaControl>(IID_IMediaControl);
        auto events = graph.as<IMediaEvent>(IID_IMediaEvent);
        ASSERT_TRUE(SUCCEEDED(control->Run()));
        long code = 0;
        EXPECT_EQ(events->WaitForCompletion(10000, &code), S_OK);
        EXPECT_EQ(code, EC_COMPLETE);
        EXPECT_EQ(control->Stop(), S_OK);
    }
};

struct FileCase {
    const char* file;
    int bits;
    int channels;
    int rate;
};

// 8-bit mono is left to the pushed-sample tests: Wine 8's WAVE parser connects such
// a file but never delivers a sample of it, not even to a plain sink.
TEST_F(DspGraph, PcmFormatsPlayThroughBothHostsWithTheModule) {
    HMODULE ours = LoadLibraryA(kRecorderPlugin);
    auto log = reinterpret_cast<RecorderLogFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(ours, "recorderLog")))();
    const FileCase cases[] = {
        {"dsp_s16_stereo.wav", 16, 2, 44100},
        {"dsp_s16_mono.wav", 16, 1, 22050},
        {"dsp_u8_stereo.wav", 8, 2, 22050},
    };
    for (const CLSID* clsid : {&kAudioXformClsid, &kAudioXform2Clsid}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.file);
            *log = RecorderLog{};
            auto host = addHost(*clsid);
            auto null = nerroNull();
            ASSERT_EQ(build(c.file, host.get(), null.get()), S_OK);
            auto dsp = host.as<IDspHostControl>(kIID_IDspHostControl);
            char text[DSP_DESCRIPTION_MAX];
            ASSERT_EQ(dsp->PluginCommand(1, const_cast<char*>(kRecorderPlugin), 0, nullptr), 0);
            ASSERT_EQ(dsp->PluginCommand(2, text, 0, nullptr), 0);
            playToEnd();
            EXPECT_GT(log->calls, 0);
            EXPECT_EQ(log->lastBits, c.bits);
            EXPECT_EQ(log->lastChannels, c.channels);
            EXPECT_EQ(log->lastRate, c.rate);
            TearDown();
            SetUp();
        }
    }
    FreeLibrary(ours);
}

TEST_F(DspGraph, OtherFormatsAreRefused) {
    for (const CLSID* clsid : {&kAudioXformClsid, &kAudioXform2Clsid})
        for (const char* file : {"dsp_s24_stereo.wav", "dsp_f32_stereo.wav", "dsp_alaw_mono.wav"}) {
            auto host = addHost(*clsid);
            ComRef<IPin> parserOut = parse(file);
            ASSERT_TRUE(parserOut);
            EXPECT_TRUE(FAILED(graph->ConnectDirect(
                parserOut.get(), firstPin(host.get(), PINDIR_INPUT).get(), nullptr)))
                << file;
            parserOut.reset(); // before the graph and COM go
            TearDown();
            SetUp();
        }
}

TEST_F(DspGraph, OnlyTheCopyingHostLengthensTheAudio) {
    // 0.5 s of 16-bit stereo at 44100 Hz.
    const size_t dataBytes = 22050 * 4;
    for (const CLSID* clsid : {&kAudioXformClsid, &kAudioXform2Clsid}) {
        auto host = addHost(*clsid);
        auto* sink = new RecordingSink;
        auto sinkRef = adopt(sink);
        ASSERT_EQ(build("dsp_s16_stereo.wav", host.get(), sinkRef.get()), S_OK);
        auto dsp = host.as<IDspHostControl>(kIID_IDspHostControl);
        char text[DSP_DESCRIPTION_MAX];
        ASSERT_EQ(dsp->PluginCommand(1, const_cast<char*>(kDoublePlugin), 0, nullptr), 0);
        ASSERT_EQ(dsp->PluginCommand(2, text, 0, nullptr), 0);
        playToEnd();
        bool copying = IsEqualCLSID(*clsid, kAudioXform2Clsid);
        // The parser's first sample is a discontinuity and goes past the module.
        auto got = sink->samples();
        ASSERT_FALSE(got.empty());
        size_t firstBytes = got[0].data.size();
        EXPECT_TRUE(got[0].discontinuity);
        if (copying)
            EXPECT_EQ(sink->totalBytes(), 2 * dataBytes - firstBytes);
        else
            EXPECT_EQ(sink->totalBytes(), dataBytes);
        TearDown();
        SetUp();
    }
}

class VisCount : public IDspVisCallback {
  public:
    STDMETHODIMP QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP OnBlock(signed char* left, signed char* right) override {
        InterlockedIncrement(&blocks);
        if (released) InterlockedIncrement(&late);
        if (!left || !right) InterlockedIncrement(&bad);
        return S_OK;
    }
    volatile LONG blocks = 0;
    volatile LONG late = 0;
    volatile LONG bad = 0;
    volatile bool released = false;
};

TEST_F(DspGraph, VisualisationRunsWithTheGraphAndEndsWithTheFilter) {
    VisCount vis;
    {
        auto host = addHost(kAudioXformClsid);
        auto* sink = new RecordingSink;
        auto sinkRef = adopt(sink);
        ASSERT_EQ(build("dsp_s16_stereo.wav", host.get(), sinkRef.get()), S_OK);
        auto dsp = host.as<IDspHostControl>(kIID_IDspHostControl);
        ASSERT_EQ(dsp->SetMode(1), S_OK);
        ASSERT_EQ(dsp->SetVisCallback(&vis), S_OK);
        playToEnd();
        // One wake per sample; wakes that come while the worker is busy merge.
        size_t samples = sink->samples().size();
        EXPECT_GT(vis.blocks, 0);
        EXPECT_LE(static_cast<size_t>(vis.blocks), samples);

        // Play again and let the graph go while it runs: the filter goes with
        // the graph, and its worker before it.
        LONGLONG start = 0;
        graph.as<IMediaSeeking>(IID_IMediaSeeking)
            ->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                           AM_SEEKING_NoPositioning);
        ASSERT_TRUE(SUCCEEDED(graph.as<IMediaControl>(IID_IMediaControl)->Run()));
    }
    auto released = std::async(std::launch::async, [&] {
        graph.reset();
        vis.released = true;
        return true;
    });
    ASSERT_EQ(released.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(vis.late, 0);
    EXPECT_EQ(vis.bad, 0);
}

} // namespace
